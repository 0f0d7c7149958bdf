// Long runs of the portable core, meant for the sanitizer build: the rotation over a
// list that keeps changing, and the now-playing text built again and again.
#include <doctest/doctest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>

#include "announce/now_playing.h"
#include "fakes.h"

using namespace quendral;
using namespace quendral::testing;

namespace {

std::u16string Numbered(int number) {
    const std::string digits = std::to_string(number);
    return u"entry " + std::u16string(digits.begin(), digits.end());
}

}  // namespace

TEST_CASE("LongRun::ten thousand steps among adds and clears go round the list in order") {
    std::mt19937 random(4242);
    Rotation r;
    int added = 0;
    int steps = 0;
    int emptySteps = 0;
    // Where the entry announced last stands in the list; none right after a Clear.
    std::ptrdiff_t previous = -1;

    while (steps < 10000) {
        const unsigned action = random() % 100;
        if (action < 2) {
            ClearEntries(r.liste, r.ekle);
            previous = -1;
        } else if (action < 30) {
            r.Add(Numbered(++added));  // every entry unique, so it can be told apart
            REQUIRE(r.ekle.text.empty());
        } else {
            const std::size_t announcedBefore = r.messenger.announced.size();
            r.Step();
            ++steps;
            if (r.liste.items.empty()) {
                ++emptySteps;
                REQUIRE(r.messenger.announced.size() == announcedBefore);
                REQUIRE(r.rotationIndex == 0);
                continue;
            }
            REQUIRE(r.messenger.announced.size() == announcedBefore + 1);
            REQUIRE(r.rotationIndex >= 1);
            REQUIRE(r.rotationIndex <= r.liste.Count());
            const auto found =
                std::find(r.liste.items.begin(), r.liste.items.end(), r.messenger.announced.back());
            REQUIRE(found != r.liste.items.end());
            const std::ptrdiff_t index = found - r.liste.items.begin();
            // Between clears each announcement is the entry after the one before, and the
            // entry after the last is the first.
            if (previous >= 0) {
                const auto count = static_cast<std::ptrdiff_t>(r.liste.items.size());
                REQUIRE(index == (previous + 1 < count ? previous + 1 : 0));
            }
            previous = index;
        }
    }
    CHECK(r.messenger.announced.size() == static_cast<std::size_t>(steps - emptySteps));
    // The run has to have gone round lists of some length, empty ones included.
    CHECK(emptySteps > 0);
    CHECK(added > 1000);
}

TEST_CASE("LongRun::ten thousand now-playing texts carry their entry whole") {
    std::mt19937 random(99);
    // Units that matter: separators, braces, U+0000, both halves of a surrogate pair, RTL.
    const std::u16string alphabet(u"a\\0{}1 \xD800\xDC00\u05D0\u0627\0", 12);
    const std::u16string_view head = u"\\0Music\\01\\0{0} - {1}\\0";
    const std::u16string_view tail = u"\\0\\0\\0\\0";

    for (int i = 0; i < 10000; ++i) {
        std::u16string entry(random() % 600, u' ');
        for (char16_t& unit : entry) unit = alphabet[random() % alphabet.size()];
        const std::u16string text =
            BuildNowPlayingText(entry, u"", u"", u"", kDefaultFormat, kTrue);
        REQUIRE(text.size() == head.size() + entry.size() + tail.size() + 1);
        REQUIRE(std::u16string_view(text).starts_with(head));
        REQUIRE(text.compare(head.size(), entry.size(), entry) == 0);
        REQUIRE(text.compare(head.size() + entry.size(), tail.size(), tail) == 0);
        REQUIRE(text.back() == u'\0');
        REQUIRE(ByteLength(text) == text.size() * 2);
    }
}
