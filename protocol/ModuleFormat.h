#pragma once
// Bit layouts of the fields the module lines carry.
#include <cstdint>

// ModeFlags: first field of "Z", first byte of the "Y" and "Z" answers.
constexpr uint8_t MODE_UNUSED_MASK = 0xE0;
constexpr uint8_t MODE_CAN20B = 0x10;           // 29-bit identifiers (clear: 11-bit)
constexpr uint8_t MODE_AUTO_RESET = 0x08;       // reset the controller after bus-off
constexpr uint8_t MODE_REPORT_BUSOFF = 0x04;
constexpr uint8_t MODE_REPORT_PASSIVE = 0x02;
constexpr uint8_t MODE_REPORT_WARNING = 0x01;
constexpr uint8_t MODE_DEFAULT = MODE_CAN20B | MODE_AUTO_RESET | MODE_REPORT_BUSOFF;  // 0x1C

// BitTiming: TSEG1 in bits 3..0, TSEG2 in bits 6..4, BRP in bits 13..8; bits 7, 15, 14 zero.
constexpr uint16_t BT_TSEG1_MASK = 0x000F;
constexpr unsigned BT_TSEG2_SHIFT = 4;
constexpr uint16_t BT_TSEG2_MASK = 0x0007;
constexpr unsigned BT_BRP_SHIFT = 8;
constexpr uint16_t BT_BRP_MASK = 0x003F;
constexpr uint16_t BT_RESERVED_MASK = 0xC080;
constexpr uint16_t BIT_TIMING_DEFAULT = 0x0F34;  // 250 kbit/s
constexpr double MODULE_CLOCK_HZ = 40000000.0;

// Frame byte: first field of "W", first byte of the "W" and "U" answers.
constexpr uint8_t FRAME_UNUSED_MASK = 0xC0;
constexpr uint8_t FRAME_EXTENDED = 0x20;        // 29-bit identifier (clear: 11-bit)
constexpr uint8_t FRAME_REMOTE = 0x10;          // remote frame (clear: data frame)
constexpr uint8_t FRAME_LENGTH_MASK = 0x0F;
constexpr uint8_t FRAME_MAX_DATA = 8;

// Reception control byte of "G".
constexpr uint8_t RECEPTION_QUERY = 0x00;
constexpr uint8_t RECEPTION_STOP = 0x10;
constexpr uint8_t RECEPTION_START = 0x11;

constexpr uint32_t STANDARD_ID_MASK = 0x7FF;       // CAN 2.0A, 11 bits
constexpr uint32_t EXTENDED_ID_MASK = 0x1FFFFFFF;  // CAN 2.0B, 29 bits
