// Figures 1, 2 and 3: the cost of one step, which should stay close to the platform's
// own, flat in the list's size and linear in the number of receivers. Every step goes to
// quiet receivers, which cost next to nothing, so that the sender's cost shows.
#include <deque>

#include "bench/bench.h"
#include "rotation/pace.h"
#include "rotation/rotation.h"

namespace quendral::bench {

namespace {

constexpr int kReceivers = 8;
constexpr int kFastPace = kMaxPace;  // no tick comes between two presses

// "9876 µs", "12,345 µs".
std::string Microseconds(double value) {
    return value >= 10000 ? Text("%s µs", Grouped(static_cast<std::uint64_t>(value)).c_str())
                          : Text("%.0f µs", value);
}

// What the figures share: one receiver, a Quendral with the small list, the baseline
// button, and the count of records the receiver should have taken.
struct StepRig {
    explicit StepRig(int stepCount) : steps(stepCount) {
        const HWND window =
            WaitForShownWindow(buttonProcess.Id(), kBaselineButtonClass, kBaselineButtonCaption);
        button = window != nullptr ? GetDlgItem(window, kBaselineButtonId) : nullptr;
        if (button == nullptr) throw std::runtime_error("the baseline button did not appear");
        WaitForInputIdle(buttonProcess.Handle(), 5000);
        PlaceAt(window, 640, 0);
        PlaceAt(small.Form(), 0, 0);
        Prepare(small, kFastPace);
        // Warm-up: every path once, untimed.
        PressOk(small);
        Direct(button, BM_CLICK);
        Direct(small.Form(), WM_NULL);
        receiver.Expect(sent, "warm-up");
    }

    // Microseconds per step over `steps` steps, after one untimed step that brings the
    // windows involved to the state the timed ones run in (focus, activation, caches).
    template <class Step>
    double Timed(Step&& step) {
        sent += static_cast<std::size_t>(steps) + 1;
        step();
        const Stopwatch watch;
        for (int i = 0; i < steps; ++i) step();
        return watch.Microseconds() / steps;
    }
    // Microseconds per press of a Quendral's "Ok": one step, one record to each receiver.
    double PressOk(qt::QuendralApp& app) {
        return Timed([&] { app.Press(app.Ok()); });
    }
    // Microseconds per message to a window (a press of the baseline button, a bare round
    // trip to Quendral's) plus the record Quendral would send, sent from here as it does.
    double Direct(HWND window, UINT message) {
        return Timed([&] {
            SendMessageW(window, message, 0, 0);
            DWORD_PTR ignored = 0;
            if (!SendMessageTimeoutA(receiver.window, WM_COPYDATA, 0,
                                     reinterpret_cast<LPARAM>(&record),
                                     SMTO_BLOCK | SMTO_ABORTIFHUNG, kStepBudgetMs, &ignored)) {
                throw std::runtime_error("the quiet receiver did not take a record");
            }
        });
    }

    const int steps;
    QuietReceiver receiver;
    qt::QuendralApp small;
    qt::ChildProcess buttonProcess{qt::BesideThisProgram(L"baseline_button.exe"), L""};
    HWND button = nullptr;
    // What Quendral sends for an entry, its text as long as theirs, to send straight from here.
    std::vector<std::uint8_t> bytes = qt::RecordBytesFor(EntryText(0));
    COPYDATASTRUCT record{kNowPlayingRecordId, static_cast<DWORD>(bytes.size()), bytes.data()};
    std::size_t sent = 0;
};

// 1. A press of "Ok" against what the platform spends on the same: a press of a plain
// owner-drawn button, or a bare round trip to Quendral's window, plus the record sent
// straight to the receiver.
void StepCost(Report& report, const Settings& settings, StepRig& rig) {
    const auto [ok, button, bare] = Interleaved(
        settings.rounds, [&] { return rig.PressOk(rig.small); },
        [&] { return rig.Direct(rig.button, BM_CLICK); },
        [&] { return rig.Direct(rig.small.Form(), WM_NULL); });
    rig.receiver.Expect(rig.sent, "figure 1");
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
    PlaceAt(large.Form(), 0, 512);
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
    rig.sent = rig.receiver.Taken();
    rig.PressOk(large);  // warm-up
    rig.PressOk(rig.small);

    const auto [small, full] = Interleaved(
        settings.rounds, [&] { return rig.PressOk(rig.small); },
        [&] { return rig.PressOk(large); });
    rig.receiver.Expect(rig.sent, "figure 2");
    const double ratio = MedianRatio(full, small);
    report.Set("2",
               Text("%.2f (%s vs %s per step)", ratio, Microseconds(Median(full)).c_str(),
                    Microseconds(Median(small)).c_str()),
               ratio <= kFlatTarget);
}

// 3. A step with 8 receivers against 8 steps with 1. The other 7 are started for each
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
            const std::deque<QuietReceiver> others(kReceivers - 1);
            const double perStep = timed(kReceivers);
            for (const QuietReceiver& other : others) other.Expect(rig.steps + 1u, "figure 3");
            return perStep;
        });
    rig.receiver.Expect(rig.sent, "figure 3");
    const double ratio = MedianRatio(many, one) / kReceivers;
    report.Set(
        "3",
        Text("%.2f (%s with %d vs %s with 1 per step)", ratio, Microseconds(Median(many)).c_str(),
             kReceivers, Microseconds(Median(one)).c_str()),
        ratio <= kLinearTarget);
}

}  // namespace

void StepFigures(Report& report, const Settings& settings) {
    StepRig rig(settings.steps);
    report.Attempt("1", [&] { StepCost(report, settings, rig); });
    report.Attempt("2", [&] { FlatInListSize(report, settings, rig); });
    report.Attempt("3", [&] { LinearInReceivers(report, settings, rig); });
}

}  // namespace quendral::bench
