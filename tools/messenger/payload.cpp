#include "tools/messenger/payload.h"

#include <algorithm>
#include <charconv>

#include "support/text.h"

namespace quendral::messenger {

namespace {

// The values after the format, in placeholder order, by the names the messenger and
// receivers that show fields by name give them (Quendral's code calls {0} the artist).
constexpr std::u16string_view kValueNames[] = {u"title", u"artist", u"album", u"content id"};
// DetailText shows at most this many units of a field and this many bytes in hex.
constexpr std::size_t kDetailFieldUnits = 256;
constexpr std::size_t kDetailBytes = 48;
constexpr char16_t kNewline[] = u"\r\n";

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

bool HasLoneSurrogate(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            return true;
        }
    }
    return false;
}

// Control characters become their Control Pictures symbols (U+0000 shows as U+2400)
// and lone surrogates become U+FFFD, so the text survives any text control whole.
std::u16string Visible(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit < 0x20) {
            out += static_cast<char16_t>(0x2400 + unit);
        } else if (unit == 0x7F) {
            out += u'\u2421';
        } else if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            out += unit;
            out += text[++i];
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            out += u'\uFFFD';
        } else {
            out += unit;
        }
    }
    return out;
}

std::u16string Clip(std::u16string_view text, std::size_t limit) {
    if (text.size() <= limit) return std::u16string(text);
    // Do not cut a surrogate pair in two.
    if (IsHighSurrogate(text[limit - 1])) --limit;
    return std::u16string(text.substr(0, limit)) + u"\u2026";
}

std::u16string Widen(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

std::string Decimal(std::uint64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::u16string Quoted(std::u16string_view field) {
    return u"\"" + Visible(Clip(field, kDetailFieldUnits)) + u"\"";
}

}  // namespace

Record ParseRecord(std::uint64_t data, const void* bytes, std::size_t size) {
    Record record;
    record.data = data;
    if (bytes != nullptr && size > 0) {
        const auto* first = static_cast<const std::uint8_t*>(bytes);
        record.bytes.assign(first, first + size);
    }
    const std::vector<std::uint8_t>& raw = record.bytes;
    record.oddByteCount = raw.size() % 2 != 0;

    record.text.reserve(raw.size() / 2);
    for (std::size_t i = 0; i + 1 < raw.size(); i += 2) {
        record.text += static_cast<char16_t>(raw[i] | (raw[i + 1] << 8));
    }
    if (!record.text.empty() && record.text.back() == u'\0') {
        record.text.pop_back();
        record.terminated = true;
    }

    record.tagged = record.text.starts_with(kNowPlayingTag);
    if (!record.tagged) return record;
    std::u16string_view rest = std::u16string_view(record.text).substr(kNowPlayingTag.size());
    while (!rest.empty()) {
        const std::size_t end = rest.find(kFieldSeparator);
        if (end == std::u16string_view::npos) {
            record.fields.emplace_back(rest);
            record.lastFieldOpen = true;
            break;
        }
        record.fields.emplace_back(rest.substr(0, end));
        rest.remove_prefix(end + kFieldSeparator.size());
    }
    return record;
}

std::vector<std::u16string> Problems(const Record& record) {
    std::vector<std::u16string> problems;
    if (record.data != kNowPlayingRecordId) problems.emplace_back(u"dwData is not 0x547");
    if (record.bytes.empty()) {
        problems.emplace_back(u"empty payload");
        return problems;
    }
    if (record.oddByteCount) problems.emplace_back(u"odd byte count");
    if (!record.tagged) problems.emplace_back(u"not a now-playing record");
    if (!record.terminated) problems.emplace_back(u"no terminator");
    if (record.text.find(u'\0') != std::u16string::npos) {
        problems.emplace_back(u"U+0000 inside the text");
    }
    if (HasLoneSurrogate(record.text)) problems.emplace_back(u"lone surrogate");
    if (record.tagged && record.fields.size() != kFieldCount) {
        problems.push_back(Widen(Decimal(record.fields.size())) + u" fields, " +
                           Widen(Decimal(kFieldCount)) + u" expected");
    }
    if (record.lastFieldOpen) problems.emplace_back(u"last field not closed");
    return problems;
}

Rendered RenderPattern(std::u16string_view pattern, std::span<const std::u16string> values,
                       std::size_t limit) {
    Rendered out;
    bool full = false;
    const auto append = [&](std::u16string_view piece) {
        // Past the limit only the size counts; no record can make it reach 2^64.
        out.size += piece.size();
        if (full) return;
        std::size_t room = limit - out.text.size();
        if (piece.size() <= room) {
            out.text += piece;
            return;
        }
        if (room > 0 && IsHighSurrogate(piece[room - 1])) --room;
        out.text += piece.substr(0, room);
        full = true;
    };
    std::size_t i = 0;
    while (i < pattern.size()) {
        if (pattern[i] == u'{') {
            std::size_t end = i + 1;
            std::size_t index = 0;
            while (end < pattern.size() && pattern[end] >= u'0' && pattern[end] <= u'9') {
                // Past any real field count the exact number no longer matters.
                if (index < 100000)
                    index = index * 10 + static_cast<std::size_t>(pattern[end] - u'0');
                ++end;
            }
            if (end > i + 1 && end < pattern.size() && pattern[end] == u'}') {
                if (index < values.size()) append(values[index]);
                i = end + 1;
                continue;
            }
        }
        append(pattern.substr(i++, 1));
    }
    return out;
}

std::u16string DisplayLine(const Record& record) {
    std::u16string line;
    Rendered shown;
    if (record.tagged) {
        const auto& fields = record.fields;
        const bool visible = !fields.empty() && fields[0] == u"1";
        const std::u16string_view pattern = fields.size() > 1 ? fields[1] : std::u16string_view{};
        const std::span<const std::u16string> values =
            fields.size() > 2 ? std::span(fields).subspan(2) : std::span<const std::u16string>{};
        if (!visible) line += u"(hidden) ";
        shown = RenderPattern(pattern, values);
    } else {
        shown = RenderPattern(u"{0}", std::span(&record.text, 1));
    }
    line += shown.text;
    if (shown.Cut()) line += u"\u2026 (" + Widen(Grouped(shown.size)) + u" characters)";

    const std::vector<std::u16string> problems = Problems(record);
    if (!problems.empty()) {
        if (!line.empty()) line += u' ';
        line += u'[';
        for (std::size_t i = 0; i < problems.size(); ++i) {
            if (i > 0) line += u"; ";
            line += problems[i];
        }
        line += u']';
    }
    return Visible(line);
}

std::u16string DetailText(const Record& record) {
    std::u16string out;
    out += u"dwData: " + Widen(HexNumber(record.data)) + kNewline;
    out += u"cbData: " + Widen(Decimal(record.ByteCount())) + kNewline;
    if (record.tagged) {
        const std::size_t listed = std::min(record.fields.size(), kDetailFields);
        for (std::size_t i = 0; i < listed; ++i) {
            std::u16string label;
            if (i == 0) {
                label = u"show";
            } else if (i == 1) {
                label = u"format";
            } else {
                label = u"{" + Widen(Decimal(i - 2)) + u"}";
                if (i - 2 < std::size(kValueNames))
                    label += u" " + std::u16string(kValueNames[i - 2]);
            }
            out += label + u": " + Quoted(record.fields[i]) + kNewline;
        }
        if (listed < record.fields.size()) {
            out += u"\u2026 " + Widen(Grouped(record.fields.size() - listed)) + u" more fields" +
                   kNewline;
        }
    } else {
        out += u"text: " + Quoted(record.text) + kNewline;
    }

    const std::vector<std::u16string> problems = Problems(record);
    out += u"problems: ";
    if (problems.empty()) out += u"none";
    for (std::size_t i = 0; i < problems.size(); ++i) {
        if (i > 0) out += u"; ";
        out += problems[i];
    }
    out += kNewline;

    const std::size_t shownBytes = std::min(record.bytes.size(), kDetailBytes);
    out += u"bytes";
    if (shownBytes < record.bytes.size()) {
        out += u" (first " + Widen(Decimal(shownBytes)) + u")";
    }
    out += u": " + Widen(HexBytes(std::span(record.bytes).first(shownBytes)));
    return out;
}

}  // namespace quendral::messenger
