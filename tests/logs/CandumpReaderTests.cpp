#include "logs/CandumpReader.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "support/ScratchDir.h"

namespace {

using K = CandumpLineKind;

// A parsed line in one text: its kind, and for a frame protocol, identifier, remote mark,
// length code, the bytes carried and the direction.
std::string Parsed(const char* pszLine) {
  CandumpEntry entry;
  const K kind = ParseCandumpLine(pszLine, entry);
  if (kind != K::Frame) return std::array{"", "error", "fd", "xl", "blank", "refused"}[static_cast<int>(kind)];
  const CanFrame& f = entry.m_record.m_frame;
  char szText[64];
  std::snprintf(szText, sizeof szText, "%s %X%s %u/%u:", f.m_bStandard ? "A" : "B", f.m_dwId, f.m_bRemote ? " R" : "", f.m_byLengthCode, f.m_byLength);
  std::string text = szText;
  for (uint8_t b = 0; b < f.m_byDataCount; ++b) text += (std::snprintf(szText, sizeof szText, "%02X", f.m_abyData[b]), szText);
  return entry.m_cDirection ? text + " " + entry.m_cDirection : text;
}

TEST(CandumpLine, ReadsWhatCanUtilsWrites) {
  const struct { const char* pszLine; const char* pszParsed; } kCases[] = {
      {"(1700000000.000042) can0 123#1122", "A 123 2/2:1122"},
      {"(0000000001.5) vcan-rig.7 18FEF100#", "B 18FEF100 0/0:"},
      {"(1.000001) can0 123#11.22.33", "A 123 3/3:112233"},
      {"(1.000001) can0 7e8#R", "A 7E8 R 0/0:"},
      {"(1.000001) can0 7E8#R3", "A 7E8 R 3/3:"},
      {"(1.000001) can0 7E8#R8_F", "A 7E8 R 15/8:"},
      {"(1.000001) can0 123#1122334455667788_C", "A 123 12/8:1122334455667788"},
      {"(1.000001) can0 123#AB R", "A 123 1/1:AB R"},
      {"(1.000001) can0 123#R T\r", "A 123 R 0/0: T"},
      {"(1.000001) can0 FFF#", "A 7FF 0/0:"},
      {"(1.000001) can0 20000080#0000000000000000", "error"},
      {"(1.000001) can0 123##1112233", "fd"},
      {"(1.000001) can0 45123###80:00:11223344#AA", "xl"},
      {"   ", "blank"},
      // Refused: every part of the line is checked.
      {"1.000001 can0 123#11", "refused"}, {"(1.) can0 123#11", "refused"},
      {"(12345678901.0) can0 123#11", "refused"}, {"(1.0)", "refused"},
      {"(1.0) can0 1234#11", "refused"}, {"(1.0) can0 123#112", "refused"},
      {"(1.0) can0 123#112233445566778899", "refused"}, {"(1.0) can0 123#11_C", "refused"},
      {"(1.0) can0 123#R9", "refused"}, {"(1.0) can0 123#11 X", "refused"},
      {"(1.0) can0 40000123#", "refused"}, {"(1.0) can0 123##G", "refused"}, {"(1.0) can0 123", "refused"},
  };
  for (const auto& c : kCases) EXPECT_EQ(Parsed(c.pszLine), c.pszParsed) << c.pszLine;
}

TEST(CandumpLine, StampGivesBothTimesAndLongNamesAreRefused) {
  CandumpEntry entry;
  ASSERT_EQ(ParseCandumpLine("(1700000000.25) can0 123#", entry), K::Frame);
  EXPECT_EQ(std::tuple(entry.m_record.m_arrival.m_nWallNs, entry.m_record.m_arrival.m_nSteadyNs, entry.m_interface),
            std::tuple(1700000000250000000, 1700000000250000000, "can0"));
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
  EXPECT_EQ(std::tuple(kind, entry.m_record.m_qwSequence), std::tuple(K::Frame, 1u));
  ASSERT_TRUE(reader.Next(entry, kind));  // the blank line is passed over
  EXPECT_EQ(std::tuple(kind, std::string(entry.m_pszReason), reader.LineNumber()),
            std::tuple(K::Refused, "line too long", 3u));
  uint64_t qwFrames = 0;
  while (reader.Next(entry, kind)) {
    ASSERT_EQ(kind, K::Frame) << reader.LineNumber();
    ++qwFrames;
  }
  EXPECT_EQ(std::tuple(qwFrames, entry.m_record.m_frame.m_dwId, entry.m_record.m_qwSequence, reader.LineNumber(), reader.BytesRead(), reader.LastError()),
            std::tuple(5001u, 0x102u, 5002u, 5004u, text.size(), ""));
  ASSERT_TRUE(reader.Open(path));  // the frames are numbered from 1 again
  EXPECT_TRUE(reader.Next(entry, kind) && entry.m_record.m_qwSequence == 1u);
}

}  // namespace
