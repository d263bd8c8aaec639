#include "protocol/BitTiming.h"

#include <cstdio>

#include "protocol/ModuleFormat.h"

namespace {
unsigned Tseg1(uint16_t w) { return w & BT_TSEG1_MASK; }
unsigned Tseg2(uint16_t w) { return (w >> BT_TSEG2_SHIFT) & BT_TSEG2_MASK; }
unsigned Brp(uint16_t w) { return (w >> BT_BRP_SHIFT) & BT_BRP_MASK; }
}  // namespace

double BitRateOf(uint16_t wBitTiming) {
  const double dQuanta = (Tseg1(wBitTiming) + 1.0) + (Tseg2(wBitTiming) + 1.0) + 1.0;
  return MODULE_CLOCK_HZ / (dQuanta * (Brp(wBitTiming) + 1.0));
}

std::string FormatBitRate(uint16_t wBitTiming) {
  const double dRate = BitRateOf(wBitTiming);
  char szText[32];
  if (dRate >= 1000000.0)
    std::snprintf(szText, sizeof szText, "%.2fM BPS", dRate * 0.000001);
  else
    std::snprintf(szText, sizeof szText, "%.2fK BPS", dRate * 0.001);
  return szText;
}

bool IsValidBitTiming(uint16_t wBitTiming) {
  // The reserved bits must stay clear as well: the module has no meaning for them.
  if (wBitTiming & BT_RESERVED_MASK) return false;
  if (BitRateOf(wBitTiming) > 1000000.0) return false;
  if (Brp(wBitTiming) < 3 || Tseg2(wBitTiming) < 2 || Tseg1(wBitTiming) < 3) return false;
  return Tseg1(wBitTiming) >= Tseg2(wBitTiming);
}

int FindPresetIndex(uint16_t wBitTiming) {
  for (std::size_t i = 0; i < kPresetBitTimings.size(); ++i)
    if (kPresetBitTimings[i] == wBitTiming) return static_cast<int>(i);
  return -1;
}
