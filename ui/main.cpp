// Quendral's entry: open the window and run its messages until it closes.
#include <windows.h>
#include <commctrl.h>

#include "ui/form1.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    quendral::Form1 form;
    if (!quendral::Form1::Open(form, instance, showCommand)) return 1;
    MSG msg{};
    for (BOOL got; (got = GetMessageW(&msg, nullptr, 0, 0)) != -1;) {
        // Only the quit the window posts as it goes ends the program; one another program
        // posts while the window stands is dropped.
        if (got == 0) {
            if (form.Window() == nullptr) break;
            continue;
        }
        // Tab and Shift+Tab walk the controls; Enter and Escape come back as IDOK and
        // IDCANCEL, which the window ignores.
        if (form.Window() != nullptr && IsDialogMessageW(form.Window(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
