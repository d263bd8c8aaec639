// Frame lengths on the wire, bus load over a known schedule, and the per-identifier statistics.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "stats/CBusLoad.h"
#include "stats/CFrameStatistics.h"
#include "stats/FrameBits.h"
#include "support/TestFrames.h"

namespace {

constexpr int64_t MS = 1000000;

ReceivedFrame Record(const CanFrame& frame, int64_t nSteadyNs) {
  static uint64_t qwSequence = 0;
  return {frame, {nSteadyNs, nSteadyNs + 1700000000000000000}, ++qwSequence};
}

// Every count worked out by hand from the bit sequence (47 + 8n bits standard, 67 + 8n extended, before stuffing).
TEST(FrameBits, HandCountedFrames) {
  const uint8_t Z = 0x00, F = 0xFF, A = 0x55;
  const struct { const char* pszWhat; CanFrame frame; unsigned nStuff, nBits; uint16_t wCrc; } kCases[] = {
      {"2.0A 000 data, length 0", TestFrame(true, false, 0, 0x000), 6, 53, 0x0000},
      {"2.0A 000 8 x 00", TestFrame(true, false, 8, 0x000, {Z, Z, Z, Z, Z, Z, Z, Z}), 16, 127, 0x145B},
      {"2.0A 555 8 x 55: one stuff bit, in the CRC", TestFrame(true, false, 8, 0x555, {A, A, A, A, A, A, A, A}), 1, 112, 0x1B04},
      {"2.0A 123 remote, length 2", TestFrame(true, true, 2, 0x123), 0, 47, 0x5536},
      {"2.0B 1FFFFFFF 8 x FF", TestFrame(false, false, 8, 0x1FFFFFFF, {F, F, F, F, F, F, F, F}), 18, 149, 0x1B69},
      {"2.0A 000 8 x 00, length code 15 on the bus", TestFrame(true, false, 15, 0x000, {Z, Z, Z, Z, Z, Z, Z, Z}), 18, 129, 0x0158},
      {"2.0A 000 8 x 00, none carried: counted as zeros", TestFrame(true, false, 8, 0x000), 16, 127, 0x145B},
  };
  for (const auto& c : kCases) {
    const FrameBitCount count = CountFrameBits(c.frame);
    EXPECT_EQ(std::tuple(count.m_nStuffBits, count.m_nBits, count.m_wCrc), std::tuple(c.nStuff, c.nBits, c.wCrc)) << c.pszWhat;
  }
}

// At 125 kbit/s, 112 bits every millisecond and 127 every 10 ms: 99.76 % of the bus.
TEST(BusLoad, KnownScheduleOverTheWholeRunAndEachInterval) {
  const CanFrame every1ms = TestFrame(true, false, 8, 0x555, std::vector<uint8_t>(8, 0x55));
  const CanFrame every10ms = TestFrame(true, false, 8, 0x000, std::vector<uint8_t>(8, 0x00));
  CBusLoad load(125000.0);
  const int64_t T0 = 7000 * MS;
  load.Restart(T0);
  const auto Feed = [&](int nFromMs, int nToMs) {
    std::vector<ReceivedFrame> batch;
    for (int nMs = nFromMs; nMs < nToMs; ++nMs) {
      batch.push_back(Record(every1ms, T0 + nMs * MS));
      if (nMs % 10 == 0) batch.push_back(Record(every10ms, T0 + nMs * MS));
    }
    load.OnFrames(batch);
  };
  Feed(0, 500);
  const BusFigures first = load.Sample(T0 + 500 * MS);
  EXPECT_EQ(std::tuple(first.m_qwFrames, first.m_qwBits, first.m_dFramesPerSecond), std::tuple(550u, 500u * 112 + 50 * 127, 1100.0));
  EXPECT_NEAR(first.m_dLoadPercent, 99.76, 1e-9);
  Feed(500, 750);  // then the bus goes quiet
  const BusFigures second = load.Sample(T0 + 1000 * MS);
  EXPECT_EQ(second.m_qwFrames, 275u);
  EXPECT_NEAR(second.m_dLoadPercent, 49.88, 1e-9);
  const BusFigures total = load.Total(T0 + 1000 * MS);
  EXPECT_EQ(std::tuple(total.m_qwFrames, total.m_dSeconds), std::tuple(825u, 1.0));
  EXPECT_NEAR(total.m_dLoadPercent, 74.82, 1e-9);
  // No time passed, or no bit rate known: no figures to divide by.
  EXPECT_EQ(load.Sample(T0 + 1000 * MS).m_dFramesPerSecond, 0.0);
  load.SetBitRate(0.0);
  EXPECT_EQ(load.Total(T0 + 1000 * MS).m_dLoadPercent, 0.0);
}

// One entry per protocol + identifier + kind, in order of first appearance.
TEST(FrameStatistics, EntriesCyclesChangedBytesAndRates) {
  CFrameStatistics stats;
  const std::vector<ReceivedFrame> batch = {
      Record(TestFrame(true, false, 2, 0x123, {0x01, 0x02}), 100 * MS),
      Record(TestFrame(false, false, 2, 0x123, {0x01, 0x02}), 101 * MS),  // 2.0B: another entry
      Record(TestFrame(true, true, 2, 0x123), 102 * MS),                   // remote: another entry
      Record(TestFrame(true, false, 2, 0x123, {0x01, 0x03}), 110 * MS),
      Record(TestFrame(true, false, 3, 0x123, {0x01, 0x03, 0x04}), 125 * MS),
  };
  stats.OnFrames(batch);
  stats.OnFrames(std::vector{Record(TestFrame(true, false, 1, 0x123, {0x09}), 130 * MS)});
  ASSERT_EQ(stats.Entries().size(), 3u);
  EXPECT_EQ(std::tuple(stats.Find(false, false, 0x123), stats.Find(true, true, 0x123), stats.Find(true, false, 0x124)),
            std::tuple(&stats.Entries()[1], &stats.Entries()[2], nullptr));

  const IdStatistics& e = stats.Entries()[0];
  EXPECT_EQ(std::tuple(e.m_qwCount, e.m_qwLastSequence, e.m_nLastWallNs),
            std::tuple(4u, batch.back().m_qwSequence + 1, 130 * MS + 1700000000000000000));
  EXPECT_EQ(std::vector({e.LastCycleMs(), e.MinCycleMs(), e.MaxCycleMs(), e.MeanCycleMs()}), std::vector({5.0, 5.0, 15.0, 10.0}));
  EXPECT_EQ(std::tuple(e.m_byLength, e.m_byDataCount, e.m_abyData[0], e.m_byChangedMask), std::tuple(1, 1, 0x09, 0x01));
  // Byte 1 changed at 110 ms, byte 2 appeared at 125 ms, byte 0 changed at 130 ms.
  EXPECT_EQ(std::vector<int64_t>(e.m_anChangedNs, e.m_anChangedNs + 4), (std::vector<int64_t>{130 * MS, 110 * MS, 125 * MS, 0}));
  const IdStatistics& once = stats.Entries()[1];
  EXPECT_EQ(std::tuple(once.m_qwCount, once.m_byChangedMask), std::tuple(1u, 0));
  EXPECT_EQ(once.MeanCycleMs() + once.MinCycleMs() + once.MaxCycleMs(), 0.0);

  // The first interval runs from the first frame; each later one from the sample before.
  stats.SampleRates(600 * MS);
  EXPECT_EQ(std::pair(e.m_dFramesPerSecond, stats.Entries()[2].m_dFramesPerSecond), std::pair(8.0, 2.0));
  stats.OnFrames(std::vector{Record(TestFrame(true, true, 2, 0x123), 700 * MS)});
  stats.SampleRates(1100 * MS);
  EXPECT_EQ(std::pair(e.m_dFramesPerSecond, stats.Entries()[2].m_dFramesPerSecond), std::pair(0.0, 2.0));
  stats.Clear(2000 * MS);
  EXPECT_TRUE(stats.Entries().empty() && stats.Find(true, true, 0x123) == nullptr);
}

}  // namespace
