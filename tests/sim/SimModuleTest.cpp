#include <gtest/gtest.h>

#include <tuple>

#include "protocol/ModuleFormat.h"
#include "sim/CSimModule.h"
#include "SimTestClient.h"

// Every line of the module's output, checked and decoded; nothing may be left unterminated.
static std::vector<SLine> LinesOf(std::string out) {
  std::vector<SLine> lines = DecodeLines(out);
  EXPECT_EQ(out, "");
  return lines;
}

// Each answer is the expected line or nothing for a malformed command, which must change nothing.
TEST(SimModuleAnswers, ConversationLineByLine) {
  const struct { const char* pszCommand; const char* pszAnswer; } kExchange[] = {  // answers without sum, CR
      // Malformed: 2.0B/2.0A mode with the other's widths, fields missing or extra, no such command, bad lengths.
      {":Z1C0F3401230000", ""}, {":Z0C0F340000000000000000", ""}, {":Z", ""}, {":G", ""}, {":G1100", ""},
      {":Y00", ""}, {":Q", ""}, {":W090123000102030405060708", ""}, {":W0201230011FF", ""}, {":W02000123", ""},
      // The defaults, untouched by all of the above; an unknown reception control only reports.
      {":Y", ":Y1C0F340000000000000000"}, {":G05", ":G00"}, {":V", ":V12"}, {":R", ":R00"},
      {":G00", ":G00"}, {":G11", ":G01"}, {":G05", ":G01"}, {":G10", ":G00"},
      // Transmit echo: 2.0A, 2.0B, remote with its length, the longest line; 2.0A IDs keep 11 bits.
      {":W0201230011", ":W0201230011"}, {":W3000000123", ":W3000000123"}, {":W130123", ":W130123"},
      {":W281FFFFFFF0102030405060708", ":W281FFFFFFF0102030405060708"}, {":W02FFFF0011", ":W0207FF0011"},
      // 2.0A and 2.0B configurations read back, without unused mode bits or ID bits beyond the width.
      {":Z0B031F07F00555", ":Z0B031F07F00555"}, {":Y", ":Y0B031F07F00555"},
      {":ZEC0F34FFFFFFFF", ":Z0C0F3407FF07FF"}, {":Y", ":Y0C0F3407FF07FF"},
      {":Z1C0F34FFFFFFFFFFFFFFFF", ":Z1C0F341FFFFFFF1FFFFFFF"},
      {":Z1C0F3412345678000000FF", ":Z1C0F3412345678000000FF"}, {":Y", ":Y1C0F3412345678000000FF"},
  };
  CSimModule sim;
  for (const auto& c : kExchange) {
    const std::string answer = Command(sim, c.pszCommand);
    EXPECT_TRUE(answer.empty() || IsFramedLine(answer)) << c.pszCommand;
    EXPECT_EQ(answer.substr(0, answer.size() - std::min<size_t>(answer.size(), 3)), c.pszAnswer) << c.pszCommand;
  }
}

TEST(SimModuleAnswers, UnaskedReportsAreTheErrorStatesTheModeEnablesAndTheCallersLines) {
  const struct { const char* pszConfig; uint8_t byRaised; const char* pszExpected; } kCases[] = {
      {":Z070F3400000000", 0x1F, ":I1FC0\r"}, {":Z040F3400000000", 0x1F, ":I01AA\r"}, {":Z020F3400000000", 0x1F, ":I06AF\r"},
      {":Z010F3400000000", 0x1F, ":I18B2\r"}, {":Z000F3400000000", 0x1F, ""}, {":Z070F3400000000", 0xE0, ""},
      {":Z0C0F3400000000", 0x01, ":I01AA\r:R01B3\r"}, {":Z080F3400000000", 0x03, ":R01B3\r"}};
  for (const auto& c : kCases) {
    CSimModule sim;
    ASSERT_TRUE(IsFramedLine(Command(sim, c.pszConfig)));
    const bool bSent = sim.RaiseErrorState(c.byRaised);
    const std::string out = sim.TakeOutput();
    EXPECT_EQ(std::tuple(out, bSent), std::tuple(c.pszExpected, out.rfind(":I", 0) == 0)) << c.pszConfig;
  }
  CSimModule sim;
  EXPECT_TRUE(sim.SendLine(":U0F0123"));
  EXPECT_FALSE(sim.SendLine("U0F0123"));  // no ":"
  EXPECT_EQ(sim.TakeOutput(), ":U0F012391\r");
}

// Reconfigured while receiving, the module sends what passes the filter of the moment, its sequence going on.
TEST(SimModuleFrames, OnlyFramesOfTheProtocolThatPassTheFilterAreSent) {
  const struct { const char* pszConfig; std::vector<uint32_t> adwExpected; } kCases[] = {
      {":Z0C0F3401230000", {0x000, 0x100, 0x123, 0x12F, 0x7FF}},  // 2.0A, mask 0: all of 11 bits
      {":Z0C0F34012007F0", {0x123, 0x12F}},                       // the upper seven bits of 0x12x
      {":Z0C0F34020007FF", {}},  // nothing passes: no frame is even scheduled
      {":Z0C0F3400000600", {0x000, 0x100, 0x123, 0x12F}},  // mask bits where the ID has zeros
      {":Z1C0F340000000000000000", {0x000, 0x100, 0x123, 0x12F, 0x7FF, 0x800, 0x18FEF100, 0x18FEF1FF, 0x1FFFFFFF}},
      {":Z1C0F3418FEF1001FFFFF00", {0x18FEF100, 0x18FEF1FF}},              // 2.0B, low byte free
      {":Z1C0F341000000010000000", {0x18FEF100, 0x18FEF1FF, 0x1FFFFFFF}},  // only bit 28 compared
  };
  CSimModule sim;
  sim.SetFrameIds({0x000, 0x100, 0x123, 0x12F, 0x7FF, 0x800, 0x18FEF100, 0x18FEF1FF, 0x1FFFFFFF, 0x20000000});
  sim.SetFrameRate(1000);
  sim.Advance(1000);
  Command(sim, ":G11");
  EXPECT_EQ(sim.NextDueMs(), 1001u);
  uint32_t dwSequence = 0;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.pszConfig);
    ASSERT_TRUE(IsFramedLine(Command(sim, c.pszConfig)));
    const unsigned nIdBytes = c.pszConfig[2] == '1' ? 4 : 2;  // the data: the sequence and its complement
    if (c.adwExpected.empty()) { EXPECT_EQ(sim.NextDueMs(), CSimModule::NO_DEADLINE); }
    sim.Advance(sim.Now() + 20);
    const std::vector<SLine> frames = LinesOf(sim.TakeOutput());
    ASSERT_EQ(frames.size(), c.adwExpected.empty() ? 0u : 20u);
    for (size_t i = 0; i < frames.size(); ++i, ++dwSequence) {
      const SLine& f = frames[i];
      ASSERT_EQ(std::pair(f.m_cLetter, f.m_abyFields.size()), std::pair('U', size_t{1 + nIdBytes + 8}));
      EXPECT_EQ(std::tuple(f.m_abyFields[0], f.Number(1, nIdBytes), f.Number(1 + nIdBytes, 4), f.Number(5 + nIdBytes, 4)),
                std::tuple((nIdBytes == 4 ? FRAME_EXTENDED : 0) | 8, c.adwExpected[i % c.adwExpected.size()], dwSequence,
                           ~dwSequence)) << "frame " << i;
    }
  }
  // A rate that does not divide a second: frames 334, 667 and 1000 ms after the change.
  const uint64_t qwChange = sim.Now();
  sim.SetFrameRate(3);
  for (const auto& [qwAfter, nFrames] : {std::pair<uint64_t, size_t>{333, 0}, {334, 1}, {1000, 2}}) {
    sim.Advance(qwChange + qwAfter);
    EXPECT_EQ(LinesOf(sim.TakeOutput()).size(), nFrames) << qwAfter;
  }
  Command(sim, ":G10");
  sim.Advance(qwChange + 20000);
  EXPECT_EQ(std::tuple(sim.TakeOutput(), sim.NextDueMs()), std::tuple("", CSimModule::NO_DEADLINE));
}

TEST(SimModuleFrames, StalledCallerAndFullOutboxLoseWholeFramesAndCountThem) {
  CSimModule sim(1 << 20);
  sim.SetFrameRate(CSimModule::MAX_FRAME_RATE);
  Command(sim, ":G11");
  sim.Advance(1000);
  const std::vector<SLine> frames = LinesOf(sim.TakeOutput());
  const uint32_t nSkipped = CSimModule::MAX_FRAME_RATE - CSimModule::MAX_FRAME_BURST;
  ASSERT_EQ(frames.size(), CSimModule::MAX_FRAME_BURST);
  EXPECT_EQ(sim.Outbox().DroppedLines(), nSkipped);
  EXPECT_EQ(frames.front().Number(5, 4), nSkipped);  // the gap shows in the sequence

  CSimModule small(100);  // room for three frame lines of 31 bytes
  small.SetFrameRate(1000);
  Command(small, ":G11");
  small.Advance(5);
  EXPECT_EQ(std::tuple(LinesOf(small.TakeOutput()).size(), small.Outbox().DroppedLines()), std::tuple(3u, 2u));
}

// A frame command is stamped with the arrival of the bytes that completed it, however they were split.
TEST(SimModuleFrames, FrameCommandsCarryTheArrivalOfTheirLastBytes) {
  CSimModule sim;
  std::vector<std::pair<std::string, int64_t>> taken;
  sim.SetTransmitObserver([&](std::string_view line, int64_t nArrivalNs) { taken.emplace_back(line, nArrivalNs); });
  const std::string a(BuildLine(":W0201230011").View()), b(BuildLine(":W0101FF22").View());
  const std::pair<std::string, int64_t> kFeeds[] = {{a + b.substr(0, 4), 100}, {b.substr(4), 250}, {a + b, 400}};
  for (const auto& [bytes, nArrivalNs] : kFeeds)
    sim.Feed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), nArrivalNs);
  const std::string ta = a.substr(0, a.size() - 1), tb = b.substr(0, b.size() - 1);  // without the CR
  EXPECT_EQ(taken, (std::vector<std::pair<std::string, int64_t>>{{ta, 100}, {tb, 250}, {ta, 400}, {tb, 400}}));
}
