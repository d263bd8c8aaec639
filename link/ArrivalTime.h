#pragma once
// When received bytes came off the port: taken by the reader thread for each block it reads,
// carried with the bytes through the receive queue and, placed for each frame, in its record.
#include <cstdint>
#include <ctime>

struct ArrivalTime {
  int64_t m_nSteadyNs = 0;  // CLOCK_MONOTONIC: for intervals between frames
  int64_t m_nWallNs = 0;    // CLOCK_REALTIME: for time stamps shown and logged

  static ArrivalTime Now() {
    timespec steady{}, wall{};
    clock_gettime(CLOCK_MONOTONIC, &steady);
    clock_gettime(CLOCK_REALTIME, &wall);
    return {steady.tv_sec * 1000000000LL + steady.tv_nsec, wall.tv_sec * 1000000000LL + wall.tv_nsec};
  }
  std::time_t WallSeconds() const { return static_cast<std::time_t>(m_nWallNs / 1000000000LL); }
};
