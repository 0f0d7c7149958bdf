// Quendral's benchmark. It drives the real Quendral.exe from outside, through window
// messages as the tests do, and sets each figure against what the platform itself costs
// for the same work, measured side by side in the same run, as medians over rounds.
//
//   bench.exe [--shipped PATH] [--start-from DIR] [--rounds N] [--steps N] [--ticks N]
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

#include <string>
#include <string_view>

#include "bench/report.h"
#include "support/harness.h"
#include "support/pe_image.h"
#include "support/stopwatch.h"

namespace {

using namespace quendral::bench;
namespace qt = quendral::testing;

int Positive(const wchar_t* text, int fallback) {
    const int value = _wtoi(text);
    return value > 0 ? value : fallback;
}

Settings ParseSettings(int argc, wchar_t** argv) {
    Settings settings;
    settings.shipped = qt::BesideThisProgram(L"Quendral.exe");
    settings.startFrom = qt::BesideThisProgram(L"");
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring_view option = argv[i];
        const wchar_t* value = argv[i + 1];
        if (option == L"--shipped") {
            settings.shipped = value;
        } else if (option == L"--start-from") {
            settings.startFrom = value;
            if (settings.startFrom.back() != L'\\') settings.startFrom += L'\\';
        } else if (option == L"--rounds") {
            settings.rounds = Positive(value, settings.rounds);
        } else if (option == L"--steps") {
            settings.steps = Positive(value, settings.steps);
        } else if (option == L"--ticks") {
            settings.ticks = Positive(value, settings.ticks);
        } else if (option == L"--figures") {
            settings.figures = Narrow(value);
        } else if (option == L"--note") {
            settings.notes.push_back(Narrow(value));
        } else {
            Say("unknown option %s", Narrow(option).c_str());
        }
    }
    return settings;
}

// "Wine 8.0" under Wine, "Windows" elsewhere.
std::string PlatformName() {
    using VersionFunction = const char* (*)();
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const FARPROC found = ntdll != nullptr ? GetProcAddress(ntdll, "wine_get_version") : nullptr;
    if (found == nullptr) return "Windows";
    // Through void(*)(), the one function type any other converts to without a warning.
    const auto version = reinterpret_cast<VersionFunction>(reinterpret_cast<void (*)()>(found));
    return std::string("Wine ") + version();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const Settings settings = ParseSettings(argc, argv);
    const quendral::Stopwatch whole;
    Report report(Figures(), settings);
    for (const std::string& note : settings.notes) report.Note(note);
    report.Measure(settings);

    SYSTEM_INFO system{};
    GetNativeSystemInfo(&system);
    const qt::PeImage started =
        qt::ParsePeImage(qt::FileBytes(settings.startFrom + L"Quendral.exe"));
    const int startedBits = started.machine == IMAGE_FILE_MACHINE_I386 ? 32 : 64;
    const std::string heading = Text(
        "Timings from the %d-bit build (figures 4 and 5: the %d-bit build, Quendral and "
        "baselines alike) under %s on %d processors; size and imports from the "
        "shipped 32-bit Quendral.exe, read as a file. Ratios are medians over %d rounds, each "
        "round timing both sides back to back (%d steps a side for figures 1 to 3). The whole "
        "run took %.0f s.",
        static_cast<int>(sizeof(void*) * 8), startedBits, PlatformName().c_str(),
        static_cast<int>(system.dwNumberOfProcessors), settings.rounds, settings.steps,
        whole.Microseconds() / 1e6);
    report.Print(stdout, heading);
    return report.Complete() ? 0 : 1;
}
