#include "config/SettingsStore.h"

#include <gtest/gtest.h>

namespace {

struct IntTextCase {
  const char* pszText;
  std::optional<int64_t> expected;
};

class ParseSettingsIntTest : public ::testing::TestWithParam<IntTextCase> {};

TEST_P(ParseSettingsIntTest, ReadsDecimalAndHexOnly) {
  const IntTextCase& c = GetParam();
  EXPECT_EQ(ParseSettingsInt(c.pszText), c.expected) << '"' << c.pszText << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseSettingsIntTest,
    ::testing::Values(IntTextCase{"28", 28}, IntTextCase{" -1 ", -1}, IntTextCase{"0x1C", 28},
                      IntTextCase{"0X13c", 0x13C}, IntTextCase{"4294967295", 4294967295LL},
                      IntTextCase{"9223372036854775807", INT64_MAX},
                      IntTextCase{"9223372036854775808", std::nullopt}, IntTextCase{"1C", std::nullopt},
                      IntTextCase{"", std::nullopt}, IntTextCase{"  ", std::nullopt},
                      IntTextCase{"+5", std::nullopt}, IntTextCase{"0x", std::nullopt},
                      IntTextCase{"0x-1", std::nullopt}, IntTextCase{"12 34", std::nullopt},
                      IntTextCase{"38400baud", std::nullopt}));

}  // namespace
