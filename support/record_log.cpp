#include "support/record_log.h"

#include <charconv>
#include <cstdio>

namespace quendral {

namespace {

// The number from at up to the next space (or the end) in the given base; at moves past it.
template <class Number>
bool ReadNumber(std::string_view& at, Number& value, int base = 10) {
    const std::string_view field = at.substr(0, at.find(' '));
    const auto [end, error] =
        std::from_chars(field.data(), field.data() + field.size(), value, base);
    if (error != std::errc() || end != field.data() + field.size()) return false;
    at.remove_prefix(field.size() < at.size() ? field.size() + 1 : field.size());
    return true;
}

bool ReadClock(std::string_view& at, std::uint32_t& milliseconds) {
    unsigned hour = 0, minute = 0, second = 0, millisecond = 0;
    if (at.size() < 13 || at[2] != ':' || at[5] != ':' || at[8] != '.' || at[12] != ' ')
        return false;
    std::string_view parts[] = {at.substr(0, 2), at.substr(3, 2), at.substr(6, 2), at.substr(9, 3)};
    if (!ReadNumber(parts[0], hour) || !ReadNumber(parts[1], minute) ||
        !ReadNumber(parts[2], second) || !ReadNumber(parts[3], millisecond)) {
        return false;
    }
    milliseconds = ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
    at.remove_prefix(13);
    return true;
}

}  // namespace

std::string FormatClock(const ClockTime& time) {
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%02u:%02u:%02u.%03u", time.hour,
                                     time.minute, time.second, time.millisecond);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return "-";
    constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const std::uint8_t byte : bytes) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

std::string HexNumber(std::uint64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
    const std::string digits(buffer, result.ptr);
    return "0x" + std::string(digits.size() < 8 ? 8 - digits.size() : 0, '0') + digits;
}

std::string LogLine(const ClockTime& time, std::uint64_t data,
                    std::span<const std::uint8_t> bytes) {
    return FormatClock(time) + ' ' + HexNumber(data) + ' ' + std::to_string(bytes.size()) + ' ' +
           HexBytes(bytes) + '\n';
}

std::optional<LoggedRecord> ParseLogLine(std::string_view line) {
    LoggedRecord record;
    if (!ReadClock(line, record.arrivedMs) || !line.starts_with("0x")) return std::nullopt;
    line.remove_prefix(2);
    if (!ReadNumber(line, record.dwData, 16) || !ReadNumber(line, record.cbData)) {
        return std::nullopt;
    }
    if (line == "-") return record;
    if (line.empty() || line.size() % 2 != 0) return std::nullopt;
    for (std::string_view pair; !line.empty();) {
        pair = line.substr(0, 2);
        line.remove_prefix(2);
        std::uint8_t byte = 0;
        if (!ReadNumber(pair, byte, 16)) return std::nullopt;
        record.bytes.push_back(byte);
    }
    return record;
}

}  // namespace quendral
