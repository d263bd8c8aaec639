#include "logs/RDataLogLine.h"

#include <ctime>
#include <string>

#include "protocol/ModuleFormat.h"
#include "protocol/ResponseText.h"
#include "text/Cp949Text.h"

namespace {

constexpr std::size_t STAMP_LENGTH = sizeof "2024.05.01 13:45:07" - 1;

bool TakePrefix(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

void SkipBlanks(std::string_view& text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
}

int HexDigit(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;  // the log writes upper case only
}

// Up to nMaxDigits hexadecimal digits; at least one.
std::optional<uint32_t> TakeHex(std::string_view& text, std::size_t nMaxDigits) {
  uint32_t dwValue = 0;
  std::size_t n = 0;
  for (; n < text.size() && n < nMaxDigits && HexDigit(text[n]) >= 0; ++n)
    dwValue = dwValue << 4 | static_cast<uint32_t>(HexDigit(text[n]));
  if (n == 0) return std::nullopt;
  text.remove_prefix(n);
  return dwValue;
}

bool IsLeapYear(int nYear) { return (nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0; }

// LOG_STAMP_FORMAT in local time. A date or time that no calendar has (February 30, 24:00) is
// refused. A time in the hour that a change to summer time skips is read as the clock would
// have gone on before the change: the log holds no zone, and its line is still a frame.
std::optional<std::time_t> ParseStamp(std::string_view stamp) {
  static constexpr char kLayout[] = "dddd.dd.dd dd:dd:dd";
  if (stamp.size() != STAMP_LENGTH) return std::nullopt;
  for (std::size_t i = 0; i < STAMP_LENGTH; ++i)
    if (kLayout[i] == 'd' ? (stamp[i] < '0' || stamp[i] > '9') : stamp[i] != kLayout[i]) return std::nullopt;
  auto number = [&](std::size_t nAt, std::size_t nDigits) {
    int n = 0;
    for (std::size_t i = nAt; i < nAt + nDigits; ++i) n = n * 10 + (stamp[i] - '0');
    return n;
  };
  static constexpr int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int nYear = number(0, 4), nMonth = number(5, 2), nDay = number(8, 2);
  if (nMonth < 1 || nMonth > 12 || nDay < 1 ||
      nDay > kDaysInMonth[nMonth - 1] + (nMonth == 2 && IsLeapYear(nYear) ? 1 : 0))
    return std::nullopt;
  std::tm tmLocal{};
  tmLocal.tm_year = nYear - 1900;
  tmLocal.tm_mon = nMonth - 1;
  tmLocal.tm_mday = nDay;
  tmLocal.tm_hour = number(11, 2);
  tmLocal.tm_min = number(14, 2);
  tmLocal.tm_sec = number(17, 2);
  tmLocal.tm_isdst = -1;  // the zone's rules decide, also inside the skipped hour
  if (tmLocal.tm_hour > 23 || tmLocal.tm_min > 59 || tmLocal.tm_sec > 59) return std::nullopt;
  const std::time_t tWhen = std::mktime(&tmLocal);
  if (tWhen == static_cast<std::time_t>(-1)) return std::nullopt;
  return tWhen;
}

// The receive list's line, read by its fields; accepted only when the line the analyzer would
// form from them is the same text.
std::optional<CanFrame> ParseFrameText(std::string_view text) {
  const std::string_view whole = text;
  CanFrame frame;
  if (TakePrefix(text, "CAN2.0A"))
    frame.m_bStandard = true;
  else if (TakePrefix(text, "CAN2.0B"))
    frame.m_bStandard = false;
  else
    return std::nullopt;
  SkipBlanks(text);
  if (TakePrefix(text, "Remote Frame"))
    frame.m_bRemote = true;
  else if (!TakePrefix(text, "Data Frame"))
    return std::nullopt;
  SkipBlanks(text);
  if (!TakePrefix(text, "길이:") || text.empty() || text.front() < '0' || text.front() > '0' + FRAME_MAX_DATA)
    return std::nullopt;
  frame.m_byLength = frame.m_byLengthCode = static_cast<uint8_t>(text.front() - '0');
  text.remove_prefix(1);
  SkipBlanks(text);
  if (!TakePrefix(text, "ID:")) return std::nullopt;
  const auto dwId = TakeHex(text, frame.m_bStandard ? 3 : 8);
  if (!dwId) return std::nullopt;
  frame.m_dwId = *dwId;
  SkipBlanks(text);
  if (TakePrefix(text, "데이터:")) {
    do {
      const std::size_t nBefore = text.size();
      const auto byData = TakeHex(text, 2);
      if (!byData || nBefore - text.size() != 2 || frame.m_byDataCount == frame.m_byLength) return std::nullopt;
      frame.m_abyData[frame.m_byDataCount++] = static_cast<uint8_t>(*byData);
    } while (TakePrefix(text, " "));
  }
  std::string rebuilt;
  ReceivedFrameLine(frame, rebuilt);
  if (rebuilt != whole) return std::nullopt;
  return frame;
}

}  // namespace

std::optional<ReceivedFrame> ParseRDataLogLine(std::string_view line) {
  if (line.size() < STAMP_LENGTH + 2 || line.substr(STAMP_LENGTH, 2) != "  ") return std::nullopt;
  const auto tWhen = ParseStamp(line.substr(0, STAMP_LENGTH));
  const auto text = Cp949ToUtf8(line.substr(STAMP_LENGTH + 2));
  if (!tWhen || !text) return std::nullopt;
  const auto frame = ParseFrameText(*text);
  if (!frame) return std::nullopt;
  ReceivedFrame record;
  record.m_frame = *frame;
  record.m_frame.m_dwId &= frame->m_bStandard ? STANDARD_ID_MASK : EXTENDED_ID_MASK;  // as the channel's
  record.m_arrival.m_nWallNs = record.m_arrival.m_nSteadyNs = static_cast<int64_t>(*tWhen) * 1000000000;
  return record;
}
