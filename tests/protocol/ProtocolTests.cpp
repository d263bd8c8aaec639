// Line framing, the line assembler alone and the bit-timing rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/BitTiming.h"
#include "protocol/CCyclicSchedule.h"
#include "protocol/CLineAssembler.h"
#include "protocol/FakeTransport.h"

namespace {

using namespace std::string_literals;

// Records each dispatched line as its letter and field bytes in hex.
class CRecorder : public LineDispatcher {
public:
  CRecorder() : m_assembler(*this) { m_assembler.Reset(); }
  void DispatchLine(const CLineAssembler& line) override {
    constexpr char HEX[] = "0123456789ABCDEF";
    std::string& text = m_lines.emplace_back(1, static_cast<char>(line.Letter()));
    for (uint8_t by : line.Fields()) text += {HEX[by >> 4], HEX[by & 0x0F]};
  }
  void Feed(std::string_view bytes) { for (char c : bytes) m_assembler.FeedByte(static_cast<uint8_t>(c)); }
  CLineAssembler m_assembler;
  std::vector<std::string> m_lines;
};

TEST(LineFraming, LongestLineFitsChecksumSkipsTheStartAndOnlyUpperCaseHexHasValues) {
  const std::string longest = ":W2812345678" + std::string(16, '0');  // 2.0B, 8 data bytes
  EXPECT_EQ(BuildLine(longest).m_szText[31], '\0');  // 31 characters fit, terminated
  for (const std::string& bad : {longest + "0", ""s, "Y"s}) EXPECT_TRUE(BuildLine(bad).IsEmpty()) << bad;
  EXPECT_EQ(std::tuple(LineChecksum(":Y", 2), LineChecksum(":", 1) + LineChecksum(":", 0)), std::tuple(0x59u, 0u));
  for (int c = 0; c < 256; ++c) {
    const bool bDigit = c >= '0' && c <= '9', bLetter = c >= 'A' && c <= 'F';
    EXPECT_EQ(HexDigitValue(static_cast<uint8_t>(c)), bDigit ? c - '0' : bLetter ? c - 'A' + 10 : 255) << c;
  }
}

// Each bad line is refused once and the next read whole: a ":" inside a line begins the next.
TEST(LineAssembler, ReadsValidLinesAndRecoversFromBadOnesAtTheNextStart) {
  const std::string longest = Line(":U2812345678" "0011223344556677");  // 29 characters: the longest
  struct CCase {
    std::string input;
    std::vector<std::string> lines;
    unsigned nRefused = 0;
  };
  std::vector<CCase> cases = {
      {"noise\n:Y59\r\n\xff\0garbage"s + Line(":G11") + "\r\n" + longest, {"Y", "G11", "U2812345678" "0011223344556677"}},
      {":y79\r" ":A785\r", {"y", "A"}},
  };
  for (const std::string& bad : {":\r"s, ":Y\r"s, ":Y5\r"s, ":G11A8\r"s, ":G11a9\r"s, ":Zab\r"s, ":G1 1A9\r"s,
                                 longest.substr(0, longest.size() - 1) + "0\r"})
    cases.push_back({bad + Line(":V"), {"V"}, 1});
  for (std::size_t nCut = 1; nCut < longest.size(); ++nCut)
    cases.push_back({longest.substr(0, nCut) + Line(":V"), {"V"}, 1});
  for (const CCase& c : cases) {
    SCOPED_TRACE(c.input);
    CRecorder rec;
    rec.Feed(c.input);
    EXPECT_EQ(std::tuple(rec.m_lines, rec.m_assembler.RefusedLines()), std::tuple(c.lines, c.nRefused));
  }
  CRecorder rec;  // Reset abandons a partial line
  rec.Feed(":G1");
  rec.m_assembler.Reset();
  rec.Feed("1A9\r" + Line(":R"));
  EXPECT_EQ(rec.m_lines, std::vector<std::string>{"R"});
}

TEST(BitTiming, PresetsTextsAndValidity) {
  const char* const apszTexts[] = {"1.00M BPS",   "500.00K BPS", "250.00K BPS", "200.00K BPS", "125.00K BPS",
                                   "100.00K BPS", "50.00K BPS",  "40.00K BPS",  "25.00K BPS"};
  for (std::size_t i = 0; i < kPresetBitTimings.size(); ++i) {
    EXPECT_EQ(FormatBitRate(kPresetBitTimings[i]), apszTexts[i]);
    EXPECT_TRUE(IsValidBitTiming(kPresetBitTimings[i]) && FindPresetIndex(kPresetBitTimings[i]) == static_cast<int>(i)) << i;
  }
  EXPECT_EQ(FindPresetIndex(0x0F35), -1);  // 40 MHz / (9 quanta * 64), and * 4
  EXPECT_EQ(FormatBitRate(0x3F33) + " " + FormatBitRate(0x0324), "69.44K BPS 1.11M BPS");
  for (const uint16_t w : {0x0744, 0x3F7F}) EXPECT_TRUE(IsValidBitTiming(w)) << w;
  for (const uint16_t w : {0x0234, 0x0324, 0x0F14, 0x0F32, 0x0F43, 0x0FB4, 0x4F34}) EXPECT_FALSE(IsValidBitTiming(w)) << w;
  for (uint32_t w = 0; w <= 0xFFFF; ++w)  // nothing above 1,000,000 bit/s
    ASSERT_TRUE(BitRateOf(static_cast<uint16_t>(w)) <= 1000000.0 || !IsValidBitTiming(static_cast<uint16_t>(w))) << w;
}

}  // namespace

// Absolute deadlines: a late wake-up sends once and keeps the phase; two rows keep their own.
TEST(CyclicSchedule, LateWakeUpsSendOnceAndKeepThePhase) {
  constexpr int64_t MS = 1000000;
  CCyclicSchedule schedule;
  const CLineText a = BuildLine(":W000100"), b = BuildLine(":W000200");
  EXPECT_FALSE(schedule.Start(1, a, 0, 0) || schedule.Start(1, a, CCyclicSchedule::MAX_PERIOD_MS + 1, 0) ||
               schedule.Start(1, CLineText{}, 10, 0));
  ASSERT_TRUE(schedule.Start(1, a, 10, 0) && schedule.Start(2, b, 25, 5 * MS));
  const struct { int64_t nWakeMs; size_t nSent; int64_t nNextMs; } kWakes[] = {
      {0, 1, 5},     {5, 1, 10},  {9, 0, 10},    {10, 1, 20},   {30, 2, 40},  // row 2 due at 30
      {147, 2, 150}, {150, 1, 155}, {155, 1, 160}, {400, 2, 405},
  };
  for (const auto& wake : kWakes) {
    std::vector<CLineText> due;
    schedule.TakeDue(wake.nWakeMs * MS, due);
    EXPECT_EQ(std::tuple(due.size(), schedule.NextDeadline()), std::tuple(wake.nSent, wake.nNextMs * MS)) << wake.nWakeMs;
  }
  ASSERT_TRUE(schedule.Start(1, b, 10, 400 * MS));  // a key started again sends its new line
  std::vector<CLineText> due;
  schedule.TakeDue(400 * MS, due);
  ASSERT_EQ(due.size(), 1u);
  EXPECT_EQ(due[0].View(), b.View());
  EXPECT_TRUE(schedule.Stop(2) && !schedule.IsRunning(2));
  EXPECT_EQ(schedule.NextDeadline(), 410 * MS);
}
