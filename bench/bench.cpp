// Quendral's benchmark. It drives the real Quendral.exe from outside, through window
// messages as the tests do, and sets each figure against what the platform itself costs
// for the same work, measured side by side in the same run, as medians over rounds.
//
//   bench.exe [--shipped PATH] [--rounds N] [--steps N] [--ticks N] [--figures LIST]
//             [--note TEXT]...
//
//   --shipped PATH  the Quendral.exe that ships (the 32-bit build), read as a file for
//                   its size and imports; default: the Quendral.exe beside this program
//   --rounds N      rounds per figure (7)
//   --steps N       steps timed per round and side, figures 1 to 3 (100)
//   --ticks N       timer ticks watched at pace 1 (30)
//   --figures LIST  the figures to measure, as digits: "8" or "123" (all of 1 to 8)
//   --note TEXT     a note to print under the table (may be given more than once)
//
// Every program it starts, Quendral's included, is the one beside it, of its own build.
// The table goes to standard output as Markdown, progress to standard error. The exit
// code is 0 when every figure was measured, whether or not it meets its target.
#include "bench/bench.h"

namespace quendral::bench {

std::vector<Row> Figures() {
    return {
        {"1a", "Step cost: \"Ok\" press / (plain owner-drawn button press + direct send)",
         Text("≤ %.2f", kStepTarget)},
        {"1b", "Step cost: \"Ok\" press / (WM_NULL round trip to Quendral + direct send)",
         Text("≤ %.2f", kStepTarget)},
        {"2", "Flat in the list's size: step with 32,767 entries / step with 3",
         Text("≤ %.2f", kFlatTarget)},
        {"3", "Linear in receivers: step with 8 messengers / (8 × step with 1)",
         Text("≤ %.2f", kLinearTarget)},
        {"4", "Start-up to the window shown: Quendral / baseline window",
         Text("≤ %.2f", kStartTarget)},
        {"5", "Peak working set after start and 5 steps: Quendral / baseline window",
         Text("≤ %.2f", kMemoryTarget)},
        {"6a", "Size of the shipped 32-bit Quendral.exe (picture and icon included)",
         Text("≤ 400 KB (%s bytes)", Grouped(kSizeTarget).c_str())},
        {"6b", "DLLs the shipped 32-bit Quendral.exe imports", "Windows' own only"},
        {"7", "Cadence at pace 1: mean interval between records", "1,000 ms ± 2 %"},
        {"8",
         "Slow receivers at pace 1 over 15 s: Quendral's worst answer and the records a "
         "healthy messenger got behind 4 that take 1.5 s a record / the healthy one alone",
         Text("worst ≤ %s ms; ≥ %.0f %% of the records", Grouped(kAnswerBoundMs).c_str(),
              kSlowShareTarget * 100)},
    };
}

void MeasureFigures(Report& report, const Settings& settings) {
    report.Attempt("6", [&] { ShippedFileFigures(report, settings); });
    report.Attempt("45", [&] { StartUpFigures(report, settings); });
    report.Attempt("123", [&] { StepFigures(report, settings); });
    report.Attempt("7", [&] { Cadence(report, settings); });
    report.Attempt("8", [&] { SlowReceivers(report, settings); });
}

}  // namespace quendral::bench

namespace {

using namespace quendral::bench;
using quendral::Narrow;

Settings ParseSettings(int argc, wchar_t** argv) {
    Settings settings;
    settings.shipped = qt::BesideThisProgram(L"Quendral.exe");
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const Settings settings = ParseSettings(argc, argv);
    const quendral::Stopwatch whole;
    Report report(settings.figures);
    report.notes = settings.notes;
    MeasureFigures(report, settings);

    // The machine, the processors and Wine are named above the table by scripts/bench.sh.
    report.Print(Text(
        "Timings from the %d-bit build, Quendral and baselines alike; size and imports from the "
        "shipped 32-bit Quendral.exe, read as a file. Ratios are medians over %d rounds. In "
        "figures 1 to 3 a round takes %d single steps a side, the sides in turn, and each "
        "side's median step; the other figures time the sides back to back. The whole run "
        "took %.0f s.",
        static_cast<int>(sizeof(void*) * 8), settings.rounds, settings.steps,
        whole.Microseconds() / 1e6));
    return report.Complete() ? 0 : 1;
}
