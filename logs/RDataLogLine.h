#pragma once
// The analyzer's receive-data log read back: each line (CP949, CR LF) a local time stamp, two
// blanks and the receive list's line:
//   "2024.05.01 13:45:07  CAN2.0A  Data Frame    길이:2  ID:123       데이터:01 02"
//     -> 2.0A data 0x123, 01 02, arrived 2024-05-01 13:45:07 local time (the log keeps whole seconds)
// A line is taken only when it is exactly what the analyzer writes for some frame; anything
// else (an event log's lines, a garbled line, bytes that are not CP949) is refused.
#include <cstddef>
#include <optional>
#include <string_view>

#include "protocol/ReceivedFrame.h"

// Longer lines cannot be the analyzer's (its longest is under 100 bytes).
inline constexpr std::size_t RDATA_LOG_MAX_LINE = 256;

// One line without its line end, as stored (CP949). The stamp, read as local time, is both
// arrival times (whole seconds); the sequence number is left 0.
std::optional<ReceivedFrame> ParseRDataLogLine(std::string_view line);
