#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/CSimOptions.h"

namespace {

bool Parse(std::vector<const char*> args, CSimOptions& options) {
  args.insert(args.begin(), "korvex-sim");
  std::string error;
  const bool bGood = options.Parse(static_cast<int>(args.size()), args.data(), error);
  EXPECT_EQ(bGood, error.empty()) << error;
  return bGood;
}

}  // namespace

TEST(SimOptions, DefaultsAndEveryOption) {
  CSimOptions options;
  ASSERT_TRUE(Parse({}, options));
  EXPECT_EQ(options.m_nRate, CSimModule::DEFAULT_FRAME_RATE);
  EXPECT_EQ(options.m_byVersion, CSimModule::DEFAULT_VERSION);
  EXPECT_EQ(options.m_nSeconds, 0u);
  EXPECT_TRUE(options.m_linkPath.empty());

  ASSERT_TRUE(Parse({"--link", "/tmp/x", "--rate", "0", "--version", "0xA0", "--seconds", "3"}, options));
  EXPECT_EQ(options.m_linkPath, "/tmp/x");
  EXPECT_EQ(options.m_nRate, 0u);
  EXPECT_EQ(options.m_byVersion, 0xA0);
  EXPECT_EQ(options.m_nSeconds, 3u);

  ASSERT_TRUE(Parse({"--version", "18", "--rate", "100000"}, options));
  EXPECT_EQ(options.m_byVersion, 0x12);
  EXPECT_EQ(options.m_nRate, 100000u);
}

class SimOptionsBad : public testing::TestWithParam<std::vector<const char*>> {};

TEST_P(SimOptionsBad, AreRefused) {
  CSimOptions options;
  EXPECT_FALSE(Parse(GetParam(), options));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, SimOptionsBad,
    testing::Values(std::vector<const char*>{"--rate"}, std::vector<const char*>{"--rate", "abc"},
                    std::vector<const char*>{"--rate", "-1"}, std::vector<const char*>{"--rate", "100001"},
                    std::vector<const char*>{"--rate", "10x"}, std::vector<const char*>{"--rate", ""},
                    std::vector<const char*>{"--version", "0x100"}, std::vector<const char*>{"--version", "0x"},
                    std::vector<const char*>{"--seconds", "0"},
                    std::vector<const char*>{"--seconds", "99999999999999999999"},
                    std::vector<const char*>{"--link", ""}, std::vector<const char*>{"--port", "x"},
                    std::vector<const char*>{"extra"}));
