#include "ui/newer_windows.h"

#include "support/system_library.h"

namespace quendral::newer_windows {

namespace {

// A function of module by name, null where the module or the function is missing.
template <class Function>
void Find(Function& function, HMODULE module, const char* name) {
    // Through void (*)(): a function pointer cast the compiler takes as deliberate.
    function = module == nullptr ? nullptr
                                 : reinterpret_cast<Function>(
                                       reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

Calls LookUp() {
    Calls calls;
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    Find(calls.dpiForWindow, user32, "GetDpiForWindow");
    Find(calls.dpiForSystem, user32, "GetDpiForSystem");
    Find(calls.adjustWindowRectExForDpi, user32, "AdjustWindowRectExForDpi");
    Find(calls.systemMetricsForDpi, user32, "GetSystemMetricsForDpi");
    Find(calls.systemParametersInfoForDpi, user32, "SystemParametersInfoForDpi");
    if (calls.dpiForWindow == nullptr) {
        // Older systems have no shcore; where it is, it stays loaded for the program's life.
        Find(calls.dpiForMonitor, LoadSystemLibrary(L"shcore.dll"), "GetDpiForMonitor");
    }
    return calls;
}

}  // namespace

const Calls& Available() {
    static const Calls calls = LookUp();
    return calls;
}

}  // namespace quendral::newer_windows
