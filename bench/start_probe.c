/* What a process pays before its first line runs, piece by piece: programs that return
   from their entry at once, built with more of what Quendral loads each time (see
   bench/CMakeLists.txt): the C runtime and kernel32 alone, then user32, then gdi32 and
   comctl32, then Quendral's manifest (common controls 6), then a C++ runtime linked in
   statically as Quendral's is. The functions are imported, not called: loading the DLLs
   is what is measured. */
#include <windows.h>
#include <commctrl.h>

#if defined(PROBE_USER32) || defined(PROBE_DLLS)
static void* volatile imported[] = {
    (void*)&GetSystemMetrics,
#if defined(PROBE_DLLS)
    (void*)&GetStockObject,
    (void*)&InitCommonControlsEx,
#endif
};
#define TOUCHED (imported[0] != 0)
#else
#define TOUCHED 1
#endif

/* The C++ probe names a function of its own to run too. */
#ifndef PROBE_EXTRA
#define PROBE_EXTRA() 0
#endif

#ifdef __cplusplus
extern "C"
#endif
    int WINAPI
    wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int showCommand) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)showCommand;
    return TOUCHED && PROBE_EXTRA() >= 0 ? 0 : 1;
}
