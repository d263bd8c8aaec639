#include "cli/CandumpLine.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>

#include "protocol/ModuleFormat.h"
#include "text/FieldRules.h"

namespace {

// Seconds a stamp may hold: far beyond any date, and 1e9 times it still fits 63 bits.
constexpr uint64_t MAX_STAMP_SECONDS = 9000000000ull;

template <class T>
bool TakeNumber(std::string_view& text, std::size_t nDigits, int nBase, T& value) {
  if (text.size() < nDigits) return false;
  const auto [pEnd, ec] = std::from_chars(text.data(), text.data() + nDigits, value, nBase);
  if (ec != std::errc() || pEnd != text.data() + nDigits) return false;
  text.remove_prefix(nDigits);
  return true;
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

}  // namespace

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

std::optional<ReceivedFrame> ParseCandumpLine(std::string_view line) {
  // "(" seconds "." six digits ") " interface " " identifier "#" data
  const std::size_t nDot = line.find('.');
  const std::size_t nClose = line.find(") ");
  if (line.empty() || line[0] != '(' || nDot == std::string_view::npos || nClose != nDot + 7) return std::nullopt;
  std::string_view text = line.substr(1);
  uint64_t qwSeconds = 0, qwMicros = 0;
  if (!TakeNumber(text, nDot - 1, 10, qwSeconds) || qwSeconds > MAX_STAMP_SECONDS) return std::nullopt;
  text.remove_prefix(1);
  if (!TakeNumber(text, 6, 10, qwMicros)) return std::nullopt;
  text.remove_prefix(2);
  const std::size_t nBlank = text.find(' ');
  if (nBlank == 0 || nBlank == std::string_view::npos) return std::nullopt;
  text.remove_prefix(nBlank + 1);
  const std::size_t nHash = text.find('#');
  if (nHash != 3 && nHash != 8) return std::nullopt;
  for (std::size_t i = 0; i < nHash; ++i)
    if (!IsHexDigit(text[i])) return std::nullopt;
  ReceivedFrame record;
  CanFrame& frame = record.m_frame;
  frame.m_bStandard = nHash == 3;
  if (!TakeNumber(text, nHash, 16, frame.m_dwId) || frame.m_dwId > (frame.m_bStandard ? STANDARD_ID_MASK : EXTENDED_ID_MASK))
    return std::nullopt;
  text.remove_prefix(1);
  if (!text.empty() && text[0] == 'R') {
    frame.m_bRemote = true;
    text.remove_prefix(1);
    if (text.size() == 1 && text[0] >= '0' && text[0] <= '8')
      frame.m_byLength = static_cast<uint8_t>(text[0] - '0');
    else if (!text.empty())
      return std::nullopt;
  } else {
    if (text.size() % 2 != 0 || text.size() > 2 * sizeof frame.m_abyData) return std::nullopt;
    while (!text.empty()) {
      if (!IsHexDigit(text[0]) || !IsHexDigit(text[1])) return std::nullopt;
      TakeNumber(text, 2, 16, frame.m_abyData[frame.m_byDataCount++]);
    }
    frame.m_byLength = frame.m_byDataCount;
  }
  frame.m_byLengthCode = frame.m_byLength;
  record.m_arrival.m_nWallNs = record.m_arrival.m_nSteadyNs =
      static_cast<int64_t>(qwSeconds * 1000000000 + qwMicros * 1000);
  return record;
}
