// The stand-in messenger's log: a line for each record it is sent, as the messenger writes
// it and the tests read it back. "HH:MM:SS.mmm 0x%08llx CBDATA HEX\n": the messenger's
// clock when the record came, dwData in hex, cbData in decimal and the payload's bytes as
// HexBytes gives them. Plain ASCII, plain C++.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quendral {

struct ClockTime {
    unsigned hour = 0, minute = 0, second = 0, millisecond = 0;
};
// "HH:MM:SS.mmm"
std::string FormatClock(const ClockTime& time);

// Lowercase hex, two digits a byte, no separators; "-" for no bytes.
std::string HexBytes(std::span<const std::uint8_t> bytes);

// 0x and at least eight lowercase hex digits.
std::string HexNumber(std::uint64_t value);
std::string LogLine(const ClockTime& time, std::uint64_t data, std::span<const std::uint8_t> bytes);

// One record as the log has it.
struct LoggedRecord {
    std::uint32_t arrivedMs = 0;  // the messenger's clock: milliseconds into its day
    std::uint64_t dwData = 0;
    std::uint32_t cbData = 0;
    std::vector<std::uint8_t> bytes;
};

// A line LogLine wrote, without its line end; nothing for one it didn't.
std::optional<LoggedRecord> ParseLogLine(const std::string& line);

}  // namespace quendral
