#include "logs/CandumpReader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "support/ScratchDir.h"

namespace {

struct LineCase {
  const char* pszLine;
  CandumpLineKind kind;
  bool bStandard = true;
  bool bRemote = false;
  uint32_t dwId = 0;
  uint8_t byLengthCode = 0;
  std::vector<uint8_t> data = {};
  char cDirection = 0;
};

class CandumpLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(CandumpLineTest, ReadsWhatCanUtilsWrites) {
  const LineCase& c = GetParam();
  CandumpEntry entry;
  ASSERT_EQ(ParseCandumpLine(c.pszLine, entry), c.kind) << c.pszLine << ": " << entry.m_pszReason;
  if (c.kind != CandumpLineKind::Frame) return;
  const CanFrame& frame = entry.m_record.m_frame;
  EXPECT_EQ(frame.m_bStandard, c.bStandard);
  EXPECT_EQ(frame.m_bRemote, c.bRemote);
  EXPECT_EQ(frame.m_dwId, c.dwId);
  EXPECT_EQ(frame.m_byLengthCode, c.byLengthCode);
  EXPECT_EQ(frame.m_byLength, c.byLengthCode > 8 ? 8 : c.byLengthCode);
  EXPECT_EQ(std::vector<uint8_t>(frame.m_abyData, frame.m_abyData + frame.m_byDataCount), c.data);
  EXPECT_EQ(entry.m_cDirection, c.cDirection);
}

using K = CandumpLineKind;
INSTANTIATE_TEST_SUITE_P(
    Forms, CandumpLineTest,
    testing::Values(
        LineCase{"(1700000000.000042) can0 123#1122", K::Frame, true, false, 0x123, 2, {0x11, 0x22}},
        LineCase{"(0000000001.5) vcan-rig.7 18FEF100#", K::Frame, false, false, 0x18FEF100, 0},
        LineCase{"(1.000001) can0 123#11.22.33", K::Frame, true, false, 0x123, 3, {0x11, 0x22, 0x33}},
        LineCase{"(1.000001) can0 7e8#R", K::Frame, true, true, 0x7E8, 0},
        LineCase{"(1.000001) can0 7E8#R3", K::Frame, true, true, 0x7E8, 3},
        LineCase{"(1.000001) can0 7E8#R8_F", K::Frame, true, true, 0x7E8, 15},
        LineCase{"(1.000001) can0 123#1122334455667788_C", K::Frame, true, false, 0x123, 12,
                 {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88}},
        LineCase{"(1.000001) can0 123#AB R", K::Frame, true, false, 0x123, 1, {0xAB}, 'R'},
        LineCase{"(1.000001) can0 123#R T\r", K::Frame, true, true, 0x123, 0, {}, 'T'},
        LineCase{"(1.000001) can0 FFF#", K::Frame, true, false, 0x7FF, 0},
        LineCase{"(1.000001) can0 20000080#0000000000000000", K::ErrorFrame},
        LineCase{"(1.000001) can0 123##1112233", K::FdFrame},
        LineCase{"(1.000001) can0 45123###80:00:11223344#AA", K::XlFrame},
        LineCase{"   ", K::Blank},
        // Refused: every part of the line is checked.
        LineCase{"1.000001 can0 123#11", K::Refused}, LineCase{"(1.) can0 123#11", K::Refused},
        LineCase{"(12345678901.0) can0 123#11", K::Refused}, LineCase{"(1.0)", K::Refused},
        LineCase{"(1.0) can0 1234#11", K::Refused}, LineCase{"(1.0) can0 123#112", K::Refused},
        LineCase{"(1.0) can0 123#112233445566778899", K::Refused}, LineCase{"(1.0) can0 123#11_C", K::Refused},
        LineCase{"(1.0) can0 123#R9", K::Refused}, LineCase{"(1.0) can0 123#11 X", K::Refused},
        LineCase{"(1.0) can0 40000123#", K::Refused}, LineCase{"(1.0) can0 123##G", K::Refused},
        LineCase{"(1.0) can0 123", K::Refused}));

TEST(CandumpLine, StampGivesBothTimesAndLongNamesAreRefused) {
  CandumpEntry entry;
  ASSERT_EQ(ParseCandumpLine("(1700000000.25) can0 123#", entry), K::Frame);
  EXPECT_EQ(entry.m_record.m_arrival.m_nWallNs, 1700000000250000000);
  EXPECT_EQ(entry.m_record.m_arrival.m_nSteadyNs, 1700000000250000000);
  EXPECT_EQ(entry.m_interface, "can0");
  const std::string longName = "(1.0) " + std::string(CANDUMP_MAX_INTERFACE + 1, 'n') + " 123#";
  EXPECT_EQ(ParseCandumpLine(longName, entry), K::Refused);
}

TEST(CandumpReader, NumbersLinesAcrossBuffersAndRefusesOverlongOnes) {
  ScratchDir dir;
  std::string text = "(1.000000) can0 100#01\r\n\n" + std::string(CANDUMP_MAX_LINE + 10, 'x') + "\n";
  // Enough lines to cross the reader's buffer several times; the last has no line feed.
  for (int i = 0; i < 5000; ++i) text += "(2.000000) can0 101#0102030405060708\n";
  text += "(3.000000) can0 102#";
  const std::string path = dir.Write("log.txt", text);

  CCandumpReader reader;
  ASSERT_TRUE(reader.Open(path));
  EXPECT_EQ(reader.FileSize(), text.size());
  CandumpEntry entry;
  CandumpLineKind kind{};
  ASSERT_TRUE(reader.Next(entry, kind));
  EXPECT_EQ(kind, K::Frame);
  EXPECT_EQ(entry.m_record.m_qwSequence, 1u);
  ASSERT_TRUE(reader.Next(entry, kind));  // the blank line is passed over
  EXPECT_EQ(kind, K::Refused);
  EXPECT_STREQ(entry.m_pszReason, "line too long");
  EXPECT_EQ(reader.LineNumber(), 3u);
  uint64_t qwFrames = 0;
  while (reader.Next(entry, kind)) {
    ASSERT_EQ(kind, K::Frame) << reader.LineNumber();
    ++qwFrames;
  }
  EXPECT_EQ(qwFrames, 5001u);
  EXPECT_EQ(entry.m_record.m_frame.m_dwId, 0x102u);
  EXPECT_EQ(entry.m_record.m_qwSequence, 5002u);
  EXPECT_EQ(reader.LineNumber(), 5004u);
  EXPECT_EQ(reader.BytesRead(), text.size());
  EXPECT_TRUE(reader.LastError().empty());

  EXPECT_FALSE(reader.Open(dir / "missing"));
  EXPECT_EQ(reader.LastError(), "open: No such file or directory");
  ASSERT_TRUE(reader.Open(dir.Path()));  // a directory opens, and fails on the first read
  EXPECT_FALSE(reader.Next(entry, kind));
  EXPECT_EQ(reader.LastError(), "read: Is a directory");
}

}  // namespace
