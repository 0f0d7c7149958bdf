#include <doctest/doctest.h>

#include "fakes.h"

using namespace quendral;
using namespace quendral::testing;

TEST_CASE("Rotation::steps walk the list and wrap") {
    Rotation r;
    SUBCASE("three entries: 0, 1, 2, then 0 again with the cursor left at 1") {
        r.Add(u"one");
        r.Add(u"two");
        r.Add(u"three");
        for (int i = 0; i < 4; ++i) r.Step();
        CHECK(r.messenger.announced ==
              std::vector<std::u16string>{u"one", u"two", u"three", u"one"});
        CHECK(r.rotationIndex == 1);
    }
    SUBCASE("one entry: announced every step, cursor 1 after each") {
        r.Add(u"solo");
        for (int i = 0; i < 3; ++i) {
            r.Step();
            CHECK(r.rotationIndex == 1);
        }
        CHECK(r.messenger.announced == std::vector<std::u16string>(3, u"solo"));
    }
    SUBCASE("an entry added after the last was announced comes next, before the wrap") {
        r.Add(u"a");
        r.Add(u"b");
        r.Step();
        r.Step();
        REQUIRE(r.rotationIndex == 2);
        r.Add(u"c");
        r.Step();
        r.Step();
        CHECK(r.messenger.announced == std::vector<std::u16string>{u"a", u"b", u"c", u"a"});
    }
}

TEST_CASE("Rotation::a cursor that names no entry") {
    Rotation r;
    SUBCASE("a step on an empty list announces nothing and leaves the cursor at 0") {
        r.rotationIndex = 5;
        r.Step();
        CHECK(r.messenger.announced.empty());
        CHECK(r.rotationIndex == 0);
    }
    SUBCASE("after Clear with the cursor past the new end, the next step starts from the first") {
        for (auto text : {u"a", u"b", u"c", u"d"}) r.Add(text);
        r.Step();
        r.Step();
        r.Step();
        ClearEntries(r.liste, r.ekle);
        r.Add(u"x");
        r.Add(u"y");
        r.Step();
        CHECK(r.messenger.announced.back() == u"x");
        CHECK(r.rotationIndex == 1);
    }
    SUBCASE("the cursor never passes the entry count over many steps") {
        for (auto text : {u"a", u"b", u"c"}) r.Add(text);
        for (int i = 0; i < 40'000; ++i) {
            r.Step();
            REQUIRE(r.rotationIndex >= 1);
            REQUIRE(r.rotationIndex <= 3);
        }
        CHECK(r.messenger.announced.size() == 40'000);
    }
}

TEST_CASE("Rotation::adding and clearing") {
    Rotation r;
    SUBCASE("Add appends what was typed, even nothing, and empties the box") {
        r.Add(u"first");
        r.Add(u"");
        r.Add(u"first");
        CHECK(r.liste.items == std::vector<std::u16string>{u"first", u"", u"first"});
        CHECK(r.ekle.text.empty());
    }
    SUBCASE("Clear while rotating empties list and box and keeps the cursor") {
        r.Add(u"a");
        r.Add(u"b");
        r.Step();
        r.ekle.text = u"half typed";
        ClearEntries(r.liste, r.ekle);
        CHECK(r.liste.items.empty());
        CHECK(r.ekle.text.empty());
        CHECK(r.rotationIndex == 1);
    }
    SUBCASE("a full list takes nothing more, keeps the typed text and says so") {
        r.liste.items.assign(static_cast<std::size_t>(kMaxEntries), u"e");
        r.Add(u"one too many");
        CHECK(r.liste.items.size() == static_cast<std::size_t>(kMaxEntries));
        CHECK(r.ekle.text == u"one too many");
        CHECK(r.ekle.fullNotices == 1);
    }
    SUBCASE("a list that refuses the text changes nothing but a notice: the typed text stays") {
        r.Add(u"kept");
        r.liste.refuses = true;
        r.Add(u"typed");
        CHECK(r.liste.items == std::vector<std::u16string>{u"kept"});
        CHECK(r.ekle.text == u"typed");
        CHECK(r.ekle.refusedNotices == 1);
        CHECK(r.ekle.fullNotices == 0);
        r.liste.refuses = false;
        AddEntry(r.liste, r.ekle);
        CHECK(r.liste.items == std::vector<std::u16string>{u"kept", u"typed"});
        CHECK(r.ekle.text.empty());
    }
    SUBCASE("the last free place is still taken, and the rotation reaches it and wraps") {
        r.liste.items.assign(static_cast<std::size_t>(kMaxEntries) - 1, u"e");
        r.Add(u"last");
        CHECK(r.ekle.fullNotices == 0);
        r.rotationIndex = kMaxEntries - 1;
        r.Step();
        CHECK(r.messenger.announced.back() == u"last");
        CHECK(r.rotationIndex == kMaxEntries);
        r.Step();
        CHECK(r.rotationIndex == 1);
        CHECK(r.messenger.announced.back() == u"e");
    }
}

TEST_CASE("Rotation::a step reports what it did, and a line that can't go out never sticks it") {
    Rotation r;
    SUBCASE("an empty list: nothing published") {
        CHECK(r.Step().kind == StepReport::Kind::kEmptyList);
    }
    SUBCASE("a published line with its delivery as the announcer reported it") {
        r.Add(u"tab\there");
        r.messenger.delivery = {3, 2, 1};
        const StepReport report = r.Step();
        CHECK(report.kind == StepReport::Kind::kPublished);
        CHECK(report.line == u"tab\there");
        CHECK(report.delivery == DeliveryReport{3, 2, 1});
    }
    SUBCASE("an announcement that fails moves the cursor on; the next step sends the next entry") {
        for (auto text : {u"a", u"b", u"c"}) r.Add(text);
        r.messenger.runsOutOfMemory = true;
        CHECK(r.Step().kind == StepReport::Kind::kNotSent);
        CHECK(r.rotationIndex == 1);
        r.messenger.runsOutOfMemory = false;
        CHECK(r.Step().line == u"b");
        CHECK(r.messenger.announced == std::vector<std::u16string>{u"b"});
    }
    SUBCASE("an input box that can't hand its text over gets the refused notice, and keeps it") {
        r.ekle.text = u"typed";
        r.ekle.runsOutOfMemory = true;
        AddEntry(r.liste, r.ekle);
        CHECK(r.liste.items.empty());
        CHECK(r.ekle.refusedNotices == 1);
        CHECK(r.ekle.text == u"typed");
    }
}
