#include <gtest/gtest.h>

#include "protocol/BitTiming.h"

namespace {

TEST(BitTiming, EveryPresetHasItsRateTextAndIsValid) {
  const char* const apszTexts[] = {"1.00M BPS",   "500.00K BPS", "250.00K BPS",
                                   "200.00K BPS", "125.00K BPS", "100.00K BPS",
                                   "50.00K BPS",  "40.00K BPS",  "25.00K BPS"};
  for (std::size_t i = 0; i < kPresetBitTimings.size(); ++i) {
    SCOPED_TRACE(kPresetBitRateTexts[i]);
    EXPECT_EQ(FormatBitRate(kPresetBitTimings[i]), apszTexts[i]);
    EXPECT_TRUE(IsValidBitTiming(kPresetBitTimings[i]));
    EXPECT_EQ(FindPresetIndex(kPresetBitTimings[i]), static_cast<int>(i));
  }
  EXPECT_EQ(BitRateOf(0x0334), 1000000.0);
  EXPECT_EQ(FindPresetIndex(0x0F34), 2);
  EXPECT_EQ(FindPresetIndex(0x0F35), -1);
}

TEST(BitTiming, ValidityRule) {
  EXPECT_TRUE(IsValidBitTiming(0x0744));   // TSEG1 = TSEG2 = 4: allowed
  EXPECT_TRUE(IsValidBitTiming(0x3F7F));
  EXPECT_FALSE(IsValidBitTiming(0x0234));  // BRP 2
  EXPECT_FALSE(IsValidBitTiming(0x0324));  // TSEG2 2, rate 1,111,111: above 1 Mbit/s
  EXPECT_FALSE(IsValidBitTiming(0x0F14));  // TSEG2 1
  EXPECT_FALSE(IsValidBitTiming(0x0F32));  // TSEG1 2
  EXPECT_FALSE(IsValidBitTiming(0x0F43));  // TSEG1 below TSEG2
  EXPECT_FALSE(IsValidBitTiming(0x0FB4));  // reserved bit 7
  EXPECT_FALSE(IsValidBitTiming(0x4F34));  // reserved bit 14
  // No word above 1,000,000 bit/s passes, whatever its fields.
  for (uint32_t w = 0; w <= 0xFFFF; ++w) {
    const auto word = static_cast<uint16_t>(w);
    if (BitRateOf(word) > 1000000.0) {
      ASSERT_FALSE(IsValidBitTiming(word)) << w;
    }
  }
}

TEST(BitTiming, RatesBelowAMegabitUseKiloText) {
  EXPECT_EQ(FormatBitRate(0x3F33), "69.44K BPS");  // 40 MHz / (9 quanta * 64)
  EXPECT_EQ(FormatBitRate(0x0324), "1.11M BPS");   // 40 MHz / (9 quanta * 4)
}

}  // namespace
