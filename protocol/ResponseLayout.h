#pragma once
// Field layouts of the module's response lines (field byte k follows the letter; numbers
// are big-endian). A line shorter than its layout is refused rather than read past its end:
//   "U" 0x02 01 23 AA BB      -> 2.0A data frame, ID 0x123, 2 bytes AA BB
//   "U" 0x02 01 23 AA         -> 2.0A data frame, length 2, one byte carried (AA)
//   "U" 0x14 01 23            -> 2.0A remote frame, length 4, no bytes carried
//   "U" 0x02 01               -> refused: the identifier is cut short
//   "Y" 1C 0F34 00000000 0000 -> refused: 2.0B needs 11 field bytes
#include <cstdint>
#include <span>

// A CAN frame as "U" (received) and "W" (transmit echo) lines carry it.
struct CanFrame {
  bool m_bStandard = true;  // CAN 2.0A, 11-bit identifier
  bool m_bRemote = false;
  uint8_t m_byLengthCode = 0;  // the length nibble as the frame carried it on the bus, 0..15
  uint8_t m_byLength = 0;   // at most 8: a length nibble of 9 to 15 stands for 8
  uint8_t m_byDataCount = 0;  // data bytes the line carried: m_byLength, or fewer on a short line
  uint32_t m_dwId = 0;      // as sent; a 2.0A identifier keeps all 16 bits of its field
  uint8_t m_abyData[8] = {};
};

// The configuration that "Y" and "Z" lines report.
struct ModuleConfig {
  uint8_t m_byModeFlags = 0;
  uint16_t m_wBitTiming = 0;
  uint32_t m_dwId = 0;      // receive acceptance identifier; a 2.0A value is not masked here
  uint32_t m_dwMaskId = 0;  // receive acceptance mask
};

// A frame needs its frame byte and whole identifier; it takes the data bytes it carries (a
// remote frame usually carries none). True when it could be read.
bool ParseFrame(std::span<const uint8_t> fields, CanFrame& frame);
// True for a data frame that carried fewer bytes than its length says.
inline bool IsIncomplete(const CanFrame& frame) { return !frame.m_bRemote && frame.m_byDataCount < frame.m_byLength; }
// Fills the configuration and returns true only when the fields hold the whole layout.
bool ParseConfig(std::span<const uint8_t> fields, ModuleConfig& config);
