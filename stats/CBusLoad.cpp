#include "stats/CBusLoad.h"

#include "stats/FrameBits.h"

void CBusLoad::Restart(int64_t nNowNs) {
  m_nStartNs = m_nSampleNs = nNowNs;
  m_qwFrames = m_qwBits = m_qwSampleFrames = m_qwSampleBits = 0;
}

void CBusLoad::OnFrames(std::span<const ReceivedFrame> frames) {
  m_qwFrames += frames.size();
  for (const ReceivedFrame& record : frames) m_qwBits += FrameWireBits(record.m_frame);
}

BusFigures CBusLoad::Sample(int64_t nNowNs) {
  const BusFigures figures = Figures(m_qwFrames - m_qwSampleFrames, m_qwBits - m_qwSampleBits, m_nSampleNs, nNowNs);
  m_qwSampleFrames = m_qwFrames;
  m_qwSampleBits = m_qwBits;
  m_nSampleNs = nNowNs;
  return figures;
}

BusFigures CBusLoad::Total(int64_t nNowNs) const { return Figures(m_qwFrames, m_qwBits, m_nStartNs, nNowNs); }

BusFigures CBusLoad::Figures(uint64_t qwFrames, uint64_t qwBits, int64_t nFromNs, int64_t nToNs) const {
  BusFigures figures;
  figures.m_qwFrames = qwFrames;
  figures.m_qwBits = qwBits;
  figures.m_dSeconds = nToNs > nFromNs ? static_cast<double>(nToNs - nFromNs) / 1e9 : 0.0;
  if (figures.m_dSeconds > 0.0) {
    figures.m_dFramesPerSecond = static_cast<double>(qwFrames) / figures.m_dSeconds;
    if (m_dBitRate > 0.0) figures.m_dLoadPercent = 100.0 * static_cast<double>(qwBits) / (m_dBitRate * figures.m_dSeconds);
  }
  return figures;
}
