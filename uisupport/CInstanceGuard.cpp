#include "uisupport/CInstanceGuard.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

static_assert(sizeof(CInstanceBlock) == 8 + 4 * INSTANCE_LIST_CAPACITY + 8 * INSTANCE_LIST_CAPACITY,
              "the list file layout has no padding");

namespace {

enum EProcessState { PROCESS_RUNNING, PROCESS_ENDED, PROCESS_REPLACED };

struct CProcessStat {
  char cState = 0;
  uint64_t qwStartTime = 0;
};

// State and start time from /proc/<pid>/stat. The command name in parentheses may hold blanks
// and parentheses, so the fields are counted after the last ")": state is the first, the
// start time the twentieth.
std::optional<CProcessStat> ReadProcessStat(uint32_t dwProcessId) {
  const std::string path = "/proc/" + std::to_string(dwProcessId) + "/stat";
  std::unique_ptr<FILE, int (*)(FILE*)> pFile(std::fopen(path.c_str(), "re"), &std::fclose);
  if (!pFile) return std::nullopt;
  char szLine[1024];
  const std::size_t nRead = std::fread(szLine, 1, sizeof szLine, pFile.get());
  std::string_view line(szLine, nRead);
  const auto nParen = line.rfind(')');
  if (nParen == std::string_view::npos) return std::nullopt;
  line.remove_prefix(nParen + 1);

  CProcessStat stat;
  for (int nField = 0; nField < 20; ++nField) {
    const auto nStart = line.find_first_not_of(' ');
    if (nStart == std::string_view::npos) return std::nullopt;
    line.remove_prefix(nStart);
    const std::string_view field = line.substr(0, line.find(' '));
    if (nField == 0) stat.cState = field.front();
    if (nField == 19 &&
        std::from_chars(field.data(), field.data() + field.size(), stat.qwStartTime).ec != std::errc())
      return std::nullopt;
    line.remove_prefix(field.size());
  }
  return stat;
}

uint64_t StartTimeOf(uint32_t dwProcessId) {
  const auto stat = ReadProcessStat(dwProcessId);
  return stat ? stat->qwStartTime : 0;
}

EProcessState ProcessState(uint32_t dwProcessId, uint64_t qwStartTime) {
  if (dwProcessId == 0 || dwProcessId > static_cast<uint32_t>(INT_MAX)) return PROCESS_ENDED;
  if (::kill(static_cast<pid_t>(dwProcessId), 0) != 0 && errno == ESRCH) return PROCESS_ENDED;
  const auto stat = ReadProcessStat(dwProcessId);
  if (!stat) return PROCESS_RUNNING;  // /proc hidden from us: kill() has the last word
  if (stat->cState == 'Z' || stat->cState == 'X') return PROCESS_ENDED;  // ended, not reaped yet
  if (qwStartTime != 0 && stat->qwStartTime != qwStartTime) return PROCESS_REPLACED;
  return PROCESS_RUNNING;
}

// The directory exists (it is created if missing), is no symlink, belongs to the user and is
// closed to everyone else; otherwise another user could plant or read the list.
bool IsPrivateDirectory(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
         (st.st_mode & 077) == 0;
}

class CFileLock {
public:
  explicit CFileLock(int nFd) : m_nFd(nFd) {
    while (!(m_bLocked = ::flock(m_nFd, LOCK_EX) == 0) && errno == EINTR) {
    }
  }
  ~CFileLock() {
    if (m_bLocked) ::flock(m_nFd, LOCK_UN);
  }
  CFileLock(const CFileLock&) = delete;
  CFileLock& operator=(const CFileLock&) = delete;
  bool IsLocked() const { return m_bLocked; }

private:
  int m_nFd;
  bool m_bLocked = false;
};

bool TransferAll(int nFd, CInstanceBlock& block, bool bWrite) {
  auto* pBytes = reinterpret_cast<char*>(&block);
  std::size_t nDone = 0;
  while (nDone < sizeof block) {
    const auto nOffset = static_cast<off_t>(nDone);
    const ssize_t nCount = bWrite ? ::pwrite(nFd, pBytes + nDone, sizeof block - nDone, nOffset)
                                  : ::pread(nFd, pBytes + nDone, sizeof block - nDone, nOffset);
    if (nCount < 0 && errno == EINTR) continue;
    if (nCount <= 0) return false;
    nDone += static_cast<std::size_t>(nCount);
  }
  return true;
}

// A new (empty), truncated or damaged file reads as no list at all.
bool ReadBlock(int nFd, CInstanceBlock& block) {
  return TransferAll(nFd, block, false) && block.m_dwMaxInstances >= 1 &&
         block.m_dwMaxInstances <= INSTANCE_LIST_CAPACITY && block.m_dwCount <= INSTANCE_LIST_CAPACITY;
}

void InitBlock(CInstanceBlock& block) {
  block = {};
  block.m_dwMaxInstances = CInstanceGuard::MAX_INSTANCES;
}

}  // namespace

CInstanceGuard::CInstanceGuard(const std::string& name, const std::string& runtimeDir)
    : m_strName(name),
      m_strRuntimeDir(runtimeDir.empty() ? DefaultRuntimeDir() : runtimeDir),
      m_dwOwnProcessId(static_cast<uint32_t>(::getpid())) {
  if (m_strName.empty() || m_strName.find('/') != std::string::npos || !IsPrivateDirectory(m_strRuntimeDir))
    return;
  m_strListPath = m_strRuntimeDir + "/CInstanceGuard_" + m_strName + ".list";
  m_fd.Reset(::open(m_strListPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (m_fd.IsValid()) AddProcess(m_dwOwnProcessId);
}

CInstanceGuard::~CInstanceGuard() {
  // A forked child that never exec'd must not remove its parent.
  if (m_fd.IsValid() && static_cast<uint32_t>(::getpid()) == m_dwOwnProcessId) RemoveProcess(m_dwOwnProcessId);
}

std::string CInstanceGuard::DefaultRuntimeDir() {
  const char* pszDir = std::getenv("XDG_RUNTIME_DIR");
  if (pszDir && pszDir[0] == '/') return pszDir;
  return "/tmp/korvex-" + std::to_string(::geteuid());
}

std::string CInstanceGuard::EndpointPath(uint32_t dwProcessId) const {
  return m_strRuntimeDir + "/CInstanceGuard_" + m_strName + "." + std::to_string(dwProcessId) + ".sock";
}

// Runs change(block) on the current list under the lock and writes the list back when the
// read repaired it or the change altered it. change returns whether it altered the list.
template <typename Change>
bool CInstanceGuard::WithList(Change&& change) {
  if (!m_fd.IsValid()) return false;
  CFileLock lock(m_fd.Get());
  if (!lock.IsLocked()) return false;
  CInstanceBlock block;
  bool bDirty = false;
  if (!ReadBlock(m_fd.Get(), block)) {
    InitBlock(block);
    bDirty = true;
  }
  bDirty |= DropEndedProcesses(block);
  bDirty |= change(block);
  return !bDirty || TransferAll(m_fd.Get(), block, true);
}

bool CInstanceGuard::DropEndedProcesses(CInstanceBlock& block) const {
  uint32_t dwKept = 0;
  for (uint32_t i = 0; i < block.m_dwCount; ++i) {
    const uint32_t dwProcessId = block.m_adwProcessIds[i];
    const EProcessState eState = ProcessState(dwProcessId, block.m_aqwStartTimes[i]);
    if (eState == PROCESS_RUNNING) {
      block.m_adwProcessIds[dwKept] = dwProcessId;
      block.m_aqwStartTimes[dwKept] = block.m_aqwStartTimes[i];
      ++dwKept;
    } else if (eState == PROCESS_ENDED && dwProcessId != 0) {
      ::unlink(EndpointPath(dwProcessId).c_str());  // a crashed instance left its socket behind
    }
  }
  const bool bDropped = dwKept != block.m_dwCount;
  for (uint32_t i = dwKept; i < block.m_dwCount; ++i) {
    block.m_adwProcessIds[i] = 0;
    block.m_aqwStartTimes[i] = 0;
  }
  block.m_dwCount = dwKept;
  return bDropped;
}

bool CInstanceGuard::AddProcess(uint32_t dwProcessId) {
  const uint64_t qwStartTime = StartTimeOf(dwProcessId);
  bool bAdded = false;
  const bool bDone = WithList([&](CInstanceBlock& block) {
    if (block.m_dwCount >= INSTANCE_LIST_CAPACITY) return false;
    block.m_adwProcessIds[block.m_dwCount] = dwProcessId;
    block.m_aqwStartTimes[block.m_dwCount] = qwStartTime;
    ++block.m_dwCount;
    bAdded = true;
    return true;
  });
  return bDone && bAdded;
}

bool CInstanceGuard::RemoveProcess(uint32_t dwProcessId) {
  bool bRemoved = false;
  const bool bDone = WithList([&](CInstanceBlock& block) {
    uint32_t i = 0;
    while (i < block.m_dwCount && block.m_adwProcessIds[i] != dwProcessId) ++i;
    if (i == block.m_dwCount) return false;
    for (; i + 1 < block.m_dwCount; ++i) {
      block.m_adwProcessIds[i] = block.m_adwProcessIds[i + 1];
      block.m_aqwStartTimes[i] = block.m_aqwStartTimes[i + 1];
    }
    --block.m_dwCount;
    block.m_adwProcessIds[block.m_dwCount] = 0;
    block.m_aqwStartTimes[block.m_dwCount] = 0;
    bRemoved = true;
    return true;
  });
  return bDone && bRemoved;
}

bool CInstanceGuard::TooManyInstances(bool bActivateOther) {
  bool bTooMany = false;
  uint32_t dwForward = 0;
  const bool bDone = WithList([&](CInstanceBlock& block) {
    bTooMany = block.m_dwMaxInstances < block.m_dwCount;
    if (bTooMany && bActivateOther) {
      // The earliest instance comes forward; when that is this one, the next (bTooMany means
      // there is one).
      dwForward = block.m_adwProcessIds[0] != m_dwOwnProcessId ? block.m_adwProcessIds[0]
                                                               : block.m_adwProcessIds[1];
    }
    return false;
  });
  if (!bDone) return false;
  // Delivered after the lock is released, so a slow instance cannot stall the others' lists.
  if (dwForward != 0 && m_pActivator) m_pActivator->ActivateInstance(dwForward);
  return bTooMany;
}

bool CInstanceGuard::ReadList(CInstanceList& list) {
  return WithList([&](CInstanceBlock& block) {
    list.m_dwMaxInstances = block.m_dwMaxInstances;
    list.m_processIds.assign(block.m_adwProcessIds, block.m_adwProcessIds + block.m_dwCount);
    return false;
  });
}
