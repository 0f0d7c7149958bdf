#include <doctest/doctest.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "announce/delivery.h"

using namespace quendral;

namespace {

// A desktop of messenger windows in the system's order, top-level and message-only, a
// clock, and what each window does with a record. Sends advance the clock by what they cost.
struct Desktop {
    struct Window {
        std::uint64_t takesMs = 0;  // time to answer a record
        bool closesOnRecord = false;
        bool raisesOnRecord = false;
        int records = 0;
    };
    std::vector<WindowHandle> order;
    std::vector<WindowHandle> messageOnly;
    std::map<WindowHandle, Window> windows;
    std::uint64_t clock = 0;
    std::vector<std::pair<WindowHandle, unsigned>> sends;  // window and the wait it was given
    std::vector<WindowHandle> lookups;                     // the window each lookup searched after
    DeliveryPacer pacer;
    std::set<WindowHandle> refuses;  // windows of higher rights, which refuse every record
    DeliveryReport report;           // the last step's

    void Open(WindowHandle handle, std::uint64_t takesMs = 0) {
        order.push_back(handle);
        windows[handle].takesMs = takesMs;
    }
    void OpenMessageOnly(WindowHandle handle, std::uint64_t takesMs = 0) {
        messageOnly.push_back(handle);
        windows[handle].takesMs = takesMs;
    }
    bool Exists(WindowHandle handle) const {
        return std::find(order.begin(), order.end(), handle) != order.end() ||
               std::find(messageOnly.begin(), messageOnly.end(), handle) != messageOnly.end();
    }

    WindowHandle FindNext(Search search, WindowHandle after) {
        lookups.push_back(after);
        const std::vector<WindowHandle>& list = search == Search::kTopLevel ? order : messageOnly;
        if (after == 0) return list.empty() ? 0 : list.front();
        const auto at = std::find(list.begin(), list.end(), after);
        // As the system does, a search after a window that is gone finds nothing.
        if (at == list.end() || at + 1 == list.end()) return 0;
        return *(at + 1);
    }

    // As the system's, a send to a window that is gone fails at once.
    SendOutcome Send(WindowHandle handle, unsigned waitMs) {
        if (!Exists(handle)) return SendOutcome::kNotTaken;
        if (refuses.contains(handle)) return SendOutcome::kRefused;
        sends.emplace_back(handle, waitMs);
        Window& window = windows[handle];
        ++window.records;
        if (window.raisesOnRecord) {
            std::erase(order, handle);
            order.insert(order.begin(), handle);
        }
        if (window.closesOnRecord) std::erase(order, handle);
        const bool answered = window.takesMs <= waitMs;
        clock += answered ? window.takesMs : waitMs;
        return answered ? SendOutcome::kTook : SendOutcome::kNotTaken;
    }

    // One step; returns its length on the clock.
    std::uint64_t Step() {
        sends.clear();
        lookups.clear();
        const std::uint64_t start = clock;
        report = DeliverToEveryWindow(
            pacer, [this](Search search, WindowHandle after) { return FindNext(search, after); },
            [this](WindowHandle handle, unsigned waitMs) { return Send(handle, waitMs); },
            [this] { return clock; });
        return clock - start;
    }

    std::vector<WindowHandle> Sent() const {
        std::vector<WindowHandle> sent;
        for (const auto& send : sends) sent.push_back(send.first);
        return sent;
    }
};

}  // namespace

TEST_CASE("Delivery::every window found gets the record once, in the order found") {
    Desktop desktop;
    SUBCASE("no messenger window: one lookup of each kind, nothing sent") {
        desktop.Step();
        CHECK(desktop.lookups == std::vector<WindowHandle>{0, 0});
        CHECK(desktop.sends.empty());
    }
    SUBCASE("two windows: both, then the search ends after the last") {
        desktop.Open(0x20060);
        desktop.Open(0x300a2);
        desktop.Step();
        CHECK(desktop.Sent() == std::vector<WindowHandle>{0x20060, 0x300a2});
        CHECK(desktop.lookups == std::vector<WindowHandle>{0, 0x20060, 0x300a2, 0});
    }
    SUBCASE("message-only windows after the top-level ones, each once a step") {
        desktop.OpenMessageOnly(0x70);
        desktop.Open(0x10);
        desktop.OpenMessageOnly(0x50);
        desktop.Open(0x30);
        // A handle both searches meet is sent to once, in its first place.
        desktop.OpenMessageOnly(0x30);
        for (int step = 0; step < 2; ++step) {
            desktop.Step();
            CHECK(desktop.Sent() == std::vector<WindowHandle>{0x10, 0x30, 0x70, 0x50});
        }
        CHECK(desktop.lookups == std::vector<WindowHandle>{0, 0x10, 0x30, 0, 0x70, 0x50, 0x30});
    }
    SUBCASE("a handle that is not positive as 32 bits is skipped and the search goes on") {
        desktop.Open(0x100);
        desktop.Open(0x80001234);
        desktop.Open(static_cast<WindowHandle>(-5));
        desktop.Open(0x200);
        desktop.Step();
        CHECK(desktop.Sent() == std::vector<WindowHandle>{0x100, 0x200});
    }
}

TEST_CASE("Delivery::a window list that changes while the step sends") {
    Desktop desktop;
    for (WindowHandle handle : {0x10, 0x20, 0x30}) desktop.Open(handle);
    SUBCASE("windows that move to the top on each record get one each and the step ends") {
        desktop.windows[0x10].raisesOnRecord = true;
        desktop.windows[0x20].raisesOnRecord = true;
        for (int step = 1; step <= 3; ++step) {
            desktop.Step();
            CHECK(desktop.sends.size() == 3);
        }
        for (const auto& [handle, window] : desktop.windows) CHECK(window.records == 3);
    }
    SUBCASE("the first window closing inside its record leaves the others served") {
        desktop.windows[0x10].closesOnRecord = true;
        desktop.Step();
        CHECK(desktop.Sent() == std::vector<WindowHandle>{0x10, 0x20, 0x30});
        desktop.Step();
        CHECK(desktop.Sent() == std::vector<WindowHandle>{0x20, 0x30});
    }
    SUBCASE("windows opened or closed between steps count from the next step") {
        desktop.Step();
        std::erase(desktop.order, 0x20);
        desktop.Open(0x40);
        desktop.Step();
        CHECK(desktop.Sent() == std::vector<WindowHandle>{0x10, 0x30, 0x40});
    }
    SUBCASE("a search that keeps meeting the same windows stops") {
        std::size_t lookups = 0;
        const std::vector<WindowHandle> found =
            CollectWindows([&](Search search, WindowHandle after) {
                ++lookups;
                if (search == Search::kMessageOnly) return WindowHandle{0x90};
                return after == 0x10 ? WindowHandle{0x20} : WindowHandle{0x10};
            });
        // The lookups are shared: none is left for the message-only windows.
        CHECK(found == std::vector<WindowHandle>{0x10, 0x20});
        CHECK(lookups == kMaxLookups);
    }
}

TEST_CASE("Delivery::a window gone by its turn does not cost the others their record") {
    Desktop desktop;
    for (WindowHandle handle : {0x10, 0x20, 0x30}) desktop.Open(handle);
    for (WindowHandle handle : {0x50, 0x60}) desktop.OpenMessageOnly(handle);
    std::vector<WindowHandle> sent;
    DeliverToEveryWindow(
        desktop.pacer,
        [&](Search search, WindowHandle after) { return desktop.FindNext(search, after); },
        [&](WindowHandle handle, unsigned) {
            // Gone since the search: the send fails at once.
            if (handle == 0x10 || handle == 0x50) return SendOutcome::kNotTaken;
            sent.push_back(handle);
            return SendOutcome::kTook;
        },
        [] { return std::uint64_t{0}; });
    CHECK(sent == std::vector<WindowHandle>{0x20, 0x30, 0x60});
    // A send that failed at once says nothing of the window's pace.
    CHECK_FALSE(desktop.pacer.IsSlow(0x10));
    CHECK_FALSE(desktop.pacer.IsSlow(0x50));
}

TEST_CASE("Delivery::a step sends to at most 1,024 windows of both kinds together") {
    Desktop desktop;
    SUBCASE("top-level ones fill it: the message-only search is not even made") {
        for (WindowHandle handle = 1; handle <= 2000; ++handle) desktop.Open(handle);
        desktop.OpenMessageOnly(0x100000);
        desktop.Step();
        REQUIRE(desktop.sends.size() == kMaxMessengerWindows);
        CHECK(desktop.sends.back().first == kMaxMessengerWindows);
        CHECK(desktop.lookups.size() == kMaxMessengerWindows);
    }
    SUBCASE("the message-only ones take the places the top-level ones leave") {
        for (WindowHandle handle = 1; handle <= 1000; ++handle) desktop.Open(handle);
        for (WindowHandle handle = 5001; handle <= 5100; ++handle) desktop.OpenMessageOnly(handle);
        desktop.Step();
        REQUIRE(desktop.sends.size() == kMaxMessengerWindows);
        CHECK(desktop.sends[999].first == 1000);
        CHECK(desktop.sends.back().first == 5024);
    }
}

TEST_CASE("Delivery::a step keeps to its time whatever the windows do") {
    Desktop desktop;
    SUBCASE("four slow windows ahead of a healthy one, across both searches") {
        for (WindowHandle handle : {0x10, 0x20}) desktop.Open(handle, 1500);
        for (WindowHandle handle : {0x30, 0x40}) desktop.OpenMessageOnly(handle, 1500);
        desktop.OpenMessageOnly(0x50, 1);
        // The first slow window takes the whole budget, the others the short wait.
        CHECK(desktop.Step() == kStepBudgetMs + 3 * kShortWaitMs + 1);
        CHECK(desktop.sends.front().second == kStepBudgetMs);
        CHECK(desktop.windows[0x50].records == 1);
        // From then on none of them makes a step wait more than the short wait.
        for (int step = 0; step < 5; ++step) {
            CHECK(desktop.Step() == 4 * kShortWaitMs + 1);
            CHECK(desktop.sends.back() ==
                  std::pair<WindowHandle, unsigned>{0x50, kStepBudgetMs - 4 * kShortWaitMs});
        }
        CHECK(desktop.windows[0x50].records == 6);
    }
    SUBCASE("a window that answers promptly again gets the full budget again") {
        desktop.Open(0x10, 5000);
        desktop.Step();
        CHECK(desktop.pacer.IsSlow(0x10));
        desktop.windows[0x10].takesMs = 2;
        desktop.Step();
        CHECK(desktop.sends.front().second == kShortWaitMs);
        CHECK_FALSE(desktop.pacer.IsSlow(0x10));
        desktop.Step();
        CHECK(desktop.sends.front().second == kStepBudgetMs);
    }
    SUBCASE("a window a little late on a busy machine keeps its full wait") {
        desktop.Open(0x10, kShortWaitMs + 30);
        desktop.Step();
        CHECK_FALSE(desktop.pacer.IsSlow(0x10));
        desktop.Step();
        CHECK(desktop.sends.front().second == kStepBudgetMs);
        CHECK(desktop.windows[0x10].records == 2);
        // One that answers only after a real wait is slow from then on.
        desktop.windows[0x10].takesMs = kSlowAnswerMs;
        desktop.Step();
        CHECK(desktop.pacer.IsSlow(0x10));
    }
    SUBCASE("a desktop full of windows of both kinds that never answer") {
        for (WindowHandle handle = 1; handle <= kMaxMessengerWindows; ++handle) {
            if (handle % 2 == 0)
                desktop.Open(handle, 1'000'000);
            else
                desktop.OpenMessageOnly(handle, 1'000'000);
        }
        for (int step = 0; step < 3; ++step) {
            CHECK(desktop.Step() <= kStepLimitMs);
            for (const auto& send : desktop.sends) REQUIRE(send.second > 0);
        }
        // The first window, which had the budget in the first step, never has it again.
        CHECK(desktop.sends.front() == std::pair<WindowHandle, unsigned>{2, kShortWaitMs});
    }
    SUBCASE("a window that closes or fails at once changes nothing it is remembered by") {
        desktop.Open(0x10, 5000);
        desktop.Step();
        REQUIRE(desktop.pacer.IsSlow(0x10));
        desktop.pacer.Note(0x10, 0, false);
        CHECK(desktop.pacer.IsSlow(0x10));
        // Once gone from the desktop it is forgotten.
        desktop.order.clear();
        desktop.Step();
        CHECK_FALSE(desktop.pacer.IsSlow(0x10));
    }
}

TEST_CASE(
    "Delivery::a step reports the windows found, those that took the record and those that refused "
    "it") {
    Desktop desktop;
    SUBCASE("none found") {
        desktop.Step();
        CHECK(desktop.report == DeliveryReport{0, 0, 0});
    }
    SUBCASE("all took it, message-only ones counted with the top-level ones") {
        desktop.Open(0x10);
        desktop.OpenMessageOnly(0x20);
        desktop.Step();
        CHECK(desktop.report == DeliveryReport{2, 2, 0});
    }
    SUBCASE("one that never answers ahead of a healthy one: one of two") {
        desktop.Open(0x10, 1'000'000);
        desktop.Open(0x20, 1);
        desktop.Step();
        CHECK(desktop.report == DeliveryReport{2, 1, 0});
    }
    SUBCASE("windows of higher rights refuse it: counted apart from those that took it") {
        desktop.Open(0x10);
        desktop.Open(0x20);
        desktop.refuses = {0x10, 0x20};
        desktop.Step();
        CHECK(desktop.report == DeliveryReport{2, 0, 2});
        desktop.refuses = {0x20};
        desktop.Step();
        CHECK(desktop.report == DeliveryReport{2, 1, 1});
    }
    SUBCASE("a window gone by its turn was found but did not take it") {
        desktop.Open(0x10);
        desktop.Open(0x20);
        desktop.windows[0x10].closesOnRecord = true;
        desktop.Step();
        CHECK(desktop.report == DeliveryReport{2, 2, 0});
        std::erase(desktop.order, 0x20);  // closed after the search, before its send
        desktop.order.push_back(0x20);
        DeliveryReport report = DeliverToEveryWindow(
            desktop.pacer,
            [&](Search search, WindowHandle after) { return desktop.FindNext(search, after); },
            [](WindowHandle, unsigned) { return SendOutcome::kNotTaken; },
            [] { return std::uint64_t{0}; });
        CHECK(report == DeliveryReport{1, 0, 0});
    }
    SUBCASE("windows the step ran out of time for count as found, not as having taken it") {
        for (WindowHandle handle = 1; handle <= 30; ++handle) desktop.Open(handle, 1'000'000);
        desktop.Open(0x1000, 1);
        desktop.Step();
        REQUIRE(desktop.windows[0x1000].records == 0);
        CHECK(desktop.report == DeliveryReport{31, 0, 0});
    }
}
