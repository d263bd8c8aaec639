#include "protocol/CCyclicSchedule.h"

#include <algorithm>

bool CCyclicSchedule::Start(uint32_t dwKey, const CLineText& line, uint32_t dwPeriodMs, int64_t nNowNs) {
  if (dwPeriodMs == 0 || dwPeriodMs > MAX_PERIOD_MS || line.IsEmpty()) return false;
  Stop(dwKey);
  m_entries.push_back({dwKey, int64_t{dwPeriodMs} * 1000000, nNowNs, line});
  return true;
}

bool CCyclicSchedule::Stop(uint32_t dwKey) {
  return std::erase_if(m_entries, [dwKey](const Entry& entry) { return entry.m_dwKey == dwKey; }) != 0;
}

bool CCyclicSchedule::IsRunning(uint32_t dwKey) const {
  return std::any_of(m_entries.begin(), m_entries.end(), [dwKey](const Entry& entry) { return entry.m_dwKey == dwKey; });
}

void CCyclicSchedule::TakeDue(int64_t nNowNs, std::vector<CLineText>& due) {
  for (Entry& entry : m_entries) {
    if (entry.m_nDeadlineNs > nNowNs) continue;
    due.push_back(entry.m_line);
    entry.m_nDeadlineNs += entry.m_nPeriodNs;
    if (entry.m_nDeadlineNs <= nNowNs) {
      // Missed whole periods are skipped, keeping the phase of the first deadline.
      const int64_t nMissed = (nNowNs - entry.m_nDeadlineNs) / entry.m_nPeriodNs + 1;
      entry.m_nDeadlineNs += nMissed * entry.m_nPeriodNs;
    }
  }
}

int64_t CCyclicSchedule::NextDeadline() const {
  int64_t nNext = NO_DEADLINE;
  for (const Entry& entry : m_entries) nNext = std::min(nNext, entry.m_nDeadlineNs);
  return nNext;
}
