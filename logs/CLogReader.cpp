#include "logs/CLogReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "logs/CandumpReader.h"
#include "logs/RDataLogLine.h"

namespace {

constexpr std::size_t READ_CHUNK = 65536;
// Lines looked at to recognise a format; a log says what it is well before.
constexpr unsigned DETECT_LINES = 64;

std::string ErrorText(const char* pszCall, int nError) {
  const char* pszText = strerrordesc_np(nError);
  return std::string(pszCall) + ": " + (pszText != nullptr ? pszText : "error " + std::to_string(nError));
}

std::string_view WithoutCr(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

bool IsBlankLine(std::string_view line) {
  for (const char ch : line)
    if (ch != ' ' && ch != '\t' && ch != '\r') return false;
  return true;
}

// What one line says about its format: UNKNOWN when it says nothing or is no line of any.
ELogFormat FormatOfLine(std::string_view line) {
  if (ParseRDataLogLine(WithoutCr(line))) return ELogFormat::RDATA_LOG;
  CandumpEntry entry;
  const CandumpLineKind eKind = ParseCandumpLine(line, entry);
  if (eKind != CandumpLineKind::Refused && eKind != CandumpLineKind::Blank) return ELogFormat::CANDUMP;
  CAscParser asc;
  ReceivedFrame record;
  const EAscLine eAsc = asc.Parse(line, record);
  // A comment alone could open any text file.
  if (eAsc == EAscLine::FRAME || (eAsc == EAscLine::NO_FRAME && !line.starts_with("//"))) return ELogFormat::ASC;
  return ELogFormat::UNKNOWN;
}

}  // namespace

ELogFormat DetectLogFormat(std::string_view head) {
  unsigned nLines = 0;
  while (!head.empty() && nLines < DETECT_LINES) {
    const std::size_t nEnd = head.find('\n');
    const std::string_view line = head.substr(0, nEnd);
    head.remove_prefix(nEnd == std::string_view::npos ? head.size() : nEnd + 1);
    if (IsBlankLine(line) || line.size() > LOG_MAX_LINE) continue;
    ++nLines;
    const ELogFormat eFormat = FormatOfLine(line);
    if (eFormat != ELogFormat::UNKNOWN) return eFormat;
  }
  return ELogFormat::UNKNOWN;
}

const char* LogFormatName(ELogFormat eFormat) {
  switch (eFormat) {
    case ELogFormat::CANDUMP: return "candump";
    case ELogFormat::ASC: return "ASC";
    case ELogFormat::RDATA_LOG: return "receive-data log";
    default: return "unknown";
  }
}

ELogRead CLogLineParser::Parse(std::string_view line, ReceivedFrame& record) {
  if (line.size() > LOG_MAX_LINE) {
    m_pszReason = "line too long";
    return ELogRead::SKIPPED;
  }
  if (IsBlankLine(line)) return ELogRead::END;
  switch (m_eFormat) {
    case ELogFormat::CANDUMP: {
      CandumpEntry entry;
      switch (ParseCandumpLine(line, entry)) {
        case CandumpLineKind::Frame:
          record.m_frame = entry.m_record.m_frame;
          record.m_arrival = entry.m_record.m_arrival;
          return ELogRead::FRAME;
        case CandumpLineKind::Blank: return ELogRead::END;
        case CandumpLineKind::ErrorFrame: m_pszReason = "an error frame"; break;
        case CandumpLineKind::FdFrame: m_pszReason = "a CAN FD frame"; break;
        case CandumpLineKind::XlFrame: m_pszReason = "a CAN XL frame"; break;
        default: m_pszReason = entry.m_pszReason; break;
      }
      return ELogRead::SKIPPED;
    }
    case ELogFormat::ASC:
      switch (m_asc.Parse(line, record)) {
        case EAscLine::FRAME: return ELogRead::FRAME;
        case EAscLine::NO_FRAME: return ELogRead::END;
        default: m_pszReason = m_asc.Reason(); return ELogRead::SKIPPED;
      }
    case ELogFormat::RDATA_LOG:
      if (const auto parsed = ParseRDataLogLine(WithoutCr(line))) {
        record.m_frame = parsed->m_frame;
        record.m_arrival = parsed->m_arrival;
        return ELogRead::FRAME;
      }
      m_pszReason = "not a received frame";
      return ELogRead::SKIPPED;
    default:
      m_pszReason = "not a log";
      return ELogRead::SKIPPED;
  }
}

bool CLogReader::Fail(const char* pszCall, int nError) {
  m_lastError = ErrorText(pszCall, nError);
  m_bFailed = true;
  return false;
}

bool CLogReader::Open(const std::string& path) {
  *this = CLogReader();
  m_fd.Reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!m_fd.IsValid()) return Fail("open", errno);
  struct stat st {};
  if (::fstat(m_fd.Get(), &st) != 0) return Fail("fstat", errno);
  if (S_ISDIR(st.st_mode)) return Fail("read", EISDIR);
  m_qwFileSize = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
  // The first block says what the file is; it stays in the buffer for the first lines.
  m_buffer.resize(LOG_DETECT_BYTES);
  while (m_nEnd < m_buffer.size()) {
    const ssize_t n = ::read(m_fd.Get(), m_buffer.data() + m_nEnd, m_buffer.size() - m_nEnd);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Fail("read", errno);
    if (n == 0) {
      m_bEof = true;
      break;
    }
    m_nEnd += static_cast<std::size_t>(n);
  }
  const ELogFormat eFormat = DetectLogFormat({m_buffer.data(), m_nEnd});
  if (eFormat == ELogFormat::UNKNOWN) {
    m_lastError = "not a candump, ASC or receive-data log";
    m_bFailed = true;
    return false;
  }
  m_parser = CLogLineParser(eFormat);
  return true;
}

bool CLogReader::Refill() {
  if (m_bEof || m_bFailed) return false;
  if (m_nPos == m_nEnd) m_nPos = m_nEnd = 0;
  if (m_buffer.size() < READ_CHUNK) m_buffer.resize(READ_CHUNK);
  for (;;) {
    const ssize_t n = ::read(m_fd.Get(), m_buffer.data() + m_nEnd, m_buffer.size() - m_nEnd);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Fail("read", errno);
    if (n == 0) {
      m_bEof = true;
      return false;
    }
    m_nEnd += static_cast<std::size_t>(n);
    return true;
  }
}

bool CLogReader::ReadLine(bool& bTooLong) {
  m_line.clear();
  bTooLong = false;
  m_qwLineOffset = m_qwConsumed;
  bool bAny = false;
  for (;;) {
    if (m_nPos == m_nEnd && !Refill()) return bAny;
    bAny = true;
    const char* pStart = m_buffer.data() + m_nPos;
    const std::size_t nAvailable = m_nEnd - m_nPos;
    const void* pNewline = std::memchr(pStart, '\n', nAvailable);
    const std::size_t nTake = pNewline != nullptr ? static_cast<std::size_t>(static_cast<const char*>(pNewline) - pStart) : nAvailable;
    // Only the first LOG_MAX_LINE + 1 bytes are kept: enough to know the line is too long.
    if (m_line.size() <= LOG_MAX_LINE) m_line.append(pStart, std::min(nTake, LOG_MAX_LINE + 1 - m_line.size()));
    if (m_line.size() > LOG_MAX_LINE) bTooLong = true;
    const std::size_t nConsumed = nTake + (pNewline != nullptr ? 1 : 0);
    m_nPos += nConsumed;
    m_qwConsumed += nConsumed;
    if (pNewline != nullptr) return true;
  }
}

ELogRead CLogReader::Next(ReceivedFrame& record) {
  if (m_parser.Format() == ELogFormat::UNKNOWN) return ELogRead::FAILED;
  bool bTooLong = false;
  while (ReadLine(bTooLong)) {
    ++m_qwLine;
    const ELogRead eRead = m_parser.Parse(m_line, record);
    if (eRead == ELogRead::END) continue;
    if (eRead == ELogRead::SKIPPED) {
      m_pszReason = m_parser.Reason();
      return eRead;
    }
    record.m_qwSequence = ++m_qwFrames;
    return eRead;
  }
  return m_bFailed ? ELogRead::FAILED : ELogRead::END;
}

bool CLogLineReader::Open(const std::string& path, const CLogLineParser& parser) {
  m_fd.Reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  m_parser = parser;
  return m_fd.IsValid();
}

bool CLogLineReader::ReadFrameAt(uint64_t qwOffset, ReceivedFrame& record) {
  m_line.resize(LOG_MAX_LINE + 1);
  ssize_t n;
  do {
    n = ::pread(m_fd.Get(), m_line.data(), m_line.size(), static_cast<off_t>(qwOffset));
  } while (n < 0 && errno == EINTR);
  if (n <= 0) return false;
  m_line.resize(static_cast<std::size_t>(n));
  if (const std::size_t nEnd = m_line.find('\n'); nEnd != std::string::npos) m_line.resize(nEnd);
  // A copy: reading a line again must not move an ASC file's relative clock.
  CLogLineParser parser = m_parser;
  return parser.Parse(m_line, record) == ELogRead::FRAME;
}
