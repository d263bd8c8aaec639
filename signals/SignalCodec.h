#pragma once
// A frame's signals as values, and values back into a frame's bytes.
//   little-endian 0|12@1+ (0.5,-10), data 34 12 -> raw 0x234 = 564, physical 272
//   big-endian    7|12@0+ (1,0),     data 12 34 -> raw 0x123
//   signed 0|8@1- (1,0),             data FF    -> raw -1
// A multiplexed signal (mN) is decoded only when the frame's multiplexer holds N; a signal
// the frame does not carry all bytes of is not decoded.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "signals/DbcDatabase.h"

struct DecodedSignal {
  uint32_t m_nSignal = 0;  // index in the message's m_signals
  int64_t m_nRaw = 0;      // sign-extended for signed signals; the bit pattern for float ones
  double m_dPhysical = 0.0;
};

// Decodes into out (cleared first) the signals of message that data holds, in the message's
// order. data: the bytes the frame carried.
void DecodeSignals(const DbcMessage& message, std::span<const uint8_t> data, std::vector<DecodedSignal>& out);
// One signal, whatever its multiplexer; false when data does not hold it.
bool DecodeSignal(const DbcSignal& signal, std::span<const uint8_t> data, DecodedSignal& out);
// The value-table text for a raw value, or null.
const std::string* ValueText(const DbcSignal& signal, int64_t nRaw);

struct SignalEncodeResult {
  bool m_bWritten = false;  // false for a signal past byte 8, which no frame here holds
  bool m_bClamped = false;  // the value was outside the signal's range or raw field
  double m_dPhysical = 0.0;  // the value the bytes now hold
};
// Writes the physical value into data (8 bytes; only the signal's bits change), rounded to
// the nearest raw step and clamped to the signal's range [minimum, maximum] (when it has one)
// and to what its bits can hold.
SignalEncodeResult EncodeSignal(const DbcSignal& signal, double dPhysical, std::span<uint8_t, 8> data);
