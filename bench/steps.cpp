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

std::string Microseconds(double value) {
    return Text("%.0f µs", value);
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
    }

    // Rounds of one step of each side in turn, `steps` times over, the first side moving on
    // by one each time, after an untimed step of each (focus, activation, caches). Each
    // side's median step in microseconds, a value a round: steps taken in turn share the
    // machine's load, and a median leaves out those a scheduler's hiccup lengthened.
    template <class... Step>
    auto Alternating(int rounds, Step&&... sides) {
        constexpr std::size_t count = sizeof...(Step);
        const std::array<std::function<void()>, count> step{std::ref(sides)...};
        std::array<std::vector<double>, count> medians;
        for (int round = 0; round < rounds; ++round) {
            for (const auto& each : step) each();
            std::array<std::vector<double>, count> times;
            for (std::size_t i = 0; i < static_cast<std::size_t>(steps); ++i) {
                for (std::size_t turn = 0; turn < count; ++turn) {
                    const std::size_t side = (i + turn) % count;
                    const Stopwatch watch;
                    step[side]();
                    times[side].push_back(watch.Microseconds());
                }
            }
            sent += (static_cast<std::size_t>(steps) + 1) * count;
            for (std::size_t side = 0; side < count; ++side) {
                medians[side].push_back(Median(times[side]));
            }
        }
        return medians;
    }
    // A press of a Quendral's "Ok": one step, one record to each receiver.
    static std::function<void()> PressOk(qt::QuendralApp& app) {
        return [&app] { app.Press(app.Ok()); };
    }
    // A message to a window (a press of the baseline button, a bare round trip to
    // Quendral's) plus the record Quendral would send, sent from here as it does.
    std::function<void()> Direct(HWND window, UINT message) {
        return [this, window, message] {
            SendMessageW(window, message, 0, 0);
            DWORD_PTR ignored = 0;
            if (!SendMessageTimeoutA(receiver.window, WM_COPYDATA, 0,
                                     reinterpret_cast<LPARAM>(&record),
                                     SMTO_BLOCK | SMTO_ABORTIFHUNG, kStepBudgetMs, &ignored)) {
                throw std::runtime_error("the quiet receiver did not take a record");
            }
        };
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
    const auto [ok, button, bare] =
        rig.Alternating(settings.rounds, rig.PressOk(rig.small), rig.Direct(rig.button, BM_CLICK),
                        rig.Direct(rig.small.Form(), WM_NULL));
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

    const auto [small, full] =
        rig.Alternating(settings.rounds, rig.PressOk(rig.small), rig.PressOk(large));
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
        return rig.Alternating(1, rig.PressOk(rig.small))[0][0];
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
