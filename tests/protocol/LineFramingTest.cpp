#include <gtest/gtest.h>

#include <string>

#include "protocol/LineFraming.h"

namespace {

TEST(LineFraming, LongestLineFitsAndOversizedOrMalformedPayloadsGiveNothing) {
  const std::string longest = ":W2812345678" + std::string(16, '0');  // 2.0B, 8 data bytes
  const CLineText line = BuildLine(longest);
  EXPECT_EQ(line.m_byLength, 31);
  EXPECT_EQ(line.m_szText[31], '\0');
  EXPECT_TRUE(BuildLine(longest + "0").IsEmpty());
  EXPECT_TRUE(BuildLine("").IsEmpty());
  EXPECT_TRUE(BuildLine("Y").IsEmpty());
}

TEST(LineFraming, ChecksumSkipsTheStartCharacterAndShortTexts) {
  EXPECT_EQ(LineChecksum(":Y", 2), 0x59u);
  EXPECT_EQ(LineChecksum(":", 1), 0u);
  EXPECT_EQ(LineChecksum(":", 0), 0u);
  EXPECT_EQ(LineChecksum(":G11", 4) & 0xFF, 0xA9u);
}

TEST(LineFraming, OnlyUpperCaseHexDigitsHaveValues) {
  for (int c = 0; c < 256; ++c) {
    uint8_t byExpected = 255;
    if (c >= '0' && c <= '9') byExpected = static_cast<uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F') byExpected = static_cast<uint8_t>(c - 'A' + 10);
    EXPECT_EQ(HexDigitValue(static_cast<uint8_t>(c)), byExpected) << "byte " << c;
  }
}

}  // namespace
