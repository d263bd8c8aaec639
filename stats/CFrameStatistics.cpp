#include "stats/CFrameStatistics.h"

#include <algorithm>

uint64_t CFrameStatistics::Key(bool bStandard, bool bRemote, uint32_t dwId) {
  return (uint64_t{bStandard} << 33) | (uint64_t{bRemote} << 32) | dwId;
}

const IdStatistics* CFrameStatistics::Find(bool bStandard, bool bRemote, uint32_t dwId) const {
  const auto it = m_index.find(Key(bStandard, bRemote, dwId));
  return it == m_index.end() ? nullptr : &m_entries[it->second];
}

IdStatistics& CFrameStatistics::EntryFor(const CanFrame& frame) {
  const auto [it, bNew] = m_index.try_emplace(Key(frame.m_bStandard, frame.m_bRemote, frame.m_dwId),
                                              static_cast<uint32_t>(m_entries.size()));
  if (bNew) {
    IdStatistics& entry = m_entries.emplace_back();
    entry.m_bStandard = frame.m_bStandard;
    entry.m_bRemote = frame.m_bRemote;
    entry.m_dwId = frame.m_dwId;
    m_countsAtSample.push_back(0);
  }
  return m_entries[it->second];
}

void CFrameStatistics::OnFrames(std::span<const ReceivedFrame> frames) {
  if (!m_bSampleStarted) {
    m_bSampleStarted = true;
    m_nSampleNs = frames.front().m_arrival.m_nSteadyNs;
  }
  for (const ReceivedFrame& record : frames) {
    const CanFrame& frame = record.m_frame;
    const int64_t nNowNs = record.m_arrival.m_nSteadyNs;
    IdStatistics& entry = EntryFor(frame);
    if (entry.m_qwCount == 0) {
      entry.m_nFirstNs = nNowNs;
    } else {
      const int64_t nCycleNs = nNowNs - entry.m_nLastNs;
      entry.m_nLastCycleNs = nCycleNs;
      entry.m_nMinCycleNs = entry.m_qwCount == 1 ? nCycleNs : std::min(entry.m_nMinCycleNs, nCycleNs);
      entry.m_nMaxCycleNs = entry.m_qwCount == 1 ? nCycleNs : std::max(entry.m_nMaxCycleNs, nCycleNs);
    }
    uint8_t byChanged = 0;
    if (entry.m_qwCount > 0) {
      for (uint8_t i = 0; i < frame.m_byDataCount; ++i) {
        if (i >= entry.m_byDataCount || frame.m_abyData[i] != entry.m_abyData[i]) {
          byChanged |= static_cast<uint8_t>(1u << i);
          entry.m_anChangedNs[i] = nNowNs;
        }
      }
    }
    entry.m_byChangedMask = byChanged;
    std::copy(std::begin(frame.m_abyData), std::end(frame.m_abyData), std::begin(entry.m_abyData));
    entry.m_byLength = frame.m_byLength;
    entry.m_byDataCount = frame.m_byDataCount;
    entry.m_nLastNs = nNowNs;
    entry.m_nLastWallNs = record.m_arrival.m_nWallNs;
    entry.m_qwLastSequence = record.m_qwSequence;
    ++entry.m_qwCount;
  }
}

void CFrameStatistics::Clear(int64_t nNowNs) {
  m_entries.clear();
  m_countsAtSample.clear();
  m_index.clear();
  m_bSampleStarted = true;
  m_nSampleNs = nNowNs;
}

void CFrameStatistics::SampleRates(int64_t nNowNs) {
  const double dSeconds = m_bSampleStarted && nNowNs > m_nSampleNs ? static_cast<double>(nNowNs - m_nSampleNs) / 1e9 : 0.0;
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    const uint64_t qwFrames = m_entries[i].m_qwCount - m_countsAtSample[i];
    m_entries[i].m_dFramesPerSecond = dSeconds > 0.0 ? static_cast<double>(qwFrames) / dSeconds : 0.0;
    m_countsAtSample[i] = m_entries[i].m_qwCount;
  }
  m_bSampleStarted = true;
  m_nSampleNs = nNowNs;
}
