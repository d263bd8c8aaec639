#include "logs/CLogReader.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "logs/CandumpReader.h"
#include "logs/RDataLogLine.h"

namespace {

// Lines looked at to recognise a format; a log says what it is well before.
constexpr unsigned DETECT_LINES = 64;

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

bool CLogReader::Open(const std::string& path) {
  *this = CLogReader();
  if (!m_lines.Open(path)) return false;
  // The first block says what the file is; it is read again as the first lines.
  const std::string_view head = m_lines.Head(LOG_DETECT_BYTES);
  if (m_lines.Failed()) return false;
  const ELogFormat eFormat = DetectLogFormat(head);
  if (eFormat == ELogFormat::UNKNOWN) {
    m_lastError = "not a candump, ASC or receive-data log";
    return false;
  }
  m_parser = CLogLineParser(eFormat);
  return true;
}

ELogRead CLogReader::Next(ReceivedFrame& record) {
  if (m_parser.Format() == ELogFormat::UNKNOWN) return ELogRead::FAILED;
  for (std::string_view line; m_lines.Next(line);) {
    const ELogRead eRead = m_parser.Parse(line, record);
    if (eRead == ELogRead::END) continue;
    if (eRead == ELogRead::SKIPPED) {
      m_pszReason = m_parser.Reason();
      return eRead;
    }
    record.m_qwSequence = ++m_qwFrames;
    return eRead;
  }
  return m_lines.Failed() ? ELogRead::FAILED : ELogRead::END;
}

bool CLogLineReader::Open(const std::string& path, const CLogLineParser& parser) {
  m_fd.Reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  m_parser = parser;
  m_block.clear();
  return m_fd.IsValid();
}

bool CLogLineReader::LineAt(uint64_t qwOffset, std::string_view& line) {
  for (int nRead = 0;; ++nRead) {
    if (qwOffset >= m_qwBlockAt && qwOffset - m_qwBlockAt < m_block.size()) {
      const std::string_view rest = std::string_view(m_block).substr(static_cast<std::size_t>(qwOffset - m_qwBlockAt));
      const std::size_t nEnd = rest.find('\n');
      if (nEnd != std::string_view::npos || m_bBlockAtEnd || rest.size() > LOG_MAX_LINE) {
        line = rest.substr(0, std::min(nEnd, LOG_MAX_LINE + 1));
        return true;
      }
    }
    if (nRead == 1) return false;  // a fresh block always holds the line
    m_block.resize(BLOCK_SIZE);
    ssize_t n;
    do {
      n = ::pread(m_fd.Get(), m_block.data(), m_block.size(), static_cast<off_t>(qwOffset));
    } while (n < 0 && errno == EINTR);
    m_block.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    m_qwBlockAt = qwOffset;
    m_bBlockAtEnd = m_block.size() < BLOCK_SIZE;
    if (n <= 0) return false;
  }
}

bool CLogLineReader::ReadFrameAt(uint64_t qwOffset, ReceivedFrame& record) {
  std::string_view line;
  if (!LineAt(qwOffset, line)) return false;
  // A copy: reading a line again must not move an ASC file's relative clock.
  CLogLineParser parser = m_parser;
  return parser.Parse(line, record) == ELogRead::FRAME;
}
