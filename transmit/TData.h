#pragma once
// One transmit frame as the transmit list and the ".ctd" file hold it. Records loaded from a
// file are kept exactly as stored, so a flag may be 2 or a length 200; SendLength and
// DataBytesOf are what the send path uses, and they never yield more than 8 bytes.
#include <array>
#include <cstdint>

class CTDataObject;

constexpr uint8_t MAX_DATA_LENGTH = 8;
constexpr uint16_t MAX_PERIOD_MS = 60000;  // the longest cyclic period a row may have

struct TData {
  CTDataObject* pOwner = nullptr;  // the list holding the record; never stored or compared
  uint32_t bStandardID = 1;        // 1: CAN 2.0A (11-bit identifier), 0: CAN 2.0B
  uint32_t bDataFrame = 1;         // 1: data frame, 0: remote frame
  uint32_t bHexFormat = 1;         // how the frame dialog edits the bytes; not part of the frame
  uint8_t byLength = 0;
  uint16_t wPeriodMs = 0;          // cyclic period in ms, 0 for none; not part of the frame
  uint32_t dwID = 0;
  uint32_t dwBytes0to3 = 0;        // data byte 0 in bits 31..24 down to byte 3 in bits 7..0
  uint32_t dwBytes4to7 = 0;        // data byte 4 in bits 31..24 down to byte 7 in bits 7..0
};

// The duplicate rule: every field but pOwner, bHexFormat and wPeriodMs is equal.
bool IsSameFrame(const TData& a, const TData& b);

// Data bytes a send takes: none for a remote frame, else byLength capped at 8.
uint8_t SendLength(const TData& record);

// The eight data bytes in transmit order, byte 0 first.
std::array<uint8_t, MAX_DATA_LENGTH> DataBytesOf(const TData& record);
