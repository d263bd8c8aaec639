// The simulated module's bus traffic on a virtual clock, and the module served by its own
// background thread.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

#include "protocol/ModuleFormat.h"
#include "sim/CSimBusTraffic.h"
#include "sim/CSimThread.h"
#include "SimTestClient.h"

namespace {

struct SReceived {
  uint64_t m_qwMs;
  SLine m_line;
};
using CKey = std::pair<uint32_t, bool>;  // identifier, 29-bit

CKey KeyOf(const SLine& line) {
  const bool bExtended = (line.m_abyFields.at(0) & FRAME_EXTENDED) != 0;
  return {line.Number(1, bExtended ? 4 : 2), bExtended};
}

// Reception started after the configuration, then the clock moved 1 ms at a time; every
// "U" line with the time it came out.
std::map<CKey, std::vector<SReceived>> RunBus(const char* pszConfig, uint64_t qwMs) {
  CSimModule sim;
  sim.SetTraffic(CSimModule::TRAFFIC_BUS);
  EXPECT_TRUE(IsFramedLine(Command(sim, pszConfig))) << pszConfig;
  EXPECT_TRUE(IsFramedLine(Command(sim, ":G11")));
  std::map<CKey, std::vector<SReceived>> frames;
  for (uint64_t t = 1; t <= qwMs; ++t) {
    sim.Advance(t);
    std::string out = sim.TakeOutput();
    for (SLine& line : DecodeLines(out))
      if (line.m_cLetter == 'U') frames[KeyOf(line)].push_back({t, std::move(line)});
    EXPECT_EQ(out, "");
  }
  EXPECT_EQ(sim.Outbox().DroppedLines(), 0u);
  return frames;
}

}  // namespace

TEST(SimBus, EachMessageAtItsCycleWithItsKindLengthAndChangingData) {
  constexpr uint64_t RUN_MS = 3000;
  const auto frames = RunBus(":Z1C0F340000000000000000", RUN_MS);  // 2.0B, everything accepted
  std::set<bool> kinds, widths;
  for (const CSimBusTraffic::SMessage& message : CSimBusTraffic::Messages()) {
    SCOPED_TRACE(message.m_dwId);
    const auto it = frames.find({message.m_dwId, message.m_bExtended});
    ASSERT_NE(it, frames.end());
    const std::vector<SReceived>& got = it->second;
    EXPECT_GE(got.size(), RUN_MS / message.m_nCycleMs - 1);
    std::set<std::vector<uint8_t>> distinct;
    const bool bCarriesData = !message.m_bRemote && message.m_byLength > 0;
    for (size_t i = 0; i < got.size(); ++i) {
      const std::vector<uint8_t>& fields = got[i].m_line.m_abyFields;
      const unsigned nIdBytes = message.m_bExtended ? 4 : 2;
      EXPECT_EQ(fields[0] & FRAME_LENGTH_MASK, message.m_byLength);
      EXPECT_EQ((fields[0] & FRAME_REMOTE) != 0, message.m_bRemote);
      EXPECT_EQ(fields.size(), 1 + nIdBytes + (message.m_bRemote ? 0 : message.m_byLength));
      if (i > 0) { EXPECT_EQ(got[i].m_qwMs - got[i - 1].m_qwMs, message.m_nCycleMs); }
      if (i > 0 && bCarriesData) {  // byte 0 of the data counts frames
        EXPECT_EQ(fields[1 + nIdBytes], static_cast<uint8_t>(got[i - 1].m_line.m_abyFields[1 + nIdBytes] + 1));
      }
      distinct.insert(fields);
    }
    if (bCarriesData) { EXPECT_EQ(distinct.size(), got.size()); }
    kinds.insert(message.m_bRemote);
    widths.insert(message.m_bExtended);
  }
  EXPECT_EQ(kinds.size(), 2u);
  EXPECT_EQ(widths.size(), 2u);
  EXPECT_EQ(frames.size(), CSimBusTraffic::Messages().size());  // nothing else was sent
}

TEST(SimBus, ProtocolAndAcceptanceFilterChooseTheMessages) {
  // bStandardOnly: all 11-bit messages and no 29-bit one; otherwise just dwOnlyId.
  const struct { const char* pszConfig; bool bStandardOnly; uint32_t dwOnlyId; } kCases[] = {
      {":Z0C0F3400000000", true, 0},                    // 2.0A: 11-bit only
      {":Z1C0F34000000C11FFFFFFF", false, 0x0C1},      // 2.0B, filter on one 11-bit ID
      {":Z1C0F3418FEF1001FFFFFFF", false, 0x18FEF100},  // 2.0B, filter on one 29-bit ID
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.pszConfig);
    const auto frames = RunBus(c.pszConfig, 1100);
    std::set<CKey> expected;
    for (const CSimBusTraffic::SMessage& message : CSimBusTraffic::Messages())
      if (c.bStandardOnly ? !message.m_bExtended : message.m_dwId == c.dwOnlyId)
        expected.insert({message.m_dwId, message.m_bExtended});
    std::set<CKey> got;
    for (const auto& [key, list] : frames) got.insert(key);
    EXPECT_EQ(got, expected);
  }
}

TEST(SimBus, StalledCallerSkipsCyclesAndCountsThem) {
  CSimModule sim;
  sim.SetTraffic(CSimModule::TRAFFIC_BUS);
  Command(sim, ":G11");
  sim.Advance(60000);  // a minute without a wake-up: the 10 ms message is 6000 cycles late
  std::string out = sim.TakeOutput();
  EXPECT_GT(sim.Outbox().DroppedLines(), 0u);
  EXPECT_LE(DecodeLines(out).size(), CSimBusTraffic::Messages().size() * (CSimBusTraffic::MAX_LAG_CYCLES + 1));
  // Back on schedule afterwards: the next millisecond sends at most one frame per message.
  sim.Advance(60001);
  out = sim.TakeOutput();
  EXPECT_LE(DecodeLines(out).size(), CSimBusTraffic::Messages().size());
}

TEST(SimThread, ServesAnswersAndStopsWithAJoin) {
  CSimThread sim;
  std::string error;
  ASSERT_TRUE(sim.Start(error)) << error;
  EXPECT_FALSE(sim.Start(error));  // already running
  EXPECT_FALSE(error.empty());
  sim.Stop();
  EXPECT_FALSE(sim.IsRunning());
  EXPECT_EQ(sim.RunError(), "");
  sim.Stop();  // a second stop does nothing

  // A stopped module starts again, serves and keeps its state.
  sim.Module().SetVersion(0x21);
  ASSERT_TRUE(sim.Start(error)) << error;
  const std::vector<SLine> again = Exchange(sim.SlavePath(), BuildLine(":V").View(), 1);
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(again[0].m_cLetter, 'V');
  EXPECT_EQ(again[0].m_abyFields, std::vector<uint8_t>{0x21});
}  // the destructor stops and joins
