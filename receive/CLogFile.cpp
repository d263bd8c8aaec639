#include "receive/CLogFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Names tried beside a full log before giving up: a folder holding that many logs moved aside in
// the same second is not one a user keeps.
constexpr unsigned MAX_ASIDE_NAMES = 1000;

// Moves from to to unless to exists: 0, or the error. Where the file system cannot refuse to
// replace within a rename, a hard link does the same (it never replaces), then the old name goes.
int MoveNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  return ::unlink(from.c_str()) == 0 ? 0 : errno;
}

}  // namespace

std::string AsideName(std::string_view path, const std::tm& when, unsigned nCounter) {
  char szSuffix[48];
  const int nLength = std::snprintf(szSuffix, sizeof szSuffix, "-%04d%02d%02d-%02d%02d%02d", when.tm_year + 1900,
                                    when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec);
  std::string suffix(szSuffix, static_cast<std::size_t>(nLength > 0 ? nLength : 0));
  if (nCounter > 0) suffix += "-" + std::to_string(nCounter);
  // The extension is the last "." of the file's own name, unless the name starts with it.
  const std::size_t nNameStart = path.rfind('/') == std::string_view::npos ? 0 : path.rfind('/') + 1;
  const std::size_t nDot = path.rfind('.');
  const std::size_t nInsert = (nDot != std::string_view::npos && nDot > nNameStart) ? nDot : path.size();
  std::string name(path.substr(0, nInsert));
  name += suffix;
  name += path.substr(nInsert);
  return name;
}

// Why a call failed, in the words a user can act on.
bool CLogFile::Fail(const char* pszCall, int nError) {
  m_nErrno = nError;
  m_strError = std::string(pszCall) + ": ";
  if (nError == EWOULDBLOCK) {
    m_strError += "the file is in use by another program";
  } else {
    const char* pszText = strerrordesc_np(nError);
    m_strError += pszText != nullptr ? pszText : "error " + std::to_string(nError);
  }
  return false;
}

bool CLogFile::OpenLocked(const std::string& path, int nMode) {
  // O_NONBLOCK: a path naming a FIFO without a reader fails instead of hanging the UI, and
  // a stalled reader later shows as a write failure; regular files ignore the flag.
  m_fd.Reset(::open(path.c_str(), O_WRONLY | O_CREAT | nMode | O_CLOEXEC | O_NONBLOCK, 0644));
  if (!m_fd.IsValid()) return Fail("open", errno);
  struct stat st {};
  const char* pszFailed = ::flock(m_fd.Get(), LOCK_EX | LOCK_NB) != 0 ? "lock"
                          : ::fstat(m_fd.Get(), &st) != 0             ? "fstat"
                                                                      : nullptr;
  if (pszFailed != nullptr) {
    Fail(pszFailed, errno);
    Close();
    return false;
  }
  m_qwLength = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
  m_tModified = st.st_mtim.tv_sec;
  return true;
}

bool CLogFile::MoveAside(const std::string& path) {
  std::tm when {};
  localtime_r(&m_tModified, &when);
  for (unsigned nCounter = 0; nCounter < MAX_ASIDE_NAMES; ++nCounter) {
    std::string aside = AsideName(path, when, nCounter);
    const int nError = MoveNoReplace(path, aside);
    if (nError == 0) {
      m_strRenamedTo = std::move(aside);
      return true;
    }
    if (nError != EEXIST) return Fail("rename", nError);
  }
  return Fail("rename", EEXIST);
}

bool CLogFile::Open(const std::string& path, uint64_t qwLimit) {
  Close();
  m_strError.clear();
  m_strRenamedTo.clear();
  m_nErrno = 0;
  if (!OpenLocked(path)) return false;
  if (m_qwLength < qwLimit) return true;
  // A full file is moved aside while we still hold its lock, then an empty one is started.
  const bool bMoved = MoveAside(path);
  Close();
  return bMoved && OpenLocked(path);
}

bool CLogFile::Create(const std::string& path) {
  Close();
  m_strError.clear();
  m_strRenamedTo.clear();
  m_nErrno = 0;
  // Emptied only once the lock is held, so a file another program is writing is left whole.
  if (!OpenLocked(path, 0)) return false;
  if (m_qwLength > 0 && ::ftruncate(m_fd.Get(), 0) != 0) {  // only a regular file has a length
    Fail("truncate", errno);
    Close();
    return false;
  }
  m_qwLength = 0;
  return true;
}

void CLogFile::Append(std::string_view bytes) {
  m_pending.append(bytes);
  m_qwLength += bytes.size();
}

bool CLogFile::Flush() {
  std::size_t nDone = 0;
  while (nDone < m_pending.size()) {
    const ssize_t n = ::write(m_fd.Get(), m_pending.data() + nDone, m_pending.size() - nDone);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Fail("write", errno);
    if (n == 0) return Fail("write", EIO);
    nDone += static_cast<std::size_t>(n);
  }
  m_pending.clear();
  return true;
}

void CLogFile::Close() {
  m_fd.Reset();  // releases the lock as well
  m_qwLength = 0;
  m_pending.clear();
}
