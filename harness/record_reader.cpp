#include "harness/record_reader.h"

#include <charconv>
#include <cstdio>
#include <string_view>

namespace quendral {

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
