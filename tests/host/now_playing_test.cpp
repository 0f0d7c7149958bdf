#include <doctest/doctest.h>

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
        const std::u16string hidden = BuildNowPlayingText(u"x", u"", u"", u"", kDefaultFormat, 0);
        CHECK(hidden[9] == u'0');
        shown[9] = u'0';
        CHECK(hidden == shown);
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
