#include "signals/DbcReader.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace {

constexpr uint32_t EXTENDED_FLAG = 0x80000000u;
// Where DBC editors keep signals that belong to no message; not a CAN identifier.
constexpr uint32_t INDEPENDENT_SIGNALS_ID = 0xC0000000u;
constexpr std::size_t MAX_NUMBER_CHARS = 64;

bool IsBlank(uint8_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsIdentStart(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(uint8_t c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

// Layout of a signal in the data; false when it does not lie inside nBytes.
std::string SignalKey(const DbcMessage& message, const std::string& name) {
  return std::to_string(message.m_dwId | (message.m_bExtended ? EXTENDED_FLAG : 0)) + ':' + name;
}

bool PlaceSignal(DbcSignal& signal, unsigned nBytes) {
  const unsigned nStart = signal.m_wStartBit;
  const unsigned nSize = signal.m_bySize;
  unsigned nFirst = 0;  // the lowest bit in the order the word is read
  if (signal.m_bBigEndian)
    nFirst = nStart / 8 * 8 + (7 - nStart % 8);  // position counted from byte 0's top bit
  else
    nFirst = nStart;
  if (nFirst + nSize > nBytes * 8) return false;
  signal.m_byEndByte = static_cast<uint8_t>((nFirst + nSize - 1) / 8 + 1);
  signal.m_byShift = static_cast<uint8_t>(signal.m_bBigEndian ? (nFirst + nSize <= 64 ? 64 - nFirst - nSize : 0) : nFirst);
  return true;
}

}  // namespace

// Builds the database while the reader walks the text; holds the counts every bound checks.
class CDbcBuilder {
public:
  explicit CDbcBuilder(std::span<const uint8_t> text) : m_text(text) {}
  bool Read();
  CDbcDatabase& Database() { return m_db; }
  uint32_t Line() const { return m_nErrLine; }
  uint32_t Column() const { return m_nErrColumn; }
  const std::string& Error() const { return m_error; }

private:
  // Lexing.
  bool AtEnd() const { return m_nPos >= m_text.size(); }
  uint8_t Peek() const { return AtEnd() ? 0 : m_text[m_nPos]; }
  void Advance() {
    if (m_text[m_nPos++] == '\n') {
      ++m_nLine;
      m_nLineStart = m_nPos;
    }
  }
  void SkipBlank();
  void SkipSpacesInLine() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\r')) Advance();
  }
  void SkipLine() {
    while (!AtEnd() && Peek() != '\n') Advance();
  }
  bool Fail(std::string why) {
    if (m_error.empty()) {
      m_error = std::move(why);
      m_nErrLine = m_nLine;
      m_nErrColumn = static_cast<uint32_t>(std::min<std::size_t>(m_nPos - m_nLineStart + 1, UINT32_MAX));
    }
    return false;
  }
  // A place in the text, to report an error at the start of what was read.
  struct Mark {
    std::size_t m_nPos;
    uint32_t m_nLine;
    std::size_t m_nLineStart;
  };
  Mark Here() {
    SkipBlank();
    return {m_nPos, m_nLine, m_nLineStart};
  }
  bool FailAt(const Mark& mark, std::string why) {
    m_nPos = mark.m_nPos;
    m_nLine = mark.m_nLine;
    m_nLineStart = mark.m_nLineStart;
    return Fail(std::move(why));
  }
  bool Expect(char c);
  bool ReadIdent(std::string& out);
  bool ReadString(std::string& out);
  bool ReadNumber(double& d);
  bool ReadInteger(int64_t& n);
  bool ReadUnsigned(uint64_t& n, uint64_t qwMax, const char* pszWhat, uint64_t qwMin = 0);
  bool SkipStatement();
  void SkipIndentedLines();
  bool TakeEntry() { return ++m_nEntries <= DBC_MAX_ENTRIES || Fail("the file declares too many entries"); }

  // Statements.
  bool ReadMessage();
  bool ReadSignal();
  bool ReadComment();
  bool ReadValueTexts(std::vector<std::pair<int64_t, std::string>>& texts);
  bool ReadValues();
  bool ReadValueTable();
  bool ReadValueType();
  bool ReadAttribute();
  DbcMessage* MessageById(uint64_t qwRawId);
  DbcSignal* SignalByName(DbcMessage* pMessage, const std::string& name);

  std::span<const uint8_t> m_text;
  std::size_t m_nPos = 0;
  uint32_t m_nLine = 1;
  std::size_t m_nLineStart = 0;
  std::string m_error;
  uint32_t m_nErrLine = 0;
  uint32_t m_nErrColumn = 0;
  std::size_t m_nEntries = 0;
  CDbcDatabase m_db;
  DbcMessage* m_pCurrent = nullptr;  // the message SG_ lines belong to
  DbcMessage m_discarded;            // signals of no message, read and dropped
  // "message key:signal name" -> message and signal index, so no statement searches a list.
  std::unordered_map<std::string, std::pair<uint32_t, uint32_t>> m_signalIndex;
};

void CDbcBuilder::SkipBlank() {
  while (!AtEnd()) {
    if (IsBlank(Peek())) {
      Advance();
    } else if (Peek() == '/' && m_nPos + 1 < m_text.size() && m_text[m_nPos + 1] == '/') {
      SkipLine();
    } else {
      break;
    }
  }
}

bool CDbcBuilder::Expect(char c) {
  SkipBlank();
  if (Peek() == static_cast<uint8_t>(c) && !AtEnd()) {
    Advance();
    return true;
  }
  return Fail(std::string("'") + c + "' expected");
}

bool CDbcBuilder::ReadIdent(std::string& out) {
  SkipBlank();
  if (AtEnd() || !IsIdentStart(Peek())) return Fail("a name expected");
  const std::size_t nBegin = m_nPos;
  while (!AtEnd() && IsIdentChar(Peek())) {
    if (m_nPos - nBegin >= DBC_MAX_NAME) return Fail("name longer than " + std::to_string(DBC_MAX_NAME) + " characters");
    Advance();
  }
  out.assign(reinterpret_cast<const char*>(m_text.data() + nBegin), m_nPos - nBegin);
  return true;
}

bool CDbcBuilder::ReadString(std::string& out) {
  SkipBlank();
  if (Peek() != '"' || AtEnd()) return Fail("'\"' expected");
  Advance();
  out.clear();
  while (true) {
    if (AtEnd()) return Fail("text not closed with '\"'");
    uint8_t c = Peek();
    if (c == '"') break;
    if (c == '\\' && m_nPos + 1 < m_text.size() && (m_text[m_nPos + 1] == '"' || m_text[m_nPos + 1] == '\\')) {
      Advance();
      c = Peek();
    }
    if (out.size() >= DBC_MAX_TEXT) return Fail("text longer than " + std::to_string(DBC_MAX_TEXT) + " bytes");
    out.push_back(static_cast<char>(c));
    Advance();
  }
  Advance();
  return true;
}

bool CDbcBuilder::ReadNumber(double& d) {
  SkipBlank();
  const std::size_t nBegin = m_nPos;
  if (Peek() == '+' || Peek() == '-') Advance();
  while (!AtEnd() && (IsIdentChar(Peek()) || Peek() == '.' ||
                      ((Peek() == '+' || Peek() == '-') && (m_text[m_nPos - 1] == 'e' || m_text[m_nPos - 1] == 'E')))) {
    if (m_nPos - nBegin >= MAX_NUMBER_CHARS) return Fail("number too long");
    Advance();
  }
  const char* pBegin = reinterpret_cast<const char*>(m_text.data() + nBegin);
  const char* pEnd = reinterpret_cast<const char*>(m_text.data() + m_nPos);
  if (pBegin != pEnd && *pBegin == '+') ++pBegin;  // from_chars takes no '+'
  const auto [pStop, ec] = std::from_chars(pBegin, pEnd, d);
  if (pBegin == pEnd || ec != std::errc() || pStop != pEnd || !std::isfinite(d)) {
    m_nPos = nBegin;
    return Fail("a number expected");
  }
  return true;
}

bool CDbcBuilder::ReadInteger(int64_t& n) {
  SkipBlank();
  const std::size_t nBegin = m_nPos;
  if (Peek() == '+' || Peek() == '-') Advance();
  while (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
    if (m_nPos - nBegin >= MAX_NUMBER_CHARS) return Fail("number too long");
    Advance();
  }
  const char* pBegin = reinterpret_cast<const char*>(m_text.data() + nBegin);
  const char* pEnd = reinterpret_cast<const char*>(m_text.data() + m_nPos);
  if (pBegin != pEnd && *pBegin == '+') ++pBegin;
  // Raw values of 64-bit unsigned signals are written as they are; kept as their bit pattern.
  uint64_t qwValue = 0;
  bool bParsed = false;
  if (pBegin != pEnd && *pBegin != '-') {
    const auto [pStop, ec] = std::from_chars(pBegin, pEnd, qwValue);
    bParsed = ec == std::errc() && pStop == pEnd;
    n = static_cast<int64_t>(qwValue);
  } else if (pBegin != pEnd) {
    const auto [pStop, ec] = std::from_chars(pBegin, pEnd, n);
    bParsed = ec == std::errc() && pStop == pEnd;
  }
  if (!bParsed) {
    m_nPos = nBegin;
    return Fail("a whole number expected");
  }
  return true;
}

bool CDbcBuilder::ReadUnsigned(uint64_t& n, uint64_t qwMax, const char* pszWhat, uint64_t qwMin) {
  const Mark start = Here();
  int64_t nValue = 0;
  if (Peek() == '-' || !ReadInteger(nValue)) return Fail(std::string(pszWhat) + " expected");
  n = static_cast<uint64_t>(nValue);
  if (n < qwMin || n > qwMax)
    return FailAt(start, std::string(pszWhat) + " from " + std::to_string(qwMin) + " to " + std::to_string(qwMax) + " expected");
  return true;
}

// Up to and past the next ';' outside texts.
bool CDbcBuilder::SkipStatement() {
  while (!AtEnd()) {
    const uint8_t c = Peek();
    if (c == ';') {
      Advance();
      return true;
    }
    if (c == '"') {
      std::string ignored;
      if (!ReadString(ignored)) return false;
      continue;
    }
    Advance();
  }
  return Fail("statement not ended with ';'");
}

// The rest of this line and every following line that is empty or begins with a blank.
void CDbcBuilder::SkipIndentedLines() {
  SkipLine();
  while (!AtEnd()) {
    Advance();  // the line feed
    if (AtEnd() || !IsBlank(Peek())) return;
    SkipLine();
  }
}

DbcMessage* CDbcBuilder::MessageById(uint64_t qwRawId) {
  const bool bExtended = (qwRawId & EXTENDED_FLAG) != 0;
  return const_cast<DbcMessage*>(m_db.Find(bExtended, static_cast<uint32_t>(qwRawId & ~EXTENDED_FLAG)));
}

DbcSignal* CDbcBuilder::SignalByName(DbcMessage* pMessage, const std::string& name) {
  if (pMessage == nullptr) return nullptr;
  const auto found = m_signalIndex.find(SignalKey(*pMessage, name));
  if (found == m_signalIndex.end()) return nullptr;
  return &m_db.m_messages[found->second.first].m_signals[found->second.second];
}

bool CDbcBuilder::ReadMessage() {
  uint64_t qwId = 0;
  uint64_t qwLength = 0;
  DbcMessage message;
  const Mark start = Here();
  if (!ReadUnsigned(qwId, UINT32_MAX, "an identifier")) return false;
  if (!ReadIdent(message.m_strName) || !Expect(':') || !ReadUnsigned(qwLength, 64, "a length")) return false;
  if (!ReadIdent(message.m_strSender)) return false;
  if (qwId == INDEPENDENT_SIGNALS_ID) {
    m_discarded = DbcMessage();
    m_discarded.m_byLength = 64;
    m_pCurrent = &m_discarded;
    return true;
  }
  message.m_bExtended = (qwId & EXTENDED_FLAG) != 0;
  message.m_dwId = static_cast<uint32_t>(qwId & ~EXTENDED_FLAG);
  message.m_byLength = static_cast<uint8_t>(qwLength);
  if (message.m_dwId > (message.m_bExtended ? 0x1FFFFFFFu : 0x7FFu))
    return FailAt(start, "identifier " + std::to_string(qwId) + " is not a CAN identifier");
  const uint32_t dwKey = message.m_dwId | (message.m_bExtended ? EXTENDED_FLAG : 0);
  if (m_db.m_index.contains(dwKey)) return FailAt(start, "identifier " + std::to_string(qwId) + " given twice");
  if (m_db.m_messages.size() >= DBC_MAX_MESSAGES) return FailAt(start, "too many messages (more than " + std::to_string(DBC_MAX_MESSAGES) + ")");
  m_db.m_index.emplace(dwKey, static_cast<uint32_t>(m_db.m_messages.size()));
  m_db.m_messages.push_back(std::move(message));
  m_pCurrent = &m_db.m_messages.back();
  return true;
}

bool CDbcBuilder::ReadSignal() {
  if (m_pCurrent == nullptr) return Fail("SG_ outside a message");
  DbcMessage& message = *m_pCurrent;
  DbcSignal signal;
  const Mark start = Here();
  if (!ReadIdent(signal.m_strName)) return false;
  if (m_pCurrent != &m_discarded && m_signalIndex.contains(SignalKey(message, signal.m_strName)))
    return FailAt(start, "signal " + signal.m_strName + " given twice");
  const Mark mux = Here();
  if (Peek() != ':') {
    std::string indicator;
    if (!ReadIdent(indicator)) return false;
    if (indicator == "M") {
      if (message.m_nMultiplexer >= 0) return FailAt(mux, "a second multiplexer");
      signal.m_bMultiplexer = true;
    } else {
      int64_t nValue = 0;
      const char* pEnd = indicator.data() + indicator.size();
      const auto [pStop, ec] = std::from_chars(indicator.data() + 1, pEnd, nValue);
      if (indicator[0] != 'm' || indicator.size() < 2 || ec != std::errc() || pStop != pEnd || nValue < 0)
        return FailAt(mux, "'M' or 'm' and a number expected, not '" + indicator + "'");
      signal.m_nMultiplexValue = nValue;
    }
  }
  uint64_t qwStart = 0, qwSize = 0;
  if (!Expect(':') || !ReadUnsigned(qwStart, 511, "a start bit") || !Expect('|') ||
      !ReadUnsigned(qwSize, 64, "a size", 1) || !Expect('@'))
    return false;
  const uint8_t byOrder = Peek();
  if (byOrder != '0' && byOrder != '1') return Fail("'0' or '1' expected");
  Advance();
  const uint8_t bySign = Peek();
  if (bySign != '+' && bySign != '-') return Fail("'+' or '-' expected");
  Advance();
  signal.m_wStartBit = static_cast<uint16_t>(qwStart);
  signal.m_bySize = static_cast<uint8_t>(qwSize);
  signal.m_bBigEndian = byOrder == '0';
  signal.m_bSigned = bySign == '-';
  if (!Expect('(') || !ReadNumber(signal.m_dFactor) || !Expect(',') || !ReadNumber(signal.m_dOffset) || !Expect(')') ||
      !Expect('[') || !ReadNumber(signal.m_dMinimum) || !Expect('|') || !ReadNumber(signal.m_dMaximum) ||
      !Expect(']') || !ReadString(signal.m_strUnit))
    return false;
  // Receivers: names separated by commas or blanks, to the end of the line.
  SkipSpacesInLine();
  while (!AtEnd() && IsIdentStart(Peek())) {
    if (!TakeEntry()) return false;
    signal.m_receivers.emplace_back();
    if (!ReadIdent(signal.m_receivers.back())) return false;
    SkipSpacesInLine();
    if (Peek() == ',') {
      Advance();
      SkipSpacesInLine();
    }
  }
  if (!PlaceSignal(signal, message.m_byLength)) {
    return FailAt(start, "signal " + signal.m_strName + " does not fit in the message's " + std::to_string(message.m_byLength) +
                " bytes");
  }
  if (message.m_signals.size() >= DBC_MAX_SIGNALS_PER_MESSAGE)
    return Fail("too many signals in a message (more than " + std::to_string(DBC_MAX_SIGNALS_PER_MESSAGE) + ")");
  if (!TakeEntry()) return false;
  if (m_pCurrent != &m_discarded) {
    const auto index = std::make_pair(static_cast<uint32_t>(m_pCurrent - m_db.m_messages.data()),
                                      static_cast<uint32_t>(message.m_signals.size()));
    m_signalIndex.emplace(SignalKey(message, signal.m_strName), index);
  }
  if (signal.m_bMultiplexer) message.m_nMultiplexer = static_cast<int>(message.m_signals.size());
  message.m_signals.push_back(std::move(signal));
  return true;
}

// CM_ [BU_ name | BO_ id | SG_ id name | EV_ name] "text" ;
bool CDbcBuilder::ReadComment() {
  if (!TakeEntry()) return false;
  SkipBlank();
  std::string text;
  std::string* pTarget = nullptr;
  if (Peek() != '"') {
    std::string kind, name;
    uint64_t qwId = 0;
    if (!ReadIdent(kind)) return false;
    if (kind == "BO_" || kind == "SG_") {
      if (!ReadUnsigned(qwId, UINT32_MAX, "an identifier")) return false;
      DbcMessage* pMessage = MessageById(qwId);
      if (kind == "BO_") {
        if (pMessage) pTarget = &pMessage->m_strComment;
      } else {
        if (!ReadIdent(name)) return false;
        if (DbcSignal* pSignal = SignalByName(pMessage, name)) pTarget = &pSignal->m_strComment;
      }
    } else if (kind == "BU_" || kind == "EV_") {
      if (!ReadIdent(name)) return false;
    } else {
      return Fail("BU_, BO_, SG_ or EV_ expected");
    }
  }
  if (!ReadString(text) || !Expect(';')) return false;
  if (pTarget) *pTarget = std::move(text);
  return true;
}

bool CDbcBuilder::ReadValueTexts(std::vector<std::pair<int64_t, std::string>>& texts) {
  texts.clear();
  while (true) {
    SkipBlank();
    if (Peek() == ';') break;
    if (!TakeEntry()) return false;
    int64_t nValue = 0;
    std::string text;
    if (!ReadInteger(nValue) || !ReadString(text)) return false;
    texts.emplace_back(nValue, std::move(text));
  }
  Advance();
  // Sorted for lookups; of a value given twice the last text holds.
  std::stable_sort(texts.begin(), texts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  auto last = std::unique(texts.rbegin(), texts.rend(), [](const auto& a, const auto& b) { return a.first == b.first; });
  texts.erase(texts.begin(), last.base());
  return true;
}

// VAL_ id signal (value "text")* ;   (VAL_ of an environment variable is skipped)
bool CDbcBuilder::ReadValues() {
  SkipBlank();
  if (Peek() < '0' || Peek() > '9') return SkipStatement();
  if (!TakeEntry()) return false;
  uint64_t qwId = 0;
  std::string name;
  std::vector<std::pair<int64_t, std::string>> texts;
  if (!ReadUnsigned(qwId, UINT32_MAX, "an identifier") || !ReadIdent(name) || !ReadValueTexts(texts)) return false;
  if (DbcSignal* pSignal = SignalByName(MessageById(qwId), name)) {
    // Keyed by the raw value as decoding gives it (a signed signal's sign-extended), however
    // the file wrote it.
    if (pSignal->m_bySize < 64) {
      const unsigned nUnused = 64 - pSignal->m_bySize;
      for (auto& entry : texts) {
        const uint64_t qwBits = static_cast<uint64_t>(entry.first) << nUnused;
        entry.first = pSignal->m_bSigned ? static_cast<int64_t>(qwBits) >> nUnused : static_cast<int64_t>(qwBits >> nUnused);
      }
      std::stable_sort(texts.begin(), texts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    pSignal->m_valueTexts = std::move(texts);
  }
  return true;
}

bool CDbcBuilder::ReadValueTable() {
  std::string name;
  if (!ReadIdent(name) || !TakeEntry()) return false;
  m_db.m_valueTables.emplace_back(std::move(name), std::vector<std::pair<int64_t, std::string>>());
  return ReadValueTexts(m_db.m_valueTables.back().second);
}

// SIG_VALTYPE_ id signal : 1|2 ;   1: IEEE single (32 bits), 2: double (64 bits)
bool CDbcBuilder::ReadValueType() {
  if (!TakeEntry()) return false;
  uint64_t qwId = 0, qwType = 0;
  std::string name;
  if (!ReadUnsigned(qwId, UINT32_MAX, "an identifier") || !ReadIdent(name) || !Expect(':') ||
      !ReadUnsigned(qwType, 2, "a value type"))
    return false;
  if (DbcSignal* pSignal = SignalByName(MessageById(qwId), name)) {
    const unsigned nBits = qwType == 1 ? 32 : qwType == 2 ? 64 : pSignal->m_bySize;
    if (pSignal->m_bySize != nBits) return Fail("signal " + name + " has " + std::to_string(pSignal->m_bySize) + " bits, not " + std::to_string(nBits));
    pSignal->m_eValueType = qwType == 1 ? EDbcValueType::FLOAT32 : qwType == 2 ? EDbcValueType::FLOAT64 : EDbcValueType::INTEGER;
  }
  return Expect(';');
}

// BA_ "GenMsgCycleTime" BO_ id ms ;   other attributes are skipped.
bool CDbcBuilder::ReadAttribute() {
  std::string name;
  if (!ReadString(name)) return false;
  SkipBlank();
  if (name != "GenMsgCycleTime" || !IsIdentStart(Peek())) return SkipStatement();
  std::string kind;
  if (!ReadIdent(kind)) return false;
  if (kind != "BO_") return SkipStatement();
  uint64_t qwId = 0;
  double dMs = 0.0;
  if (!ReadUnsigned(qwId, UINT32_MAX, "an identifier") || !ReadNumber(dMs) || !Expect(';')) return false;
  if (DbcMessage* pMessage = MessageById(qwId); pMessage && dMs >= 0.0 && dMs <= UINT32_MAX)
    pMessage->m_nCycleTimeMs = static_cast<uint32_t>(dMs);
  return true;
}

bool CDbcBuilder::Read() {
  std::string keyword;
  while (true) {
    SkipBlank();
    if (AtEnd()) return true;
    if (!IsIdentStart(Peek())) return Fail("a keyword expected");
    if (!ReadIdent(keyword)) return false;
    if (keyword != "SG_") m_pCurrent = nullptr;
    bool bRead = true;
    if (keyword == "BO_") bRead = ReadMessage();
    else if (keyword == "SG_") bRead = ReadSignal();
    else if (keyword == "CM_") bRead = ReadComment();
    else if (keyword == "VAL_") bRead = ReadValues();
    else if (keyword == "VAL_TABLE_") bRead = ReadValueTable();
    else if (keyword == "SIG_VALTYPE_") bRead = ReadValueType();
    else if (keyword == "BA_") bRead = ReadAttribute();
    else if (keyword == "VERSION") bRead = ReadString(keyword);
    else if (keyword == "NS_" || keyword == "BU_" || keyword == "BS_") SkipIndentedLines();
    else bRead = SkipStatement();
    if (!bRead) return false;
  }
}

std::string DbcReadResult::ErrorText() const {
  if (m_nLine == 0) return m_strError;
  return "line " + std::to_string(m_nLine) + ", column " + std::to_string(m_nColumn) + ": " + m_strError;
}

DbcReadResult ReadDbc(std::span<const uint8_t> text) {
  DbcReadResult result;
  if (text.size() > DBC_MAX_FILE_BYTES) {
    result.m_strError = "larger than " + std::to_string(DBC_MAX_FILE_BYTES >> 20) + " MB";
    return result;
  }
  CDbcBuilder builder(text);
  if (!builder.Read()) {
    result.m_nLine = builder.Line();
    result.m_nColumn = builder.Column();
    result.m_strError = builder.Error();
    return result;
  }
  result.m_database = std::move(builder.Database());
  result.m_bOk = true;
  return result;
}

DbcReadResult ReadDbcFile(const std::string& path) {
  DbcReadResult result;
  std::FILE* pFile = std::fopen(path.c_str(), "rbe");
  if (pFile == nullptr) {
    result.m_strError = path + ": " + std::strerror(errno);
    return result;
  }
  std::vector<uint8_t> bytes;
  uint8_t abyBlock[65536];
  std::size_t nRead = 0;
  while ((nRead = std::fread(abyBlock, 1, sizeof abyBlock, pFile)) > 0) {
    if (bytes.size() + nRead > DBC_MAX_FILE_BYTES) {
      std::fclose(pFile);
      result.m_strError = path + ": larger than " + std::to_string(DBC_MAX_FILE_BYTES >> 20) + " MB";
      return result;
    }
    bytes.insert(bytes.end(), abyBlock, abyBlock + nRead);
  }
  const bool bFailed = std::ferror(pFile) != 0;
  const int nErrno = errno;
  std::fclose(pFile);
  if (bFailed) {
    result.m_strError = path + ": " + std::strerror(nErrno);
    return result;
  }
  return ReadDbc(bytes);
}
