#include "logs/CandumpLine.h"

#include <cinttypes>
#include <cstdio>

#include "protocol/ModuleFormat.h"
#include "text/FieldRules.h"

void CandumpStamp(int64_t nWallNs, std::string& out) {
  if (nWallNs < 0) nWallNs = 0;
  char szStamp[32];  // "(" + 19 digits + "." + 6 digits + ")"
  std::snprintf(szStamp, sizeof szStamp, "(%" PRId64 ".%06" PRId64 ")", nWallNs / 1000000000, nWallNs % 1000000000 / 1000);
  out.assign(szStamp);
}

void CandumpLine(const CanFrame& frame, int64_t nWallNs, std::string& out) {
  CandumpStamp(nWallNs, out);
  out += ' ';
  out += CANDUMP_INTERFACE;
  out += ' ';
  if (frame.m_bStandard)
    AppendHex(out, frame.m_dwId & STANDARD_ID_MASK, 3);
  else
    AppendHex(out, frame.m_dwId & EXTENDED_ID_MASK, 8);
  out += '#';
  if (frame.m_bRemote) {
    out += 'R';
    if (frame.m_byLength != 0) out += static_cast<char>('0' + frame.m_byLength);
    return;
  }
  for (uint8_t i = 0; i < frame.m_byDataCount && i < sizeof frame.m_abyData; ++i) AppendHex(out, frame.m_abyData[i], 2);
}
