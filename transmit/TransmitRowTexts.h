#pragma once
// What a transmit list row shows, column by column; the data column is always hexadecimal,
// and empty for a length of 0 or above 8 (possible in a file); the period column is empty
// for a row without one.
//   CAN 2.0A, data, id 0x123, length 2, bytes 11 22, 100 ms
//     -> "CAN2.0A" "Data Frame" "01 23" "2" "11 22" "100"
//   CAN 2.0B, remote, id 0x1ABCDEF0 -> "CAN2.0B" "Remote Frame" "1A BC DE F0" "0" "" ""
#include <string>

#include "transmit/TData.h"

constexpr int TRANSMIT_COLUMN_COUNT = 6;
constexpr int TRANSMIT_PERIOD_COLUMN = 5;

std::string TransmitColumnText(const TData& record, int nColumn);
