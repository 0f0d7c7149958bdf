// Handing one record to every messenger window in a step of bounded length. Plain C++:
// the window search, the send and the clock come in as callables, so the host tests
// drive it with windows and time of their own.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quendral {

// A window handle as a number; 0 is "none".
using WindowHandle = std::uintptr_t;

// Handles the system gives out fit in 32 bits; one that reads as 0 or negative
// there is not a window to send to.
constexpr bool IsSendableHandle(WindowHandle handle) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(handle)) > 0;
}

// A step sends to at most this many windows; more are left out of it.
inline constexpr std::size_t kMaxMessengerWindows = 1024;
// The search gives up after this many lookups, should the order keep changing under it.
inline constexpr std::size_t kMaxLookups = 4 * kMaxMessengerWindows;

// A step's time. Windows may take up to kStepBudgetMs in all to accept the record; after
// that, and always for a window that made an earlier step wait (it let its wait run out,
// or answered only after kSlowAnswerMs), each gets kShortWaitMs. A window not reached by
// kStepLimitMs misses the step, so Quendral, which handles nothing else while it sends,
// answers any message within kAnswerBoundMs. A messenger that is merely a little late on
// a busy machine is not counted slow: a short wait could then cost it records.
inline constexpr unsigned kStepBudgetMs = 1000;
inline constexpr unsigned kShortWaitMs = 50;
inline constexpr unsigned kSlowAnswerMs = 250;
inline constexpr unsigned kStepLimitMs = 2000;
inline constexpr unsigned kAnswerBoundMs = 3000;
static_assert(kShortWaitMs < kSlowAnswerMs && kSlowAnswerMs < kStepBudgetMs &&
              kStepBudgetMs < kStepLimitMs && kStepLimitMs + 500 <= kAnswerBoundMs);

// Where a step looks for messenger windows: among the top-level windows, then among the
// message-only ones (windows made with the parent HWND_MESSAGE, which no top-level search
// finds).
enum class Search { kTopLevel, kMessageOnly };

// The windows findNext(search, after) yields, each search from its top (after 0): the
// top-level ones, then the message-only ones, each in the order found. Each sendable
// window comes once, at most kMaxMessengerWindows of them, found in at most kMaxLookups
// lookups in all.
template <class FindNext>
std::vector<WindowHandle> CollectWindows(FindNext&& findNext) {
    std::vector<WindowHandle> windows;
    std::size_t lookups = 0;
    for (const Search search : {Search::kTopLevel, Search::kMessageOnly}) {
        WindowHandle last = 0;
        while (lookups < kMaxLookups && windows.size() < kMaxMessengerWindows) {
            ++lookups;
            last = findNext(search, last);
            if (last == 0) break;
            // A window met again means the order changed under the search: it already has
            // its place.
            if (IsSendableHandle(last) &&
                std::find(windows.begin(), windows.end(), last) == windows.end())
                windows.push_back(last);
        }
    }
    return windows;
}

// How one send went. Windows refuses a message from a program of lower integrity (Vista's
// UIPI) with ERROR_ACCESS_DENIED; Wine gives the same for a record of more than about 1 MB.
enum class SendOutcome {
    kTook,      // the window answered within its wait
    kNotTaken,  // it timed out, was hung or was gone by its turn
    kRefused,   // the system refused to deliver it
};

// Windows' ERROR_ACCESS_DENIED, the one error that means the system refused the record.
inline constexpr std::uint32_t kAccessDenied = 5;

// How a send the system failed went, by the error it left: a refusal, or (a timeout, a hung
// window, a window gone) a record not taken.
constexpr SendOutcome FailedSendOutcome(std::uint32_t error) {
    return error == kAccessDenied ? SendOutcome::kRefused : SendOutcome::kNotTaken;
}

// What a step's delivery did. A window the step ran out of time for counts as found, not
// as having taken the record.
struct DeliveryReport {
    std::size_t found = 0;
    std::size_t took = 0;
    std::size_t refused = 0;
    bool operator==(const DeliveryReport&) const = default;
};

// Decides how long each send of a step may wait, and remembers from step to step the
// windows that made it wait, so that no window makes Quendral wait twice in a row.
class DeliveryPacer {
public:
    // Milliseconds the send to window may wait, elapsedMs into the step: never 0, which
    // some systems read as "no limit"; 0 here means the step is out of time and stops.
    unsigned WaitFor(WindowHandle window, std::uint64_t elapsedMs) const;
    // How the send went: an answer within kSlowAnswerMs makes the window prompt again; a
    // later answer, or a wait of at least kShortWaitMs that ran out, marks it slow; a
    // send that failed at once (a hung or vanished window) changes nothing.
    void Note(WindowHandle window, std::uint64_t tookMs, bool answered);
    // Forgets the windows that are not among these.
    void KeepOnly(std::span<const WindowHandle> windows);
    bool IsSlow(WindowHandle window) const;

private:
    std::vector<WindowHandle> slow_;
};

// One step: collects the windows, then sends to each in the order found, ending by
// kStepLimitMs. send(window, waitMs) must fail at once for a window gone by its turn, as
// the system's does, so the rest still get the record; now() reads milliseconds.
template <class FindNext, class Send, class Now>
DeliveryReport DeliverToEveryWindow(DeliveryPacer& pacer, FindNext&& findNext, Send&& send,
                                    Now&& now) {
    const std::uint64_t start = now();
    const std::vector<WindowHandle> windows = CollectWindows(findNext);
    pacer.KeepOnly(windows);
    DeliveryReport report{windows.size(), 0, 0};
    for (const WindowHandle window : windows) {
        const std::uint64_t before = now();
        const unsigned wait = pacer.WaitFor(window, before - start);
        if (wait == 0) break;
        const SendOutcome outcome = send(window, wait);
        report.took += outcome == SendOutcome::kTook;
        report.refused += outcome == SendOutcome::kRefused;
        pacer.Note(window, now() - before, outcome == SendOutcome::kTook);
    }
    return report;
}

}  // namespace quendral
