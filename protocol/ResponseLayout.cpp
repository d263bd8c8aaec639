#include "protocol/ResponseLayout.h"

#include "protocol/ModuleFormat.h"

namespace {
uint32_t BigEndian(std::span<const uint8_t> bytes) {
  uint32_t dw = 0;
  for (const uint8_t by : bytes) dw = (dw << 8) | by;
  return dw;
}
}  // namespace

bool ParseFrame(std::span<const uint8_t> fields, CanFrame& frame) {
  if (fields.empty()) return false;
  const uint8_t byFrame = fields[0];
  const bool bStandard = (byFrame & FRAME_EXTENDED) == 0;
  const std::size_t nIdBytes = bStandard ? 2 : 4;
  const uint8_t byNibble = byFrame & FRAME_LENGTH_MASK;
  const uint8_t byLength = byNibble < FRAME_MAX_DATA ? byNibble : FRAME_MAX_DATA;
  if (fields.size() < 1 + nIdBytes) return false;
  const std::size_t nCarried = fields.size() - 1 - nIdBytes;
  frame.m_bStandard = bStandard;
  frame.m_bRemote = (byFrame & FRAME_REMOTE) != 0;
  frame.m_byLengthCode = byNibble;
  frame.m_byLength = byLength;
  frame.m_byDataCount = static_cast<uint8_t>(nCarried < byLength ? nCarried : byLength);
  frame.m_dwId = BigEndian(fields.subspan(1, nIdBytes));
  for (uint8_t i = 0; i < FRAME_MAX_DATA; ++i)
    frame.m_abyData[i] = i < frame.m_byDataCount ? fields[1 + nIdBytes + i] : 0;
  return true;
}

bool ParseConfig(std::span<const uint8_t> fields, ModuleConfig& config) {
  if (fields.empty()) return false;
  const bool bExtended = (fields[0] & MODE_CAN20B) != 0;
  const std::size_t nIdBytes = bExtended ? 4 : 2;
  if (fields.size() < 3 + 2 * nIdBytes) return false;
  config.m_byModeFlags = fields[0];
  config.m_wBitTiming = static_cast<uint16_t>(BigEndian(fields.subspan(1, 2)));
  config.m_dwId = BigEndian(fields.subspan(3, nIdBytes));
  config.m_dwMaskId = BigEndian(fields.subspan(3 + nIdBytes, nIdBytes));
  return true;
}
