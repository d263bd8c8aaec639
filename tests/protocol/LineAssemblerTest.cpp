#include <gtest/gtest.h>

#include <random>
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
  EXPECT_EQ(rec.m_assembler.LastStatus(), CLineAssembler::LINE_ACCEPTED);
}

TEST(LineAssembler, DropsBadLinesAndRecoversAtTheNextStart) {
  struct Case {
    const char* pszName;
    std::string bytes;
    int nStatus;  // status after the bad line's CR, or -1 when the line was abandoned before it
  };
  const std::string tooLong = LONGEST.substr(0, LONGEST.size() - 1) + "0\r";  // 30th character
  const std::vector<Case> cases = {
      {"empty line", ":\r", CLineAssembler::LINE_TOO_SHORT},
      {"letter only", ":Y\r", CLineAssembler::LINE_TOO_SHORT},
      {"one digit", ":Y5\r", CLineAssembler::LINE_TOO_SHORT},
      {"wrong checksum", ":G11A8\r", CLineAssembler::LINE_BAD_CHECKSUM},
      {"lower-case digits", ":G11a9\r", -1},
      {"lower-case field", ":Zab\r", -1},
      {"30 characters", tooLong, -1},
      {"new start inside a line", ":Y:" + Line(":G11").substr(1), -1},
      {"space inside a line", ":G1 1A9\r", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pszName);
    CRecorder rec;
    rec.Feed(":Y59\r");  // leaves status 0 behind, so a CR never reached reads as -1 below
    rec.Feed(c.bytes);
    EXPECT_EQ(rec.m_lines.size(), 1u);
    if (c.nStatus >= 0) EXPECT_EQ(rec.m_assembler.LastStatus(), c.nStatus);
    else EXPECT_EQ(rec.m_assembler.LastStatus(), CLineAssembler::LINE_ACCEPTED);
    EXPECT_FALSE(rec.m_assembler.InLine());
    rec.Feed(Line(":V"));
    ASSERT_EQ(rec.m_lines.size(), 2u);
    EXPECT_EQ(rec.m_lines[1], (std::vector<uint8_t>{'V'}));
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

TEST(LineAssembler, SameLinesWhateverTheStreamIsSplitAt) {
  const std::string stream = "\n" + Line(":Y1C0F340000000000000000") + "x" + Line(":G11") + LONGEST +
                             ":G11A8\r" + Line(":W0201230011") + "\n";
  CRecorder whole;
  whole.Feed(stream);
  ASSERT_EQ(whole.m_lines.size(), 4u);
  for (std::size_t a = 0; a <= stream.size(); ++a) {
    for (std::size_t b = a; b <= stream.size(); b += 7) {
      CRecorder rec;
      rec.Feed(std::string_view(stream).substr(0, a));
      rec.Feed(std::string_view(stream).substr(a, b - a));
      rec.Feed(std::string_view(stream).substr(b));
      ASSERT_EQ(rec.m_lines, whole.m_lines) << "split at " << a << " and " << b;
    }
  }
}

TEST(LineAssembler, ResetAbandonsAPartialLine) {
  CRecorder rec;
  rec.Feed(":G1");
  rec.m_assembler.Reset();
  rec.Feed("1A9\r" + Line(":R"));
  ASSERT_EQ(rec.m_lines.size(), 1u);
  EXPECT_EQ(rec.m_lines[0], (std::vector<uint8_t>{'R'}));
}

// Whatever came before, a valid line that follows a carriage return arrives intact.
TEST(LineAssembler, RandomStreamsNeverBreakALineAfterACarriageReturn) {
  std::mt19937 rng(20261206);
  const char alphabet[] = ":0123456789ABCDEFUabcxyz\r\n\x01\xff";
  for (int nRound = 0; nRound < 3000; ++nRound) {
    CRecorder rec;
    std::string noise(rng() % 80, '\0');
    for (char& c : noise)
      c = (rng() % 4 == 0) ? static_cast<char>(rng() % 256) : alphabet[rng() % (sizeof alphabet - 1)];
    rec.Feed(noise);
    rec.Feed("\r");
    const std::size_t nBefore = rec.m_lines.size();
    rec.Feed(LONGEST);
    ASSERT_EQ(rec.m_lines.size(), nBefore + 1) << "round " << nRound;
    EXPECT_EQ(rec.m_lines.back().size(), 14u);
    EXPECT_EQ(rec.m_lines.back()[13], 0x77);
  }
}

}  // namespace
