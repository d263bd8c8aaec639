#pragma once
// One received CAN frame as every frame consumer sees it (the receive list, the receive-data
// log, korvex-cli's outputs, the per-identifier statistics and bus load):
//   ":U0201230102"      -> 2.0A data frame, ID 0x123, length code 2, 2 bytes 01 02
//   ":U01FFFFAB"        -> 2.0A data frame, ID 0x7FF (the field's upper five bits dropped)
//   ":U2FFFFFFFFF..."   -> 2.0B data frame, ID 0x1FFFFFFF, length code 15 (8 bytes)
//
// The time is the host's: when the frame's last byte was taken off the port, not when it was
// on the bus. The reader stamps each block it reads; a frame that ended k bytes before the end
// of its block is placed the wire time of those k bytes earlier (10 bits a byte at the port's
// rate), and at least a microsecond after the frame received just before it.
#include <cstdint>

#include "link/ArrivalTime.h"
#include "protocol/ResponseLayout.h"

struct ReceivedFrame {
  // Protocol (m_bStandard), kind (m_bRemote), length code, data and how many bytes the line
  // carried; the identifier masked to 11 bits (2.0A) or 29 bits (2.0B).
  CanFrame m_frame;
  ArrivalTime m_arrival;      // monotonic for intervals, wall clock for stamps
  uint64_t m_qwSequence = 0;  // 1 for the first frame the channel received, then one more each
};
