#include <doctest/doctest.h>

#include <cmath>
#include <limits>

#include "fakes.h"

using namespace quendral;
using namespace quendral::testing;

TEST_CASE("Pace::caption text") {
    SUBCASE("reading what the program writes") {
        CHECK(ParsePace(u"2") == 2);
        CHECK(ParsePace(u"0") == 0);
        CHECK(ParsePace(u"65") == 65);
        CHECK(ParsePace(u"007") == 7);
    }
    SUBCASE("out-of-range captions read as the nearest bound, never overflow") {
        CHECK(ParsePace(u"-1") == 0);
        CHECK(ParsePace(u"66") == 65);
        CHECK(ParsePace(u"99999999999999999999999") == 65);
        CHECK(ParsePace(u"-99999999999999999999999") == 0);
    }
    SUBCASE("anything that is not a number reads as the initial pace") {
        for (auto text : {u"", u"-", u" 2", u"2 ", u"1,000", u"+3", u"x", u"\uFF12"}) {
            CAPTURE(std::u16string(text).size());
            CHECK(ParsePace(text) == kInitialPace);
        }
    }
    SUBCASE("writing: plain decimal, minus sign for negatives") {
        CHECK(FormatPace(1) == u"1");
        CHECK(FormatPace(0) == u"0");
        CHECK(FormatPace(65) == u"65");
        CHECK(FormatPace(-1) == u"-1");
        CHECK(FormatPace(1000000) == u"1000000");
        CHECK(FormatPace(std::numeric_limits<int>::min()) == u"-2147483648");
    }
}

TEST_CASE("Pace::period in milliseconds") {
    CHECK(PeriodFromPace(2) == 2000);
    CHECK(PeriodFromPace(0) == 0);
    CHECK(PeriodFromPace(65) == 65000);
    CHECK(PeriodFromPace(-1) == -1000);
    SUBCASE("rounded to the nearest, ties to even") {
        CHECK(PeriodFromPace(0.0005) == 0);
        CHECK(PeriodFromPace(0.0015) == 2);
        CHECK(PeriodFromPace(0.0025) == 2);
        CHECK(PeriodFromPace(1.2346) == 1235);
        CHECK(PeriodFromPace(-0.0025) == -2);
    }
    SUBCASE("held within 32 bits") {
        CHECK(PeriodFromPace(1e12) == std::numeric_limits<std::int32_t>::max());
        CHECK(PeriodFromPace(-1e12) == std::numeric_limits<std::int32_t>::min());
        CHECK(PeriodFromPace(std::nan("")) == 0);
    }
}

TEST_CASE("Pace::shorter, longer and start") {
    FakeLabel saniye;
    FakeTimer Timer1;
    FakeList liste;
    RecordingAnnouncer messenger;
    std::int16_t rotationIndex = 0;

    SUBCASE("'<' from 2 twice: 1 then 0, the period follows, the switch is untouched") {
        Shorter(saniye, Timer1);
        CHECK(saniye.caption == u"1");
        CHECK(Timer1.period == 1000);
        Shorter(saniye, Timer1);
        CHECK(saniye.caption == u"0");
        CHECK(Timer1.period == 0);
        CHECK_FALSE(Timer1.on);
        CHECK(messenger.announced.empty());
    }
    SUBCASE("'>' from 2 gives 3 and 3,000 ms") {
        Longer(saniye, Timer1);
        CHECK(saniye.caption == u"3");
        CHECK(Timer1.period == 3000);
        CHECK_FALSE(Timer1.on);
    }
    SUBCASE("the pace stops at 0 and 65 without touching caption or timer") {
        saniye.caption = u"0";
        Shorter(saniye, Timer1);
        CHECK(saniye.caption == u"0");
        saniye.caption = u"65";
        Longer(saniye, Timer1);
        CHECK(saniye.caption == u"65");
        CHECK(Timer1.periodSets == 0);
    }
    SUBCASE("caption and period agree over any walk") {
        for (int i = 0; i < 80; ++i) Longer(saniye, Timer1);
        CHECK(saniye.caption == u"65");
        CHECK(Timer1.period == 65000);
        for (int i = 0; i < 30; ++i) Shorter(saniye, Timer1);
        CHECK(Timer1.period == ParsePace(saniye.caption) * 1000);
        CHECK(saniye.caption == u"35");
    }
    SUBCASE("'Ok': period from the caption, switch on, one announcement at once") {
        liste.items = {u"a", u"b", u"c"};
        Start(saniye, Timer1, liste, rotationIndex, messenger);
        CHECK(Timer1.period == 2000);
        CHECK(Timer1.on);
        CHECK(messenger.announced == std::vector<std::u16string>{u"a"});
        CHECK(rotationIndex == 1);
    }
    SUBCASE("'Ok' twice announces consecutive entries and never rewinds the cursor") {
        liste.items = {u"a", u"b", u"c"};
        rotationIndex = 2;
        Start(saniye, Timer1, liste, rotationIndex, messenger);
        Start(saniye, Timer1, liste, rotationIndex, messenger);
        CHECK(messenger.announced == std::vector<std::u16string>{u"c", u"a"});
        CHECK(Timer1.on);
    }
    SUBCASE("'Ok' at pace 0 announces once and leaves the period at 0") {
        saniye.caption = u"0";
        liste.items = {u"a"};
        Start(saniye, Timer1, liste, rotationIndex, messenger);
        CHECK(Timer1.on);
        CHECK(Timer1.period == 0);
        CHECK(messenger.announced.size() == 1);
    }
}
