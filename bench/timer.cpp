// Figures 7 and 8: the rotation's timer, its cadence at pace 1 and Quendral's answers
// while slow messengers hold up its steps.
#include <cmath>
#include <deque>

#include "bench/bench.h"

namespace quendral::bench {

namespace {

constexpr int kSlowReceivers = 4;
constexpr DWORD kSlowWatchMs = 15000;

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

}  // namespace

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
        std::deque<qt::Messenger> slow;
        while (slow.size() < static_cast<std::size_t>(slowCount)) {
            WaitForInputIdle(
                slow.emplace_back(L"--answer-after 1500 --title slow").Process().Handle(), 5000);
        }
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

}  // namespace quendral::bench
