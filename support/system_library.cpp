#include "support/system_library.h"

namespace quendral {

HMODULE LoadSystemLibrary(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const UINT folder = GetSystemDirectoryW(path, MAX_PATH);
    const int length = lstrlenW(name);
    if (folder == 0 || folder + 1 + static_cast<UINT>(length) >= MAX_PATH) return nullptr;
    path[folder] = L'\\';
    lstrcpyW(path + folder + 1, name);
    // XP has the altered search: the DLL's imports are searched for from its own folder,
    // not from the program's.
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace quendral
