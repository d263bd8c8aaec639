#pragma once
// Received frames in the log form other CAN tools read ("candump -L"): the arrival time in
// seconds and microseconds, the interface name, the identifier, "#" and the data.
//   2.0A data 0x123, 11 22 at 1700000000.000042 s -> "(1700000000.000042) korvex0 123#1122"
//   2.0B data 0x18FEF100, no bytes                 -> "(...) korvex0 18FEF100#"
//   2.0A remote 0x7E8, length 0 / length 3         -> "(...) korvex0 7E8#R" / "7E8#R3"
// A 2.0A identifier is its low 11 bits in three digits, a 2.0B one its low 29 bits in eight
// (readers take bit 29 as their error-frame flag). A data frame the module cut short is
// written with the bytes it carried.
#include <cstdint>
#include <string>

#include "protocol/ResponseLayout.h"

inline constexpr const char* CANDUMP_INTERFACE = "korvex0";

// The line without its line feed, written into out (reused). nWallNs: nanoseconds since
// 1970 (ArrivalTime::m_nWallNs); an earlier time is written as 0.
void CandumpLine(const CanFrame& frame, int64_t nWallNs, std::string& out);
// "(SECONDS.MICROSECONDS)" alone, into out (reused), as the line begins.
void CandumpStamp(int64_t nWallNs, std::string& out);
