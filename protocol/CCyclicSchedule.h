#pragma once
// Lines sent again and again, each on its own period, on absolute deadlines of one monotonic
// clock: the next deadline is the last one plus the period, so the sends never drift. A
// sender that was held up past a deadline sends the line once and goes on with the first
// deadline still ahead, never a burst to catch up:
//   period 10 ms, started at 0:  sends at 0, 10, 20 ...; woken at 47 -> one send, next at 50
// Not thread-safe: the sender guards it.
#include <cstdint>
#include <limits>
#include <vector>

#include "protocol/LineFraming.h"

class CCyclicSchedule {
public:
  static constexpr uint32_t MAX_PERIOD_MS = 60000;
  static constexpr int64_t NO_DEADLINE = std::numeric_limits<int64_t>::max();

  // Sends line under dwKey every dwPeriodMs (1 to MAX_PERIOD_MS), the first time at nNowNs;
  // replaces what that key sent before. False for a period out of range or an empty line.
  bool Start(uint32_t dwKey, const CLineText& line, uint32_t dwPeriodMs, int64_t nNowNs);
  bool Stop(uint32_t dwKey);  // false when the key was not running
  void StopAll() { m_entries.clear(); }
  bool IsRunning(uint32_t dwKey) const;
  bool IsEmpty() const { return m_entries.empty(); }

  // The lines due at nNowNs, each once, in the order they were started; their deadlines move
  // to the first one after nNowNs.
  void TakeDue(int64_t nNowNs, std::vector<CLineText>& due);
  int64_t NextDeadline() const;

private:
  struct Entry {
    uint32_t m_dwKey;
    int64_t m_nPeriodNs;
    int64_t m_nDeadlineNs;
    CLineText m_line;
  };
  std::vector<Entry> m_entries;
};
