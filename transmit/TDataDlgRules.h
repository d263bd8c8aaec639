#pragma once
// The data boxes of the transmit frame dialog, without widgets. A box holds one data byte,
// typed as two hexadecimal digits ("Hex") or as one character ("Ascii"). Box texts are UTF-8
// as the core keeps all texts; a byte b shown as a character is the character U+00bb, so
// every byte survives Hex -> Ascii -> Hex, the control characters and code 0 included.
//
//   Hex -> Ascii:  "41" -> "A"   "00" -> "\0" (one character)   "1G" -> "\x01"   "" -> ""
//   Ascii -> Hex:  "A" -> "41"   "\0" -> "00"   "" -> "00"   "가" -> "B0" (its first CP949 byte)
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "transmit/TData.h"

constexpr int DATA_BOX_COUNT = MAX_DATA_LENGTH;
constexpr int HEX_BOX_CHARS = 2;
constexpr int ASCII_BOX_CHARS = 1;

using DataBoxTexts = std::array<std::string, DATA_BOX_COUNT>;

// The dialog's starting values: flags 0 or 1 (any nonzero flag counts as set), a length
// above 8 cut to 8, the identifier masked to 11 or 29 bits by the protocol.
TData DialogValuesOf(const TData& record);

// "%02X" of each data byte, byte 0 first.
DataBoxTexts HexBoxTextsOf(const TData& record);

// An empty box stays empty; otherwise the box becomes the one character whose code is the
// low 8 bits of its leading hexadecimal digits.
std::string HexToAscii(std::string_view hexText);
// "00" for an empty box; otherwise "%02X" of the first character's byte. A character above
// U+00FF gives the first byte of its CP949 form, or "?" when it has none.
std::string AsciiToHex(std::string_view asciiText);

// Every box converted to Ascii (bToAscii) or to Hex.
DataBoxTexts ConvertDataBoxes(const DataBoxTexts& texts, bool bToAscii);

// The data check on OK: with Hex, boxes 1..byLength are empty or hexadecimal. Ascii boxes
// always pass.
bool AreDataBoxesValid(const DataBoxTexts& texts, bool bHex, uint8_t byLength);

// The period box: empty is 0 (no cyclic send), else decimal digits only, 0 to 60000.
//   "" -> 0   "100" -> 100   "60000" -> 60000   "60001", "-1", "1.5", " 10" -> none
std::optional<uint16_t> ParsePeriodText(std::string_view text);

// Puts the bytes of boxes 1..byLength into the record's two data words; a box gives the value
// of its (Hex) text when it is non-empty and hexadecimal, else 0. Bytes at or beyond the
// length are 0, as every record from the dialog promises.
void StoreDataBytes(const DataBoxTexts& texts, bool bHex, uint8_t byLength, TData& record);
