#include <doctest/doctest.h>

#include <vector>

#include "announce/now_playing.h"

using namespace quendral;

namespace {

// Tag (9), show digit (1), separator (2), default format (9), separator (2).
constexpr std::size_t kArtistAt = 23;

std::u16string WithDefaults(std::u16string_view artist) {
    return BuildNowPlayingText(artist, u"", u"", u"", kDefaultFormat, kTrue);
}

}  // namespace

TEST_CASE("NowPlaying::text is laid out piece by piece") {
    SUBCASE("five-character artist with the defaults") {
        const std::u16string text = WithDefaults(u"Hello");
        CHECK(text == std::u16string(u"\\0Music\\01\\0{0} - {1}\\0Hello\\0\\0\\0\\0") + u'\0');
        CHECK(text.size() == 37);
        CHECK(ByteLength(text) == 74);
    }
    SUBCASE("everything empty with the defaults") {
        const std::u16string text = WithDefaults(u"");
        CHECK(text == std::u16string(u"\\0Music\\01\\0{0} - {1}\\0\\0\\0\\0\\0") + u'\0');
        CHECK(text.size() == 32);
        CHECK(ByteLength(text) == 64);
    }
    SUBCASE("title comes before album, then the content id") {
        const std::u16string text = BuildNowPlayingText(u"A", u"B", u"T", u"ID", u"{1}", kTrue);
        CHECK(text == std::u16string(u"\\0Music\\01\\0{1}\\0A\\0T\\0B\\0ID\\0") + u'\0');
    }
    SUBCASE("show false writes the digit 0 and nothing else changes") {
        std::u16string shown = WithDefaults(u"x");
        const std::u16string hidden =
            BuildNowPlayingText(u"x", u"", u"", u"", kDefaultFormat, kFalse);
        CHECK(hidden[9] == u'0');
        shown[9] = u'0';
        CHECK(hidden == shown);
    }
    SUBCASE("the record's tag") {
        CHECK(kNowPlayingTag == 1351);
    }
}

TEST_CASE("NowPlaying::fields are copied exactly as given") {
    SUBCASE("a backslash-zero inside a field stays, giving the receiver an extra separator") {
        const std::u16string text = WithDefaults(u"a\\0b");
        CHECK(text.find(u"\\0a\\0b\\0") != std::u16string::npos);
        CHECK(text.size() == 32 + 4);
    }
    SUBCASE("a U+0000 inside a field is kept and counted") {
        const std::u16string artist(u"a\0b", 3);
        const std::u16string text = WithDefaults(artist);
        CHECK(text.size() == 35);
        CHECK(ByteLength(text) == 70);
        CHECK(text.substr(kArtistAt, 3) == artist);
        CHECK(text.back() == u'\0');
    }
    SUBCASE("surrogate pairs, lone surrogates and right-to-left text are not touched") {
        const std::u16string artist = u"\U0001F3B5 \xD800 \u05E9\u05DC\u05D5\u05DD \xDC00";
        const std::u16string text = WithDefaults(artist);
        CHECK(text.substr(kArtistAt, artist.size()) == artist);
    }
    SUBCASE("no length limit") {
        const std::u16string artist(1'000'000, u'x');
        CHECK(WithDefaults(artist).size() == 1'000'032);
        CHECK(ByteLength(WithDefaults(artist)) == 2'000'064);
    }
}

TEST_CASE("NowPlaying::delivery reaches every window once, in the order found") {
    // The system's window list as a sequence: each lookup after h yields the next one.
    auto deliver = [](std::vector<WindowHandle> windows) {
        std::vector<WindowHandle> asked;
        std::vector<WindowHandle> sent;
        DeliverToEveryWindow(
            [&](WindowHandle after) {
                asked.push_back(after);
                std::size_t next = 0;
                if (after != 0) {
                    while (windows.at(next) != after) ++next;
                    ++next;
                }
                return next < windows.size() ? windows[next] : WindowHandle{0};
            },
            [&](WindowHandle window) { sent.push_back(window); });
        return std::pair{asked, sent};
    };

    SUBCASE("no messenger window: one lookup, nothing sent") {
        auto [asked, sent] = deliver({});
        CHECK(asked == std::vector<WindowHandle>{0});
        CHECK(sent.empty());
    }
    SUBCASE("two windows: two sends, then the search ends after the last") {
        auto [asked, sent] = deliver({0x20060, 0x300a2});
        CHECK(sent == std::vector<WindowHandle>{0x20060, 0x300a2});
        CHECK(asked == std::vector<WindowHandle>{0, 0x20060, 0x300a2});
    }
    SUBCASE("a handle that is not positive as 32 bits is skipped and the search goes on after it") {
        const WindowHandle negative = 0x80001234;
        const WindowHandle wideNegative = static_cast<WindowHandle>(-5);
        auto [asked, sent] = deliver({0x100, negative, wideNegative, 0x200});
        CHECK(sent == std::vector<WindowHandle>{0x100, 0x200});
        CHECK(asked == std::vector<WindowHandle>{0, 0x100, negative, wideNegative, 0x200});
    }
}
