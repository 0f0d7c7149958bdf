// The system's DLLs the program loads while it runs, taken from the system folder alone:
// a DLL of the same name in the program's folder (a Downloads folder, where any web page
// can leave one) or in the current folder is never looked at.
#pragma once

#include <windows.h>

namespace quendral {

// name (a file name such as L"oleacc.dll") loaded by its full path in the system folder,
// its own imports looked up from there first; null if it isn't there or won't load.
HMODULE LoadSystemLibrary(const wchar_t* name);

}  // namespace quendral
