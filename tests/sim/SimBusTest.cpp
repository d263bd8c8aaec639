// The simulated module's bus traffic on a virtual clock, and the module on its own thread.
#include <gtest/gtest.h>

#include <map>

#include "protocol/ModuleFormat.h"
#include "sim/CSimBusTraffic.h"
#include "sim/CSimThread.h"
#include "SimTestClient.h"

namespace {

struct SReceived { uint64_t m_qwMs; SLine m_line; };
using CKey = std::pair<uint32_t, bool>;  // identifier, 29-bit

// Reception started after the configuration, the clock moved 1 ms at a time: each "U" line and its time.
std::map<CKey, std::vector<SReceived>> RunBus(const char* pszConfig, uint64_t qwMs) {
  CSimModule sim;
  sim.SetTraffic(CSimModule::TRAFFIC_BUS);
  EXPECT_TRUE(IsFramedLine(Command(sim, pszConfig))) << pszConfig;
  EXPECT_TRUE(IsFramedLine(Command(sim, ":G11")));
  std::map<CKey, std::vector<SReceived>> frames;
  for (uint64_t t = 1; t <= qwMs; ++t) {
    sim.Advance(t);
    std::string out = sim.TakeOutput();
    for (SLine& line : DecodeLines(out)) {
      const bool bExtended = (line.m_abyFields.at(0) & FRAME_EXTENDED) != 0;
      if (line.m_cLetter == 'U') frames[{line.Number(1, bExtended ? 4 : 2), bExtended}].push_back({t, std::move(line)});
    }
    EXPECT_EQ(out, "");
  }
  EXPECT_EQ(sim.Outbox().DroppedLines(), 0u);
  return frames;
}

}  // namespace

TEST(SimBus, EachAcceptedMessageAtItsCycleWithItsKindLengthAndChangingData) {
  constexpr uint64_t RUN_MS = 3000;
  const auto frames = RunBus(":Z1C0F340000000000000000", RUN_MS);  // 2.0B, everything accepted
  for (const CSimBusTraffic::SMessage& message : CSimBusTraffic::Messages()) {
    SCOPED_TRACE(message.m_dwId);
    const auto it = frames.find({message.m_dwId, message.m_bExtended});
    ASSERT_NE(it, frames.end());
    const std::vector<SReceived>& got = it->second;
    const unsigned nIdBytes = message.m_bExtended ? 4 : 2;
    const bool bCarriesData = !message.m_bRemote && message.m_byLength > 0;
    EXPECT_GE(got.size(), RUN_MS / message.m_nCycleMs - 1);
    for (size_t i = 0; i < got.size(); ++i) {
      const std::vector<uint8_t>& fields = got[i].m_line.m_abyFields;
      EXPECT_EQ(fields[0] & (FRAME_LENGTH_MASK | FRAME_REMOTE), message.m_byLength | (message.m_bRemote ? FRAME_REMOTE : 0));
      EXPECT_EQ(fields.size(), 1 + nIdBytes + (message.m_bRemote ? 0 : message.m_byLength));
      if (i > 0) { EXPECT_EQ(got[i].m_qwMs - got[i - 1].m_qwMs, message.m_nCycleMs); }
      if (i > 0 && bCarriesData) {  // byte 0 of the data counts frames
        EXPECT_EQ(fields[1 + nIdBytes], static_cast<uint8_t>(got[i - 1].m_line.m_abyFields[1 + nIdBytes] + 1));
      }
    }
  }
  EXPECT_EQ(frames.size(), CSimBusTraffic::Messages().size());  // nothing else was sent
  // A 2.0A filter on one 11-bit identifier: the bus sends that message and no 29-bit one.
  const auto filtered = RunBus(":Z0C0F3400C107FF", 1100);
  ASSERT_EQ(filtered.size(), 1u);
  EXPECT_EQ(filtered.begin()->first, (CKey{0x0C1, false}));
}

// A minute without a wake-up: the lag is cut and counted, then at most one frame per message.
TEST(SimBus, StalledCallerSkipsCyclesAndCountsThem) {
  CSimModule sim;
  sim.SetTraffic(CSimModule::TRAFFIC_BUS);
  Command(sim, ":G11");
  const size_t nMessages = CSimBusTraffic::Messages().size();
  for (const auto& [qwMs, nMost] : {std::pair<uint64_t, size_t>{60000, nMessages * (CSimBusTraffic::MAX_LAG_CYCLES + 1)},
                                    {60001, nMessages}}) {
    sim.Advance(qwMs);
    std::string out = sim.TakeOutput();
    EXPECT_LE(DecodeLines(out).size(), nMost) << qwMs;
  }
  EXPECT_GT(sim.Outbox().DroppedLines(), 0u);
}

TEST(SimThread, ServesAnswersAndStopsWithAJoin) {
  CSimThread sim;
  std::string error;
  ASSERT_TRUE(sim.Start(error)) << error;
  EXPECT_FALSE(sim.Start(error));  // already running
  sim.Stop();
  EXPECT_FALSE(sim.IsRunning());

  sim.Module().SetVersion(0x21);  // a stopped module starts again, serves and keeps its state
  ASSERT_TRUE(sim.Start(error)) << error;
  const std::vector<SLine> answer = Exchange(sim.SlavePath(), BuildLine(":V").View());
  ASSERT_EQ(answer.size(), 1u);
  EXPECT_EQ(std::pair(answer[0].m_cLetter, answer[0].m_abyFields), std::pair('V', std::vector<uint8_t>{0x21}));
}  // the destructor stops and joins
