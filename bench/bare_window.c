/* The platform's real minimum for a window: a C program with no manifest (so the classic
   controls library and no DPI awareness) and no C++ runtime, that opens one plain window
   of Quendral's client size at 96 DPI and runs its messages until it is closed. Its class
   and caption are those bench/baselines.h names kBareWindowClass and kBareWindowCaption. */
#include <windows.h>

static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int showCommand) {
    WNDCLASSW windowClass = {0};
    RECT frame = {0, 0, 442, 419};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    HWND window;
    MSG msg;
    (void)previous;
    (void)commandLine;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"QuendralBareWindow";
    if (!RegisterClassW(&windowClass)) return 1;
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    window = CreateWindowExW(0, L"QuendralBareWindow", L"Bare window", style, CW_USEDEFAULT,
                             CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                             NULL, NULL, instance, NULL);
    if (window == NULL) return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return (int)msg.wParam;
}
