#pragma once
// Module line framing: ":" letter, upper-case hex fields, two checksum digits, CR.
//   ":Y"      -> ":Y59\r"      (checksum of a lone letter is the letter's code)
//   ":G11"    -> ":G11A9\r"
#include <cstdint>
#include <string_view>

constexpr uint8_t LINE_START = ':';
constexpr uint8_t LINE_END = 13;
constexpr unsigned LINE_BUFFER_SIZE = 32;      // the longest sent line (31 with CR) and a zero
constexpr unsigned MAX_PAYLOAD_LENGTH = LINE_BUFFER_SIZE - 1 - 3;  // room for checksum and CR

// A line or payload in a fixed buffer, always zero-terminated; nothing allocates.
struct CLineText {
  char m_szText[LINE_BUFFER_SIZE] = {};
  uint8_t m_byLength = 0;

  std::string_view View() const { return {m_szText, m_byLength}; }
  bool IsEmpty() const { return m_byLength == 0; }
};

// Sum of the character codes of text[1 .. length-1] (the leading ":" is skipped).
// Callers use the low 8 bits; a length below 2 gives 0.
uint32_t LineChecksum(const char* pszText, unsigned nLength);

// Payload + "%02X" checksum + CR. A payload that is empty, does not start with ":" or
// would not fit the line buffer gives an empty line, so nothing malformed reaches the wire.
CLineText BuildLine(std::string_view payload);

// 0..15 for "0"-"9" and "A"-"F"; 255 for anything else, lower case included.
uint8_t HexDigitValue(uint8_t c);
