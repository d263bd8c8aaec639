#pragma once
// A frame as the module reports it, built in one call: a length code above 8 stands for 8 bytes;
// the data are the bytes the line carried (fewer than the length on a short line).
#include <algorithm>
#include <vector>

#include "protocol/ResponseLayout.h"

inline CanFrame TestFrame(bool bStandard, bool bRemote, uint8_t byCode, uint32_t dwId, std::vector<uint8_t> data = {}) {
  CanFrame frame{bStandard, bRemote, byCode, std::min<uint8_t>(byCode, 8), static_cast<uint8_t>(data.size()), dwId};
  std::copy(data.begin(), data.end(), frame.m_abyData);
  return frame;
}
