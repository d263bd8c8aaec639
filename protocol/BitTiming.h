#pragma once
// Bit-timing word rules: rate on the module's 40 MHz clock, validity, text, presets.
//   0x0334 -> "1.00M BPS"   0x0F34 -> "250.00K BPS"   0x3F7F -> "25.00K BPS"
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::array<uint16_t, 9> kPresetBitTimings = {
    0x0334, 0x0734, 0x0F34, 0x1334, 0x1F34, 0x2734, 0x277A, 0x317A, 0x3F7F};
inline constexpr std::array<std::string_view, 9> kPresetBitRateTexts = {
    "1M", "500K", "250K", "200K", "125K", "100K", "50K", "40K", "25K"};

// 40,000,000 / (((TSEG1 + 1) + (TSEG2 + 1) + 1) * (BRP + 1)) bit/s.
double BitRateOf(uint16_t wBitTiming);
// "%.2fM BPS" from 1,000,000 up, else "%.2fK BPS".
std::string FormatBitRate(uint16_t wBitTiming);
bool IsValidBitTiming(uint16_t wBitTiming);
// Index into kPresetBitTimings, or -1.
int FindPresetIndex(uint16_t wBitTiming);
