// The status strip of Quendral.exe, driven from outside with stand-in messengers and read
// as a screen reader reads it: its role, its name (its text) and the change events.
#include <doctest/doctest.h>

#include <string>
#include <vector>

#include "harness/harness.h"
#include "harness/quendral_app.h"
#include "support/identities.h"
#include "win/screen_reader.h"

using namespace quendral::testing;

namespace {

// The status as its window text and as a reader hears it, which must agree.
std::u16string StatusOf(const QuendralApp& app) {
    const std::u16string text = WindowText(app.Status());
    const Heard heard = Read(app.Status());
    INFO("the status reads \"" << Narrow(text) << "\", heard as \"" << Narrow(heard.name) << "\"");
    CHECK(heard.role == ROLE_SYSTEM_STATUSBAR);
    CHECK(heard.name == text);
    return text;
}

// The status's texts as a reader hears them: read at each name change it is told of.
std::vector<std::u16string> heardNames;
HWND heardStatus = nullptr;
void CALLBACK OnNameChange(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                           DWORD) {
    if (window == heardStatus && object == OBJID_CLIENT && child == CHILDID_SELF) {
        heardNames.push_back(WindowText(window));
    }
}

// Events come in order: once the last change has been heard, every earlier one has been.
bool HeardLast(const std::u16string& text) {
    return WaitUntil([&] { return !heardNames.empty() && heardNames.back() == text; }, 10000);
}

const std::u16string kLine = u"Barış Manço – Dağlar Dağlar";

}  // namespace

TEST_CASE("status::tells after each step whether the line reached a messenger") {
    ComApartment com;
    QuendralApp app;
    app.SetPace(0);  // only "Ok" steps
    CHECK(StatusOf(app) == u"Add lines, then press Ok");
    // A status bar takes no focus and is not in the Tab order.
    CHECK((GetWindowLongW(app.Status(), GWL_STYLE) & WS_TABSTOP) == 0);

    HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, &OnNameChange,
                        app.Process().Id(), 0, WINEVENT_OUTOFCONTEXT);
    REQUIRE(hook != nullptr);
    heardStatus = app.Status();
    heardNames.clear();
    const std::u16string empty = u"Nothing to send: the list is empty";
    const std::u16string none = u"No messenger is running";
    const std::u16string one = u"Sent to 1 messenger: " + kLine;
    const std::u16string two = u"Sent to 2 messengers: " + kLine;

    app.Press(app.Ok());
    CHECK(StatusOf(app) == empty);
    app.AddEntry(kLine);
    app.Press(app.Ok());
    CHECK(StatusOf(app) == none);
    {
        Messenger messenger(L"--title one");
        app.Press(app.Ok());
        CHECK(StatusOf(app) == one);
        CHECK(HeardLast(one));
        app.Press(app.Ok());  // the same outcome again: nothing new to tell
        CHECK(StatusOf(app) == one);
        CHECK(messenger.Records().size() == 2);
    }
    {
        Messenger topLevel(L"--title top-level");
        Messenger listener(L"--message-only --title listener");
        app.Press(app.Ok());
        CHECK(StatusOf(app) == two);
        CHECK(listener.Records().size() == 1);
        CHECK(topLevel.Records().size() == 1);
    }
    CHECK(HeardLast(two));
    CHECK(heardNames == std::vector<std::u16string>{empty, none, one, two});
    UnhookWinEvent(hook);
    CHECK(app.Close());
}

TEST_CASE("status::a hung messenger ahead of a healthy one: sent to 1 of 2") {
    ComApartment com;
    Messenger healthy(L"--title healthy");
    Messenger hung(L"--hang --title hung");
    QuendralApp app;
    app.SetPace(0);
    app.AddEntry(u"first\tline");
    app.AddEntry(u"second line");
    // The hung one first in the system's order, so its wait comes before the healthy send.
    SetWindowPos(hung.Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // It takes the first record in and never answers it, nor anything after.
    app.Press(app.Ok());
    CHECK(StatusOf(app) == std::u16string(u"Sent to 1 of 2 messengers: first line"));
    CHECK(hung.Records().size() == 1);
    app.Press(app.Ok());
    CHECK(StatusOf(app) == std::u16string(u"Sent to 1 of 2 messengers: second line"));
    CHECK(healthy.Records().size() == 2);
    CHECK(app.Close());
}
