// The stand-in messenger's log: a line for each record it is sent, as the messenger writes
// it and the tests read it back. "HH:MM:SS.mmm 0x%08llx CBDATA HEX\n": the messenger's
// clock when the record came, dwData in hex, cbData in decimal and the payload's bytes as
// HexBytes gives them. Plain ASCII, plain C++. The tests' reader: harness/record_reader.h.
#pragma once

#include <cstdint>
#include <span>
#include <string>

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

}  // namespace quendral
