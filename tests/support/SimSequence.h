#pragma once
// The number that the simulated module's numbered frames carry: the eight data bytes after the
// line's last ':' are the number and its complement, big-endian ("... 데이터:00 00 00 0A FF FF FF
// F5" -> 10). Reads UTF-8 and CP949 lines alike; -1 for any other line or a wrong complement.
#include <cstdint>
#include <cstdio>
#include <string>

inline long long SimSequenceOf(const std::string& line) {
  const std::size_t nAt = line.rfind(':');
  unsigned a[8];
  if (nAt == std::string::npos || std::sscanf(line.c_str() + nAt + 1, "%x %x %x %x %x %x %x %x", &a[0], &a[1], &a[2],
                                              &a[3], &a[4], &a[5], &a[6], &a[7]) != 8)
    return -1;
  const uint32_t dwSequence = a[0] << 24 | a[1] << 16 | a[2] << 8 | a[3];
  return (a[4] << 24 | a[5] << 16 | a[6] << 8 | a[7]) == ~dwSequence ? static_cast<long long>(dwSequence) : -1;
}
