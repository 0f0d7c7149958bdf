#include "support/record_log.h"

#include <charconv>
#include <cstdio>

namespace quendral {

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

std::optional<LoggedRecord> ParseLogLine(const std::string& line) {
    unsigned hour = 0, minute = 0, second = 0, millisecond = 0;
    unsigned long long data = 0;
    unsigned long size = 0;
    int at = 0;
    if (std::sscanf(line.c_str(), "%2u:%2u:%2u.%3u 0x%llx %lu %n", &hour, &minute, &second,
                    &millisecond, &data, &size, &at) != 6) {
        return std::nullopt;
    }
    LoggedRecord record{((hour * 60 + minute) * 60 + second) * 1000 + millisecond,
                        data,
                        static_cast<std::uint32_t>(size),
                        {}};
    const std::string_view hex = std::string_view(line).substr(static_cast<std::size_t>(at));
    if (hex == "-") return record;
    if (hex.empty() || hex.size() % 2 != 0) return std::nullopt;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        std::uint8_t byte = 0;
        const auto [end, error] = std::from_chars(&hex[i], &hex[i] + 2, byte, 16);
        if (error != std::errc() || end != &hex[i] + 2) return std::nullopt;
        record.bytes.push_back(byte);
    }
    return record;
}

}  // namespace quendral
