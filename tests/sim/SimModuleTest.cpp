#include <gtest/gtest.h>

#include "protocol/ModuleFormat.h"
#include "sim/CSimModule.h"
#include "SimTestClient.h"

namespace {

// Decoded U lines of the output, with every line's framing checked on the way.
std::vector<SLine> FramesOf(std::string_view out) {
  CSimTestClient client;
  for (const std::string& line : SplitLines(out)) {
    EXPECT_TRUE(IsFramedLine(line));
    client.Feed(line);
  }
  return client.Take();
}

void Configure(CSimModule& sim, std::string_view payload) {
  const std::string answer = Command(sim, payload);
  ASSERT_TRUE(IsFramedLine(answer)) << "configuration " << payload << " not accepted";
  ASSERT_EQ(answer[1], 'Z');
}

}  // namespace

TEST(SimModuleAnswers, ExactLinesForTheFixedCommands) {
  CSimModule sim;
  EXPECT_EQ(Command(sim, ":Y"), ":Y1C0F340000000000000000AA\r");
  EXPECT_EQ(Command(sim, ":V"), ":V12B9\r");
  EXPECT_EQ(Command(sim, ":R"), ":R00B2\r");
  EXPECT_EQ(Command(sim, ":G00"), ":G00A7\r");
  EXPECT_EQ(Command(sim, ":G11"), ":G01A8\r");
  EXPECT_EQ(Command(sim, ":G10"), ":G00A7\r");
  sim.SetVersion(0xA0);
  EXPECT_EQ(Command(sim, ":V"), ":VA0C7\r");
}

TEST(SimModuleAnswers, ConfigurationWrittenUnder20AIsKeptAndReadBack) {
  CSimModule sim;
  EXPECT_EQ(Command(sim, ":Z0C0F3401230000"), ":Z0C0F340123000030\r");
  EXPECT_EQ(sim.ModeByte(), 0x0C);
  EXPECT_EQ(sim.BitTiming(), 0x0F34);
  EXPECT_EQ(sim.ReceiveId(), 0x123u);
  EXPECT_EQ(sim.ReceiveMaskId(), 0u);

  CSimTestClient client;
  client.Feed(Command(sim, ":Z0B031F07F00555"));
  client.Feed(Command(sim, ":Y"));
  const std::vector<SLine> lines = client.Take();
  ASSERT_EQ(lines.size(), 2u);
  for (const SLine& line : lines) {
    ASSERT_EQ(line.m_abyFields.size(), 7u) << line.m_cLetter;  // 2-byte ID and mask under 2.0A
    EXPECT_EQ(line.m_abyFields[0], 0x0B);
    EXPECT_EQ(line.Number(1, 2), 0x031Fu);
    EXPECT_EQ(line.Number(3, 2), 0x7F0u);
    EXPECT_EQ(line.Number(5, 2), 0x555u);
  }
  EXPECT_EQ(lines[0].m_cLetter, 'Z');
  EXPECT_EQ(lines[1].m_cLetter, 'Y');
}

TEST(SimModuleAnswers, ConfigurationWrittenUnder20BIsKeptAndReadBack) {
  CSimModule sim;
  EXPECT_EQ(Command(sim, ":Z1C0F3412345678000000FF"), ":Z1C0F3412345678000000FFFB\r");
  CSimTestClient client;
  client.Feed(Command(sim, ":Y"));
  const std::vector<SLine> lines = client.Take();
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_EQ(lines[0].m_abyFields.size(), 11u);  // 4-byte ID and mask under 2.0B
  EXPECT_EQ(lines[0].m_abyFields[0], 0x1C);
  EXPECT_EQ(lines[0].Number(3, 4), 0x12345678u);
  EXPECT_EQ(lines[0].Number(7, 4), 0xFFu);
}

TEST(SimModuleAnswers, ConfigurationIsCutToWhatTheControllerHolds) {
  CSimModule sim;
  // Unused mode bits and identifier bits beyond the protocol's width are not kept.
  Configure(sim, ":ZEC0F34FFFFFFFF");
  EXPECT_EQ(sim.ModeByte(), 0x0C);
  EXPECT_EQ(sim.ReceiveId(), 0x7FFu);
  EXPECT_EQ(sim.ReceiveMaskId(), 0x7FFu);
  Configure(sim, ":Z1C0F34FFFFFFFFFFFFFFFF");
  EXPECT_EQ(sim.ReceiveId(), 0x1FFFFFFFu);
  EXPECT_EQ(sim.ReceiveMaskId(), 0x1FFFFFFFu);
}

TEST(SimModuleAnswers, MalformedCommandsGetNoAnswerAndChangeNothing) {
  CSimModule sim;
  EXPECT_EQ(Command(sim, ":Z1C0F3401230000"), "");           // 2.0B mode with 2.0A widths
  EXPECT_EQ(Command(sim, ":Z0C0F340000000000000000"), "");   // 2.0A mode with 2.0B widths
  EXPECT_EQ(Command(sim, ":Z"), "");
  EXPECT_EQ(Command(sim, ":G"), "");
  EXPECT_EQ(Command(sim, ":G1100"), "");
  EXPECT_EQ(Command(sim, ":Y00"), "");
  EXPECT_EQ(Command(sim, ":W090123000102030405060708"), "");  // length 9
  EXPECT_EQ(Command(sim, ":W0201230011FF"), "");             // one data byte too many
  EXPECT_EQ(Command(sim, ":W02000123"), "");                 // data missing
  EXPECT_EQ(Command(sim, ":Q"), "");                         // no such command
  EXPECT_EQ(sim.ModeByte(), MODE_DEFAULT);
  EXPECT_FALSE(sim.IsReceiving());
}

TEST(SimModuleAnswers, UnknownReceptionControlOnlyReportsTheState) {
  CSimModule sim;
  EXPECT_EQ(Command(sim, ":G11"), ":G01A8\r");
  EXPECT_EQ(Command(sim, ":G05"), ":G01A8\r");
  EXPECT_TRUE(sim.IsReceiving());
}

TEST(SimModuleAnswers, TransmitEchoRepeatsTheFrameAsSent) {
  CSimModule sim;
  EXPECT_EQ(Command(sim, ":W0201230011"), ":W020123001141\r");
  EXPECT_EQ(Command(sim, ":W3000000123"), ":W300000012340\r");
  EXPECT_EQ(Command(sim, ":W100123"), ":W1001237E\r");
  // The longest lines both ways: 2.0B with eight data bytes.
  const std::string echo = Command(sim, ":W281FFFFFFF0102030405060708");
  EXPECT_TRUE(IsFramedLine(echo));
  EXPECT_EQ(echo.substr(0, 28), ":W281FFFFFFF0102030405060708");
  // A 2.0A identifier leaves the controller with 11 bits; a remote frame keeps its length.
  EXPECT_EQ(Command(sim, ":W02FFFF0011").substr(0, 12), ":W0207FF0011");
  EXPECT_EQ(Command(sim, ":W130123").substr(0, 8), ":W130123");
}

TEST(SimModuleInput, GarbledLinesAreIgnoredAndTheNextLineIsServed) {
  CSimModule sim;
  const std::string input =
      "noise\n:Y58\r"        // wrong checksum
      ":y79\r"               // unknown letter, valid checksum of 'y'
      ":G1aA9\r"             // lower-case digit
      ":Y:V56\r"             // a ':' inside a line abandons it and what follows
      ":W281FFFFFFF010203040506070809AA\r"  // longer than any line
      "\n:V56\r\n";
  sim.Feed(reinterpret_cast<const uint8_t*>(input.data()), input.size());
  EXPECT_EQ(sim.TakeOutput(), ":V12B9\r");
}

TEST(SimModuleInput, LineSplitAtEveryOffsetIsServedTheSame) {
  const std::string input = ":Z0C0F3401230000" "30\r:G11A9\r";
  for (size_t nSplit = 0; nSplit <= input.size(); ++nSplit) {
    CSimModule sim;
    sim.Feed(reinterpret_cast<const uint8_t*>(input.data()), nSplit);
    sim.Feed(reinterpret_cast<const uint8_t*>(input.data()) + nSplit, input.size() - nSplit);
    EXPECT_EQ(sim.TakeOutput(), ":Z0C0F340123000030\r:G01A8\r") << "split at " << nSplit;
  }
}

struct SErrorCase {
  uint8_t byMode;
  uint8_t byRaised;
  const char* pszExpected;
};

class SimModuleErrorStates : public testing::TestWithParam<SErrorCase> {};

TEST_P(SimModuleErrorStates, OnlyEnabledStatesAreReported) {
  const SErrorCase& c = GetParam();
  CSimModule sim;
  char szPayload[32];
  std::snprintf(szPayload, sizeof szPayload, ":Z%02X0F3400000000", c.byMode);
  Configure(sim, szPayload);
  const bool bSent = sim.RaiseErrorState(c.byRaised);
  const std::string out = sim.TakeOutput();
  EXPECT_EQ(out, c.pszExpected);
  EXPECT_EQ(bSent, out.rfind(":I", 0) == 0);
  for (const std::string& line : SplitLines(out)) EXPECT_TRUE(IsFramedLine(line));
}

INSTANTIATE_TEST_SUITE_P(
    ModeBits, SimModuleErrorStates,
    testing::Values(SErrorCase{0x07, 0x1F, ":I1FC0\r"},          // all reports on
                    SErrorCase{0x04, 0x1F, ":I01AA\r"},          // bus-off only
                    SErrorCase{0x02, 0x1F, ":I06AF\r"},          // both error-passive bits
                    SErrorCase{0x01, 0x1F, ":I18B2\r"},          // both warning bits
                    SErrorCase{0x03, 0x01, ""},                  // bus-off not enabled
                    SErrorCase{0x00, 0x1F, ""},                  // nothing enabled
                    SErrorCase{0x07, 0xE0, ""},                  // no state bits at all
                    SErrorCase{0x0C, 0x01, ":I01AA\r:R01B3\r"},  // bus-off, then automatic reset
                    SErrorCase{0x08, 0x03, ":R01B3\r"}));        // reset without the report

TEST(SimModuleFaults, SilentModuleNeitherAnswersNorActs) {
  CSimModule sim;
  sim.SetFault(CSimModule::FAULT_SILENT);
  EXPECT_EQ(Command(sim, ":G11"), "");
  EXPECT_EQ(Command(sim, ":Z0C0F3401230000"), "");
  EXPECT_FALSE(sim.IsReceiving());
  EXPECT_EQ(sim.ModeByte(), MODE_DEFAULT);
  sim.SetFault(CSimModule::FAULT_NONE);
  EXPECT_EQ(Command(sim, ":G11"), ":G01A8\r");
}

TEST(SimModuleFaults, GarbledChecksumIsWellFormedButRejected) {
  CSimModule sim;
  sim.SetFault(CSimModule::FAULT_BAD_CHECKSUM);
  for (const char* pszCommand : {":Y", ":V", ":R", ":G00", ":W0201230011", ":Z1C0F340000000000000000"}) {
    const std::string good = [&] { CSimModule clean; return Command(clean, pszCommand); }();
    const std::string bad = Command(sim, pszCommand);
    ASSERT_EQ(bad.size(), good.size()) << pszCommand;
    EXPECT_EQ(bad.substr(0, bad.size() - 3), good.substr(0, good.size() - 3));
    EXPECT_NE(bad, good);
    CSimTestClient client;
    client.Feed(bad);
    EXPECT_TRUE(client.Take().empty()) << pszCommand << " was decoded";
  }
}

TEST(SimModuleFaults, LateAnswerLeavesAfterTheDelay) {
  CSimModule sim;
  sim.Advance(1000);
  sim.SetFault(CSimModule::FAULT_LATE, 1500);
  EXPECT_EQ(Command(sim, ":G11"), "");
  EXPECT_TRUE(sim.IsReceiving());  // carried out at once, answered late
  sim.SetFrameRate(0);
  EXPECT_EQ(sim.NextDueMs(), 2500u);
  sim.Advance(2499);
  EXPECT_EQ(sim.TakeOutput(), "");
  sim.Advance(2500);
  EXPECT_EQ(sim.TakeOutput(), ":G01A8\r");
  EXPECT_EQ(sim.NextDueMs(), CSimModule::NO_DEADLINE);
}

TEST(SimModuleFaults, LateAnswersBeyondTheQueueAreCounted) {
  CSimModule sim;
  sim.SetFault(CSimModule::FAULT_LATE, 10);
  for (size_t i = 0; i < CSimModule::MAX_LATE_ANSWERS + 5; ++i) Command(sim, ":V");
  EXPECT_EQ(sim.Outbox().DroppedLines(), 5u);
  sim.Advance(10);
  EXPECT_EQ(SplitLines(sim.TakeOutput()).size(), CSimModule::MAX_LATE_ANSWERS);
}

TEST(SimModuleFaults, CutLineBreaksOffWithoutCarriageReturn) {
  CSimModule sim;
  sim.SetFault(CSimModule::FAULT_CUT_SHORT);
  EXPECT_EQ(Command(sim, ":Y"), ":Y1C0F3400000");
  EXPECT_EQ(Command(sim, ":V"), ":V1");
  sim.SetFault(CSimModule::FAULT_NONE);
  CSimTestClient client;
  client.Feed(":Y1C0F3400000");
  client.Feed(Command(sim, ":V"));  // swallowed by the broken line before it
  client.Feed(Command(sim, ":R"));
  const std::vector<SLine> lines = client.Take();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].m_cLetter, 'R');
}

TEST(SimModuleFrames, NothingIsSentWhileReceptionIsStopped) {
  CSimModule sim;
  sim.SetFrameRate(1000);
  sim.Advance(10000);
  EXPECT_EQ(sim.TakeOutput(), "");
  EXPECT_EQ(sim.NextDueMs(), CSimModule::NO_DEADLINE);
  Command(sim, ":G11");
  sim.Advance(10100);
  EXPECT_EQ(FramesOf(sim.TakeOutput()).size(), 100u);  // counted from the start, not from 0
  Command(sim, ":G10");
  sim.Advance(20000);
  EXPECT_EQ(sim.TakeOutput(), "");
  EXPECT_EQ(sim.NextDueMs(), CSimModule::NO_DEADLINE);
}

TEST(SimModuleFrames, RateIsPacedOnTheClock) {
  CSimModule sim;
  sim.SetFrameRate(100);
  Command(sim, ":G11");
  EXPECT_EQ(sim.NextDueMs(), 10u);
  sim.Advance(9);
  EXPECT_EQ(sim.TakeOutput(), "");
  sim.Advance(10);
  EXPECT_EQ(FramesOf(sim.TakeOutput()).size(), 1u);
  EXPECT_EQ(sim.NextDueMs(), 20u);
  sim.Advance(1000);
  EXPECT_EQ(FramesOf(sim.TakeOutput()).size(), 99u);

  // A rate that does not divide a second: frames at 334, 667 and 1000 ms after the start.
  sim.SetFrameRate(3);
  sim.Advance(1333);
  EXPECT_EQ(sim.TakeOutput(), "");
  sim.Advance(1334);
  EXPECT_EQ(FramesOf(sim.TakeOutput()).size(), 1u);
  sim.Advance(2000);
  EXPECT_EQ(FramesOf(sim.TakeOutput()).size(), 2u);

  // Above 1000 per second several frames leave per millisecond.
  sim.SetFrameRate(5000);
  sim.Advance(2001);
  EXPECT_EQ(FramesOf(sim.TakeOutput()).size(), 5u);
  EXPECT_EQ(sim.NextSequence(), 108u);
}

TEST(SimModuleFrames, SequenceNumbersLetTheClientCheckForLoss) {
  CSimModule sim;
  sim.SetFrameRate(1000);
  Command(sim, ":G11");
  sim.Advance(50);
  const std::vector<SLine> frames = FramesOf(sim.TakeOutput());
  ASSERT_EQ(frames.size(), 50u);
  for (uint32_t i = 0; i < frames.size(); ++i) {
    const SLine& frame = frames[i];
    ASSERT_EQ(frame.m_cLetter, 'U');
    ASSERT_EQ(frame.m_abyFields.size(), 13u);  // 2.0B: frame byte, 4-byte ID, 8 data bytes
    EXPECT_EQ(frame.m_abyFields[0], FRAME_EXTENDED | 8);
    EXPECT_EQ(frame.Number(5, 4), i);
    EXPECT_EQ(frame.Number(9, 4), ~i);
  }
}

TEST(SimModuleFrames, StalledCallerSkipsFramesButCountsThem) {
  CSimModule sim(1 << 20);
  sim.SetFrameRate(CSimModule::MAX_FRAME_RATE);
  Command(sim, ":G11");
  sim.Advance(1000);
  const std::vector<SLine> frames = FramesOf(sim.TakeOutput());
  ASSERT_EQ(frames.size(), CSimModule::MAX_FRAME_BURST);
  EXPECT_EQ(sim.Outbox().DroppedLines(), CSimModule::MAX_FRAME_RATE - CSimModule::MAX_FRAME_BURST);
  EXPECT_EQ(frames.front().Number(5, 4), CSimModule::MAX_FRAME_RATE - CSimModule::MAX_FRAME_BURST);
  EXPECT_EQ(sim.NextSequence(), CSimModule::MAX_FRAME_RATE);
}

TEST(SimModuleFrames, FullOutboxRefusesWholeLinesAndCountsThem) {
  CSimModule sim(100);  // room for three frame lines of 31 bytes
  sim.SetFrameRate(1000);
  Command(sim, ":G11");
  sim.Advance(5);
  const std::string out = sim.TakeOutput();
  EXPECT_EQ(SplitLines(out).size(), 3u);
  for (const std::string& line : SplitLines(out)) EXPECT_TRUE(IsFramedLine(line));
  EXPECT_EQ(sim.Outbox().DroppedLines(), 2u);
}

struct SFilterCase {
  const char* pszConfig;
  std::vector<uint32_t> adwExpected;
};

class SimModuleAcceptance : public testing::TestWithParam<SFilterCase> {};

TEST_P(SimModuleAcceptance, OnlyFramesOfTheProtocolThatPassTheFilterAreSent) {
  const SFilterCase& c = GetParam();
  CSimModule sim;
  sim.SetFrameIds({0x000, 0x100, 0x123, 0x12F, 0x7FF, 0x800, 0x18FEF100, 0x18FEF1FF, 0x1FFFFFFF, 0x20000000});
  Configure(sim, c.pszConfig);
  const bool bExtended = (sim.ModeByte() & MODE_CAN20B) != 0;
  sim.SetFrameRate(1000);
  Command(sim, ":G11");
  sim.Advance(2 * c.adwExpected.size());
  const std::vector<SLine> frames = FramesOf(sim.TakeOutput());
  ASSERT_EQ(frames.size(), 2 * c.adwExpected.size());
  for (size_t i = 0; i < frames.size(); ++i) {
    const SLine& frame = frames[i];
    const unsigned nIdBytes = bExtended ? 4 : 2;
    ASSERT_EQ(frame.m_abyFields.size(), 1 + nIdBytes + 8u);
    EXPECT_EQ(frame.m_abyFields[0], (bExtended ? FRAME_EXTENDED : 0) | 8);
    EXPECT_EQ(frame.Number(1, nIdBytes), c.adwExpected[i % c.adwExpected.size()]) << "frame " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Masks, SimModuleAcceptance,
    testing::Values(
        // 2.0A: 11-bit identifiers only; mask 0 lets every one pass.
        SFilterCase{":Z0C0F3401230000", {0x000, 0x100, 0x123, 0x12F, 0x7FF}},
        // Mask 0x7F0: the upper seven bits must match 0x12x, the low four are free.
        SFilterCase{":Z0C0F34012007F0", {0x123, 0x12F}},
        // Full mask: exactly the ID.
        SFilterCase{":Z0C0F34012307FF", {0x123}},
        // Mask bits 10 and 9 set where the ID has zeros: those bits must be zero.
        SFilterCase{":Z0C0F3400000600", {0x000, 0x100, 0x123, 0x12F}},
        // 2.0B: every identifier of 29 bits, mask 0.
        SFilterCase{":Z1C0F340000000000000000",
                    {0x000, 0x100, 0x123, 0x12F, 0x7FF, 0x800, 0x18FEF100, 0x18FEF1FF, 0x1FFFFFFF}},
        // 2.0B with the low byte free.
        SFilterCase{":Z1C0F3418FEF1001FFFFF00", {0x18FEF100, 0x18FEF1FF}},
        // 2.0B with only bit 28 compared.
        SFilterCase{":Z1C0F341000000010000000", {0x18FEF100, 0x18FEF1FF, 0x1FFFFFFF}}));

TEST(SimModuleFrames, NoFrameWhenNothingPassesTheFilter) {
  CSimModule sim;
  sim.SetFrameIds({0x100});
  Configure(sim, ":Z0C0F34020007FF");
  sim.SetFrameRate(1000);
  Command(sim, ":G11");
  EXPECT_EQ(sim.NextDueMs(), CSimModule::NO_DEADLINE);
  sim.Advance(1000);
  EXPECT_EQ(sim.TakeOutput(), "");
}

TEST(SimModuleFrames, ReconfigurationWhileReceivingSwitchesTheProtocol) {
  CSimModule sim;
  sim.SetFrameIds({0x123, 0x18FEF100});
  sim.SetFrameRate(1000);
  Command(sim, ":G11");
  sim.Advance(4);
  std::vector<SLine> frames = FramesOf(sim.TakeOutput());
  ASSERT_EQ(frames.size(), 4u);
  EXPECT_EQ(frames[1].Number(1, 4), 0x18FEF100u);
  Configure(sim, ":Z0C0F3400000000");
  sim.Advance(8);
  frames = FramesOf(sim.TakeOutput());
  ASSERT_EQ(frames.size(), 4u);
  for (const SLine& frame : frames) {
    EXPECT_EQ(frame.m_abyFields[0], 8);
    EXPECT_EQ(frame.Number(1, 2), 0x123u);
    EXPECT_EQ(frame.Number(3, 4), static_cast<uint32_t>(&frame - frames.data()) + 4u);  // sequence goes on
  }
}

TEST(SimOutbox, KeepsWholeLinesWithinItsLimit) {
  CSimOutbox outbox(10);
  EXPECT_TRUE(outbox.Put("abcdef"));
  EXPECT_FALSE(outbox.Put("ghijk"));  // would pass the limit: refused whole
  EXPECT_EQ(outbox.DroppedLines(), 1u);
  outbox.Consume(4);
  EXPECT_EQ(outbox.Pending(), "ef");
  EXPECT_TRUE(outbox.Put("ghijklmn"));  // consumed bytes made room
  EXPECT_EQ(outbox.Pending(), "efghijklmn");
  outbox.Consume(100);
  EXPECT_TRUE(outbox.IsEmpty());
}

TEST(SimModuleReports, LinesOfTheCallersMakingAreFramedAndSentAsGiven) {
  CSimModule sim;
  sim.SetFault(CSimModule::FAULT_SILENT);
  EXPECT_TRUE(sim.SendLine(":U0F0123"));  // length nibble 15 without data: not a generated layout
  EXPECT_FALSE(sim.SendLine("U0F0123"));  // no ":"
  EXPECT_EQ(sim.TakeOutput(), ":U0F012391\r");
}
