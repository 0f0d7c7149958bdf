#include <doctest/doctest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "harness/record_reader.h"
#include "tools/messenger/payload.h"

using namespace quendral;
using namespace quendral::messenger;

namespace {

// The record Quendral sends for artist "Hello" with the default format, U+0000 included.
const std::u16string kHello =
    std::u16string(u"\\0Music\\01\\0{0} - {1}\\0Hello\\0\\0\\0\\0") + u'\0';

// UTF-16LE bytes of text, whatever the host's byte order.
std::vector<std::uint8_t> Bytes(std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

Record Parse(const std::vector<std::uint8_t>& bytes, std::uint64_t data = 0x547) {
    return ParseRecord(data, bytes.data(), bytes.size());
}

Record Parse(std::u16string_view text) {
    return Parse(Bytes(text));
}

bool Contains(std::u16string_view text, std::u16string_view part) {
    return text.find(part) != std::u16string_view::npos;
}

// Text that any control shows whole: no U+0000 and no half of a surrogate pair.
bool SafeToShow(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit == 0 || (unit >= 0xDC00 && unit <= 0xDFFF)) return false;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
            ++i;
        }
    }
    return true;
}

}  // namespace

TEST_CASE("Messenger::a well-formed record") {
    SUBCASE("Quendral's record for one artist") {
        const Record record = Parse(kHello);
        CHECK(record.data == 0x547);
        CHECK(record.ByteCount() == 74);
        CHECK_FALSE(record.oddByteCount);
        CHECK(record.terminated);
        CHECK(record.text.size() == 36);
        CHECK(record.tagged);
        CHECK(record.fields ==
              std::vector<std::u16string>{u"1", u"{0} - {1}", u"Hello", u"", u"", u""});
        CHECK_FALSE(record.lastFieldOpen);
        CHECK(Problems(record).empty());
        CHECK(DisplayLine(record) == u"Hello - ");
    }
    SUBCASE("values fill the pattern in order: artist, title, album, content id") {
        const Record record =
            Parse(std::u16string(u"\\0Music\\01\\0{3}|{2}|{1}|{0}\\0A\\0T\\0B\\0ID\\0") + u'\0');
        CHECK(Problems(record).empty());
        CHECK(DisplayLine(record) == u"ID|B|T|A");
    }
    SUBCASE("show 0 is marked hidden") {
        std::u16string text = kHello;
        text[9] = u'0';
        CHECK(DisplayLine(Parse(text)) == u"(hidden) Hello - ");
    }
    SUBCASE("a dwData other than 0x547 is kept as it came and noted") {
        const Record record = Parse(Bytes(kHello), 0xFFFF'FFFF'FFFF'FFFFull);
        CHECK(record.data == 0xFFFF'FFFF'FFFF'FFFFull);
        CHECK(DisplayLine(record) == u"Hello -  [dwData is not 0x547]");
        CHECK(Contains(DetailText(record), u"dwData: 0xffffffffffffffff\r\n"));
    }
    SUBCASE("the details list every field by name and the first bytes") {
        const std::u16string detail = DetailText(Parse(kHello));
        CHECK(Contains(detail, u"dwData: 0x00000547\r\n"));
        CHECK(Contains(detail, u"cbData: 74\r\n"));
        CHECK(Contains(detail, u"format: \"{0} - {1}\"\r\n"));
        // By place and by the names the messenger gives them: the line is its title.
        CHECK(Contains(detail, u"{0} title: \"Hello\"\r\n"));
        CHECK(Contains(detail, u"{1} artist: \"\"\r\n"));
        CHECK(Contains(detail, u"{2} album: \"\"\r\n"));
        CHECK(Contains(detail, u"{3} content id: \"\"\r\n"));
        CHECK(Contains(detail, u"problems: none\r\n"));
        CHECK(Contains(detail, u"bytes (first 48): 5c0030004d00"));
    }
}

TEST_CASE("Messenger::records that are not well formed still read sensibly") {
    SUBCASE("no bytes at all, with or without a pointer") {
        const std::uint8_t byte = 0x41;
        for (const Record& record :
             {ParseRecord(7, nullptr, 0), ParseRecord(7, &byte, 0), ParseRecord(7, nullptr, 10)}) {
            CHECK(record.ByteCount() == 0);
            CHECK(record.text.empty());
            CHECK_FALSE(record.tagged);
            CHECK(DisplayLine(record) == u"[dwData is not 0x547; empty payload]");
            CHECK(Contains(DetailText(record), u"bytes: -"));
        }
    }
    SUBCASE("an odd byte count leaves the dangling byte out of the text") {
        std::vector<std::uint8_t> bytes = Bytes(kHello);
        bytes.push_back(0x41);
        const Record record = Parse(bytes);
        CHECK(record.ByteCount() == 75);
        CHECK(record.oddByteCount);
        CHECK(record.text.size() == 36);
        CHECK(record.terminated);  // the last whole unit is still the U+0000
        CHECK(record.fields.size() == 6);
        CHECK(DisplayLine(record) == u"Hello -  [odd byte count]");
    }
    SUBCASE("a single byte") {
        const std::uint8_t byte = 0;
        const Record record = ParseRecord(0x547, &byte, 1);
        CHECK(record.oddByteCount);
        CHECK(record.text.empty());
        CHECK(DisplayLine(record) == u"[odd byte count; not a now-playing record; no terminator]");
    }
    SUBCASE("no terminator") {
        const Record record = Parse(std::u16string_view(kHello).substr(0, kHello.size() - 1));
        CHECK_FALSE(record.terminated);
        CHECK(record.fields.size() == 6);
        CHECK(DisplayLine(record) == u"Hello -  [no terminator]");
    }
    SUBCASE("no tag: the raw text is shown") {
        const Record record = Parse(std::u16string(u"just text") + u'\0');
        CHECK_FALSE(record.tagged);
        CHECK(record.fields.empty());
        CHECK(DisplayLine(record) == u"just text [not a now-playing record]");
    }
    SUBCASE("a tag missing its closing separator is no tag") {
        CHECK_FALSE(Parse(std::u16string(u"\\0Music1\\0") + u'\0').tagged);
        CHECK_FALSE(Parse(u"\\0Music\\").tagged);
    }
    SUBCASE("a separator inside a field makes an extra field") {
        const Record record =
            Parse(std::u16string(u"\\0Music\\01\\0{0} - {1}\\0AC\\0DC\\0\\0\\0\\0") + u'\0');
        CHECK(record.fields.size() == 7);
        CHECK(record.fields[2] == u"AC");
        CHECK(record.fields[3] == u"DC");
        CHECK(DisplayLine(record) == u"AC - DC [7 fields, 6 expected]");
    }
    SUBCASE("missing separators: fewer fields, and the open end is kept") {
        const Record record = Parse(std::u16string(u"\\0Music\\01\\0{0}/{1}\\0Solo") + u'\0');
        CHECK(record.fields == std::vector<std::u16string>{u"1", u"{0}/{1}", u"Solo"});
        CHECK(record.lastFieldOpen);
        CHECK(DisplayLine(record) == u"Solo/ [3 fields, 6 expected; last field not closed]");
    }
    SUBCASE("only the tag") {
        const Record record = Parse(quendral::kNowPlayingTag);
        CHECK(record.tagged);
        CHECK(record.fields.empty());
        CHECK(DisplayLine(record) == u"(hidden)  [no terminator; 0 fields, 6 expected]");
    }
    SUBCASE("U+0000 in the middle is kept and shown as a symbol") {
        std::u16string text = kHello;
        text[25] = u'\0';  // the second l of Hello
        const Record record = Parse(text);
        CHECK(record.terminated);
        CHECK(record.fields[2] == std::u16string(u"He\0lo", 5));
        CHECK(DisplayLine(record) == u"He\u2400lo -  [U+0000 inside the text]");
    }
    SUBCASE("lone surrogates are replaced, pairs are kept") {
        const Record record =
            Parse(std::u16string(u"\\0Music\\01\\0{0}\\0\xD800x\U0001F3B5\xDC00\\0") + u'\0');
        CHECK(record.fields[2].size() == 5);
        CHECK(DisplayLine(record) ==
              u"\uFFFDx\U0001F3B5\uFFFD [lone surrogate; 3 fields, 6 expected]");
    }
    SUBCASE("control characters in the details are shown as symbols") {
        const Record record = Parse(std::u16string(u"a\tb\0c", 5));
        CHECK(Contains(DetailText(record), u"text: \"a\u2409b\u2400c\""));
    }
}

TEST_CASE("Messenger::pattern placeholders") {
    const std::vector<std::u16string> values{u"A", u"T", u"B"};
    SUBCASE("each {N} takes the Nth value, as often as it appears") {
        CHECK(RenderPattern(u"{0} - {1} ({2}) {0}", values).text == u"A - T (B) A");
    }
    SUBCASE("a placeholder without a value becomes empty") {
        CHECK(RenderPattern(u"[{3}][{99999999999999999999}]", values).text == u"[][]");
        CHECK(RenderPattern(u"{0}", {}).text == u"");
    }
    SUBCASE("malformed braces are copied") {
        CHECK(RenderPattern(u"{} {x} { 0} {-1} {0 } { } }{", values).text ==
              u"{} {x} { 0} {-1} {0 } { } }{");
        CHECK(RenderPattern(u"{{0}}", values).text == u"{A}");
        CHECK(RenderPattern(u"ends with {1", values).text == u"ends with {1");
        CHECK(RenderPattern(u"{", values).text == u"{");
    }
}

TEST_CASE("Messenger::hostile records render to bounded lines") {
    SUBCASE("a pattern that repeats {0} thousands of times over a long value") {
        std::u16string pattern;
        for (int i = 0; i < 40'000; ++i) pattern += u"{0}";
        const std::vector<std::u16string> values{std::u16string(50'000, u'x')};
        const Rendered rendered = RenderPattern(pattern, values);
        CHECK(rendered.text == std::u16string(kLineLimit, u'x'));
        CHECK(rendered.size == 2'000'000'000);
        CHECK(rendered.Cut());

        std::u16string text = u"\\0Music\\01\\0" + pattern + u"\\0" + values[0] + u"\\0\\0\\0\\0";
        text += u'\0';
        const std::u16string line = DisplayLine(Parse(text));
        CHECK(line.size() < kLineLimit + 40);
        CHECK(Contains(line, u"x\u2026 (2,000,000,000 characters)"));
        CHECK(DetailText(Parse(text)).size() < 8 * 1024);
    }
    SUBCASE("a raw text and a field list past the limits") {
        std::u16string text(kLineLimit + 10, u'r');
        text.back() = u'\0';
        const std::u16string line = DisplayLine(Parse(text));
        CHECK(Contains(line, std::u16string(kLineLimit, u'r') + u"\u2026 (4,105 characters) ["));

        std::u16string many = u"\\0Music\\0";
        for (int i = 0; i < 5'000; ++i) many += u"f\\0";
        CHECK(Contains(DetailText(Parse(many)), u"\u2026 4,984 more fields"));
    }
    SUBCASE("the cut never splits a surrogate pair, and nothing follows the cut") {
        const std::vector<std::u16string> values{u"ab\U0001F3B5"};
        const Rendered rendered = RenderPattern(u"{0}z", values, 3);
        CHECK(rendered.text == u"ab");
        CHECK(rendered.size == 5);
        CHECK(RenderPattern(u"{0}", values, 4).text == values[0]);
    }
}

TEST_CASE("Messenger::hex and log lines, and the tests' reading of them") {
    SUBCASE("HexBytes is lowercase, two digits a byte, - for nothing") {
        const std::vector<std::uint8_t> bytes{0x00, 0x0F, 0xA0, 0xFF, 0x5C};
        CHECK(HexBytes(bytes) == "000fa0ff5c");
        CHECK(HexBytes({}) == "-");
    }
    SUBCASE("a well-formed record") {
        const std::vector<std::uint8_t> bytes = Bytes(kHello);
        const std::string line = LogLine({9, 5, 7, 42}, 0x547, bytes);
        CHECK(line == "09:05:07.042 0x00000547 74 " + HexBytes(bytes) + "\n");
        CHECK(line.substr(27, 12) == "5c0030004d00");
    }
    SUBCASE("an empty payload and a dwData wider than 32 bits") {
        CHECK(LogLine({23, 59, 59, 999}, 0x1234'5678'9ABC'DEF0ull, {}) ==
              "23:59:59.999 0x123456789abcdef0 0 -\n");
        CHECK(LogLine({0, 0, 0, 0}, 0, {}) == "00:00:00.000 0x00000000 0 -\n");
    }
    SUBCASE("the tests read back what LogLine writes, and nothing else") {
        using Payload = std::vector<std::uint8_t>;
        for (const auto& [data, payload] : {std::pair{std::uint64_t{0x547}, Bytes(kHello)},
                                            std::pair{~std::uint64_t{0}, Payload{}}}) {
            std::string line = LogLine({23, 59, 58, 7}, data, payload);
            line.pop_back();
            const std::optional<LoggedRecord> read = ParseLogLine(line);
            REQUIRE(read.has_value());
            CHECK(read->arrivedMs == ((23 * 60 + 59) * 60 + 58) * 1000 + 7);
            CHECK(
                (read->dwData == data && read->cbData == payload.size() && read->bytes == payload));
        }
        for (const char* line : {"", "09:05:07.042 547 1 00", "09:05:07.042 0x00000547 1 0",
                                 "09:05:07.042 0x00000547 1 0g", "09:05:07.042 0x547 x -"}) {
            CHECK_FALSE(ParseLogLine(line).has_value());
        }
    }
}

TEST_CASE("Messenger::random and truncated payloads never break the parser") {
    std::mt19937 random(20240611);
    const std::vector<std::uint8_t> valid =
        Bytes(std::u16string(u"\\0Music\\01\\0{0} - {1} {2}\\0Art\\0Tit\\0Alb\\0ID\\0") + u'\0');
    // Units that matter to the parser, so random text often makes tags, separators and braces.
    const std::u16string interesting = u"\\0\\0Music{}12 \xD800\xDC00";

    for (int round = 0; round < 20000; ++round) {
        const std::size_t size = std::uniform_int_distribution<std::size_t>(0, 300)(random);
        // Exactly size bytes on the heap, so the sanitizer sees any read past the end.
        const auto bytes = std::make_unique<std::uint8_t[]>(size);
        std::size_t filled = 0;
        if (random() % 2 == 0) {
            filled = std::min(size, static_cast<std::size_t>(random() % (valid.size() + 1)));
            std::copy_n(valid.begin(), filled, bytes.get());
        }
        for (std::size_t i = filled; i < size; ++i) {
            if (random() % 4 == 0) {
                bytes[i] = static_cast<std::uint8_t>(random());
            } else if (i % 2 == 0) {
                const char16_t unit =
                    random() % 8 == 0 ? u'\0' : interesting[random() % interesting.size()];
                bytes[i] = static_cast<std::uint8_t>(unit & 0xFF);
                if (i + 1 < size) bytes[++i] = static_cast<std::uint8_t>(unit >> 8);
            }
        }

        const Record record = ParseRecord(random(), bytes.get(), size);
        REQUIRE(record.ByteCount() == size);
        REQUIRE(record.text.size() + (record.terminated ? 1 : 0) == size / 2);
        const std::u16string line = DisplayLine(record);
        REQUIRE(SafeToShow(line));
        REQUIRE(!DetailText(record).empty());
        REQUIRE(SafeToShow(DetailText(record)));
        const std::string log = LogLine({12, 0, 0, 0}, record.data, record.bytes);
        REQUIRE(log.back() == '\n');
        REQUIRE(log.size() >= 13 + 11 + 2 + 2);
    }
}
