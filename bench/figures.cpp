// The figures. Each drives the real Quendral.exe from outside, through window messages
// as the tests do, and sets it against what the platform itself costs for the same work.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "announce/delivery.h"
#include "bench/baselines.h"
#include "bench/report.h"
#include "rotation/pace.h"
#include "rotation/rotation.h"
#include "support/handles.h"
#include "support/harness.h"
#include "support/identities.h"
#include "support/pe_image.h"
#include "support/quendral_app.h"
#include "support/stopwatch.h"

namespace quendral::bench {

namespace {

namespace qt = quendral::testing;

constexpr DWORD kStartTimeoutMs = 20000;
constexpr int kSmallList = 3;
constexpr int kReceivers = 8;
constexpr int kMemorySteps = 5;
constexpr int kFastPace = kMaxPace;  // no tick comes between two presses
constexpr int kSlowReceivers = 4;
constexpr DWORD kSlowWatchMs = 15000;

constexpr double kStepTarget = 1.2, kFlatTarget = 1.1, kLinearTarget = 1.2;
constexpr double kStartTarget = 1.5, kMemoryTarget = 1.5;
constexpr std::uint64_t kSizeTarget = 400 * 1024;
constexpr double kCadenceTarget = 0.02, kSlowShareTarget = 0.8;

// ------------------------------------------------------------- one side against another

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The median over the rounds of measured / reference, each round's values set against
// each other.
double MedianRatio(const std::vector<double>& measured, const std::vector<double>& reference) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < measured.size(); ++i) ratios.push_back(measured[i] / reference[i]);
    return Median(ratios);
}

// Measures every side once a round, back to back, the side that goes first moving on by
// one each round so that none always runs first. Each side's values in the order given.
template <class... Side>
std::array<std::vector<double>, sizeof...(Side)> Interleaved(int rounds, Side&&... sides) {
    constexpr std::size_t count = sizeof...(Side);
    const std::array<std::function<double()>, count> measure{std::ref(sides)...};
    std::array<std::vector<double>, count> values;
    for (std::size_t round = 0; round < static_cast<std::size_t>(rounds); ++round) {
        for (std::size_t turn = 0; turn < count; ++turn) {
            values[(round + turn) % count].push_back(measure[(round + turn) % count]());
        }
    }
    return values;
}

// ------------------------------------------------------------- what the figures share

// Polls, millisecond by millisecond and without pumping, for the visible top-level window
// of a class and caption that a process opened. Another process's caption is read without
// a message, so a busy program cannot stall the poll.
HWND WaitForShownWindow(DWORD pid, const wchar_t* className, const wchar_t* caption) {
    for (const Stopwatch watch; watch.Ms() <= kStartTimeoutMs; Sleep(1)) {
        for (HWND window : qt::TopLevelWindows(className, pid)) {
            wchar_t text[128]{};
            GetWindowTextW(window, text, 128);
            if (IsWindowVisible(window) && std::wstring_view(text) == caption) return window;
        }
    }
    return nullptr;
}

// The text of an entry; every entry has the same length, so every record the same size.
std::u16string EntryText(int index) {
    const std::string text = Text("Entry %05d", index);
    return {text.begin(), text.end()};
}

// A Quendral with its small list, at a pace.
void Prepare(qt::QuendralApp& app, int pace) {
    for (int i = 0; i < kSmallList; ++i) app.AddEntry(EntryText(i));
    app.SetPace(pace);
}

// Checks that the messenger logged exactly the records the steps should have delivered.
void ExpectRecords(const qt::Messenger& messenger, std::size_t expected, const char* what) {
    messenger.WaitForRecords(expected, 5000);
    const std::size_t logged = messenger.Records().size();
    if (logged != expected) {
        throw std::runtime_error(Text("%s: the messenger logged %d records where %d were sent",
                                      what, static_cast<int>(logged), static_cast<int>(expected)));
    }
}

// count stand-in messengers started with options, each ready for records.
std::vector<std::unique_ptr<qt::Messenger>> StartMessengers(int count, const wchar_t* options) {
    std::vector<std::unique_ptr<qt::Messenger>> started;
    while (started.size() < static_cast<std::size_t>(count)) {
        started.push_back(std::make_unique<qt::Messenger>(options));
    }
    for (const auto& messenger : started) WaitForInputIdle(messenger->Process().Handle(), 5000);
    return started;
}

std::string Microseconds(double value) {
    return value >= 10000 ? Text("%s µs", Grouped(static_cast<std::uint64_t>(value)).c_str())
                          : Text("%.0f µs", value);
}

// ---------------------------------------------------------------------------- 1, 2 and 3

// What figures 1 to 3 share: one stand-in messenger, a Quendral with a small list, the
// baseline button, and the count of records the messenger should have logged.
struct StepRig {
    explicit StepRig(int stepCount) : steps(stepCount) {
        const HWND window =
            WaitForShownWindow(buttonProcess.Id(), kBaselineButtonClass, kBaselineButtonCaption);
        button = window != nullptr ? FindWindowExW(window, nullptr, L"Button", L"Ok") : nullptr;
        if (button == nullptr) throw std::runtime_error("the baseline button did not appear");
        WaitForInputIdle(buttonProcess.Handle(), 5000);
        Prepare(small, kFastPace);
        // The records Quendral sends for its entries, to be sent straight from here.
        for (int i = 0; i < kSmallList; ++i) records.push_back(qt::RecordBytesFor(EntryText(i)));
        // Warm-up: every path once, untimed.
        PressOk(small);
        Direct(button, BM_CLICK);
        Direct(small.Form(), WM_NULL);
        ExpectDelivered("warm-up");
    }

    // Microseconds per step over `steps` steps, after one untimed step that brings the
    // windows involved to the state the timed ones run in (focus, activation, caches).
    template <class Step>
    double Timed(Step&& step) {
        sent += static_cast<std::size_t>(steps) + 1;
        step(0);
        const Stopwatch watch;
        for (int i = 1; i <= steps; ++i) step(i);
        return watch.Microseconds() / steps;
    }
    // Microseconds per press of a Quendral's "Ok": one step, one record to each messenger.
    double PressOk(qt::QuendralApp& app) {
        return Timed([&](int) { app.Press(app.Ok()); });
    }
    // Microseconds per message to a window (a press of the baseline button, a bare round
    // trip to Quendral's) plus the record Quendral would send, sent from here as it does.
    double Direct(HWND window, UINT message) {
        return Timed([&](int i) {
            SendMessageW(window, message, 0, 0);
            std::vector<std::uint8_t>& bytes = records[static_cast<std::size_t>(i % kSmallList)];
            COPYDATASTRUCT record{kNowPlayingRecordId, static_cast<DWORD>(bytes.size()),
                                  bytes.data()};
            DWORD_PTR ignored = 0;
            if (!SendMessageTimeoutA(messenger.Window(), WM_COPYDATA, 0,
                                     reinterpret_cast<LPARAM>(&record),
                                     SMTO_BLOCK | SMTO_ABORTIFHUNG, kStepBudgetMs, &ignored)) {
                throw std::runtime_error("the stand-in messenger did not take a record");
            }
        });
    }
    // Checks that the messenger logged exactly the records sent to it so far.
    void ExpectDelivered(const char* what) const { ExpectRecords(messenger, sent, what); }

    const int steps;
    qt::Messenger messenger;
    qt::QuendralApp small;
    qt::ChildProcess buttonProcess{qt::BesideThisProgram(L"baseline_button.exe"), L""};
    HWND button = nullptr;
    std::vector<std::vector<std::uint8_t>> records;
    std::size_t sent = 0;
};

// 1. A press of "Ok" against what the platform spends on the same: a press of a plain
// owner-drawn button, or a bare round trip to Quendral's window, plus the record sent
// straight to the messenger.
void StepCost(Report& report, const Settings& settings, StepRig& rig) {
    const auto [ok, button, bare] = Interleaved(
        settings.rounds, [&] { return rig.PressOk(rig.small); },
        [&] { return rig.Direct(rig.button, BM_CLICK); },
        [&] { return rig.Direct(rig.small.Form(), WM_NULL); });
    rig.ExpectDelivered("figure 1");
    for (const auto& [label, reference] : {std::pair{"1a", &button}, {"1b", &bare}}) {
        const double ratio = MedianRatio(ok, *reference);
        report.Set(
            label,
            Text("%.2f (%s vs %s per step, %+.0f µs)", ratio, Microseconds(Median(ok)).c_str(),
                 Microseconds(Median(*reference)).c_str(), Median(ok) - Median(*reference)),
            ratio <= kStepTarget);
    }
}

// 2. A step with the list full against a step with the small list, two Quendrals side by side.
void FlatInListSize(Report& report, const Settings& settings, StepRig& rig) {
    qt::QuendralApp large;
    large.SetPace(kFastPace);
    // All but the last entry go straight into the list box (LB_ADDSTRING, as "Add" itself
    // appends them), not redrawn meanwhile: typing each into the input box and pressing
    // "Add" would take four times as long. The last one goes through "Add", which must
    // still take it.
    const Stopwatch filling;
    SendMessageW(large.List(), WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i + 1 < kMaxEntries; ++i) {
        SendMessageW(large.List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(EntryText(i).c_str()));
    }
    large.AddEntry(EntryText(kMaxEntries - 1));
    SendMessageW(large.List(), WM_SETREDRAW, TRUE, 0);
    RedrawWindow(large.List(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    if (large.EntryCount() != kMaxEntries) {
        throw std::runtime_error(
            Text("Quendral holds %d entries, not %d", large.EntryCount(), kMaxEntries));
    }
    report.notes.push_back(
        Text("Figure 2: the full list was filled through Quendral's list box "
             "(LB_ADDSTRING, the last entry through \"Add\", WM_SETREDRAW off) in %.1f s.",
             filling.Microseconds() / 1e6));
    // Counted afresh, as the small Quendral's timer may have ticked meanwhile.
    rig.sent = rig.messenger.Records().size();
    rig.PressOk(large);  // warm-up
    rig.PressOk(rig.small);

    const auto [small, full] = Interleaved(
        settings.rounds, [&] { return rig.PressOk(rig.small); },
        [&] { return rig.PressOk(large); });
    rig.ExpectDelivered("figure 2");
    const double ratio = MedianRatio(full, small);
    report.Set("2",
               Text("%.2f (%s vs %s per step)", ratio, Microseconds(Median(full)).c_str(),
                    Microseconds(Median(small)).c_str()),
               ratio <= kFlatTarget);
}

// 3. A step with 8 messengers against 8 steps with 1. The other 7 are started for each
// round and ended after it, so both sides alternate within the same run.
void LinearInReceivers(Report& report, const Settings& settings, StepRig& rig) {
    const auto timed = [&](int count) {
        if (qt::TopLevelWindows(kMessengerClassW).size() != static_cast<std::size_t>(count)) {
            throw std::runtime_error(Text("not exactly %d messenger windows are open", count));
        }
        return rig.PressOk(rig.small);
    };
    const auto [one, many] = Interleaved(
        settings.rounds, [&] { return timed(1); },
        [&] {
            const auto others = StartMessengers(kReceivers - 1, L"--title receiver");
            const double perStep = timed(kReceivers);
            for (const auto& other : others) ExpectRecords(*other, rig.steps + 1u, "figure 3");
            return perStep;
        });
    rig.ExpectDelivered("figure 3");
    const double ratio = MedianRatio(many, one) / kReceivers;
    report.Set(
        "3",
        Text("%.2f (%s with %d vs %s with 1 per step)", ratio, Microseconds(Median(many)).c_str(),
             kReceivers, Microseconds(Median(one)).c_str()),
        ratio <= kLinearTarget);
}

// ---------------------------------------------------------------------------- 4 and 5

// Starts a program of the build being timed and returns its microseconds from
// CreateProcess to its visible window; lets exercise work it, then adds its peak working
// set in MB to peaks and ends it.
double LaunchProgram(const Settings& settings, std::vector<double>& peaks, const wchar_t* program,
                     const wchar_t* className, const wchar_t* caption,
                     const std::function<void(HWND)>& exercise = {}) {
    const Stopwatch watch;
    qt::ChildProcess process(settings.startFrom + program, L"");
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

// 4 and 5. Start-up time and memory against a program that only opens a window.
void StartUpAndMemory(Report& report, const Settings& settings) {
    qt::Messenger messenger;
    std::size_t delivered = 0;
    std::array<std::vector<double>, 4> memory;  // Quendral, baseline, with one button, bare
    const auto quendral = [&] {
        return LaunchProgram(
            settings, memory[0], L"Quendral.exe", kFormClass, kFormCaption, [&](HWND form) {
                const HWND input = FindWindowExW(form, nullptr, L"Edit", nullptr);
                for (int i = 0; i < kSmallList; ++i) {
                    SendMessageW(input, WM_SETTEXT, 0,
                                 reinterpret_cast<LPARAM>(EntryText(i).c_str()));
                    SendMessageW(FindWindowExW(form, nullptr, L"Button", L"Add"), BM_CLICK, 0, 0);
                }
                const HWND ok = FindWindowExW(form, nullptr, L"Button", L"Ok");
                for (int i = 0; i < kMemorySteps; ++i) SendMessageW(ok, BM_CLICK, 0, 0);
                delivered += kMemorySteps;
                ExpectRecords(messenger, delivered, "start-up");
            });
    };
    const auto baseline = [&] {
        return LaunchProgram(settings, memory[1], L"baseline_window.exe", kBaselineWindowClass,
                             kBaselineWindowCaption);
    };
    // Not a figure: what common controls 6 alone add to a start (one button, as Quendral's).
    const auto withButton = [&] {
        return LaunchProgram(settings, memory[2], L"baseline_button.exe", kBaselineButtonClass,
                             kBaselineButtonCaption);
    };

    // The platform's real minimum: no manifest, no C++ runtime.
    const auto bare = [&] {
        return LaunchProgram(settings, memory[3], L"bare_window.exe", kBareWindowClass,
                             kBareWindowCaption);
    };

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

// Notes to figure 4: where Quendral's start-up goes, phase by phase, from the benchmark's
// own build of it, Quendral_timed.exe. That marks the end of each phase and, once its
// window has been painted, writes the marks down: a line with its performance counter's
// frequency, then "ticks phase" lines in the order the phases ended. Medians over the
// rounds, after one round to warm up.
void StartUpPhases(Report& report, const Settings& settings) {
    std::vector<std::pair<std::string, std::vector<double>>> phases;  // in the order they end
    std::vector<double> painted, seen;
    for (int round = 0; round <= settings.rounds; ++round) {
        const std::wstring path = qt::FreshTempPath(L"quendral-phases");
        const double start = Stopwatch::Now();
        qt::ChildProcess process(settings.startFrom + L"Quendral_timed.exe",
                                 L"--phases \"" + path + L"\"");
        const HWND window = WaitForShownWindow(process.Id(), kFormClass, kFormCaption);
        const double shown = Stopwatch::Now() - start;
        if (window == nullptr) throw std::runtime_error("Quendral_timed.exe showed no window");
        // The file appears, whole, once the window has been painted, and can be read once
        // the rename that made it has let go of it: until then it reads as empty.
        std::vector<std::uint8_t> bytes;
        for (const Stopwatch waiting;
             (bytes = qt::FileBytes(path)).empty() && waiting.Ms() < kStartTimeoutMs;) {
            Sleep(1);
        }
        DeleteFileW(path.c_str());
        std::istringstream lines(std::string(bytes.begin(), bytes.end()));
        double frequency = 0, ticks = 0, previous = 0;
        for (std::string phase; lines >> ticks && std::getline(lines >> std::ws, phase);) {
            if (phase.ends_with('\r')) phase.pop_back();
            if (frequency == 0) {
                frequency = phase == "frequency" ? ticks : 0;
                continue;
            }
            const double end = ticks * 1e6 / frequency - start;
            auto found = std::find_if(phases.begin(), phases.end(),
                                      [&](const auto& known) { return known.first == phase; });
            if (found == phases.end()) found = phases.insert(found, {phase, {}});
            if (round > 0) found->second.push_back(end - previous);
            previous = end;
        }
        if (previous == 0) throw std::runtime_error("Quendral_timed.exe wrote no start-up marks");
        if (round > 0) {
            painted.push_back(previous);
            seen.push_back(shown);
        }
    }

    const double total = Median(painted);
    std::string table = Text(
        "Where Quendral's start-up goes (notes, not targets): Quendral_timed.exe, the same "
        "program built with marks at the end of each phase, medians over %d starts. A "
        "phase runs from the end of the one above it; the first from CreateProcess.\n\n"
        "| phase | ms | share |\n| --- | --- | --- |\n",
        settings.rounds);
    for (const auto& [phase, durations] : phases) {
        table += Text("| %s | %.1f | %.0f %% |\n", phase.c_str(), Median(durations) / 1000,
                      total > 0 ? Median(durations) * 100 / total : 0.0);
    }
    table += Text("| **CreateProcess to the first paint done** | **%.1f** | |\n", total / 1000);
    table += Text("| CreateProcess to the window seen shown by the benchmark | %.1f | |\n",
                  Median(seen) / 1000);
    report.sections.push_back(table);
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
        return [&settings, &probe] {
            const Stopwatch watch;
            qt::ChildProcess process(settings.startFrom + probe.program, L"");
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

// ---------------------------------------------------------------------------- 6

// The shipped file, read as data.
void SizeAndImports(Report& report, const Settings& settings) {
    const std::vector<std::uint8_t> bytes = qt::FileBytes(settings.shipped);
    const qt::PeImage file = qt::ParsePeImage(bytes);
    if (!file.valid) throw std::runtime_error("cannot read " + Narrow(settings.shipped));
    report.Set("6a",
               Text("%s bytes (%.1f KB)", Grouped(bytes.size()).c_str(), bytes.size() / 1024.0),
               bytes.size() <= kSizeTarget);

    const auto joined = [](const std::vector<std::string>& names) {
        std::string text;
        for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
        return text;
    };
    const std::vector<std::string> loaded = qt::LoadedDlls(file);
    const std::vector<std::string> foreign = qt::NotWindowsOwn(loaded);
    report.Set("6b",
               Text("%d: %s", static_cast<int>(loaded.size()), joined(loaded).c_str()) +
                   (foreign.empty() ? "" : "; not Windows' own: " + joined(foreign)),
               foreign.empty() && !loaded.empty());
    if (file.machine != IMAGE_FILE_MACHINE_I386) {
        report.notes.push_back(
            Text("Figure 6 read a file that is not a 32-bit (i386) program: machine 0x%04x.",
                 file.machine));
    }
}

// ---------------------------------------------------------------------------- 7 and 8

// When each now-playing record reached the arrival clock, in microseconds on this
// program's clock. Kept within the room reserved for it, so that noting one never throws.
std::vector<double> arrivals;

void UnregisterClass(ATOM atom) {
    UnregisterClassW(MAKEINTATOM(atom), GetModuleHandleW(nullptr));
}

// The arrival clock: a window of the messenger's class inside the benchmark itself. Sent
// messages reach it whenever this thread waits in a message call, so no messenger process
// stands between Quendral's timer and the clock.
LRESULT CALLBACK NoteArrival(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    const double now = Stopwatch::Now();
    if (message != WM_COPYDATA) return DefWindowProcW(window, message, wParam, lParam);
    const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (record != nullptr && record->dwData == kNowPlayingRecordId &&
        arrivals.size() < arrivals.capacity()) {
        arrivals.push_back(now);
    }
    return TRUE;
}

// 7. The timer's cadence at pace 1, timed on arrival by a receiver inside the benchmark.
void Cadence(Report& report, const Settings& settings) {
    if (!qt::TopLevelWindows(kMessengerClassW).empty()) {
        throw std::runtime_error("a messenger window is still open");
    }
    const auto expected = static_cast<std::size_t>(settings.ticks) + 1;  // "Ok", then each tick
    arrivals.clear();
    arrivals.reserve(expected + 16);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &NoteArrival;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kMessengerClassW;
    const Unique<ATOM, &UnregisterClass> registered(RegisterClassExW(&windowClass));
    const UniqueWindow clock(CreateWindowExW(0, kMessengerClassW, L"Benchmark arrival clock",
                                             WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                             windowClass.hInstance, nullptr));
    if (!registered || !clock) throw std::runtime_error("cannot open the arrival clock's window");

    qt::QuendralApp app;
    Prepare(app, 1);
    app.Press(app.Ok());
    qt::WaitUntil([&] { return arrivals.size() >= expected; }, (settings.ticks + 10) * 1000u);
    if (arrivals.size() < expected) {
        throw std::runtime_error(Text("%d of %d records arrived", static_cast<int>(arrivals.size()),
                                      static_cast<int>(expected)));
    }
    double worst = 0;  // ms off the period
    for (std::size_t i = 1; i < expected; ++i) {
        const double off = (arrivals[i] - arrivals[i - 1]) / 1000 - 1000;
        if (std::abs(off) > std::abs(worst)) worst = off;
    }
    const double mean = (arrivals[expected - 1] - arrivals[0]) / 1000 / settings.ticks;
    const double off = (mean - 1000) / 1000;
    report.Set("7",
               Text("%.1f ms (%+.2f %%) over %d ticks; worst interval off by %+.1f ms", mean,
                    off * 100, settings.ticks, worst),
               std::abs(off) <= kCadenceTarget);
}

// 8. Quendral rotating at pace 1 with a healthy messenger last in the window order, behind
// 4 slow ones that take 1.5 s a record and then alone, probed with WM_NULL every 100 ms.
void SlowReceivers(Report& report, const Settings&) {
    struct Watched {
        double worstMs = 0;
        int unanswered = 0, records = 0;
    };
    const auto watch = [](int slowCount) {
        qt::Messenger healthy(L"--title healthy");
        const auto slow = StartMessengers(slowCount, L"--answer-after 1500 --title slow");
        SetWindowPos(healthy.Window(), HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        qt::QuendralApp app;
        Prepare(app, 1);
        // Posted, so that the first step, the one that meets the slow windows unknown, is
        // watched too.
        PostMessageW(app.Ok(), BM_CLICK, 0, 0);
        Watched watched;
        const std::size_t before = healthy.Records().size();
        for (const Stopwatch watching; watching.Ms() < kSlowWatchMs; Sleep(100)) {
            const Stopwatch probe;
            DWORD_PTR ignored = 0;
            // A bound well past the target, so that the worst answer is measured, not cut.
            watched.unanswered += !SendMessageTimeoutW(app.Form(), WM_NULL, 0, 0, SMTO_NORMAL,
                                                       4 * kAnswerBoundMs, &ignored);
            watched.worstMs = std::max(watched.worstMs, probe.Ms());
        }
        watched.records = static_cast<int>(healthy.Records().size() - before);
        return watched;
    };
    const Watched crowded = watch(kSlowReceivers), alone = watch(0);
    const double share = alone.records > 0 ? 1.0 * crowded.records / alone.records : 0;
    report.Set(
        "8",
        Text("worst %s ms (alone %s ms); %d records (alone %d): %.0f %%",
             Grouped(static_cast<std::uint64_t>(crowded.worstMs)).c_str(),
             Grouped(static_cast<std::uint64_t>(alone.worstMs)).c_str(), crowded.records,
             alone.records, share * 100),
        crowded.unanswered == 0 && crowded.worstMs <= kAnswerBoundMs && share >= kSlowShareTarget);
}

}  // namespace

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

// The figures wanted, each function under the report's one catch.
void MeasureFigures(Report& report, const Settings& settings) {
    report.Attempt("6", [&] { SizeAndImports(report, settings); });
    report.Attempt("45", [&] {
        StartUpAndMemory(report, settings);
        if (!report.Wants('4')) return;
        // Where the start-up goes is a note, so that its failure leaves 4 and 5 measured.
        try {
            StartUpPhases(report, settings);
        } catch (const std::exception& error) {
            report.notes.push_back(std::string("The start-up phases were not measured: ") +
                                   error.what());
        }
        try {
            StartProbes(report, settings);
        } catch (const std::exception& error) {
            report.notes.push_back(std::string("The start-up probes were not measured: ") +
                                   error.what());
        }
    });
    // 1, 2 and 3: the cost of one step, which should stay close to the platform's own, flat
    // in the list's size and linear in the number of receivers.
    report.Attempt("123", [&] {
        StepRig rig(settings.steps);
        report.Attempt("1", [&] { StepCost(report, settings, rig); });
        report.Attempt("2", [&] { FlatInListSize(report, settings, rig); });
        report.Attempt("3", [&] { LinearInReceivers(report, settings, rig); });
    });
    report.Attempt("7", [&] { Cadence(report, settings); });
    report.Attempt("8", [&] { SlowReceivers(report, settings); });
}

}  // namespace quendral::bench
