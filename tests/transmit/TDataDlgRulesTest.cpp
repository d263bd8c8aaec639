// The transmit frame dialog's rules without its widgets: opening values, box texts, the OK check, stored bytes.
#include <gtest/gtest.h>

#include <cstdio>

#include "transmit/TDataDlgRules.h"

namespace {

using namespace std::string_literals;

// Every byte shown as one character comes back as its two digits, code 0 and the upper half too.
TEST(TDataDlgRules, EveryByteSurvivesAsciiAndBack) {
  for (unsigned n = 0; n < 256; ++n) {
    char szHex[3];
    std::snprintf(szHex, sizeof szHex, "%02X", n);
    EXPECT_EQ(AsciiToHex(HexToAscii(szHex)), szHex) << n;
  }
}

TEST(TDataDlgRules, BoxTextsChecksAndStoredBytes) {
  for (const auto& [hex, ascii] : {std::pair{"41"s, "A"s}, {"00"s, "\0"s}, {"1G"s, "\x01"s}, {"ff"s, "\xC3\xBF"s}, {""s, ""s}})
    EXPECT_EQ(HexToAscii(hex), ascii) << hex;
  // Pasted text: its first character, a character beyond U+00FF as its first CP949 byte.
  for (const auto& [ascii, hex] : {std::pair{"GZ", "47"}, {"", "00"}, {"\xC3\xA9", "E9"}, {"가", "B0"}, {"😀", "3F"}})
    EXPECT_EQ(AsciiToHex(ascii), hex) << ascii;

  // Only the boxes within the length count; a box that is not hexadecimal stores 0.
  DataBoxTexts texts = {"11", "2", "", "44", "55", "66", "77", "GZ"};
  EXPECT_TRUE(AreDataBoxesValid(texts, true, 7) && AreDataBoxesValid(texts, false, 8));
  EXPECT_FALSE(AreDataBoxesValid(texts, true, 8));
  TData record{.dwBytes0to3 = ~0u, .dwBytes4to7 = ~0u};
  StoreDataBytes(texts, true, 6, record);
  EXPECT_EQ(std::pair(record.dwBytes0to3, record.dwBytes4to7), std::pair(0x11020044u, 0x55660000u));
  StoreDataBytes({"A", "가", "B"}, false, 2, record);
  EXPECT_EQ(std::pair(record.dwBytes0to3, record.dwBytes4to7), std::pair(0x41B00000u, 0u));

  // A record as a hostile file may hold it opens with flags 0 or 1, length 8 and its identifier's bits.
  const TData opened = DialogValuesOf({.bStandardID = 2, .bDataFrame = 2, .bHexFormat = 2, .byLength = 200, .dwID = ~0u});
  EXPECT_EQ(std::tuple(opened.bStandardID, opened.bDataFrame, opened.bHexFormat, opened.byLength, opened.dwID),
            std::tuple(1u, 1u, 1u, uint8_t{8}, 0x7FFu));
  EXPECT_EQ(DialogValuesOf({.bStandardID = 0, .dwID = ~0u}).dwID, 0x1FFFFFFFu);

  // The period box: 0 to 60000 in plain digits, empty for none; nothing that wraps.
  for (const auto& [text, expected] : std::initializer_list<std::pair<const char*, std::optional<uint16_t>>>{
           {"", 0}, {"0", 0}, {"100", 100}, {"060000", 60000}, {"60001", {}}, {"65636", {}}, {"4294967396", {}},
           {"-1", {}}, {"1.5", {}}, {" 10", {}}, {"١٠", {}}})
    EXPECT_EQ(ParsePeriodText(text), expected) << text;
}

}  // namespace
