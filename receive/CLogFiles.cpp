#include "receive/CLogFiles.h"

#include "text/Cp949Text.h"

namespace {

// Title and message of each report, by kind: [0] receive data, [1] event.
struct KindTexts {
  const char* pszErrorTitle;
  const char* pszOpenFailed;
  const char* pszWriteFailed;
  const char* pszLimitTitle;
  const char* pszLimitReached;
  const char* pszMovedTitle;
  const char* pszMovedAside;  // followed by the name the full file now has
};
constexpr KindTexts kTexts[2] = {
    {"[수신데이터 로그파일 에러]", "수신데이터 로그파일을 여는데 실패했읍니다",
     "수신데이터 로그파일에 기록하는데 실패했읍니다", "[수신데이터 로그동작 중지]",
     "수신데이터 로그파일이 100MB를 초과하여 로깅동작을 중지합니다", "[수신데이터 로그파일 보관]",
     "수신데이터 로그파일이 100MB를 초과하여 새 파일을 시작합니다. 이전 파일: "},
    {"[이벤트 로그파일 에러]", "이벤트 로그파일을 여는데 실패했읍니다",
     "이벤트 로그파일에 기록하는데 실패했읍니다", "[이벤트 로그 동작 중지]",
     "이벤트 로그파일이 100MB를 초과하여 로깅동작을 중지합니다", "[이벤트 로그파일 보관]",
     "이벤트 로그파일이 100MB를 초과하여 새 파일을 시작합니다. 이전 파일: "},
};
const KindTexts& TextsOf(int nKind) { return kTexts[nKind == LOG_EVENT ? 1 : 0]; }

// Length of the well-formed UTF-8 sequence at the start of the text, 0 if there is none.
std::size_t SequenceLength(std::string_view text) {
  const auto by = static_cast<unsigned char>(text[0]);
  std::size_t n = 0;
  if (by < 0x80) n = 1;
  else if (by >= 0xC2 && by <= 0xDF) n = 2;
  else if (by >= 0xE0 && by <= 0xEF) n = 3;
  else if (by >= 0xF0 && by <= 0xF4) n = 4;
  if (n == 0 || n > text.size()) return 0;
  for (std::size_t i = 1; i < n; ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0;
  return n;
}

// A path as an event shows it: a control character (a line end planted in a setting) would
// break the event log's lines, so it shows as "?".
std::string ShownPath(std::string_view path) {
  std::string shown(path);
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return shown;
}

void AppendWithLineEnds(std::string_view text, std::string& out) {
  for (const char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
}

}  // namespace

void ConvertLogText(std::string_view utf8, std::string& out) {
  out.clear();
  if (const auto whole = Utf8ToCp949(utf8)) {
    AppendWithLineEnds(*whole, out);
    return;
  }
  // Rare: convert character by character so one foreign character costs one "?", not the line.
  std::size_t i = 0;
  while (i < utf8.size()) {
    const std::size_t n = SequenceLength(utf8.substr(i));
    const auto one = n > 0 ? Utf8ToCp949(utf8.substr(i, n)) : std::nullopt;
    AppendWithLineEnds(one ? std::string_view(*one) : std::string_view("?"), out);
    i += n > 0 ? n : 1;  // a stray byte is one "?", an unconvertible character too
  }
}

CLogFiles::CLogFiles(TimeSource pfnNow) : m_pfnNow(pfnNow) {}

CLogFiles::~CLogFiles() {
  m_pDisplay = nullptr;  // the window is gone by now; failures at close reach nothing
  CloseLogFiles();
}

CLogFiles::LogState* CLogFiles::StateOf(int nKind) {
  return nKind == LOG_RDATA ? &m_rdata : nKind == LOG_EVENT ? &m_event : nullptr;
}
const CLogFiles::LogState* CLogFiles::StateOf(int nKind) const {
  return const_cast<CLogFiles*>(this)->StateOf(nKind);
}

void CLogFiles::SetPath(int nKind, std::string path) {
  if (LogState* p = StateOf(nKind)) p->m_path = std::move(path);
}
std::string CLogFiles::Path(int nKind) const {
  const LogState* p = StateOf(nKind);
  return p ? p->m_path : std::string();
}
void CLogFiles::SetLogging(int nKind, bool bOn) {
  if (LogState* p = StateOf(nKind)) p->m_bLogging = bOn;
}
bool CLogFiles::IsLogging(int nKind) const {
  const LogState* p = StateOf(nKind);
  return p && p->m_bLogging;
}
bool CLogFiles::IsOpen(int nKind) const {
  const LogState* p = StateOf(nKind);
  return p && p->m_file.IsOpen();
}
bool CLogFiles::HasWriteError(int nKind) const {
  const LogState* p = StateOf(nKind);
  return p && p->m_bWriteError;
}
int CLogFiles::FailureErrno(int nKind) const {
  const LogState* p = StateOf(nKind);
  return p && p->m_bWriteError ? p->m_nFailureErrno : 0;
}

std::string_view CLogFiles::TimeStamp() { return TimeStamp(m_pfnNow ? m_pfnNow() : std::time(nullptr)); }

std::string_view CLogFiles::TimeStamp(std::time_t t) {
  if (t != m_tStamp) {  // formatting once a second keeps the receive path cheap
    struct tm tmLocal {};
    localtime_r(&t, &tmLocal);
    if (std::strftime(m_szStamp, sizeof m_szStamp, LOG_STAMP_FORMAT, &tmLocal) == 0) m_szStamp[0] = 0;
    m_tStamp = t;
  }
  return m_szStamp;
}

void CLogFiles::Fail(int nKind, EFailure eFailure) {
  LogState& state = *StateOf(nKind);
  state.m_nFailureErrno = state.m_file.LastErrno();
  state.m_file.Close();
  state.m_bWriteError = true;
  state.m_nLinesSinceFlush = 0;
  state.m_bLogging = false;  // before the event: a failing event log is not written again
  // The path and the reason follow the text, as a port's failures give them.
  const KindTexts& texts = TextsOf(nKind);
  std::string detail = eFailure == FAIL_OPEN ? texts.pszOpenFailed : texts.pszWriteFailed;
  detail += " (" + ShownPath(state.m_path) + ": " + state.m_file.Error() + ")";
  LogEvent(FormatEventText(texts.pszErrorTitle, detail), EVENT_RED);
}

void CLogFiles::OpenLogFile(int nKind) {
  LogState* p = StateOf(nKind);
  if (p == nullptr) return;
  if (p->m_file.IsOpen()) CloseLogFile(nKind);
  if (!p->m_file.Open(p->m_path, LOG_SIZE_LIMIT)) {
    Fail(nKind, FAIL_OPEN);
    return;
  }
  p->m_bWriteError = false;
  p->m_nLinesSinceFlush = 0;
  const std::string& movedTo = p->m_file.RenamedTo();
  if (movedTo.empty()) return;
  const KindTexts& texts = TextsOf(nKind);
  LogEvent(FormatEventText(texts.pszMovedTitle, texts.pszMovedAside + ShownPath(movedTo)), EVENT_BLUE);
}

bool CLogFiles::FlushAndClose(LogState& state) {
  const bool bFlushed = state.m_bWriteError || state.m_file.Flush();
  state.m_file.Close();
  state.m_bWriteError = false;
  state.m_nLinesSinceFlush = 0;
  return bFlushed;
}

void CLogFiles::CloseLogFile(int nKind) {
  LogState* p = StateOf(nKind);
  if (p == nullptr || !p->m_file.IsOpen()) return;
  // Up to nine lines wait in memory; losing them silently would hide a full disk.
  if (!FlushAndClose(*p)) Fail(nKind, FAIL_WRITE);
}

void CLogFiles::CloseLogFiles() {
  CloseLogFile(LOG_EVENT);
  CloseLogFile(LOG_RDATA);
}

void CLogFiles::WriteLogLine(int nKind, std::string_view line) {
  LogState* p = StateOf(nKind);
  if (p == nullptr || !p->m_file.IsOpen() || p->m_bWriteError || !p->m_bLogging) return;
  ConvertLogText(line, m_converted);
  p->m_file.Append(m_converted);
  if (++p->m_nLinesSinceFlush >= FLUSH_LINES) {
    p->m_nLinesSinceFlush = 0;
    if (!p->m_file.Flush()) {
      Fail(nKind, FAIL_WRITE);
      return;
    }
  }
  if (p->m_file.Length() < LOG_SIZE_LIMIT) return;
  // The line that reached the limit is written whole; then this kind stops.
  if (!FlushAndClose(*p)) {
    Fail(nKind, FAIL_WRITE);
    return;
  }
  p->m_bLogging = false;
  const KindTexts& texts = TextsOf(nKind);
  LogEvent(FormatEventText(texts.pszLimitTitle, texts.pszLimitReached), EVENT_BLUE);
}

void CLogFiles::WriteStampedLine(int nKind, std::string_view text) {
  WriteStampedLine(nKind, text, m_pfnNow ? m_pfnNow() : std::time(nullptr));
}

void CLogFiles::WriteStampedLine(int nKind, std::string_view text, std::time_t tWhen) {
  m_line.assign(TimeStamp(tWhen));
  m_line += "  ";
  m_line += text;
  m_line += '\n';
  WriteLogLine(nKind, m_line);
}

void CLogFiles::LogEvent(std::string_view text, COLORREF colour) {
  if (m_pDisplay) m_pDisplay->AppendEvent(text, colour);
  if (m_event.m_bLogging) WriteStampedLine(LOG_EVENT, text);
}
