// Figures 4 and 5: start-up time and memory against a program that only opens a window;
// and, as notes, what a process pays before its entry.
#include <windows.h>
#include <psapi.h>

#include "bench/bench.h"

namespace quendral::bench {

namespace {

constexpr int kMemorySteps = 5;

// Starts a program beside this one and returns its microseconds from CreateProcess to its
// visible window; lets exercise work it, then adds its peak working set in MB to peaks
// and ends it.
double LaunchProgram(std::vector<double>& peaks, const wchar_t* program, const wchar_t* className,
                     const wchar_t* caption, const std::function<void(HWND)>& exercise = {}) {
    const Stopwatch watch;
    qt::ChildProcess process(qt::BesideThisProgram(program), L"");
    const HWND window = WaitForShownWindow(process.Id(), className, caption);
    const double microseconds = watch.Microseconds();
    if (window == nullptr) throw std::runtime_error(Narrow(program) + " showed no window");
    WaitForInputIdle(process.Handle(), 5000);
    if (exercise) exercise(window);
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(process.Handle(), &counters, sizeof(counters))) counters = {};
    // Ended rather than closed: without a window manager, Wine waits 2 s for one to confirm
    // that a closing window was withdrawn, which would only make the run longer.
    process.Kill();
    if (counters.PeakWorkingSetSize == 0) throw std::runtime_error("no working set figure");
    peaks.push_back(static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0));
    return microseconds;
}

// 4 and 5, with the baseline window with one button and the bare C window as notes.
void StartUpAndMemory(Report& report, const Settings& settings) {
    QuietReceiver receiver;
    std::size_t delivered = 0;
    std::array<std::vector<double>, 4> memory;  // Quendral, baseline, with one button, bare
    const auto quendral = [&] {
        return LaunchProgram(memory[0], L"Quendral.exe", kFormClass, kFormCaption, [&](HWND form) {
            qt::QuendralApp app(form);
            for (int i = 0; i < kSmallList; ++i) app.AddEntry(EntryText(i));
            for (int i = 0; i < kMemorySteps; ++i) app.Press(app.Ok());
            receiver.Expect(delivered += kMemorySteps, "start-up");
        });
    };
    const auto launch = [&](std::size_t side, const wchar_t* program, const wchar_t* className,
                            const wchar_t* caption) {
        return [&, side, program, className, caption] {
            return LaunchProgram(memory[side], program, className, caption);
        };
    };
    const auto baseline =
        launch(1, L"baseline_window.exe", kBaselineWindowClass, kBaselineWindowCaption);
    // Notes: what common controls 6 add (one button, as Quendral's); the real minimum.
    const auto withButton =
        launch(2, L"baseline_button.exe", kBaselineButtonClass, kBaselineButtonCaption);
    const auto bare = launch(3, L"bare_window.exe", kBareWindowClass, kBareWindowCaption);

    quendral();  // warm-up: files cached, the system's DLLs mapped once
    baseline();
    withButton();
    bare();
    memory = {};
    const auto time = Interleaved(settings.rounds, quendral, baseline, withButton, bare);
    const double timeRatio = MedianRatio(time[0], time[1]);
    const double memoryRatio = MedianRatio(memory[0], memory[1]);
    report.Set("4",
               Text("%.2f (%.0f ms vs %.0f ms)", timeRatio, Median(time[0]) / 1000,
                    Median(time[1]) / 1000),
               timeRatio <= kStartTarget);
    report.Set("5",
               Text("%.2f (%.1f MB vs %.1f MB)", memoryRatio, Median(memory[0]), Median(memory[1])),
               memoryRatio <= kMemoryTarget);
    report.notes.push_back(
        Text("Figure 4: the baseline window with one common-controls-6 button like "
             "\"Ok\" (baseline_button.exe) starts in %.0f ms, %.2f times the plain "
             "window: the platform's price of the controls library alone.",
             Median(time[2]) / 1000, Median(time[2]) / Median(time[1])));
    report.notes.push_back(
        Text("Figure 4 against the bare C window (bare_window.exe: no manifest, no C++ runtime; "
             "%.0f ms): Quendral %.2f times, the baseline window with Quendral's manifest and "
             "runtime %.2f times.",
             Median(time[3]) / 1000, MedianRatio(time[0], time[3]), MedianRatio(time[1], time[3])));
    report.notes.push_back(
        "Figure 5: under Wine the working set is the whole process's resident memory, "
        "Wine's own libraries included, as the system reports it.");
}

// Notes to figure 4: what a process pays before its first line runs, piece by piece.
// Each probe returns from its entry at once; each loads more of what Quendral loads
// (bench/start_probe.c). Timed from CreateProcess to the process's end, interleaved.
void StartProbes(Report& report, const Settings& settings) {
    struct Probe {
        const wchar_t* program;
        const char* adds;
    };
    static constexpr Probe kProbes[] = {
        {L"start_probe_bare.exe", "kernel32 and the C runtime (msvcrt) alone"},
        {L"start_probe_user32.exe", "+ user32"},
        {L"start_probe_dlls.exe", "+ gdi32 and comctl32 (the classic controls, version 5)"},
        {L"start_probe_manifest.exe",
         "+ Quendral's manifest (common controls 6, DPI awareness, supported systems)"},
        {L"start_probe_runtime.exe", "+ a C++ runtime linked in statically, as Quendral's is"},
    };
    const auto timed = [&](const Probe& probe) {
        return [&probe] {
            const Stopwatch watch;
            qt::ChildProcess process(qt::BesideThisProgram(probe.program), L"");
            if (WaitForSingleObject(process.Handle(), kStartTimeoutMs) != WAIT_OBJECT_0) {
                throw std::runtime_error(Narrow(probe.program) + " did not end");
            }
            return watch.Microseconds();
        };
    };
    auto a = timed(kProbes[0]), b = timed(kProbes[1]), c = timed(kProbes[2]), d = timed(kProbes[3]),
         e = timed(kProbes[4]);
    a(), b(), c(), d(), e();  // warm-up
    const auto time = Interleaved(settings.rounds, a, b, c, d, e);
    std::string table = Text(
        "What a process pays before its entry (notes, not targets): programs that return "
        "from their entry at once, each loading more of what Quendral loads, from "
        "CreateProcess to their end, medians over %d interleaved rounds.\n\n"
        "| the program loads | ms | added |\n| --- | --- | --- |\n",
        settings.rounds);
    double before = 0;
    for (std::size_t i = 0; i < std::size(kProbes); ++i) {
        const double ms = Median(time[i]) / 1000;
        table += i == 0 ? Text("| %s | %.1f | |\n", kProbes[i].adds, ms)
                        : Text("| %s | %.1f | %+.1f |\n", kProbes[i].adds, ms, ms - before);
        before = ms;
    }
    report.sections.push_back(table);
}

}  // namespace

void StartUpFigures(Report& report, const Settings& settings) {
    StartUpAndMemory(report, settings);
    if (!report.Wants('4')) return;
    // What a process pays before its entry is a note, so that its failure leaves 4 and 5 measured.
    try {
        StartProbes(report, settings);
    } catch (const std::exception& error) {
        report.notes.push_back(Text("The start-up probes were not measured: %s", error.what()));
    }
}

}  // namespace quendral::bench
