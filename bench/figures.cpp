// The figures. Each drives the real Quendral.exe from outside, through window messages
// as the tests do, and sets it against what the platform itself costs for the same work.
#include <windows.h>
#include <psapi.h>

#include <cmath>
#include <iterator>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "announce/delivery.h"
#include "announce/now_playing.h"
#include "bench/baselines.h"
#include "bench/report.h"
#include "bench/rounds.h"
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
using Messengers = std::vector<std::unique_ptr<qt::Messenger>>;

constexpr DWORD kStartTimeoutMs = 20000;
constexpr int kSmallList = 3;
constexpr int kLargeList = kMaxEntries;
constexpr int kReceivers = 8;
constexpr int kMemorySteps = 5;
constexpr int kFastPace = kMaxPace;  // no tick comes between two presses
constexpr int kCadencePace = 1;
constexpr int kSlowReceivers = 4;
constexpr int kSlowAnswerMs = 1500;
constexpr DWORD kSlowWatchMs = 15000;

constexpr double kStepTarget = 1.2;
constexpr double kFlatTarget = 1.1;
constexpr double kLinearTarget = 1.2;
constexpr double kStartTarget = 1.5;
constexpr double kMemoryTarget = 1.5;
constexpr std::uint64_t kSizeTarget = 400 * 1024;
constexpr double kCadenceTarget = 0.02;
constexpr double kSlowShareTarget = 0.8;

// Polls, millisecond by millisecond and without pumping, for the visible top-level window
// of a class and caption that a process opened. Another process's caption is read without
// a message, so a busy program cannot stall the poll.
HWND WaitForShownWindow(DWORD pid, const wchar_t* className, const wchar_t* caption) {
    for (const Stopwatch watch; watch.Ms() <= kStartTimeoutMs; Sleep(1)) {
        for (HWND window : qt::TopLevelWindows(className, pid)) {
            wchar_t text[128]{};
            if (!IsWindowVisible(window)) continue;
            GetWindowTextW(window, text, static_cast<int>(std::size(text)));
            if (std::wstring_view(text) == caption) return window;
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
        throw std::runtime_error(Text("%s: the messenger logged %lld records where %lld were sent",
                                      what, static_cast<long long>(logged),
                                      static_cast<long long>(expected)));
    }
}

// ---------------------------------------------------------------------------- 1, 2 and 3

// What figures 1 to 3 share: one stand-in messenger, a Quendral with a small list, the
// baseline button, and the count of records the messenger should have logged.
class StepRig {
public:
    explicit StepRig(int steps)
        : steps_(steps), buttonProcess_(qt::BesideThisProgram(L"baseline_button.exe"), L"") {
        const HWND window =
            WaitForShownWindow(buttonProcess_.Id(), kBaselineButtonClass, kBaselineButtonCaption);
        button_ = window != nullptr ? FindWindowExW(window, nullptr, L"Button", L"Ok") : nullptr;
        if (button_ == nullptr) throw std::runtime_error("the baseline button did not appear");
        WaitForInputIdle(buttonProcess_.Handle(), 5000);
        Prepare(small, kFastPace);
        // The records Quendral sends for its entries, to be sent straight from here.
        for (int i = 0; i < kSmallList; ++i) {
            records_.push_back(
                BuildNowPlayingText(EntryText(i), {}, {}, {}, kDefaultFormat, kTrue));
        }
    }

    int Steps() const { return steps_; }

    // Microseconds per press of a Quendral's "Ok": one step, one record to each messenger.
    double PressOk(qt::QuendralApp& app) {
        return Timed([&](int) { app.Press(app.Ok()); });
    }

    // Microseconds per press of the baseline button plus the record sent from here.
    double PressBaseline() {
        return Timed([&](int i) {
            SendMessageW(button_, BM_CLICK, 0, 0);
            SendRecord(i);
        });
    }

    // Microseconds per bare round trip to Quendral's window plus the record sent from here.
    double RoundTrip() {
        return Timed([&](int i) {
            SendMessageW(small.Form(), WM_NULL, 0, 0);
            SendRecord(i);
        });
    }

    // Checks that the messenger logged exactly the records sent to it so far.
    void ExpectDelivered(const char* what) const { ExpectRecords(messenger, sent_, what); }

    // Starts counting afresh from what the messenger logged, after a pause in which a
    // Quendral's timer may have ticked.
    void Recount() { sent_ = messenger.Records().size(); }

    qt::Messenger messenger;
    qt::QuendralApp small;

private:
    template <class Step>
    double Timed(Step&& step) {
        sent_ += static_cast<std::size_t>(steps_) + 1;
        return TimePerStep(steps_, step);
    }

    // Sends a record the way Quendral sends it.
    void SendRecord(int i) const {
        const std::u16string& text = records_[static_cast<std::size_t>(i % kSmallList)];
        COPYDATASTRUCT record{kNowPlayingRecordId, ByteLength(text),
                              const_cast<char16_t*>(text.data())};
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutA(messenger.Window(), WM_COPYDATA, 0,
                                 reinterpret_cast<LPARAM>(&record), SMTO_BLOCK | SMTO_ABORTIFHUNG,
                                 kStepBudgetMs, &ignored)) {
            throw std::runtime_error("the stand-in messenger did not take a record");
        }
    }

    int steps_;
    qt::ChildProcess buttonProcess_;
    HWND button_ = nullptr;
    std::vector<std::u16string> records_;
    std::size_t sent_ = 0;
};

// 1. A press of "Ok" against what the platform spends on the same: a press of a plain
// owner-drawn button, or a bare round trip to Quendral's window, plus the record sent
// straight to the messenger.
void StepCost(Report& report, const Settings& settings, StepRig& rig) {
    Say("1: \"Ok\" against the baseline press and a round trip, %d rounds of %d steps",
        settings.rounds, rig.Steps());
    Paired againstButton, againstRoundTrip;
    for (int round = 0; round < settings.rounds; ++round) {
        const auto [ok, plain, bare] = Round<double>(
            round, [&] { return rig.PressOk(rig.small); }, [&] { return rig.PressBaseline(); },
            [&] { return rig.RoundTrip(); });
        againstButton.Add(ok, plain);
        againstRoundTrip.Add(ok, bare);
        Say("  round %d: \"Ok\" %.0f µs, button + send %.0f µs, WM_NULL + send %.0f µs", round + 1,
            ok, plain, bare);
    }
    rig.ExpectDelivered("figure 1");
    for (auto [label, paired] : {std::pair{"1a", &againstButton}, {"1b", &againstRoundTrip}}) {
        const double measured = Median(paired->measured);
        const double reference = Median(paired->reference);
        report.Set(label,
                   Text("%.2f (%s vs %s per step, %+.0f µs)", paired->Ratio(),
                        Microseconds(measured).c_str(), Microseconds(reference).c_str(),
                        measured - reference),
                   paired->Ratio() <= kStepTarget);
    }
}

// 2. A step with the list full against a step with the small list, two Quendrals side by side.
void FlatInListSize(Report& report, const Settings& settings, StepRig& rig) {
    Say("2: filling a second Quendral with %d entries", kLargeList);
    qt::QuendralApp large;
    large.SetPace(kFastPace);
    // All but the last entry go straight into the list box (LB_ADDSTRING, as "Add" itself
    // appends them), not redrawn meanwhile: typing each into the input box and pressing
    // "Add" would take four times as long. The last one goes through "Add", which must
    // still take it.
    const Stopwatch filling;
    SendMessageW(large.List(), WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i + 1 < kLargeList; ++i) {
        const std::u16string entry = EntryText(i);
        SendMessageW(large.List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    large.AddEntry(EntryText(kLargeList - 1));
    SendMessageW(large.List(), WM_SETREDRAW, TRUE, 0);
    RedrawWindow(large.List(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    if (large.EntryCount() != kLargeList) {
        throw std::runtime_error(
            Text("Quendral holds %d entries, not %d", large.EntryCount(), kLargeList));
    }
    const double fillSeconds = filling.Microseconds() / 1e6;
    rig.Recount();
    rig.PressOk(large);  // warm-up
    rig.PressOk(rig.small);

    Say("2: %d entries against %d, %d alternating rounds", kLargeList, kSmallList, settings.rounds);
    Paired flat;
    for (int round = 0; round < settings.rounds; ++round) {
        const auto [small, full] = Round<double>(
            round, [&] { return rig.PressOk(rig.small); }, [&] { return rig.PressOk(large); });
        flat.Add(full, small);
        Say("  round %d: %d entries %.0f µs, %d entries %.0f µs", round + 1, kLargeList, full,
            kSmallList, small);
    }
    rig.ExpectDelivered("figure 2");
    report.Set(
        "2",
        Text("%.2f (%s vs %s per step)", flat.Ratio(), Microseconds(Median(flat.measured)).c_str(),
             Microseconds(Median(flat.reference)).c_str()),
        flat.Ratio() <= kFlatTarget);
    report.Note(
        Text("Figure 2: the full list was filled through Quendral's list box "
             "(LB_ADDSTRING, the last entry through \"Add\", WM_SETREDRAW off) in %.1f s.",
             fillSeconds));
}

// 3. A step with 8 messengers against 8 steps with 1. The other 7 are started for each
// round and ended after it, so both sides alternate within the same run.
void LinearInReceivers(Report& report, const Settings& settings, StepRig& rig) {
    Say("3: %d messengers against 1, %d alternating rounds", kReceivers, settings.rounds);
    const auto expectReceivers = [](int count) {
        if (qt::TopLevelWindows(kMessengerClassW).size() != static_cast<std::size_t>(count)) {
            throw std::runtime_error(Text("not exactly %d messenger windows are open", count));
        }
    };
    const auto timeOne = [&] {
        expectReceivers(1);
        return rig.PressOk(rig.small);
    };
    const auto timeMany = [&] {
        Messengers others;
        for (int i = 2; i <= kReceivers; ++i) {
            others.push_back(std::make_unique<qt::Messenger>(L"--title \"Receiver " +
                                                             std::to_wstring(i) + L"\""));
        }
        for (const auto& other : others) WaitForInputIdle(other->Process().Handle(), 5000);
        expectReceivers(kReceivers);
        const double many = rig.PressOk(rig.small);
        for (const auto& other : others) {
            ExpectRecords(*other, static_cast<std::size_t>(rig.Steps()) + 1, "figure 3");
        }
        return many;
    };

    Paired linear;
    for (int round = 0; round < settings.rounds; ++round) {
        const auto [one, many] = Round<double>(round, timeOne, timeMany);
        linear.Add(many, kReceivers * one);
        Say("  round %d: %d messengers %.0f µs, 1 messenger %.0f µs", round + 1, kReceivers, many,
            one);
    }
    rig.ExpectDelivered("figure 3");
    report.Set("3",
               Text("%.2f (%s with %d vs %s with 1 per step)", linear.Ratio(),
                    Microseconds(Median(linear.measured)).c_str(), kReceivers,
                    Microseconds(Median(linear.reference) / kReceivers).c_str()),
               linear.Ratio() <= kLinearTarget);
}

// 1, 2 and 3: the cost of one step, which should stay close to the platform's own, flat
// in the list's size and linear in the number of receivers.
void Steps(Report& report, const Settings& settings) {
    Say("steps: a stand-in messenger, Quendral and the baseline button");
    StepRig rig(settings.steps);
    // Warm-up: every path once, untimed.
    rig.PressOk(rig.small);
    rig.PressBaseline();
    rig.RoundTrip();
    rig.ExpectDelivered("warm-up");
    for (auto [figure, measure] :
         {std::pair{'1', &StepCost}, {'2', &FlatInListSize}, {'3', &LinearInReceivers}}) {
        if (!settings.Wants(figure)) continue;
        report.Attempt(std::string_view(&figure, 1), [&] { measure(report, settings, rig); });
    }
}

// ---------------------------------------------------------------------------- 4 and 5

struct Launch {
    double microseconds = 0;
    std::uint64_t peakWorkingSet = 0;
};

// Starts a program, times it from CreateProcess to its visible window, lets exercise
// work it, reads its peak working set and ends it.
template <class Exercise>
Launch LaunchProgram(const std::wstring& program, const wchar_t* className, const wchar_t* caption,
                     Exercise&& exercise) {
    const Stopwatch watch;
    qt::ChildProcess process(program, L"");
    const HWND window = WaitForShownWindow(process.Id(), className, caption);
    const double microseconds = watch.Microseconds();
    if (window == nullptr) throw std::runtime_error(Narrow(program) + " showed no window");
    WaitForInputIdle(process.Handle(), 5000);
    exercise(window);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process.Handle(), &counters, sizeof(counters))) counters = {};
    // Ended rather than closed: without a window manager, Wine waits 2 s for one to confirm
    // that a closing window was withdrawn, which would only make the run longer.
    process.Kill();
    if (counters.PeakWorkingSetSize == 0) throw std::runtime_error("no working set figure");
    return {microseconds, counters.PeakWorkingSetSize};
}

// 4 and 5. Start-up time and memory against a program that only opens a window.
void StartUpAndMemory(Report& report, const Settings& settings) {
    Say("start-up and memory: %d rounds", settings.rounds);
    qt::Messenger messenger;
    std::size_t delivered = 0;
    // The programs of the build being timed (settings.startFrom).
    const auto launch = [&](const wchar_t* program, auto&&... rest) {
        return LaunchProgram(settings.startFrom + program, rest...);
    };
    const auto quendral = [&] {
        return launch(L"Quendral.exe", kFormClass, kFormCaption, [&](HWND form) {
            const HWND input = FindWindowExW(form, nullptr, L"Edit", nullptr);
            const HWND add = FindWindowExW(form, nullptr, L"Button", L"Add");
            const HWND ok = FindWindowExW(form, nullptr, L"Button", L"Ok");
            if (input == nullptr || add == nullptr || ok == nullptr) {
                throw std::runtime_error("a control of Quendral's window is missing");
            }
            for (int i = 0; i < kSmallList; ++i) {
                const std::u16string entry = EntryText(i);
                SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(entry.c_str()));
                SendMessageW(add, BM_CLICK, 0, 0);
            }
            for (int i = 0; i < kMemorySteps; ++i) SendMessageW(ok, BM_CLICK, 0, 0);
            delivered += kMemorySteps;
            ExpectRecords(messenger, delivered, "start-up");
        });
    };
    const auto baseline = [&] {
        return launch(L"baseline_window.exe", kBaselineWindowClass, kBaselineWindowCaption,
                      [](HWND) {});
    };
    // Not a figure: what common controls 6 alone add to a start (one button, as Quendral's).
    const auto withButton = [&] {
        return launch(L"baseline_button.exe", kBaselineButtonClass, kBaselineButtonCaption,
                      [](HWND) {});
    };

    quendral();  // warm-up: files cached, the system's DLLs mapped once
    baseline();
    withButton();
    Paired time, memory;
    std::vector<double> buttonTimes;
    for (int round = 0; round < settings.rounds; ++round) {
        const auto [measured, reference, button] =
            Round<Launch>(round, quendral, baseline, withButton);
        time.Add(measured.microseconds, reference.microseconds);
        memory.Add(static_cast<double>(measured.peakWorkingSet),
                   static_cast<double>(reference.peakWorkingSet));
        buttonTimes.push_back(button.microseconds);
        Say("  round %d: start-up %.0f / %.0f ms (with one button %.0f ms), peak working set "
            "%s / %s",
            round + 1, measured.microseconds / 1000, reference.microseconds / 1000,
            button.microseconds / 1000, Megabytes(memory.measured.back()).c_str(),
            Megabytes(memory.reference.back()).c_str());
    }
    report.Set("4",
               Text("%.2f (%.0f ms vs %.0f ms)", time.Ratio(), Median(time.measured) / 1000,
                    Median(time.reference) / 1000),
               time.Ratio() <= kStartTarget);
    report.Set("5",
               Text("%.2f (%s vs %s)", memory.Ratio(), Megabytes(Median(memory.measured)).c_str(),
                    Megabytes(Median(memory.reference)).c_str()),
               memory.Ratio() <= kMemoryTarget);
    report.Note(
        Text("Figure 4: the baseline window with one common-controls-6 button like "
             "\"Ok\" (baseline_button.exe) starts in %.0f ms, %.2f times the plain "
             "window: the platform's price of the controls library alone.",
             Median(buttonTimes) / 1000, Median(buttonTimes) / Median(time.reference)));
    report.Note(
        "Figure 5: under Wine the working set is the whole process's resident memory, "
        "Wine's own libraries included, as the system reports it.");
}

// Starts Quendral_timed.exe, which marks the end of each start-up phase and writes the
// marks down once its window has been painted: a line with its performance counter's
// frequency, then "ticks phase" lines in the order the phases ended. Returns each phase
// with its microseconds from CreateProcess to its end, and sets shown to those to the
// window seen shown.
std::vector<std::pair<std::string, double>> TimedStart(const std::wstring& program, double& shown) {
    const std::wstring path = qt::FreshTempPath(L"quendral-phases");
    const double start = Stopwatch::Now();
    std::string text;
    {
        qt::ChildProcess process(program, L"--phases \"" + path + L"\"");
        const HWND window = WaitForShownWindow(process.Id(), kFormClass, kFormCaption);
        shown = Stopwatch::Now() - start;
        if (window == nullptr) throw std::runtime_error("Quendral_timed.exe showed no window");
        // The file appears, whole, once the window has been painted.
        for (const Stopwatch waiting; GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
                                      waiting.Ms() < kStartTimeoutMs;) {
            Sleep(1);
        }
        const std::vector<std::uint8_t> bytes = qt::FileBytes(path);
        text.assign(bytes.begin(), bytes.end());
        process.Kill();
    }
    DeleteFileW(path.c_str());
    std::istringstream lines(text);
    std::vector<std::pair<std::string, double>> marks;
    double frequency = 0, ticks = 0;
    for (std::string phase; lines >> ticks && std::getline(lines >> std::ws, phase);) {
        if (!phase.empty() && phase.back() == '\r') phase.pop_back();
        if (frequency > 0) {
            marks.emplace_back(phase, ticks * 1e6 / frequency - start);
        } else if (phase == "frequency") {
            frequency = ticks;
        }
    }
    if (marks.empty()) throw std::runtime_error("Quendral_timed.exe wrote no start-up marks");
    return marks;
}

// Notes to figure 4: where Quendral's start-up goes, phase by phase, from the benchmark's
// own build of it. Medians over the rounds, after one round to warm up.
void StartUpPhases(Report& report, const Settings& settings) {
    const std::wstring program = settings.startFrom + L"Quendral_timed.exe";
    Say("start-up phases: %d rounds of %s", settings.rounds, Narrow(program).c_str());
    std::vector<std::pair<std::string, std::vector<double>>> phases;  // in the order they end
    std::vector<double> painted, seen;
    for (int round = 0; round <= settings.rounds; ++round) {
        double shown = 0, previous = 0;
        const std::vector<std::pair<std::string, double>> marks = TimedStart(program, shown);
        if (round == 0) continue;
        for (const auto& [phase, end] : marks) {
            auto found = std::find_if(phases.begin(), phases.end(),
                                      [&](const auto& known) { return known.first == phase; });
            if (found == phases.end()) found = phases.insert(found, {phase, {}});
            found->second.push_back(end - previous);
            previous = end;
        }
        painted.push_back(previous);
        seen.push_back(shown);
        Say("  round %d: painted after %.1f ms, seen shown after %.1f ms", round, previous / 1000,
            shown / 1000);
    }

    const double total = Median(painted);
    std::string table = Text(
        "Where Quendral's start-up goes (notes, not targets): Quendral_timed.exe, the same "
        "program built with marks at the end of each phase, medians over %d starts. A "
        "phase runs from the end of the one above it; the first from CreateProcess.\n\n"
        "| phase | ms | share |\n| --- | --- | --- |\n",
        settings.rounds);
    for (const auto& [phase, durations] : phases) {
        const double median = Median(durations);
        table += Text("| %s | %.1f | %.0f %% |\n", phase.c_str(), median / 1000,
                      total > 0 ? median * 100 / total : 0.0);
    }
    table += Text("| **CreateProcess to the first paint done** | **%.1f** | |\n", total / 1000);
    table += Text("| CreateProcess to the window seen shown by the benchmark | %.1f | |\n",
                  Median(seen) / 1000);
    report.Section(table);
}

// 4 and 5, then where the start-up goes: a note, so that its failure leaves them measured.
void StartUp(Report& report, const Settings& settings) {
    StartUpAndMemory(report, settings);
    if (!settings.Wants('4')) return;
    try {
        StartUpPhases(report, settings);
    } catch (const std::exception& error) {
        report.Note(std::string("The start-up phases were not measured: ") + error.what());
    }
}

// ---------------------------------------------------------------------------- 6

// The shipped file, read as data.
void SizeAndImports(Report& report, const Settings& settings) {
    Say("size and imports of %s", Narrow(settings.shipped).c_str());
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
        report.Note(
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
    Say("7: cadence at pace %d over %d ticks", kCadencePace, settings.ticks);
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
    if (!registered) throw std::runtime_error("cannot register a class");
    const UniqueWindow clock(CreateWindowExW(0, kMessengerClassW, L"Benchmark arrival clock",
                                             WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                             windowClass.hInstance, nullptr));
    if (!clock) throw std::runtime_error("cannot open the arrival clock's window");

    qt::QuendralApp app;
    Prepare(app, kCadencePace);
    app.Press(app.Ok());
    const DWORD patience = static_cast<DWORD>(settings.ticks + 10) * 1000;
    qt::WaitUntil([&] { return arrivals.size() >= expected; }, patience);
    if (arrivals.size() < expected) {
        throw std::runtime_error(Text("%d of %d records arrived", static_cast<int>(arrivals.size()),
                                      static_cast<int>(expected)));
    }
    const double period = kCadencePace * 1000.0;
    double worst = 0;
    for (std::size_t i = 1; i < expected; ++i) {
        const double interval = (arrivals[i] - arrivals[i - 1]) / 1000;
        if (std::abs(interval - period) > std::abs(worst)) worst = interval - period;
    }
    const double mean = (arrivals[expected - 1] - arrivals[0]) / 1000 / settings.ticks;
    const double off = (mean - period) / period;
    report.Set("7",
               Text("%.1f ms (%+.2f %%) over %d ticks; worst interval off by %+.1f ms", mean,
                    off * 100, settings.ticks, worst),
               std::abs(off) <= kCadenceTarget);
}

struct Watched {
    double worstMs = 0;
    int unanswered = 0;
    std::size_t records = 0;
};

// Quendral rotating at pace 1 with a healthy messenger last in the window order behind
// slowCount slow ones, probed with WM_NULL every 100 ms for kSlowWatchMs.
Watched WatchBehindSlow(int slowCount) {
    qt::Messenger healthy(L"--title healthy");
    Messengers slow;
    for (int i = 1; i <= slowCount; ++i) {
        slow.push_back(std::make_unique<qt::Messenger>(L"--answer-after " +
                                                       std::to_wstring(kSlowAnswerMs) +
                                                       L" --title slow" + std::to_wstring(i)));
    }
    SetWindowPos(healthy.Window(), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    qt::QuendralApp app;
    Prepare(app, 1);
    // Posted, so that the first step, the one that meets the slow windows unknown, is watched too.
    PostMessageW(app.Ok(), BM_CLICK, 0, 0);

    Watched watched;
    const std::size_t before = healthy.Records().size();
    for (const Stopwatch watch; watch.Ms() < kSlowWatchMs; Sleep(100)) {
        const Stopwatch probe;
        DWORD_PTR ignored = 0;
        // A bound well past the target, so that the worst answer is measured, not cut.
        if (SendMessageTimeoutW(app.Form(), WM_NULL, 0, 0, SMTO_NORMAL, 4 * kAnswerBoundMs,
                                &ignored) == 0) {
            ++watched.unanswered;
        }
        watched.worstMs = std::max(watched.worstMs, probe.Ms());
    }
    watched.records = healthy.Records().size() - before;
    return watched;
}

// 8. Slow receivers ahead of a healthy one against the healthy one alone.
void SlowReceivers(Report& report, const Settings&) {
    Say("8: %d slow messengers and a healthy one, then the healthy one alone, %u s each",
        kSlowReceivers, static_cast<unsigned>(kSlowWatchMs / 1000));
    const Watched crowded = WatchBehindSlow(kSlowReceivers);
    const Watched alone = WatchBehindSlow(0);
    Say("  with slow ones: worst %.0f ms, %d unanswered, %d records; alone: worst %.0f ms, %d "
        "records",
        crowded.worstMs, crowded.unanswered, static_cast<int>(crowded.records), alone.worstMs,
        static_cast<int>(alone.records));
    const double share = alone.records > 0 ? static_cast<double>(crowded.records) /
                                                 static_cast<double>(alone.records)
                                           : 0;
    report.Set(
        "8",
        Text("worst %s ms (alone %s ms); %d records (alone %d): %.0f %%",
             Grouped(static_cast<std::uint64_t>(crowded.worstMs)).c_str(),
             Grouped(static_cast<std::uint64_t>(alone.worstMs)).c_str(),
             static_cast<int>(crowded.records), static_cast<int>(alone.records), share * 100),
        crowded.unanswered == 0 && crowded.worstMs <= kAnswerBoundMs && share >= kSlowShareTarget);
}

}  // namespace

std::vector<Row> Figures() {
    return {
        {"6a", "Size of the shipped 32-bit Quendral.exe (picture and icon included)",
         Text("≤ 400 KB (%s bytes)", Grouped(kSizeTarget).c_str()), &SizeAndImports},
        {"6b", "DLLs the shipped 32-bit Quendral.exe imports", "Windows' own only",
         &SizeAndImports},
        {"4", "Start-up to the window shown: Quendral / baseline window",
         Text("≤ %.2f", kStartTarget), &StartUp},
        {"5", "Peak working set after start and 5 steps: Quendral / baseline window",
         Text("≤ %.2f", kMemoryTarget), &StartUp},
        {"1a", "Step cost: \"Ok\" press / (plain owner-drawn button press + direct send)",
         Text("≤ %.2f", kStepTarget), &Steps},
        {"1b", "Step cost: \"Ok\" press / (WM_NULL round trip to Quendral + direct send)",
         Text("≤ %.2f", kStepTarget), &Steps},
        {"2", "Flat in the list's size: step with 32,767 entries / step with 3",
         Text("≤ %.2f", kFlatTarget), &Steps},
        {"3", "Linear in receivers: step with 8 messengers / (8 × step with 1)",
         Text("≤ %.2f", kLinearTarget), &Steps},
        {"7", "Cadence at pace 1: mean interval between records", "1,000 ms ± 2 %", &Cadence},
        {"8",
         "Slow receivers at pace 1 over 15 s: Quendral's worst answer and the records a "
         "healthy messenger got behind 4 that take 1.5 s a record / the healthy one alone",
         Text("worst ≤ %s ms; ≥ %.0f %% of the records", Grouped(kAnswerBoundMs).c_str(),
              kSlowShareTarget * 100),
         &SlowReceivers},
    };
}

}  // namespace quendral::bench
