// Quendral's benchmark. It drives the real Quendral.exe from outside, through window
// messages as the tests do, and sets each figure against what the platform itself costs
// for the same work, measured side by side in the same run, as medians over rounds.
//
//   bench.exe [--shipped PATH] [--start-from DIR] [--rounds N] [--steps N] [--ticks N]
//             [--figures LIST] [--note TEXT]...
//
//   --shipped PATH  the Quendral.exe that ships (the 32-bit build), read as a file for
//                   its size and imports; default: the Quendral.exe beside this program
//   --start-from DIR  the build folder whose Quendral.exe, Quendral_timed.exe and
//                   baseline programs figures 4 and 5 start (the shipped 32-bit build
//                   where the machine runs it); default: this program's own folder
//   --rounds N      rounds per figure (7)
//   --steps N       steps timed per round and side (30)
//   --ticks N       timer ticks watched at pace 1 (30)
//   --figures LIST  the figures to measure, as digits: "8" or "123" (all of 1 to 8)
//   --note TEXT     a note to print under the table (may be given more than once)
//
// The table goes to standard output as Markdown, progress to standard error. The exit
// code is 0 when every figure was measured, whether or not it meets its target.
#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "bench/report.h"
#include "support/harness.h"
#include "support/pe_image.h"
#include "support/stopwatch.h"

namespace {

using namespace quendral::bench;
namespace qt = quendral::testing;

Settings ParseSettings(int argc, wchar_t** argv) {
    Settings settings;
    settings.shipped = qt::BesideThisProgram(L"Quendral.exe");
    settings.startFrom = qt::BesideThisProgram(L"");
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring_view option = argv[i];
        const std::wstring value = argv[i + 1];
        int* count = option == L"--rounds"  ? &settings.rounds
                     : option == L"--steps" ? &settings.steps
                     : option == L"--ticks" ? &settings.ticks
                                            : nullptr;
        if (count != nullptr) {
            *count = _wtoi(value.c_str()) > 0 ? _wtoi(value.c_str()) : *count;
        } else if (option == L"--shipped") {
            settings.shipped = value;
        } else if (option == L"--start-from") {
            settings.startFrom = value.ends_with(L'\\') ? value : value + L'\\';
        } else if (option == L"--figures") {
            settings.figures = Narrow(value);
        } else if (option == L"--note") {
            settings.notes.push_back(Narrow(value));
        } else {
            std::fprintf(stderr, "bench: unknown option %s\n", Narrow(option).c_str());
        }
    }
    return settings;
}

// "Wine 8.0" under Wine, "Windows" elsewhere.
std::string PlatformName() {
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    if (found == nullptr) return "Windows";
    // Through void(*)(), the one function type any other converts to without a warning.
    using Version = const char* (*)();
    return std::string("Wine ") + reinterpret_cast<Version>(reinterpret_cast<void (*)()>(found))();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const Settings settings = ParseSettings(argc, argv);
    const quendral::Stopwatch whole;
    Report report(settings.figures);
    report.notes = settings.notes;
    MeasureFigures(report, settings);

    SYSTEM_INFO system{};
    GetNativeSystemInfo(&system);
    const qt::PeImage started =
        qt::ParsePeImage(qt::FileBytes(settings.startFrom + L"Quendral.exe"));
    report.Print(Text(
        "Timings from the %d-bit build (figures 4 and 5: the %d-bit build, Quendral and "
        "baselines alike) under %s on %d processors; size and imports from the "
        "shipped 32-bit Quendral.exe, read as a file. Ratios are medians over %d rounds, each "
        "round timing both sides back to back (%d steps a side for figures 1 to 3). The whole "
        "run took %.0f s.",
        static_cast<int>(sizeof(void*) * 8), started.machine == IMAGE_FILE_MACHINE_I386 ? 32 : 64,
        PlatformName().c_str(), static_cast<int>(system.dwNumberOfProcessors), settings.rounds,
        settings.steps, whole.Microseconds() / 1e6));
    return report.Complete() ? 0 : 1;
}
