// Quendral's entry: open the window and run its messages until it closes.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "ui/form1.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The picture decoder is a COM component.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    int exitCode = 1;
    {
        quendral::Form1 form;
        if (quendral::Form1::Open(form, instance, showCommand)) {
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                // Tab and Shift+Tab walk the controls; Enter and Escape come back as
                // IDOK and IDCANCEL, which the window ignores.
                if (form.Window() != nullptr && IsDialogMessageW(form.Window(), &msg)) continue;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            exitCode = static_cast<int>(msg.wParam);
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return exitCode;
}
