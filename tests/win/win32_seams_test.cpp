// The rotation's seams on real controls and a real window timer.
#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "harness/harness.h"
#include "rotation/win32_seams.h"

using namespace quendral;
using namespace quendral::testing;

namespace {

constexpr UINT_PTR kTimerId = 1;

// A hidden window holding a list box, an edit box and a label, counting its timer's ticks.
class Host {
public:
    Host() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Host::Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QuendralTestHost";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, L"QuendralTestHost", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                  300, nullptr, nullptr, windowClass.hInstance, this);
        list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VSCROLL, 0, 0, 100, 100, window_,
                               nullptr, nullptr, nullptr);
        edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 120, 100, 20, window_,
                               nullptr, nullptr, nullptr);
        SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
        label = CreateWindowExW(0, L"STATIC", L"2", WS_CHILD, 120, 0, 20, 20, window_, nullptr,
                                nullptr, nullptr);
        timer = std::make_unique<WindowTimer>(window_, kTimerId);
    }
    ~Host() {
        timer.reset();
        DestroyWindow(window_);
    }

    HWND Window() const { return window_; }
    // Stops the timer and says whether it was set: for a timer that should be off, a
    // check that changes nothing and needs no wait.
    bool TimerWasSet() const { return KillTimer(window_, kTimerId) != FALSE; }

    HWND list = nullptr;
    HWND edit = nullptr;
    HWND label = nullptr;
    std::unique_ptr<WindowTimer> timer;
    int ticks = 0;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<Host*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_TIMER && wParam == kTimerId && self != nullptr) {
            ++self->ticks;
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
};

// The notice's balloon: the tooltip owned by the window.
HWND BalloonOf(HWND window) {
    for (HWND tip : TopLevelWindows(TOOLTIPS_CLASSW, GetCurrentProcessId())) {
        if (GetWindow(tip, GW_OWNER) == window) return tip;
    }
    return nullptr;
}

struct Recording final : Announcer {
    std::vector<std::u16string> announced;
    DeliveryReport Announce(std::u16string_view entry) override {
        announced.emplace_back(entry);
        return {};
    }
};

}  // namespace

TEST_CASE("Win32Controls::the list box keeps every text exactly") {
    Host host;
    ListBoxEntries liste(host.list);
    const std::u16string texts[] = {
        u"",
        u"plain",
        u"Türkçe şarkı ğüşıöç",
        u"\U0001F3B5 emoji",
        std::u16string(u"lone \xD800 and \xDC00 surrogates"),
        u"\u05E9\u05DC\u05D5\u05DD right to left",
        u"\\0\\0\\0",
        std::u16string(1'000'000, u'w'),
    };
    for (const auto& text : texts) liste.Append(text);
    REQUIRE(liste.Count() == static_cast<std::int16_t>(std::size(texts)));
    for (std::int16_t i = 0; i < liste.Count(); ++i) CHECK(liste.At(i) == texts[i]);
    CHECK(liste.At(liste.Count()).empty());

    liste.Clear();
    CHECK(liste.Count() == 0);
}

TEST_CASE("Win32Controls::the input box and the label round-trip any text") {
    Host host;
    BalloonNotice notice;
    EditInputBox ekle(host.edit, notice);
    WindowTextControl saniye(host.label);
    const std::u16string big(1'000'000, u'\u00E7');
    ekle.SetText(big);
    CHECK(ekle.Text() == big);
    ekle.SetText(u"\U0001F3B5\xD800");
    CHECK(ekle.Text() == u"\U0001F3B5\xD800");
    saniye.SetText(u"-1");
    CHECK(saniye.Text() == u"-1");
}

TEST_CASE("Win32Controls::a full list box takes nothing more, the text stays, the user is told") {
    Host host;
    ListBoxEntries liste(host.list);
    BalloonNotice notice;
    EditInputBox ekle(host.edit, notice);
    for (int i = 0; i < kMaxEntries; ++i) liste.Append(u"e");
    REQUIRE(liste.Count() == kMaxEntries);

    ekle.SetText(u"keep me");
    AddEntry(liste, ekle);
    CHECK(liste.Count() == kMaxEntries);
    CHECK(SendMessageW(host.list, LB_GETCOUNT, 0, 0) == kMaxEntries);
    CHECK(ekle.Text() == u"keep me");

    // A balloon at the input box says why, then goes by itself.
    const HWND balloon = BalloonOf(host.Window());
    REQUIRE(balloon != nullptr);
    CHECK(IsWindowVisible(balloon));
    CHECK(WaitUntil([&] { return !IsWindowVisible(balloon); }, BalloonNotice::kShowMs + 30000));
    AddEntry(liste, ekle);
    CHECK(IsWindowVisible(balloon));
    CHECK(BalloonOf(host.Window()) == balloon);

    // The rotation still passes the last entry and comes back to the first.
    Recording messenger;
    std::int16_t rotationIndex = kMaxEntries - 1;
    RotationStep(liste, rotationIndex, messenger);
    RotationStep(liste, rotationIndex, messenger);
    CHECK(messenger.announced.size() == 2);
    CHECK(rotationIndex == 1);
}

TEST_CASE("Win32Controls::the window timer's period and switch are independent") {
    Host host;
    WindowTimer& Timer1 = *host.timer;

    SUBCASE("a period alone starts nothing") {
        Timer1.SetPeriod(50);
        CHECK_FALSE(host.TimerWasSet());
    }
    SUBCASE("on with a period ticks; period 0 stops it while it stays on; a period resumes it") {
        Timer1.SetPeriod(50);
        Timer1.SwitchOn();
        CHECK(WaitUntil([&] { return host.ticks >= 3; }, 5000));

        Timer1.SetPeriod(0);
        const int stoppedAt = host.ticks;
        CHECK_FALSE(host.TimerWasSet());

        Timer1.SetPeriod(50);
        CHECK(WaitUntil([&] { return host.ticks >= stoppedAt + 3; }, 5000));
    }
}
