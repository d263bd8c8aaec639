#include "signals/CSignalTracker.h"

#include <algorithm>

void CSignalTrace::Add(int64_t nSteadyNs, double dValue) {
  if (!m_samples.empty() && nSteadyNs < m_samples.back().m_nSteadyNs) nSteadyNs = m_samples.back().m_nSteadyNs;
  if (m_samples.size() >= m_nCapacity) m_samples.pop_front();
  m_samples.push_back({nSteadyNs, dValue});
}

const SignalSample* CSignalTrace::At(int64_t nSteadyNs) const {
  if (m_samples.empty()) return nullptr;
  auto after = std::upper_bound(m_samples.begin(), m_samples.end(), nSteadyNs,
                                [](int64_t n, const SignalSample& s) { return n < s.m_nSteadyNs; });
  return after == m_samples.begin() ? &*after : &*(after - 1);
}

void CSignalTrace::Decimate(int64_t nFromNs, int64_t nToNs, unsigned nColumns, std::vector<SignalSample>& out) const {
  out.clear();
  if (m_samples.empty() || nToNs <= nFromNs || nColumns == 0) return;
  auto it = std::lower_bound(m_samples.begin(), m_samples.end(), nFromNs,
                             [](const SignalSample& s, int64_t n) { return s.m_nSteadyNs < n; });
  if (it != m_samples.begin()) --it;
  const double dColumnNs = static_cast<double>(nToNs - nFromNs) / nColumns;
  while (it != m_samples.end() && it->m_nSteadyNs <= nToNs) {
    // One column: its first, lowest, highest and last sample.
    const int64_t nColumn = static_cast<int64_t>(static_cast<double>(it->m_nSteadyNs - nFromNs) / dColumnNs);
    const int64_t nColumnEnd = nFromNs + static_cast<int64_t>(static_cast<double>(nColumn + 1) * dColumnNs);
    const auto first = it;
    auto low = it, high = it, last = it;
    for (; it != m_samples.end() && it->m_nSteadyNs < nColumnEnd && it->m_nSteadyNs <= nToNs; ++it) {
      if (it->m_dValue < low->m_dValue) low = it;
      if (it->m_dValue > high->m_dValue) high = it;
      last = it;
    }
    if (it == first) ++it;  // a sample before the span: a column of its own
    for (auto point : {first, low < high ? low : high, low < high ? high : low, last})
      if (out.empty() || out.back().m_nSteadyNs != point->m_nSteadyNs || out.back().m_dValue != point->m_dValue)
        out.push_back(*point);
  }
}

void CSignalTracker::SetDatabase(std::shared_ptr<const CDbcDatabase> pDatabase) {
  m_pDatabase = std::move(pDatabase);
  m_messages.assign(m_pDatabase ? m_pDatabase->Messages().size() : 0, MessageState());
  m_traces.clear();
  m_byMessage.clear();
}

std::size_t CSignalTracker::AddTrace(uint32_t nMessage, uint32_t nSignal) {
  for (std::size_t i = 0; i < m_traces.size(); ++i)
    if (m_traces[i].Message() == nMessage && m_traces[i].Signal() == nSignal) return i;
  m_traces.emplace_back(nMessage, nSignal, m_nCapacity);
  Reindex();
  return m_traces.size() - 1;
}

void CSignalTracker::RemoveTrace(std::size_t nTrace) {
  if (nTrace >= m_traces.size()) return;
  m_traces.erase(m_traces.begin() + static_cast<std::ptrdiff_t>(nTrace));
  Reindex();
}

void CSignalTracker::Reindex() {
  m_byMessage.clear();
  if (!m_pDatabase) return;
  for (std::size_t i = 0; i < m_traces.size(); ++i) {
    const DbcMessage& message = m_pDatabase->Messages()[m_traces[i].Message()];
    m_byMessage[message.m_dwId | (message.m_bExtended ? 0x80000000u : 0u)].push_back(i);
  }
}

void CSignalTracker::OnFrames(std::span<const ReceivedFrame> frames) {
  if (!m_pDatabase) return;
  for (const ReceivedFrame& record : frames) {
    m_nNewestNs = std::max(m_nNewestNs, record.m_arrival.m_nSteadyNs);
    const CanFrame& frame = record.m_frame;
    const DbcMessage* pMessage = frame.m_bRemote ? nullptr : m_pDatabase->Find(!frame.m_bStandard, frame.m_dwId);
    if (!pMessage) continue;
    MessageState& state = m_messages[static_cast<std::size_t>(pMessage - m_pDatabase->Messages().data())];
    if (state.m_qwCount++ == 0) state.m_nFirstNs = record.m_arrival.m_nSteadyNs;
    state.m_nLastNs = record.m_arrival.m_nSteadyNs;
    state.m_byDataCount = std::min<uint8_t>(frame.m_byDataCount, 8);
    std::copy(frame.m_abyData, frame.m_abyData + 8, state.m_abyData);
    const auto found = m_byMessage.find(frame.m_dwId | (frame.m_bStandard ? 0u : 0x80000000u));
    if (found == m_byMessage.end()) continue;
    DecodeSignals(*pMessage, {frame.m_abyData, frame.m_byDataCount}, m_values);
    for (const std::size_t nTrace : found->second)
      for (const DecodedSignal& value : m_values)
        if (value.m_nSignal == m_traces[nTrace].Signal()) m_traces[nTrace].Add(record.m_arrival.m_nSteadyNs, value.m_dPhysical);
  }
}
