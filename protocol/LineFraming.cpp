#include "protocol/LineFraming.h"

#include <cstdio>

uint32_t LineChecksum(const char* pszText, unsigned nLength) {
  nLength %= 256;  // every line is far shorter; keeps a hostile length bounded
  uint32_t dwSum = 0;
  for (unsigned i = 1; i < nLength; ++i) dwSum += static_cast<uint8_t>(pszText[i]);
  return dwSum;
}

CLineText BuildLine(std::string_view payload) {
  CLineText line;
  if (payload.empty() || payload.size() > MAX_PAYLOAD_LENGTH || payload[0] != LINE_START) return line;
  const unsigned nChecksum = LineChecksum(payload.data(), static_cast<unsigned>(payload.size())) & 0xFF;
  const int n = std::snprintf(line.m_szText, sizeof line.m_szText, "%.*s%02X%c",
                              static_cast<int>(payload.size()), payload.data(), nChecksum, LINE_END);
  if (n > 0 && static_cast<unsigned>(n) < sizeof line.m_szText) line.m_byLength = static_cast<uint8_t>(n);
  return line;
}

uint8_t HexDigitValue(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 255;
}
