// Quendral.exe end to end: the real program and stand-in messenger processes. The
// window is found by its caption, the controls by class and caption, and everything
// is driven from outside by window messages (WM_SETTEXT, BM_CLICK, posted key presses,
// WM_CLOSE), as a user's input would reach it. The built files are read back as data.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "harness/pe_image.h"
#include "harness/quendral_app.h"
#include "rotation/win32_seams.h"
#include "support/identities.h"
#include "ui/form1.h"
#include "win/built_file.h"

using namespace quendral;
using namespace quendral::testing;

namespace {

struct Pixels {
    int left, top, width, height;
    bool operator==(const Pixels&) const = default;
};

doctest::String toString(const Pixels& p) {
    return (std::to_string(p.left) + "," + std::to_string(p.top) + " " + std::to_string(p.width) +
            "x" + std::to_string(p.height))
        .c_str();
}

// A control's window rectangle in the form's client coordinates.
Pixels PlaceOf(HWND form, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256]{};
    GetClassNameW(window, name, 256);
    return name;
}

// The control that has the keyboard focus in the form's thread.
HWND FocusOf(HWND form) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

// The form in front, so that its thread has a focus at all.
bool BringToFront(HWND form) {
    if (GetForegroundWindow() != form) SetForegroundWindow(form);
    return WaitUntil([&] { return GetForegroundWindow() == form && FocusOf(form) != nullptr; },
                     10000);
}

// Key presses, posted as the system would queue a real one: WM_KEYDOWN, the WM_CHAR
// that TranslateMessage would make of it (if any), WM_KEYUP.

constexpr UINT kScanTab = 0x0F;
constexpr UINT kScanEnter = 0x1C;
constexpr UINT kScanEscape = 0x01;

LPARAM KeyData(UINT scan, bool up) {
    LPARAM data = 1 | static_cast<LPARAM>(scan) << 16;
    if (up) data |= static_cast<LPARAM>(0xC0000000u);
    return data;
}

void PostKeyPress(HWND target, UINT vk, UINT scan, wchar_t character = 0) {
    PostMessageW(target, WM_KEYDOWN, vk, KeyData(scan, false));
    if (character != 0) PostMessageW(target, WM_CHAR, character, KeyData(scan, false));
    PostMessageW(target, WM_KEYUP, vk, KeyData(scan, true));
}

// Returns once Quendral's thread has handled every message posted to it so far: a
// marker posted after them (the input box's modified flag) must have been handled.
bool Flush(const QuendralApp& app) {
    SendMessageW(app.Input(), EM_SETMODIFY, FALSE, 0);
    PostMessageW(app.Input(), EM_SETMODIFY, TRUE, 0);
    return WaitUntil([&] { return SendMessageW(app.Input(), EM_GETMODIFY, 0, 0) != 0; }, 5000);
}

// Presses Tab in the control that has the focus and waits until the focus is on expected.
bool TabTo(HWND form, HWND expected) {
    const HWND from = FocusOf(form);
    PostKeyPress(from != nullptr ? from : form, VK_TAB, kScanTab);
    return WaitUntil([&] { return FocusOf(form) == expected; }, 10000);
}

// Presses Shift+Tab on the keyboard (the form must be in front) and waits until the focus
// is on expected.
bool ShiftTabTo(HWND form, HWND expected) {
    INPUT keys[4]{};
    const WORD codes[4] = {VK_SHIFT, VK_TAB, VK_TAB, VK_SHIFT};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = codes[i];
        keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    if (SendInput(4, keys, sizeof(INPUT)) != 4) return false;
    return WaitUntil([&] { return FocusOf(form) == expected; }, 5000);
}

// Tabs (at most once around) until the focus is on target.
bool TabUntil(HWND form, HWND target) {
    for (int i = 0; i < 10 && FocusOf(form) != target; ++i) {
        const HWND from = FocusOf(form);
        PostKeyPress(from != nullptr ? from : form, VK_TAB, kScanTab);
        WaitUntil([&] { return FocusOf(form) != from; }, 10000);
    }
    return FocusOf(form) == target;
}

// "zero,one,?" for the entries records announce, "?" for a record that is none of them.
std::string Joined(const std::vector<int>& announced, const std::vector<std::u16string>& entries) {
    std::string out;
    for (int index : announced) {
        out += (out.empty() ? "" : ",") +
               (index < 0 ? std::string("?") : Narrow(entries[static_cast<std::size_t>(index)]));
    }
    return out;
}

std::string AnnouncedBy(const Messenger& messenger, const std::vector<std::u16string>& entries) {
    return Joined(AnnouncedEntries(messenger.Records(), entries), entries);
}

// Closes Quendral as a user does (WM_CLOSE) and checks that it ended, with exit code 0.
void CheckClosesCleanly(QuendralApp& app) {
    CHECK(app.Close());
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(app.Process().Handle(), &code);
    CHECK(code == 0);
}

}  // namespace

TEST_CASE("main window::caption, size, frame and the controls' places") {
    // The pixel rectangles below are for 96 DPI and, in a prefix set to it, 144 DPI.
    const int dpi = GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSX);
    REQUIRE((dpi == 96 || dpi == 144));
    const bool at144 = dpi == 144;

    QuendralApp app;
    const HWND form = app.Form();
    CHECK(WindowText(form) == u"Quendral");
    CHECK(ClassOf(form) == kFormClass);

    RECT client{};
    GetClientRect(form, &client);
    CHECK(client.right == (at144 ? 663 : 442));
    CHECK(client.bottom == (at144 ? 629 : 419));

    // Frame: caption and system menu, fixed size, no minimise or maximise, modal frame.
    const LONG_PTR style = GetWindowLongPtrW(form, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(form, GWL_EXSTYLE);
    CHECK((style & WS_CAPTION) == WS_CAPTION);
    CHECK((style & WS_SYSMENU) != 0);
    CHECK((style & WS_THICKFRAME) == 0);
    CHECK((style & WS_MINIMIZEBOX) == 0);
    CHECK((style & WS_MAXIMIZEBOX) == 0);
    CHECK((exStyle & WS_EX_DLGMODALFRAME) != 0);
    CHECK((exStyle & WS_EX_APPWINDOW) == 0);
    // The frame round that client area, as the system draws it at this DPI.
    RECT frame{0, 0, client.right, client.bottom}, window{};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(style), FALSE, static_cast<DWORD>(exStyle),
                             static_cast<UINT>(dpi));
    GetWindowRect(form, &window);
    CHECK(window.right - window.left == frame.right - frame.left);
    CHECK(window.bottom - window.top == frame.bottom - frame.top);
    const HWND owner = GetWindow(form, GW_OWNER);
    CHECK(owner != nullptr);
    CHECK_FALSE(IsWindowVisible(owner));

    // System menu: Move and Close only. Wine 8 does not let another process read it
    // (GetSystemMenu gives NULL); where it cannot be read the check is skipped.
    HMENU systemMenu = GetSystemMenu(form, FALSE);
    if (systemMenu != nullptr && GetMenuState(systemMenu, SC_CLOSE, MF_BYCOMMAND) != UINT(-1)) {
        CHECK(GetMenuState(systemMenu, SC_MOVE, MF_BYCOMMAND) != UINT(-1));
        CHECK(GetMenuState(systemMenu, SC_SIZE, MF_BYCOMMAND) == UINT(-1));
        CHECK(GetMenuState(systemMenu, SC_MINIMIZE, MF_BYCOMMAND) == UINT(-1));
        CHECK(GetMenuState(systemMenu, SC_MAXIMIZE, MF_BYCOMMAND) == UINT(-1));
        CHECK(GetMenuState(systemMenu, SC_RESTORE, MF_BYCOMMAND) == UINT(-1));
    } else {
        MESSAGE("the system menu of another process's window cannot be read here; skipped");
    }

    // The controls in z (= tab) order, their pixel places (twips / 15 at 96 DPI, twips / 10
    // at 144, halves up), and styles.
    struct Expected {
        HWND window;
        const wchar_t* className;
        const char16_t* caption;  // nullptr: not checked (list and input box)
        Pixels at96, at144;
        bool tabStop;
    };
    const Expected expected[] = {
        {app.List(), L"ListBox", nullptr, {110, 111, 125, 173}, {164, 167, 188, 260}, true},
        {app.Input(), L"Edit", nullptr, {109, 291, 127, 22}, {163, 437, 191, 33}, true},
        {app.Pace(), L"Static", u"2", {296, 136, 11, 18}, {443, 204, 17, 27}, false},
        {app.Shorter(), L"Button", u"<", {272, 136, 17, 17}, {407, 204, 26, 26}, true},
        {app.Longer(), L"Button", u">", {312, 136, 17, 17}, {467, 204, 26, 26}, true},
        {app.SecondLabel(), L"Static", u"Second:", {277, 112, 41, 17}, {415, 168, 62, 26}, false},
        {app.Ok(), L"Button", u"Ok", {261, 168, 73, 169}, {391, 252, 110, 254}, true},
        {app.Add(), L"Button", u"Add", {104, 320, 65, 17}, {156, 480, 98, 26}, true},
        {app.Clear(), L"Button", u"Clear", {176, 320, 65, 17}, {264, 480, 98, 26}, true},
        {app.Status(),
         L"Static",
         u"Add lines, then press Ok",
         {28, 387, 404, 31},
         {42, 581, 606, 47},
         false},
    };
    std::vector<HWND> children;
    for (HWND child = GetWindow(form, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    REQUIRE(children.size() == std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const Expected& e = expected[i];
        INFO("control " << i << ": " << Narrow(e.caption ? e.caption : u"(list or input)"));
        CHECK(children[i] == e.window);
        CHECK(ClassOf(e.window) == e.className);
        if (e.caption != nullptr) CHECK(WindowText(e.window) == e.caption);
        CHECK(PlaceOf(form, e.window) == (at144 ? e.at144 : e.at96));
        const LONG_PTR childStyle = GetWindowLongPtrW(e.window, GWL_STYLE);
        CHECK(((childStyle & WS_TABSTOP) != 0) == e.tabStop);
        CHECK((childStyle & WS_VISIBLE) != 0);
        if (e.className == std::wstring(L"Button")) {
            CHECK((childStyle & BS_TYPEMASK) == BS_OWNERDRAW);
            CHECK((childStyle & BS_TYPEMASK) != BS_DEFPUSHBUTTON);
        }
    }

    // No default button.
    const LRESULT defaultId = SendMessageW(form, DM_GETDEFID, 0, 0);
    CHECK(HIWORD(defaultId) != DC_HASDEFID);

    // The input box takes text of any length.
    CHECK(static_cast<std::uint64_t>(SendMessageW(app.Input(), EM_GETLIMITTEXT, 0, 0)) >=
          0x7FFFFFFEu);

    CHECK(app.PaceText() == u"2");
    CHECK(app.EntryCount() == 0);
    CHECK(app.InputText().empty());
    CheckClosesCleanly(app);
}

TEST_CASE("main window::Tab walks the seven tab stops in order and wraps; Shift+Tab goes back") {
    QuendralApp app;
    const HWND form = app.Form();
    REQUIRE(BringToFront(form));
    const HWND cycle[] = {app.List(), app.Input(), app.Shorter(), app.Longer(),
                          app.Ok(),   app.Add(),   app.Clear()};

    // The program puts the focus in the list at start.
    REQUIRE(FocusOf(form) == app.List());

    for (std::size_t i = 1; i <= std::size(cycle); ++i) {
        const HWND next = cycle[i % std::size(cycle)];
        INFO("Tab number " << i);
        CHECK(TabTo(form, next));
    }
    REQUIRE(FocusOf(form) == app.List());

    // Shift+Tab as real keyboard input: IsDialogMessage reads the Shift key's state, which
    // posted messages never change.
    for (std::size_t i = std::size(cycle); i > 0; --i) {
        const HWND previous = cycle[i - 1];
        INFO("Shift+Tab towards stop " << i - 1);
        CHECK(ShiftTabTo(form, previous));
    }
    CheckClosesCleanly(app);
}

TEST_CASE("main window::Enter and Escape change nothing, in the input box or in the list") {
    Messenger messenger;
    QuendralApp app;
    const HWND form = app.Form();
    REQUIRE(BringToFront(form));
    app.AddEntry(u"one");
    app.AddEntry(u"two");
    REQUIRE(app.EntryCount() == 2);

    auto pressEnterAndEscape = [&](HWND target) {
        PostKeyPress(target, VK_RETURN, kScanEnter, L'\r');
        REQUIRE(Flush(app));
        PostKeyPress(target, VK_ESCAPE, kScanEscape, L'\x1B');
        REQUIRE(Flush(app));
    };

    REQUIRE(TabUntil(form, app.Input()));
    SendMessageW(app.Input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"typed text"));
    pressEnterAndEscape(app.Input());
    CHECK(app.InputText() == u"typed text");
    CHECK(app.EntryCount() == 2);
    CHECK(FocusOf(form) == app.Input());

    REQUIRE(TabUntil(form, app.List()));
    pressEnterAndEscape(app.List());
    CHECK(app.InputText() == u"typed text");
    CHECK(app.EntryCount() == 2);
    CHECK(FocusOf(form) == app.List());

    // An announcement goes out synchronously and is logged before it is answered, so
    // after the flushes above any would already be in the log.
    CHECK(messenger.Records().empty());
    CHECK(IsWindow(form));
    CHECK(IsWindowVisible(form));
    CHECK_FALSE(app.Process().HasExited());
    CheckClosesCleanly(app);
}

TEST_CASE("built files::version, icons, machine and imports of Quendral.exe, own and shipped") {
    // This build's own program, of this build's bitness.
    constexpr std::uint16_t kOwnMachine = sizeof(void*) == 8 ? 0x8664 : 0x14C;
    CheckBuiltFile(BesideThisProgram(L"Quendral.exe"), kOwnMachine);
    if constexpr (kOwnMachine == 0x14C) return;  // the program beside this one is the shipped one

    // The 64-bit suite also reads the shipped 32-bit program, which a machine that can't run
    // 32-bit programs still builds.
    const std::wstring shipped = BesideThisProgram(L"..\\windows\\Quendral.exe");
    if (GetFileAttributesW(shipped.c_str()) == INVALID_FILE_ATTRIBUTES) {
        MESSAGE("the 32-bit build/windows/Quendral.exe is not there; its checks are skipped");
        return;
    }
    CheckBuiltFile(shipped, 0x14C);
}

TEST_CASE("behaviour::Add and Clear empty the input box; Ok announces the first entry at once") {
    Messenger messenger;
    QuendralApp app;
    const std::u16string first = u"Artist - First song";
    const std::u16string unicode = u"Şarkı \U0001F3B5 Ελληνικά ğüşıöç İ";
    const std::vector<std::u16string> entries{first, unicode};

    app.AddEntry(first);
    CHECK(app.InputText().empty());
    app.AddEntry(unicode);
    CHECK(app.InputText().empty());
    REQUIRE(app.EntryCount() == 2);
    CHECK(ListBoxEntries(app.List()).At(0) == first);
    CHECK(ListBoxEntries(app.List()).At(1) == unicode);

    // Clear empties the list and the input box, typed text included.
    SendMessageW(app.Input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"half typed"));
    app.Press(app.Clear());
    CHECK(app.InputText().empty());
    CHECK(app.EntryCount() == 0);

    app.AddEntry(first);
    app.AddEntry(unicode);
    REQUIRE(app.EntryCount() == 2);

    // At the initial pace of 2 s, "Ok" announces the first entry inside its own click,
    // not at the first tick: the record is in the log as soon as the press returns.
    REQUIRE(app.PaceText() == u"2");
    app.Press(app.Ok());
    std::vector<LoggedRecord> records = messenger.Records();
    REQUIRE_FALSE(records.empty());
    CHECK(records[0].dwData == 0x547);
    CHECK(records[0].cbData == records[0].bytes.size());
    CHECK(IsRecordOf(records[0], first));

    // The next "Ok" (the timer stopped first) announces the entry after the last one
    // announced, the Unicode one unit for unit when it is its turn.
    app.SetPace(0);
    app.Press(app.Ok());
    app.Press(app.Ok());
    const std::vector<int> announced = AnnouncedEntries(messenger.Records(), entries);
    INFO("announced: " << Joined(announced, entries));
    CHECK(announced.size() >= 3);
    CHECK(FollowsList(announced, entries.size()));
    CheckClosesCleanly(app);
}

TEST_CASE("behaviour::Ok steps three entries 0,1,2,0; an entry added after the last comes next") {
    Messenger messenger;
    QuendralApp app;
    const std::vector<std::u16string> entries{u"zero", u"one", u"two", u"late"};
    app.SetPace(0);
    for (std::size_t i = 0; i < 3; ++i) app.AddEntry(entries[i]);

    for (int press = 0; press < 4; ++press) app.Press(app.Ok());
    CHECK(AnnouncedBy(messenger, entries) == "zero,one,two,zero");

    // An entry appended while the cursor stands just past the last one is announced
    // before the list starts over.
    app.Press(app.Ok());
    app.Press(app.Ok());
    app.AddEntry(entries[3]);
    app.Press(app.Ok());
    app.Press(app.Ok());
    CHECK(AnnouncedBy(messenger, entries) == "zero,one,two,zero,one,two,late,zero");

    // Closing sends nothing more.
    const std::size_t beforeClose = messenger.Records().size();
    CheckClosesCleanly(app);
    CHECK(messenger.Records().size() == beforeClose);
}

TEST_CASE("behaviour::Clear keeps the rotation's place; a step on the empty list starts over") {
    Messenger messenger;
    QuendralApp app;
    const std::vector<std::u16string> entries{u"old", u"new 1", u"new 2", u"only", u"a", u"b"};
    app.SetPace(0);
    app.AddEntry(u"old");
    app.Press(app.Ok());

    // One line published, then a new list of two: the step takes up at the second.
    app.Press(app.Clear());
    app.AddEntry(u"new 1");
    app.AddEntry(u"new 2");
    app.Press(app.Ok());
    CHECK(AnnouncedBy(messenger, entries) == "old,new 2");

    // A new list no longer than the place reached starts at its first line.
    app.Press(app.Clear());
    app.AddEntry(u"only");
    app.Press(app.Ok());
    CHECK(AnnouncedBy(messenger, entries) == "old,new 2,only");

    // Ok on the empty list sends nothing and starts the next list at its first line.
    app.Press(app.Clear());
    app.Press(app.Ok());
    app.AddEntry(u"a");
    app.AddEntry(u"b");
    app.Press(app.Ok());
    CHECK(AnnouncedBy(messenger, entries) == "old,new 2,only,a");
    CheckClosesCleanly(app);
}

TEST_CASE("behaviour::only Timer1's WM_TIMER steps the rotation, whoever posts it") {
    Messenger messenger;
    QuendralApp app;
    const std::vector<std::u16string> entries{u"first", u"second", u"third"};
    for (const std::u16string& entry : entries) app.AddEntry(entry);
    app.SetPace(0);  // no ticks of its own
    app.Press(app.Ok());
    REQUIRE(AnnouncedBy(messenger, entries) == "first");

    // Timers of other ids, as another program or a control's own timer would bring them;
    // one names a timer procedure that isn't one.
    for (const WPARAM id : {WPARAM{0}, WPARAM{2}, WPARAM{0x7FFF}, ~WPARAM{0}}) {
        PostMessageW(app.Form(), WM_TIMER, id, 0);
    }
    PostMessageW(app.Form(), WM_TIMER, 2, 0x10);
    REQUIRE(Flush(app));
    CHECK(AnnouncedBy(messenger, entries) == "first");

    // Timer1's own id, posted the same way, steps once.
    PostMessageW(app.Form(), WM_TIMER, Form1::kTimer1Id, 0);
    REQUIRE(Flush(app));
    CHECK(AnnouncedBy(messenger, entries) == "first,second");
    CheckClosesCleanly(app);
}

TEST_CASE("behaviour::an empty list announces nothing; Clear while rotating keeps the timer on") {
    Messenger messenger;
    QuendralApp app;
    const std::vector<std::u16string> entries{u"a", u"b", u"x"};
    app.AddEntry(entries[0]);
    app.AddEntry(entries[1]);
    app.SetPace(1);
    app.Press(app.Ok());  // the timer is on from here

    // Cleared while it ticks: a step on the empty list, by "Ok" or by a tick, sends nothing.
    app.Press(app.Clear());
    REQUIRE(app.EntryCount() == 0);
    const std::size_t afterClear = messenger.Records().size();
    app.Press(app.Ok());
    CHECK(messenger.Records().size() == afterClear);

    // The timer still runs: the next entry added goes out with no "Ok" pressed.
    app.AddEntry(entries[2]);
    REQUIRE(messenger.WaitForRecords(afterClear + 1, 30000));
    CHECK(IsRecordOf(messenger.Records().at(afterClear), entries[2]));
    CheckClosesCleanly(app);
}

TEST_CASE("behaviour::the timer announces once a pace; pace 0 stops it and > resumes it") {
    // Timing is the point here, so the bounds are wide: the messenger's own clock says when
    // records arrived, and only intervals far shorter than the pace fail (a period taken
    // in the wrong unit, or a zero period turned into the system's minimum).
    Messenger messenger;
    QuendralApp app;
    const std::vector<std::u16string> entries{u"p", u"q"};
    app.AddEntry(entries[0]);
    app.AddEntry(entries[1]);

    app.Press(app.Ok());  // at the initial pace, 2 s
    REQUIRE(messenger.WaitForRecords(2, 30000));
    CHECK(MillisecondsBetween(messenger.Records()[0], messenger.Records()[1]) >= 1800);

    app.Press(app.Shorter());  // 1 s, with no "Ok": the running timer takes the new period
    CHECK(app.PaceText() == u"1");
    const std::size_t atOne = messenger.Records().size();
    REQUIRE(messenger.WaitForRecords(atOne + 2, 30000));
    CHECK(MillisecondsBetween(messenger.Records()[atOne], messenger.Records()[atOne + 1]) >= 900);

    // 0: no more ticks, though the timer stays switched on (form_test asks the window
    // that its timer is stopped: from out here only a wait could suggest it).
    app.Press(app.Shorter());
    CHECK(app.PaceText() == u"0");
    const std::size_t stopped = messenger.Records().size();

    app.Press(app.Longer());  // 1 again: the ticks come back with no "Ok"
    CHECK(app.PaceText() == u"1");
    REQUIRE(messenger.WaitForRecords(stopped + 1, 30000));

    const std::vector<int> announced = AnnouncedEntries(messenger.Records(), entries);
    INFO("announced: " << Joined(announced, entries));
    CHECK(FollowsList(announced, entries.size()));
    CheckClosesCleanly(app);
}

TEST_CASE("behaviour::the pace stays in 0..65; stepping it announces nothing; closing neither") {
    Messenger messenger;
    QuendralApp app;
    app.AddEntry(u"quiet");
    for (int press = 0; press < 3; ++press) app.Press(app.Shorter());
    CHECK(app.PaceText() == u"0");
    for (int press = 0; press < 70; ++press) app.Press(app.Longer());
    CHECK(app.PaceText() == u"65");

    // Down to 1 s without "Ok": the timer was never switched on (form_test asks the window).
    app.SetPace(1);
    CHECK(messenger.Records().empty());

    const DWORD pid = app.Process().Id();
    CheckClosesCleanly(app);
    CHECK(messenger.Records().empty());
    CHECK(TopLevelWindows(kFormClass, pid).empty());
}
