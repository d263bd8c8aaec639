#pragma once
// How long a frame occupies the bus: start of frame through the interframe space, with the
// stuff bits of this very frame. The bits from the start of frame to the end of the CRC
// sequence are formed as the controller sends them (dominant 0, recessive 1), the CRC-15 is
// computed over them, and a complementary bit is counted after every five equal bits; the CRC
// delimiter, acknowledge, end of frame and interframe space (13 bits) are never stuffed.
//   2.0A ID 0x000, data frame, length 0                  -> 53 bits (6 stuff bits)
//   2.0A ID 0x555, eight bytes 0x55                      -> 112 bits (1 stuff bit)
//   2.0A ID 0x000, eight bytes 0x00                      -> 127 bits (16 stuff bits)
// A length code of 9 to 15 goes on the bus as it is and carries 8 bytes. A data frame whose
// line carried fewer bytes than its length is counted with zeros for the missing ones.
#include <cstdint>

#include "protocol/ResponseLayout.h"

struct FrameBitCount {
  uint16_t m_wCrc = 0;      // the frame's CRC-15
  unsigned m_nStuffBits = 0;
  unsigned m_nBits = 0;     // everything on the wire, stuff bits and interframe space included
};

FrameBitCount CountFrameBits(const CanFrame& frame);
inline unsigned FrameWireBits(const CanFrame& frame) { return CountFrameBits(frame).m_nBits; }
