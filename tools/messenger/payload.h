// What the stand-in messenger makes of one WM_COPYDATA record: the text split into
// its fields, a line to show, a description of the raw record and a log line.
// Plain C++: no Windows headers here, so the host tests can feed it anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "announce/now_playing.h"
#include "harness/record_log.h"

namespace quendral::messenger {

// show, format, then the values {0} to {3}: title, artist, album, content id.
inline constexpr std::size_t kFieldCount = 6;
// A shown line keeps at most this many units of the record's text; the rest is cut with
// an ellipsis and the full length named. A {N} repeated thousands of times would otherwise
// render a record of a few hundred kilobytes to gigabytes.
inline constexpr std::size_t kLineLimit = 4096;
// DetailText lists at most this many fields.
inline constexpr std::size_t kDetailFields = 16;

struct Record {
    std::uint64_t data = 0;           // COPYDATASTRUCT::dwData
    std::vector<std::uint8_t> bytes;  // the payload as it came, cbData bytes
    bool oddByteCount = false;        // the last byte is half a unit and is not in text
    std::u16string text;              // the whole UTF-16LE units, the closing U+0000 left out
    bool terminated = false;          // the last whole unit was U+0000
    bool tagged = false;              // text starts with kNowPlayingTag
    // After the tag, split on kSeparator: show, format, then the values {0}, {1}, ...
    std::vector<std::u16string> fields;
    bool lastFieldOpen = false;  // text after the last separator that no separator closes

    std::size_t ByteCount() const { return bytes.size(); }
};

// Reads cbData bytes at lpData; a null pointer reads as no bytes.
Record ParseRecord(std::uint64_t data, const void* bytes, std::size_t size);

// Short notes on whatever keeps the record from being a clean now-playing record
// ("odd byte count", "no terminator", "dwData is not 0x547", ...); empty for a clean one.
std::vector<std::u16string> Problems(const Record& record);

// A rendered pattern: at most the limit's units of it, and the length it has in full
// (which can pass what memory holds).
struct Rendered {
    std::u16string text;
    std::uint64_t size = 0;

    bool Cut() const { return size > text.size(); }
};

// The pattern with every {N} replaced by values[N], or by nothing when there is no
// such value. Braces that do not make a placeholder are copied as they are. The text
// stops at limit units, never cutting a surrogate pair in two; the work is linear in
// the pattern's length and the limit, whatever the full size.
Rendered RenderPattern(std::u16string_view pattern, std::span<const std::u16string> values,
                       std::size_t limit = kLineLimit);

// The line a person sees for the record: the rendered pattern for a now-playing
// record, the raw text otherwise, followed by the problems in brackets. Control
// characters and lone surrogates are made visible, so the line is safe to show. Text
// past kLineLimit units is cut: "…" and the full length in characters follow it.
std::u16string DisplayLine(const Record& record);

// Several lines (CRLF) describing the record field by field (at most kDetailFields of
// them, each clipped), with the first bytes in hex.
std::u16string DetailText(const Record& record);

}  // namespace quendral::messenger
