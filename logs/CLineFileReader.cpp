#include "logs/CLineFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr std::size_t READ_CHUNK = 65536;

}  // namespace

bool CLineFileReader::Fail(const char* pszCall, int nError) {
  const char* pszText = strerrordesc_np(nError);
  m_lastError = std::string(pszCall) + ": " + (pszText != nullptr ? pszText : "error " + std::to_string(nError));
  m_bFailed = true;
  return false;
}

bool CLineFileReader::Open(const std::string& path) {
  *this = CLineFileReader(m_nMaxLine);
  // O_NONBLOCK: a FIFO without a writer must not hold the program at open.
  m_fd.Reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!m_fd.IsValid()) return Fail("open", errno);
  struct stat st {};
  if (::fstat(m_fd.Get(), &st) != 0) return Fail("fstat", errno);
  if (S_ISDIR(st.st_mode)) return Fail("read", EISDIR);
  m_qwFileSize = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
  return true;
}

bool CLineFileReader::Refill(std::size_t nWanted) {
  if (m_bEof || m_bFailed) return false;
  if (m_nPos > 0) {
    std::memmove(m_buffer.data(), m_buffer.data() + m_nPos, m_nEnd - m_nPos);
    m_nEnd -= m_nPos;
    m_nPos = 0;
  }
  if (m_buffer.size() < nWanted) m_buffer.resize(nWanted);
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

std::string_view CLineFileReader::Head(std::size_t nBytes) {
  while (m_nEnd - m_nPos < nBytes && Refill(nBytes)) {
  }
  return {m_buffer.data() + m_nPos, std::min(nBytes, m_nEnd - m_nPos)};
}

bool CLineFileReader::Next(std::string_view& line) {
  m_line.clear();
  m_qwLineOffset = m_qwConsumed;
  bool bAny = false;
  for (;;) {
    if (m_nPos == m_nEnd && !Refill(READ_CHUNK)) {
      // The last line may lack its line feed; a line cut by a read error is no line.
      if (!bAny || m_bFailed) return false;
      break;
    }
    bAny = true;
    const char* pStart = m_buffer.data() + m_nPos;
    const std::size_t nAvailable = m_nEnd - m_nPos;
    const void* pNewline = std::memchr(pStart, '\n', nAvailable);
    const std::size_t nTake =
        pNewline != nullptr ? static_cast<std::size_t>(static_cast<const char*>(pNewline) - pStart) : nAvailable;
    // Only the first bound + 1 bytes are kept: enough to know the line is too long.
    if (m_line.size() <= m_nMaxLine) m_line.append(pStart, std::min(nTake, m_nMaxLine + 1 - m_line.size()));
    const std::size_t nConsumed = nTake + (pNewline != nullptr ? 1 : 0);
    m_nPos += nConsumed;
    m_qwConsumed += nConsumed;
    if (pNewline != nullptr) break;
  }
  ++m_qwLine;
  line = m_line;
  return true;
}
