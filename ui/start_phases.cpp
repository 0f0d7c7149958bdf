// The benchmark's build only: the start-up marks, kept in memory until the window has
// been painted, then written to a file as "performance-counter-ticks phase" lines
// (the first line is the counter's frequency), for bench.exe to set against the time
// it started the process.
#include "ui/start_phases.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <iterator>
#include <string>

namespace quendral::start_phases {

namespace {

struct Entry {
    const char* phase;
    LONGLONG ticks;
};

Entry marks[16];
int markCount = 0;
bool reported = false;

}  // namespace

void Mark(const char* phase) {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    if (markCount < static_cast<int>(std::size(marks))) marks[markCount++] = {phase, now.QuadPart};
}

void Report() {
    if (reported) return;
    reported = true;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr) return;
    const wchar_t* path = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        if (lstrcmpW(argv[i], L"--phases") == 0) path = argv[i + 1];
    }
    // Written under another name and then renamed, so the file appears whole.
    std::wstring part = path != nullptr ? std::wstring(path) + L".part" : std::wstring();
    std::FILE* file = path != nullptr ? _wfopen(part.c_str(), L"wb") : nullptr;
    if (file != nullptr) {
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        std::fprintf(file, "%lld frequency\n", static_cast<long long>(frequency.QuadPart));
        for (int i = 0; i < markCount; ++i) {
            std::fprintf(file, "%lld %s\n", static_cast<long long>(marks[i].ticks), marks[i].phase);
        }
        std::fclose(file);
        MoveFileExW(part.c_str(), path, MOVEFILE_REPLACE_EXISTING);
    }
    LocalFree(argv);
}

}  // namespace quendral::start_phases
