#pragma once
// The number a simulated frame carries (number and complement after the last ':'); -1 for any other line.
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
