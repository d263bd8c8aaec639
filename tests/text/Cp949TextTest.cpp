#include <gtest/gtest.h>

#include "text/Cp949Text.h"

namespace {

TEST(Cp949Text, WidthsCountHangulAsTwoBytes) {
  EXPECT_EQ(Cp949Width("[Korvex 환경설정 읽기 응답]"), 27u);
  EXPECT_EQ(Cp949Width("[CAN 리셋 응답]"), 15u);
  EXPECT_EQ(Cp949Width("plain"), 5u);
  EXPECT_EQ(Cp949Width(""), 0u);
}

TEST(Cp949Text, PaddingFillsTo27Columns) {
  EXPECT_EQ(PadToCp949Width("[CAN 리셋 응답]", 27), "[CAN 리셋 응답]" + std::string(12, ' '));
  EXPECT_EQ(PadToCp949Width("[Korvex 환경설정 읽기 응답]", 27), "[Korvex 환경설정 읽기 응답]");
  EXPECT_EQ(PadToCp949Width("longer than the width", 4), "longer than the width");
  EXPECT_EQ(FormatEventText("[CAN 리셋 응답]", "OK"), "[CAN 리셋 응답]" + std::string(12, ' ') + " : OK");
}

TEST(Cp949Text, ConvertsBothWaysAndRefusesWhatHasNoForm) {
  const auto cp949 = Utf8ToCp949("수신 OK\r\n");
  ASSERT_TRUE(cp949.has_value());
  EXPECT_EQ(*cp949, "\xBC\xF6\xBD\xC5 OK\r\n");
  EXPECT_EQ(Cp949ToUtf8(*cp949), "수신 OK\r\n");

  EXPECT_FALSE(Utf8ToCp949("emoji 😀 here").has_value());  // no CP949 form: no partial text
  EXPECT_FALSE(Utf8ToCp949("\xC3").has_value());           // cut UTF-8 sequence
  EXPECT_FALSE(Cp949Width("😀").has_value());
  EXPECT_EQ(PadToCp949Width("😀", 4), "😀  ");             // screen width two
  EXPECT_FALSE(Cp949ToUtf8("\xBC").has_value());           // half a double-byte character
}

}  // namespace
