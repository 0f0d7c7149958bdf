// The stand-in messenger's log read back: a line LogLine (harness/record_log.h) wrote,
// as a record again. Plain C++, so the host tests check it against the writer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quendral {

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
