#include "logs/AscFormat.h"

#include <cinttypes>
#include <cstdio>
#include <ctime>

#include "protocol/ModuleFormat.h"

namespace {

constexpr int64_t NS_PER_SECOND = 1000000000;
constexpr int64_t MAX_AFTER_START_NS = 1000000000 * NS_PER_SECOND;

bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }

// The next blank-separated token; empty at the end.
std::string_view TakeToken(std::string_view& text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  std::size_t n = 0;
  while (n < text.size() && !IsBlank(text[n])) ++n;
  const std::string_view token = text.substr(0, n);
  text.remove_prefix(n);
  return token;
}

char Lower(char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

bool StartsNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

int DigitValue(char ch, unsigned nBase) {
  int n = -1;
  if (ch >= '0' && ch <= '9') n = ch - '0';
  else if (ch >= 'a' && ch <= 'f') n = ch - 'a' + 10;
  else if (ch >= 'A' && ch <= 'F') n = ch - 'A' + 10;
  return n >= 0 && static_cast<unsigned>(n) < nBase ? n : -1;
}

// A whole token as a number of at most nMaxDigits digits in the base, at most dwMax.
bool ParseNumber(std::string_view token, unsigned nBase, std::size_t nMaxDigits, uint32_t dwMax, uint32_t& dwValue) {
  if (token.empty() || token.size() > nMaxDigits) return false;
  uint64_t qw = 0;
  for (const char ch : token) {
    const int n = DigitValue(ch, nBase);
    if (n < 0) return false;
    qw = qw * nBase + static_cast<unsigned>(n);
  }
  if (qw > dwMax) return false;
  dwValue = static_cast<uint32_t>(qw);
  return true;
}

// "12.345678" (at most 9 digits before the point, 1 to 9 after) in ns; -1 when it is none. Times
// count from the start of a measurement: 31 years of it is more than any log holds.
int64_t ParseSeconds(std::string_view token) {
  const std::size_t nDot = token.find('.');
  if (nDot == std::string_view::npos || nDot == 0 || nDot > 9 || token.size() - nDot - 1 < 1 ||
      token.size() - nDot - 1 > 9)
    return -1;
  int64_t nSeconds = 0, nFraction = 0, nScale = NS_PER_SECOND;
  for (std::size_t i = 0; i < token.size(); ++i) {
    if (i == nDot) continue;
    if (token[i] < '0' || token[i] > '9') return -1;
    if (i < nDot) {
      nSeconds = nSeconds * 10 + (token[i] - '0');
    } else {
      nScale /= 10;
      nFraction += (token[i] - '0') * nScale;
    }
  }
  return nSeconds * NS_PER_SECOND + nFraction;
}

int MonthOf(std::string_view token) {
  static constexpr std::string_view kMonths[12] = {"jan", "feb", "mar", "apr", "may", "jun",
                                                   "jul", "aug", "sep", "oct", "nov", "dec"};
  // German names as German installations write them.
  static constexpr struct { std::string_view name; int nMonth; } kGerman[] = {
      {"m\xc3\xa4r", 3}, {"mrz", 3}, {"mai", 5}, {"okt", 10}, {"dez", 12}};
  for (int i = 0; i < 12; ++i)
    if (StartsNoCase(token, kMonths[i])) return i + 1;
  for (const auto& german : kGerman)
    if (StartsNoCase(token, german.name)) return german.nMonth;
  return 0;
}

constexpr const char* WEEKDAYS[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* MONTHS[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// "Tue Nov 14 10:13:20.000 pm 2023" in local time, written without the locale's help.
void AppendDate(int64_t nSeconds, std::string& out) {
  const std::time_t t = static_cast<std::time_t>(nSeconds);
  std::tm local{};
  localtime_r(&t, &local);
  const int nHour12 = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
  char sz[64];
  std::snprintf(sz, sizeof sz, "%s %s %02d %02d:%02d:%02d.000 %s %d", WEEKDAYS[(local.tm_wday % 7 + 7) % 7],
                MONTHS[(local.tm_mon % 12 + 12) % 12], local.tm_mday, nHour12, local.tm_min, local.tm_sec,
                local.tm_hour < 12 ? "am" : "pm", local.tm_year + 1900);
  out += sz;
}

}  // namespace

int64_t ParseAscDate(std::string_view text) {
  std::string_view token = TakeToken(text);
  int nMonth = MonthOf(token);
  if (nMonth == 0 || token.size() > 4) {  // a weekday first
    token = TakeToken(text);
    nMonth = MonthOf(token);
  }
  if (nMonth == 0 || token.size() > 4) return -1;
  uint32_t dwDay = 0, dwHour = 0, dwMinute = 0, dwSecond = 0, dwYear = 0;
  if (!ParseNumber(TakeToken(text), 10, 2, 31, dwDay) || dwDay == 0) return -1;
  std::string_view clock = TakeToken(text);
  // H:MM:SS with an optional fraction, which a date of whole seconds ignores.
  const std::size_t nColon1 = clock.find(':'), nColon2 = clock.find(':', nColon1 + 1);
  if (nColon1 == std::string_view::npos || nColon2 == std::string_view::npos) return -1;
  std::string_view seconds = clock.substr(nColon2 + 1);
  int64_t nFractionNs = 0;
  if (const std::size_t nDot = seconds.find('.'); nDot != std::string_view::npos) {
    nFractionNs = ParseSeconds(std::string("0").append(seconds.substr(nDot)));
    if (nFractionNs < 0) return -1;
    seconds = seconds.substr(0, nDot);
  }
  if (!ParseNumber(clock.substr(0, nColon1), 10, 2, 23, dwHour) ||
      !ParseNumber(clock.substr(nColon1 + 1, nColon2 - nColon1 - 1), 10, 2, 59, dwMinute) ||
      !ParseNumber(seconds, 10, 2, 60, dwSecond))
    return -1;
  token = TakeToken(text);
  if (EqualsNoCase(token, "am") || EqualsNoCase(token, "pm")) {
    if (dwHour < 1 || dwHour > 12) return -1;
    dwHour = dwHour % 12 + (EqualsNoCase(token, "pm") ? 12 : 0);
    token = TakeToken(text);
  }
  // Up to 2200: later times in ns would not fit the records' 64 bits.
  if (!ParseNumber(token, 10, 4, 2200, dwYear) || dwYear < 1970 || !TakeToken(text).empty()) return -1;
  std::tm local{};
  local.tm_year = static_cast<int>(dwYear) - 1900;
  local.tm_mon = nMonth - 1;
  local.tm_mday = static_cast<int>(dwDay);
  local.tm_hour = static_cast<int>(dwHour);
  local.tm_min = static_cast<int>(dwMinute);
  local.tm_sec = static_cast<int>(dwSecond);
  local.tm_isdst = -1;
  const std::time_t t = std::mktime(&local);
  if (t == static_cast<std::time_t>(-1) || local.tm_mday != static_cast<int>(dwDay)) return -1;  // Feb 30
  return static_cast<int64_t>(t) * NS_PER_SECOND + nFractionNs;
}

bool CAscParser::ParseHeader(std::string_view line) {
  std::string_view rest = line;
  const std::string_view first = TakeToken(rest);
  if (first.starts_with("//") || EqualsNoCase(first, "internal") ||
      (EqualsNoCase(first, "no") && EqualsNoCase(TakeToken(rest), "internal")))
    return true;
  if (EqualsNoCase(first, "date")) {
    const int64_t nStart = ParseAscDate(rest);
    if (nStart >= 0) m_nStartNs = nStart;
    return true;
  }
  if (EqualsNoCase(first, "base")) {
    m_bDecimal = EqualsNoCase(TakeToken(rest), "dec");
    if (EqualsNoCase(TakeToken(rest), "timestamps")) m_bRelative = EqualsNoCase(TakeToken(rest), "relative");
    return true;
  }
  if (EqualsNoCase(first, "begin") && EqualsNoCase(TakeToken(rest), "triggerblock")) {
    // A block's date starts its times; "Begin Triggerblock" alone keeps the header's.
    const int64_t nStart = ParseAscDate(rest);
    if (nStart >= 0) m_nStartNs = nStart;
    m_nLastEventNs = 0;
    return true;
  }
  return EqualsNoCase(first, "end") && EqualsNoCase(TakeToken(rest), "triggerblock");
}

EAscLine CAscParser::Parse(std::string_view line, ReceivedFrame& record) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.size() > ASC_MAX_LINE) return Refuse("line too long");
  std::string_view rest = line;
  const std::string_view first = TakeToken(rest);
  if (first.empty()) return EAscLine::NO_FRAME;
  if (first.front() >= '0' && first.front() <= '9') return ParseEvent(line, record);
  return ParseHeader(line) ? EAscLine::NO_FRAME : Refuse("not an ASC line");
}

EAscLine CAscParser::ParseEvent(std::string_view line, ReceivedFrame& record) {
  const int64_t nTime = ParseSeconds(TakeToken(line));
  if (nTime < 0) return Refuse("not an ASC line");
  // Every event moves the clock of relative times, frame or not; a sum past 31 years is no log.
  const int64_t nAfterStart = m_bRelative ? m_nLastEventNs + nTime : nTime;
  if (nAfterStart >= MAX_AFTER_START_NS) return Refuse("time out of range");
  m_nLastEventNs = nAfterStart;
  const std::string_view channel = TakeToken(line);
  if (EqualsNoCase(channel, "Start") && EqualsNoCase(TakeToken(line), "of")) return EAscLine::NO_FRAME;
  uint32_t dwChannel = 0;
  if (!ParseNumber(channel, 10, 6, 999999, dwChannel)) return Refuse("not a CAN 2.0 frame");
  std::string_view id = TakeToken(line);
  if (EqualsNoCase(id, "ErrorFrame")) return Refuse("an error frame");
  const std::string_view direction = TakeToken(line);
  if (!EqualsNoCase(direction, "Rx") && !EqualsNoCase(direction, "Tx")) return Refuse("not a CAN 2.0 frame");
  const unsigned nBase = m_bDecimal ? 10 : 16;
  CanFrame frame;
  frame.m_bStandard = !(id.size() > 1 && Lower(id.back()) == 'x');
  if (!frame.m_bStandard) id.remove_suffix(1);
  if (!ParseNumber(id, nBase, m_bDecimal ? 10 : 8, frame.m_bStandard ? STANDARD_ID_MASK : EXTENDED_ID_MASK,
                   frame.m_dwId))
    return Refuse("bad identifier");
  const std::string_view kind = TakeToken(line);
  frame.m_bRemote = EqualsNoCase(kind, "r");
  if (!frame.m_bRemote && !EqualsNoCase(kind, "d")) return Refuse("neither a data nor a remote frame");
  uint32_t dwCode = 0;
  std::string_view after = line;
  const bool bHasCode = ParseNumber(TakeToken(after), nBase, 2, 15, dwCode);
  if (bHasCode) line = after;
  else if (!frame.m_bRemote) return Refuse("bad length");  // a remote frame of old writers has none
  frame.m_byLengthCode = static_cast<uint8_t>(dwCode);
  frame.m_byLength = static_cast<uint8_t>(dwCode > FRAME_MAX_DATA ? FRAME_MAX_DATA : dwCode);
  // The data, as far as it goes: attributes may follow ("Length = 228000 BitCount = 118").
  while (!frame.m_bRemote && frame.m_byDataCount < frame.m_byLength) {
    after = line;
    uint32_t dwByte = 0;
    if (!ParseNumber(TakeToken(after), nBase, m_bDecimal ? 3 : 2, 255, dwByte)) break;
    frame.m_abyData[frame.m_byDataCount++] = static_cast<uint8_t>(dwByte);
    line = after;
  }
  record.m_frame = frame;
  record.m_arrival.m_nWallNs = record.m_arrival.m_nSteadyNs = m_nStartNs + nAfterStart;
  return EAscLine::FRAME;
}

void CAscWriter::Begin(int64_t nStartNs, std::string& out) {
  const int64_t nSeconds = (nStartNs < 0 ? 0 : nStartNs) / NS_PER_SECOND;
  m_nStartNs = nSeconds * NS_PER_SECOND;
  out += "date ";
  AppendDate(nSeconds, out);
  out += "\nbase hex  timestamps absolute\ninternal events logged\nBegin Triggerblock ";
  AppendDate(nSeconds, out);
  out += "\n   0.000000 Start of measurement\n";
}

void CAscWriter::Frame(const ReceivedFrame& record, std::string& out) const {
  const CanFrame& frame = record.m_frame;
  const int64_t nAfterUs = record.m_arrival.m_nWallNs > m_nStartNs ? (record.m_arrival.m_nWallNs - m_nStartNs) / 1000 : 0;
  char szId[16];
  if (frame.m_bStandard)
    std::snprintf(szId, sizeof szId, "%X", static_cast<unsigned>(frame.m_dwId & STANDARD_ID_MASK));
  else
    std::snprintf(szId, sizeof szId, "%Xx", static_cast<unsigned>(frame.m_dwId & EXTENDED_ID_MASK));
  // The length, not the raw length code: readers take a code above 8 as a CAN FD length.
  char szLine[96];
  std::snprintf(szLine, sizeof szLine, "%4" PRId64 ".%06" PRId64 " 1  %-15s Rx   %c %X", nAfterUs / 1000000,
                nAfterUs % 1000000, szId, frame.m_bRemote ? 'r' : 'd', static_cast<unsigned>(frame.m_byLength));
  out += szLine;
  if (!frame.m_bRemote) {
    for (uint8_t i = 0; i < frame.m_byDataCount && i < sizeof frame.m_abyData; ++i) {
      std::snprintf(szLine, sizeof szLine, " %02X", frame.m_abyData[i]);
      out += szLine;
    }
  }
  out += '\n';
}

void CAscWriter::End(std::string& out) { out += "End TriggerBlock\n"; }
