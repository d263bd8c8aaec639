#include "logs/CandumpReader.h"

#include <cerrno>
#include <cstring>

#include "protocol/ModuleFormat.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void SkipBlanks(std::string_view& text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
}

// "(seconds.fraction)": up to ten digits of seconds (to the year 2255), one to nine of fraction.
bool ParseStamp(std::string_view& text, int64_t& nNs) {
  if (text.empty() || text.front() != '(') return false;
  text.remove_prefix(1);
  int64_t nSeconds = 0;
  size_t nDigits = 0;
  for (; !text.empty() && text.front() >= '0' && text.front() <= '9'; text.remove_prefix(1), ++nDigits) {
    if (nDigits == 10) return false;
    nSeconds = nSeconds * 10 + (text.front() - '0');
  }
  if (nDigits == 0 || text.empty() || text.front() != '.') return false;
  text.remove_prefix(1);
  int64_t nFraction = 0;
  int64_t nScale = 1000000000;
  for (nDigits = 0; !text.empty() && text.front() >= '0' && text.front() <= '9'; text.remove_prefix(1), ++nDigits) {
    if (nDigits == 9) return false;
    nScale /= 10;
    nFraction += (text.front() - '0') * nScale;
  }
  if (nDigits == 0 || text.empty() || text.front() != ')') return false;
  text.remove_prefix(1);
  nNs = nSeconds * 1000000000 + nFraction;
  return true;
}

// Hex digits up to the first '#'; returns how many there were (0 when there is no '#').
size_t ParseId(std::string_view& text, uint32_t& dwValue) {
  dwValue = 0;
  size_t nDigits = 0;
  for (; !text.empty() && text.front() != '#'; text.remove_prefix(1), ++nDigits) {
    const int nHex = HexValue(text.front());
    if (nHex < 0 || nDigits == 8) return 0;
    dwValue = dwValue << 4 | static_cast<uint32_t>(nHex);
  }
  if (text.empty()) return 0;
  text.remove_prefix(1);  // the '#'
  return nDigits;
}

// "_X": a raw length code of 9 to 15, allowed after eight bytes (or "R8").
bool ParseRawLengthCode(std::string_view& text, uint8_t& byCode) {
  if (text.empty() || text.front() != '_') return true;
  if (text.size() < 2) return false;
  const int nCode = HexValue(text[1]);
  if (byCode != 8 || nCode < 9) return false;
  byCode = static_cast<uint8_t>(nCode);
  text.remove_prefix(2);
  return true;
}

// The data or remote part of a CAN 2.0 frame, up to the first blank; the frame's identifier
// is already set.
const char* ParseClassicPayload(std::string_view& text, CanFrame& frame) {
  uint8_t byCode = 0;
  if (!text.empty() && (text.front() == 'R' || text.front() == 'r')) {
    frame.m_bRemote = true;
    text.remove_prefix(1);
    if (!text.empty() && !IsBlank(text.front())) {
      const int nLength = HexValue(text.front());
      if (nLength < 0 || nLength > 8) return "bad remote frame length";
      byCode = static_cast<uint8_t>(nLength);
      text.remove_prefix(1);
    }
  } else {
    while (!text.empty() && !IsBlank(text.front()) && text.front() != '_') {
      if (text.front() == '.') {
        text.remove_prefix(1);
        continue;
      }
      if (text.size() < 2 || HexValue(text[0]) < 0 || HexValue(text[1]) < 0) return "bad data byte";
      if (byCode == 8) return "more than 8 data bytes";
      frame.m_abyData[byCode++] = static_cast<uint8_t>(HexValue(text[0]) << 4 | HexValue(text[1]));
      text.remove_prefix(2);
    }
    frame.m_byDataCount = byCode;
  }
  if (!ParseRawLengthCode(text, byCode)) return "bad length code";
  frame.m_byLengthCode = byCode;
  frame.m_byLength = byCode > 8 ? 8 : byCode;
  return nullptr;
}

// A CAN FD payload: a flags digit, then at most 64 bytes.
bool IsFdPayload(std::string_view text) {
  if (text.empty() || HexValue(text.front()) < 0) return false;
  text.remove_prefix(1);
  size_t nBytes = 0;
  while (!text.empty()) {
    if (text.front() == '.') {
      text.remove_prefix(1);
      continue;
    }
    if (text.size() < 2 || HexValue(text[0]) < 0 || HexValue(text[1]) < 0 || ++nBytes > 64) return false;
    text.remove_prefix(2);
  }
  return true;
}

CandumpLineKind Refuse(CandumpEntry& entry, const char* pszReason) {
  entry.m_pszReason = pszReason;
  return CandumpLineKind::Refused;
}

}  // namespace

CandumpLineKind ParseCandumpLine(std::string_view line, CandumpEntry& entry) {
  entry.m_record.m_frame = CanFrame{};
  entry.m_interface.clear();
  entry.m_cDirection = 0;
  entry.m_pszReason = "";
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  SkipBlanks(line);
  if (line.empty()) return CandumpLineKind::Blank;

  int64_t nNs = 0;
  if (!ParseStamp(line, nNs)) return Refuse(entry, "bad time stamp");
  entry.m_record.m_arrival = {nNs, nNs};

  SkipBlanks(line);
  size_t nName = 0;
  while (nName < line.size() && !IsBlank(line[nName])) ++nName;
  if (nName == 0) return Refuse(entry, "no interface name");
  if (nName > CANDUMP_MAX_INTERFACE) return Refuse(entry, "interface name too long");
  entry.m_interface.assign(line.substr(0, nName));
  line.remove_prefix(nName);
  SkipBlanks(line);

  // The frame ends at the first blank; a direction flag may follow.
  size_t nFrame = 0;
  while (nFrame < line.size() && !IsBlank(line[nFrame])) ++nFrame;
  std::string_view frameText = line.substr(0, nFrame);
  std::string_view rest = line.substr(nFrame);
  SkipBlanks(rest);
  if (!rest.empty() && (rest.front() == 'R' || rest.front() == 'T')) {
    entry.m_cDirection = rest.front();
    rest.remove_prefix(1);
    SkipBlanks(rest);
  }
  if (!rest.empty()) return Refuse(entry, "unexpected text after the frame");

  uint32_t dwId = 0;
  const size_t nIdDigits = ParseId(frameText, dwId);
  if (nIdDigits == 0) return Refuse(entry, "no identifier");
  if (!frameText.empty() && frameText.front() == '#') {
    if (frameText.size() > 1 && frameText[1] == '#') return CandumpLineKind::XlFrame;
    if (nIdDigits != 3 && nIdDigits != 8) return Refuse(entry, "identifier must have 3 or 8 digits");
    if (!IsFdPayload(frameText.substr(1))) return Refuse(entry, "bad CAN FD frame");
    return CandumpLineKind::FdFrame;
  }
  CanFrame& frame = entry.m_record.m_frame;
  if (nIdDigits == 3) {
    frame.m_bStandard = true;
    frame.m_dwId = dwId & STANDARD_ID_MASK;
  } else if (nIdDigits == 8) {
    if (dwId > 0x3FFFFFFF) return Refuse(entry, "identifier out of range");
    frame.m_bStandard = false;
    frame.m_dwId = dwId & EXTENDED_ID_MASK;
  } else {
    return Refuse(entry, "identifier must have 3 or 8 digits");
  }
  if (const char* pszFault = ParseClassicPayload(frameText, frame)) return Refuse(entry, pszFault);
  if (!frameText.empty()) return Refuse(entry, "bad frame");
  // Bit 29 of a long identifier is the error-frame flag: its "data" describes the error.
  return nIdDigits == 8 && (dwId & 0x20000000) ? CandumpLineKind::ErrorFrame : CandumpLineKind::Frame;
}

bool CCandumpReader::Open(const std::string& path) {
  m_qwFrames = 0;
  return m_lines.Open(path);
}

bool CCandumpReader::Next(CandumpEntry& entry, CandumpLineKind& kind) {
  for (std::string_view line; m_lines.Next(line);) {
    if (m_lines.TooLong()) {
      kind = CandumpLineKind::Refused;
      entry.m_pszReason = "line too long";
      return true;
    }
    kind = ParseCandumpLine(line, entry);
    if (kind == CandumpLineKind::Blank) continue;
    if (kind == CandumpLineKind::Frame) entry.m_record.m_qwSequence = ++m_qwFrames;
    return true;
  }
  return false;
}
