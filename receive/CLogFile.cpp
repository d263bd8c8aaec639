#include "receive/CLogFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

CLogFile::~CLogFile() { Close(); }

// Keeps the reason (taken before Close can change errno) and gives up the file.
bool CLogFile::Failed(int nErrno) {
  m_nErrno = nErrno;
  Close();
  return false;
}

bool CLogFile::OpenLocked(const std::string& path) {
  // O_NONBLOCK: a path naming a FIFO without a reader fails instead of hanging the UI, and
  // a stalled reader later shows as a write failure; regular files ignore the flag.
  m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0644);
  if (m_fd < 0) return Failed(errno);
  struct stat st {};
  if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(m_fd, &st) != 0) return Failed(errno);
  m_qwLength = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
  return true;
}

bool CLogFile::Open(const std::string& path, uint64_t qwLimit) {
  Close();
  m_nErrno = 0;
  if (!OpenLocked(path)) return false;
  if (m_qwLength < qwLimit) return true;
  // A full file is thrown away; we still hold the lock while deleting it.
  const bool bDeleted = ::unlink(path.c_str()) == 0;
  Close();
  return bDeleted && OpenLocked(path);
}

void CLogFile::Append(std::string_view bytes) {
  m_pending.append(bytes);
  m_qwLength += bytes.size();
}

bool CLogFile::Flush() {
  std::size_t nDone = 0;
  while (nDone < m_pending.size()) {
    const ssize_t n = ::write(m_fd, m_pending.data() + nDone, m_pending.size() - nDone);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      m_nErrno = n < 0 ? errno : EIO;
      return false;
    }
    nDone += static_cast<std::size_t>(n);
  }
  m_pending.clear();
  return true;
}

void CLogFile::Close() {
  if (m_fd >= 0) ::close(m_fd);  // releases the lock as well
  m_fd = -1;
  m_qwLength = 0;
  m_pending.clear();
}
