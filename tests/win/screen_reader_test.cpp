// What a screen reader reads of Quendral's window: each control's name, role and value,
// from this process, through Active Accessibility, as a reader reads another program.
#include <doctest/doctest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "harness/quendral_app.h"
#include "win/screen_reader.h"

using namespace quendral::testing;
using Microsoft::WRL::ComPtr;

namespace {

bool HasLetters(const std::u16string& text) {
    int letters = 0;
    for (char16_t c : text) letters += (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    return letters >= 3;
}

// The out-of-context events a reader hears from one process.
std::vector<DWORD> heardEvents;
void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF) heardEvents.push_back(event);
}

}  // namespace

TEST_CASE("screen_reader::every control is named for what it holds or does, in its role") {
    ComApartment com;
    QuendralApp app;
    struct Expected {
        HWND control;
        long role;
        const char16_t* name;  // null: named in words, with no sign in it
    };
    const Expected expected[] = {
        {app.List(), ROLE_SYSTEM_LIST, u"Entries"},
        {app.Input(), ROLE_SYSTEM_TEXT, u"New entry"},
        {app.SecondLabel(), ROLE_SYSTEM_STATICTEXT, u"Second:"},
        {app.Shorter(), ROLE_SYSTEM_PUSHBUTTON, nullptr},
        {app.Longer(), ROLE_SYSTEM_PUSHBUTTON, nullptr},
        {app.Ok(), ROLE_SYSTEM_PUSHBUTTON, u"Ok"},
        {app.Add(), ROLE_SYSTEM_PUSHBUTTON, u"Add"},
        {app.Clear(), ROLE_SYSTEM_PUSHBUTTON, u"Clear"},
    };
    for (const Expected& control : expected) {
        const Heard heard = Read(control.control);
        INFO("caption \"" << Narrow(WindowText(control.control)) << "\" heard as \""
                          << Narrow(heard.name) << "\", role " << heard.role);
        CHECK(heard.role == control.role);
        if (control.name != nullptr) {
            CHECK(heard.name == control.name);
        } else {
            // "<" and ">" say in words what they do to the pace.
            CHECK(HasLetters(heard.name));
            CHECK(heard.name.find_first_of(u"<>") == std::u16string::npos);
            CHECK(heard.name.find(u"pace") != std::u16string::npos);
        }
    }
    // The two buttons don't sound alike.
    CHECK(Read(app.Shorter()).name != Read(app.Longer()).name);
    // The captions on the screen stay as they were.
    CHECK(WindowText(app.Shorter()) == u"<");
    CHECK(WindowText(app.Longer()) == u">");
    CHECK(WindowText(app.Pace()) == u"2");
    CHECK(app.Close());
}

TEST_CASE("screen_reader::the pace is read as the seconds each entry stays and follows < and >") {
    ComApartment com;
    QuendralApp app;
    Heard pace = Read(app.Pace());
    INFO("the pace heard as \"" << Narrow(pace.name) << "\", value \"" << Narrow(pace.value)
                                << "\"");
    CHECK(pace.role == ROLE_SYSTEM_STATICTEXT);
    CHECK(pace.name.find(u"Seconds") != std::u16string::npos);
    CHECK(pace.name.find(u'2') != std::u16string::npos);
    CHECK(pace.value == u"2");

    // A reader listening to the process hears the change, and reads the new number.
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr,
                                         &OnEvent, app.Process().Id(), 0, WINEVENT_OUTOFCONTEXT);
    REQUIRE(hook != nullptr);
    heardEvents.clear();
    app.Press(app.Longer());
    pace = Read(app.Pace());
    CHECK(pace.name.find(u'3') != std::u16string::npos);
    CHECK(pace.name.find(u'2') == std::u16string::npos);
    CHECK(pace.value == u"3");
    const auto heardBoth = [] {
        bool name = false, value = false;
        for (DWORD event : heardEvents) {
            name = name || event == EVENT_OBJECT_NAMECHANGE;
            value = value || event == EVENT_OBJECT_VALUECHANGE;
        }
        return name && value;
    };
    CHECK(WaitUntil(heardBoth, 10000));

    // Down to 0, where the rotation pauses, and back up: the number follows each press.
    app.SetPace(0);
    CHECK(Read(app.Pace()).value == u"0");
    app.Press(app.Shorter());
    CHECK(Read(app.Pace()).value == u"0");
    app.Press(app.Longer());
    CHECK(Read(app.Pace()).value == u"1");
    UnhookWinEvent(hook);
    CHECK(app.Close());
}

TEST_CASE("screen_reader::the rest is the standard object's: the list's entries, places, states") {
    // What the system's own object for the same control says, made here from its window.
    ComApartment com;
    QuendralApp app;
    app.AddEntry(u"first line");
    app.AddEntry(u"second line");
    ComPtr<IAccessible> list = AccessibleOf(app.List());
    ComPtr<IAccessible> standard;
    REQUIRE(list != nullptr);
    REQUIRE(
        SUCCEEDED(CreateStdAccessibleObject(app.List(), OBJID_CLIENT, __uuidof(IAccessible),
                                            reinterpret_cast<void**>(standard.GetAddressOf()))));
    CHECK(Read(*list.Get()).name == u"Entries");

    // Windows' list object has a child for each entry; Wine's has none.
    long count = -1, standardCount = -2;
    CHECK(SUCCEEDED(list->get_accChildCount(&count)));
    CHECK(SUCCEEDED(standard->get_accChildCount(&standardCount)));
    CHECK(count == standardCount);
    for (long child = 1; child <= count; ++child) {
        CHECK(Read(*list.Get(), child).name == Read(*standard.Get(), child).name);
        CHECK(Read(*list.Get(), child).role == Read(*standard.Get(), child).role);
    }
    for (HWND control : {app.List(), app.Input(), app.Pace(), app.Ok()}) {
        ComPtr<IAccessible> ours = AccessibleOf(control);
        REQUIRE(SUCCEEDED(CreateStdAccessibleObject(
            control, OBJID_CLIENT, __uuidof(IAccessible),
            reinterpret_cast<void**>(standard.ReleaseAndGetAddressOf()))));
        long place[4]{}, standardPlace[4]{};
        CHECK(SUCCEEDED(
            ours->accLocation(&place[0], &place[1], &place[2], &place[3], Child(CHILDID_SELF))));
        CHECK(
            SUCCEEDED(standard->accLocation(&standardPlace[0], &standardPlace[1], &standardPlace[2],
                                            &standardPlace[3], Child(CHILDID_SELF))));
        CHECK(std::equal(place, place + 4, standardPlace));
        CHECK(place[2] > 0);
        VARIANT state{}, standardState{};
        CHECK(SUCCEEDED(ours->get_accState(Child(CHILDID_SELF), &state)));
        CHECK(SUCCEEDED(standard->get_accState(Child(CHILDID_SELF), &standardState)));
        CHECK(state.vt == standardState.vt);
        CHECK(state.lVal == standardState.lVal);
    }
    CHECK(app.Close());
}
