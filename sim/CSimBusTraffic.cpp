#include "sim/CSimBusTraffic.h"

#include <algorithm>
#include <iterator>

namespace {

// Cycle times 10 ms to 1 s, lengths 0 to 8, both kinds, both identifier widths.
constexpr CSimBusTraffic::SMessage BUS_MESSAGES[] = {
    {0x0C1, false, false, 8, 10},      {0x1A4, false, false, 6, 20},
    {0x2F0, false, false, 4, 100},     {0x3E8, false, true, 2, 500},
    {0x5F2, false, false, 0, 1000},    {0x7E8, false, false, 3, 1000},
    {0x0CF00400, true, false, 8, 20},  {0x18FEF100, true, false, 5, 100},
    {0x18EA00F9, true, true, 3, 1000},
};

// 0 .. SLOW_PERIOD_MS / 2 and back, over SLOW_PERIOD_MS; each message at its own phase.
uint16_t SlowValue(uint64_t qwMs, uint32_t dwPhase) {
  const uint64_t qwPos = (qwMs + dwPhase) % CSimBusTraffic::SLOW_PERIOD_MS;
  const uint64_t qwHalf = CSimBusTraffic::SLOW_PERIOD_MS / 2;
  return static_cast<uint16_t>(qwPos < qwHalf ? qwPos : CSimBusTraffic::SLOW_PERIOD_MS - qwPos);
}

}  // namespace

std::span<const CSimBusTraffic::SMessage> CSimBusTraffic::Messages() { return BUS_MESSAGES; }

void CSimBusTraffic::Restart(uint64_t qwNowMs, const Accept& fnAccept) {
  m_active.clear();
  uint64_t qwOffset = 1;
  for (const SMessage& message : BUS_MESSAGES) {
    if (fnAccept(message)) m_active.push_back({&message, qwNowMs + qwOffset, 0});
    ++qwOffset;
  }
}

uint64_t CSimBusTraffic::NextDueMs() const {
  uint64_t qwNext = NO_DEADLINE;
  for (const SActive& active : m_active) qwNext = std::min(qwNext, active.m_qwDueMs);
  return qwNext;
}

uint64_t CSimBusTraffic::SendDue(uint64_t qwNowMs, const std::function<void(const SSimFrame&)>& fnSend) {
  uint64_t qwSkipped = 0;
  for (SActive& active : m_active) {
    if (active.m_qwDueMs > qwNowMs) continue;
    const uint64_t qwCycle = active.m_pMessage->m_nCycleMs;
    const uint64_t qwLate = (qwNowMs - active.m_qwDueMs) / qwCycle;
    if (qwLate <= MAX_LAG_CYCLES) continue;
    const uint64_t qwSkip = qwLate - MAX_LAG_CYCLES;
    active.m_qwDueMs += qwSkip * qwCycle;
    active.m_dwCounter += static_cast<uint32_t>(qwSkip);
    qwSkipped += qwSkip;
  }
  for (;;) {
    const auto it = std::min_element(m_active.begin(), m_active.end(),
                                     [](const SActive& a, const SActive& b) { return a.m_qwDueMs < b.m_qwDueMs; });
    if (it == m_active.end() || it->m_qwDueMs > qwNowMs) return qwSkipped;
    fnSend(MakeFrame(*it->m_pMessage, it->m_dwCounter++, it->m_qwDueMs));
    it->m_qwDueMs += it->m_pMessage->m_nCycleMs;
  }
}

SSimFrame CSimBusTraffic::MakeFrame(const SMessage& message, uint32_t dwCounter, uint64_t qwDueMs) {
  SSimFrame frame;
  frame.m_dwId = message.m_dwId;
  frame.m_bExtended = message.m_bExtended;
  frame.m_bRemote = message.m_bRemote;
  frame.m_byLength = message.m_byLength;
  if (message.m_bRemote) return frame;
  const uint16_t wSlow = SlowValue(qwDueMs, message.m_dwId);
  const uint8_t abyFill[8] = {static_cast<uint8_t>(dwCounter), static_cast<uint8_t>(wSlow >> 8),
                              static_cast<uint8_t>(wSlow), 0x5A, 0xA5, 0x0F, static_cast<uint8_t>(message.m_dwId),
                              static_cast<uint8_t>(message.m_dwId >> 8)};
  std::copy_n(std::begin(abyFill), message.m_byLength, frame.m_abyData);
  return frame;
}
