#pragma once
// The values of chosen signals over time, as the frames bring them: one trace per signal, a
// ring of (arrival, value) that keeps the newest TRACE_CAPACITY samples, and decimation of
// a time span to a few points per pixel column, so a plot's cost follows its width, not the
// frame rate.
//   CSignalTracker tracker;  tracker.SetDatabase(db);  channel.AddFrameConsumer(&tracker);
//   tracker.AddTrace(message, signal);   ... tracker.Decimate(0, from, to, 800, points);
#include <cmath>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "protocol/FrameConsumer.h"
#include "signals/DbcDatabase.h"
#include "signals/SignalCodec.h"

// Ten minutes of a signal in a 1 ms message.
inline constexpr std::size_t TRACE_CAPACITY = 600000;

struct SignalSample {
  int64_t m_nSteadyNs = 0;
  double m_dValue = 0.0;
};

class CSignalTrace {
public:
  CSignalTrace(uint32_t nMessage, uint32_t nSignal, std::size_t nCapacity) : m_nMessage(nMessage), m_nSignal(nSignal), m_nCapacity(nCapacity) {}
  uint32_t Message() const { return m_nMessage; }
  uint32_t Signal() const { return m_nSignal; }
  void Add(int64_t nSteadyNs, double dValue);
  std::size_t Size() const { return m_samples.size(); }
  const SignalSample& operator[](std::size_t i) const { return m_samples[i]; }
  // The sample at or before nSteadyNs, else the first; null when empty.
  const SignalSample* At(int64_t nSteadyNs) const;
  // The samples in [nFromNs, nToNs] (and the one before, so a line enters from the left) as at
  // most four points per column: the first, lowest, highest and last of each, in time order.
  void Decimate(int64_t nFromNs, int64_t nToNs, unsigned nColumns, std::vector<SignalSample>& out) const;

private:
  uint32_t m_nMessage;
  uint32_t m_nSignal;
  std::size_t m_nCapacity;
  std::deque<SignalSample> m_samples;  // oldest first; arrival times never go back
};

// The newest frame of one database message and its mean cycle since the first.
struct MessageState {
  uint64_t m_qwCount = 0;
  int64_t m_nFirstNs = 0;
  int64_t m_nLastNs = 0;
  uint8_t m_byDataCount = 0;
  uint8_t m_abyData[8] = {};
  double MeanCycleMs() const {
    return m_qwCount < 2 ? 0.0 : static_cast<double>(m_nLastNs - m_nFirstNs) / 1e6 / static_cast<double>(m_qwCount - 1);
  }
};

// A measured cycle more than 10 % away from the expected one (GenMsgCycleTime); never
// without both.
inline bool CycleDrifts(uint32_t nExpectedMs, double dMeasuredMs) {
  return nExpectedMs > 0 && dMeasuredMs > 0.0 && std::abs(dMeasuredMs - nExpectedMs) > 0.1 * nExpectedMs;
}

class CSignalTracker final : public FrameConsumer {
public:
  explicit CSignalTracker(std::size_t nCapacity = TRACE_CAPACITY) : m_nCapacity(nCapacity) {}
  // Replaces the database; every trace goes with the old one.
  void SetDatabase(std::shared_ptr<const CDbcDatabase> pDatabase);
  const CDbcDatabase* Database() const { return m_pDatabase.get(); }
  const std::shared_ptr<const CDbcDatabase>& SharedDatabase() const { return m_pDatabase; }
  // Index of the (new or existing) trace of signal nSignal of message nMessage.
  std::size_t AddTrace(uint32_t nMessage, uint32_t nSignal);
  void RemoveTrace(std::size_t nTrace);
  const std::vector<CSignalTrace>& Traces() const { return m_traces; }
  // Per database message, in its order.
  const std::vector<MessageState>& Messages() const { return m_messages; }
  int64_t NewestNs() const { return m_nNewestNs; }
  void OnFrames(std::span<const ReceivedFrame> frames) override;

private:
  std::size_t m_nCapacity;
  std::shared_ptr<const CDbcDatabase> m_pDatabase;
  std::vector<CSignalTrace> m_traces;
  std::unordered_map<uint32_t, std::vector<std::size_t>> m_byMessage;  // message -> its traces
  std::vector<MessageState> m_messages;
  std::vector<DecodedSignal> m_values;
  int64_t m_nNewestNs = 0;
  void Reindex();
};
