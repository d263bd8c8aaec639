#include <gtest/gtest.h>

#include "text/Cp949Text.h"

namespace {

// Widths and the 27-column padding are checked on every event text by the channel tests.
TEST(Cp949Text, ConvertsBothWaysAndRefusesWhatHasNoForm) {
  const auto cp949 = Utf8ToCp949("수신 OK\r\n");
  ASSERT_TRUE(cp949.has_value());
  EXPECT_EQ(std::tuple(*cp949, Cp949ToUtf8(*cp949)), std::tuple("\xBC\xF6\xBD\xC5 OK\r\n", "수신 OK\r\n"));

  EXPECT_FALSE(Utf8ToCp949("emoji 😀 here").has_value());  // no CP949 form: no partial text
  EXPECT_FALSE(Utf8ToCp949("\xC3").has_value());           // cut UTF-8 sequence
  EXPECT_FALSE(Cp949Width("😀").has_value());
  EXPECT_EQ(PadToCp949Width("😀", 4), "😀  ");             // screen width two
  EXPECT_FALSE(Cp949ToUtf8("\xBC").has_value());           // half a double-byte character
}

}  // namespace
