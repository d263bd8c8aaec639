#pragma once
// Per-identifier statistics of the received frames: one entry per protocol + identifier +
// frame kind, in the order the entries first appeared (an entry keeps its index until Clear,
// so a view appends rows for the new ones and updates the rest). Times are the frames' host
// arrival times (monotonic, ns); cycle times are between consecutive frames of one entry.
//
//   CFrameStatistics stats;
//   channel.AddFrameConsumer(&stats);
//   ... stats.SampleRates(nowNs) once a second; stats.Entries()[i].MeanCycleMs()
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "protocol/FrameConsumer.h"

struct IdStatistics {
  // The key.
  bool m_bStandard = true;
  bool m_bRemote = false;
  uint32_t m_dwId = 0;

  uint64_t m_qwCount = 0;
  uint64_t m_qwLastSequence = 0;  // the record sequence of the newest frame
  uint8_t m_byLength = 0;         // of the newest frame, at most 8
  uint8_t m_byDataCount = 0;      // data bytes the newest frame carried
  uint8_t m_abyData[8] = {};
  // Bit i: byte i of the newest frame differs from that of the frame before (or that frame
  // did not carry it). Zero after the first frame.
  uint8_t m_byChangedMask = 0;
  int64_t m_anChangedNs[8] = {};  // when each byte last changed (0: never), to highlight it a while

  int64_t m_nFirstNs = 0;         // arrival of the first and of the newest frame
  int64_t m_nLastNs = 0;
  int64_t m_nLastWallNs = 0;
  // Cycle times; all 0 until the second frame.
  int64_t m_nLastCycleNs = 0;
  int64_t m_nMinCycleNs = 0;
  int64_t m_nMaxCycleNs = 0;
  double m_dFramesPerSecond = 0.0;  // over the last SampleRates interval

  double LastCycleMs() const { return static_cast<double>(m_nLastCycleNs) / 1e6; }
  double MinCycleMs() const { return static_cast<double>(m_nMinCycleNs) / 1e6; }
  double MaxCycleMs() const { return static_cast<double>(m_nMaxCycleNs) / 1e6; }
  double MeanCycleMs() const {
    return m_qwCount < 2 ? 0.0 : static_cast<double>(m_nLastNs - m_nFirstNs) / 1e6 / static_cast<double>(m_qwCount - 1);
  }
};

class CFrameStatistics final : public FrameConsumer {
public:
  void OnFrames(std::span<const ReceivedFrame> frames) override;

  std::span<const IdStatistics> Entries() const { return m_entries; }
  const IdStatistics* Find(bool bStandard, bool bRemote, uint32_t dwId) const;
  // Forgets every entry; the next rate interval starts at nNowNs.
  void Clear(int64_t nNowNs);
  // Sets each entry's frames per second over the time since the previous call (or Clear, or
  // the first frame), and starts the next interval at nNowNs.
  void SampleRates(int64_t nNowNs);

private:
  static uint64_t Key(bool bStandard, bool bRemote, uint32_t dwId);
  IdStatistics& EntryFor(const CanFrame& frame);

  std::vector<IdStatistics> m_entries;
  std::vector<uint64_t> m_countsAtSample;  // per entry: its count when the interval began
  std::unordered_map<uint64_t, uint32_t> m_index;  // key -> entry
  bool m_bSampleStarted = false;
  int64_t m_nSampleNs = 0;
};
