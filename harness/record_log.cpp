#include "harness/record_log.h"

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

}  // namespace quendral
