// The line assembler alone: what it accepts, refuses and recovers from. (A stream split at
// every offset is checked through the channel; random streams by the fuzz target.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/CLineAssembler.h"
#include "protocol/LineFraming.h"

namespace {

// Records each dispatched line as its letter followed by its field bytes, read while the
// dispatch runs (the decoded line is only guaranteed readable then).
class CRecorder : public LineDispatcher {
public:
  CRecorder() : m_assembler(*this) { m_assembler.Reset(); }
  void DispatchLine(const CLineAssembler& line) override {
    std::vector<uint8_t> bytes{line.Letter()};
    for (uint8_t by : line.Fields()) bytes.push_back(by);
    m_lines.push_back(bytes);
  }
  void Feed(std::string_view bytes) {
    for (char c : bytes) m_assembler.FeedByte(static_cast<uint8_t>(c));
  }
  CLineAssembler m_assembler;
  std::vector<std::vector<uint8_t>> m_lines;
};

std::string Line(std::string_view payload) { return std::string(BuildLine(payload).View()); }

// A received frame with a 29-bit identifier and 8 data bytes: the longest response,
// exactly 29 characters between ":" and the carriage return.
const std::string LONGEST = Line(":U2812345678" "0011223344556677");

TEST(LineAssembler, AcceptsValidLinesAndIgnoresEverythingBetweenThem) {
  CRecorder rec;
  rec.Feed("noise\n" ":Y59\r" "\n\xff\x00garbage" + Line(":G11") + "\r\n" + LONGEST);
  ASSERT_EQ(rec.m_lines.size(), 3u);
  EXPECT_EQ(rec.m_lines[0], (std::vector<uint8_t>{'Y'}));
  EXPECT_EQ(rec.m_lines[1], (std::vector<uint8_t>{'G', 0x11}));
  EXPECT_EQ(rec.m_lines[2], (std::vector<uint8_t>{'U', 0x28, 0x12, 0x34, 0x56, 0x78, 0x00, 0x11,
                                                  0x22, 0x33, 0x44, 0x55, 0x66, 0x77}));
  EXPECT_EQ(LONGEST.size(), 1 + 29 + 1u);
  EXPECT_EQ(rec.m_assembler.RefusedLines(), 0u);
}

// Each bad line is refused once, and the next line is read whole.
TEST(LineAssembler, RefusesBadLinesAndRecoversAtTheNextStart) {
  const std::string tooLong = LONGEST.substr(0, LONGEST.size() - 1) + "0\r";  // 30th character
  for (const std::string& bad : {std::string(":\r"), std::string(":Y\r"), std::string(":Y5\r"), std::string(":G11A8\r"),
                                 std::string(":G11a9\r"), std::string(":Zab\r"), tooLong, ":Y:" + Line(":G11").substr(1),
                                 std::string(":G1 1A9\r")}) {
    SCOPED_TRACE(bad);
    CRecorder rec;
    rec.Feed(bad + Line(":V"));
    EXPECT_EQ(rec.m_assembler.RefusedLines(), 1u);
    EXPECT_EQ(rec.m_lines, (std::vector<std::vector<uint8_t>>{{'V'}}));
  }
}

TEST(LineAssembler, LetterIsNotCheckedAndOddDigitCountsUseTheLastPair) {
  CRecorder rec;
  rec.Feed(":y79\r");  // lower-case letter, valid checksum of 'y'
  rec.Feed("::3A\r");  // ':' in the letter position is taken as the letter
  // 'A' + '7' = 0x78, the byte of the last complete pair; the odd '5' is left over.
  rec.Feed(":A785\r");
  ASSERT_EQ(rec.m_lines.size(), 3u);
  EXPECT_EQ(rec.m_lines[0], (std::vector<uint8_t>{'y'}));
  EXPECT_EQ(rec.m_lines[1], (std::vector<uint8_t>{':'}));
  EXPECT_EQ(rec.m_lines[2], (std::vector<uint8_t>{'A'}));
}

TEST(LineAssembler, ResetAbandonsAPartialLine) {
  CRecorder rec;
  rec.Feed(":G1");
  rec.m_assembler.Reset();
  rec.Feed("1A9\r" + Line(":R"));
  ASSERT_EQ(rec.m_lines.size(), 1u);
  EXPECT_EQ(rec.m_lines[0], (std::vector<uint8_t>{'R'}));
}

}  // namespace
