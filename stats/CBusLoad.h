#pragma once
// Bus statistics from the received frames: frames per second and bus load, the share of the
// configured bit rate that the frames occupied on the wire (each counted at its exact length,
// FrameBits.h). Only frames that pass the module's acceptance filter reach the program, so the
// load is that of those frames. Times are the frames' host arrival times (monotonic, ns).
//
//   CBusLoad load(500000.0);           // the module's configured rate, bit/s
//   load.Restart(nowNs);               // reception starts
//   channel.AddFrameConsumer(&load);
//   ... load.Sample(nowNs) once a second: the figures of that second; Total(nowNs): since Restart
#include <cstdint>

#include "protocol/FrameConsumer.h"

struct BusFigures {
  uint64_t m_qwFrames = 0;
  uint64_t m_qwBits = 0;        // on the wire, stuff bits and interframe spaces included
  double m_dSeconds = 0.0;      // the interval the figures cover
  double m_dFramesPerSecond = 0.0;
  double m_dLoadPercent = 0.0;  // 0 while the bit rate is unknown (0)
};

class CBusLoad final : public FrameConsumer {
public:
  explicit CBusLoad(double dBitRate = 0.0) : m_dBitRate(dBitRate) {}

  // The configured bit rate (bit/s); counting goes on across a change.
  void SetBitRate(double dBitRate) { m_dBitRate = dBitRate; }
  double BitRate() const { return m_dBitRate; }
  // Forgets everything counted and starts both intervals at nNowNs.
  void Restart(int64_t nNowNs);
  void OnFrames(std::span<const ReceivedFrame> frames) override;

  // The figures since the previous Sample (or Restart); the next interval starts at nNowNs.
  BusFigures Sample(int64_t nNowNs);
  // The figures since Restart.
  BusFigures Total(int64_t nNowNs) const;

private:
  BusFigures Figures(uint64_t qwFrames, uint64_t qwBits, int64_t nFromNs, int64_t nToNs) const;

  double m_dBitRate;
  int64_t m_nStartNs = 0;
  int64_t m_nSampleNs = 0;
  uint64_t m_qwFrames = 0;
  uint64_t m_qwBits = 0;
  uint64_t m_qwSampleFrames = 0;  // the totals when the current interval began
  uint64_t m_qwSampleBits = 0;
};
