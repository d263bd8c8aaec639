// Saving a transmit file: where it may go, a replacement that is never left half-made, and
// the write in place for files a replacement would not suit.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "link/CUniqueFd.h"
#include "resources/StringTable.h"
#include "transmit/CTDataObject.h"
#include "transmit/SystemErrorText.h"
#include "transmit/TransmitFile.h"
#include "transmit/TransmitFileFormat.h"

namespace {

constexpr std::size_t RECORDS_PER_WRITE = 4096;
constexpr unsigned MAX_TEMP_NAME_TRIES = 100;
constexpr const char* TEMP_INFIX = ".tmp-";  // NAME.ctd.tmp-PID-N

// A save's failure: the step that failed and, when the system gave one, its reason.
struct CSaveError {
  const char* m_pszStep = nullptr;
  int m_nError = 0;
};

// Records the failed step with errno; false, for the caller to return.
bool Failed(CSaveError& error, const char* pszStep) {
  error = {pszStep, errno};
  return false;
}

struct CSaveTarget {
  std::string m_strPath;  // the file itself, symbolic links resolved
  bool m_bExists = false;
  struct stat m_st {};
};

const char* NotRegularText(mode_t mode) {
  if (S_ISDIR(mode)) return "일반 파일이 아닙니다 (디렉터리)";
  if (S_ISFIFO(mode)) return "일반 파일이 아닙니다 (파이프)";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "일반 파일이 아닙니다 (장치)";
  return "일반 파일이 아닙니다";
}

// A regular file, a link (or chain of links) to one, or a name not yet taken. The reason
// for a refusal goes to strCause.
bool FindTarget(const std::string& path, CSaveTarget& target, std::string& strCause) {
  target.m_strPath = path;
  if (::lstat(path.c_str(), &target.m_st) != 0) {
    if (errno == ENOENT) return true;  // a new file; a missing folder fails when it is made
    strCause = SystemErrorText(errno);
    return false;
  }
  if (S_ISLNK(target.m_st.st_mode)) {
    char* pszResolved = ::realpath(path.c_str(), nullptr);
    if (!pszResolved) {
      strCause = errno == ENOENT ? "링크가 가리키는 파일이 없읍니다" : SystemErrorText(errno);
      return false;
    }
    target.m_strPath = pszResolved;
    std::free(pszResolved);
    if (::stat(target.m_strPath.c_str(), &target.m_st) != 0) {
      strCause = SystemErrorText(errno);
      return false;
    }
  }
  if (!S_ISREG(target.m_st.st_mode)) {
    strCause = NotRegularText(target.m_st.st_mode);
    return false;
  }
  // A file the user may not write is not replaced either, though the folder would allow it.
  if (::faccessat(AT_FDCWD, target.m_strPath.c_str(), W_OK, AT_EACCESS) != 0) {
    strCause = SystemErrorText(errno);
    return false;
  }
  target.m_bExists = true;
  return true;
}

std::string DirectoryOf(const std::string& path) {
  const auto nSlash = path.rfind('/');
  if (nSlash == std::string::npos) return ".";
  return nSlash == 0 ? "/" : path.substr(0, nSlash);
}

std::string TempName(const std::string& target) {
  static unsigned s_nSerial = 0;  // UI thread only
  return target + TEMP_INFIX + std::to_string(::getpid()) + "-" + std::to_string(s_nSerial++);
}

// Temporary names of this target whose process has ended: what a save killed between
// naming its new file and putting it in place left behind.
void RemoveStaleTemporaries(const std::string& target) {
  const std::string dir = DirectoryOf(target);
  const std::string prefix = target.substr(target.rfind('/') + 1) + TEMP_INFIX;
  const std::unique_ptr<DIR, int (*)(DIR*)> pDir(::opendir(dir.c_str()), &::closedir);
  if (!pDir) return;
  while (const dirent* pEntry = ::readdir(pDir.get())) {
    const std::string_view name = pEntry->d_name;
    if (!name.starts_with(prefix)) continue;
    const std::string_view rest = name.substr(prefix.size());
    int nPid = 0;
    const auto [pEnd, error] = std::from_chars(rest.data(), rest.data() + rest.size(), nPid);
    if (error != std::errc() || nPid <= 0 || pEnd == rest.data() + rest.size() || *pEnd != '-') continue;
    if (::kill(nPid, 0) == 0 || errno != ESRCH) continue;  // alive, or another user's live process
    (void)::unlinkat(::dirfd(pDir.get()), pEntry->d_name, 0);
  }
}

bool WriteAll(CFileCalls& calls, int fd, const std::vector<uint8_t>& bytes) {
  std::size_t nDone = 0;
  while (nDone < bytes.size()) {
    const ssize_t n = calls.Write(fd, bytes.data() + nDone, bytes.size() - nDone);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = ENOSPC;
    if (n <= 0) return false;
    nDone += static_cast<std::size_t>(n);
  }
  return true;
}

// The whole file, written in blocks.
bool WriteList(CFileCalls& calls, int fd, const CTDataObject& list) {
  std::vector<uint8_t> block = EncodeTransmitHeader(list.Count());
  block.reserve(block.size() + RECORDS_PER_WRITE * TDATA_RECORD_SIZE);
  for (std::size_t i = 0; i < list.Count(); ++i) {
    const std::size_t nAt = block.size();
    block.resize(nAt + TDATA_RECORD_SIZE);
    EncodeRecord(list.At(i), std::span<uint8_t, TDATA_RECORD_SIZE>(block.data() + nAt, TDATA_RECORD_SIZE));
    if (block.size() >= RECORDS_PER_WRITE * TDATA_RECORD_SIZE) {
      if (!WriteAll(calls, fd, block)) return false;
      block.clear();
    }
  }
  return WriteAll(calls, fd, block) && WriteAll(calls, fd, EncodePeriodBlock(list));
}

uint64_t FileSizeOf(const CTDataObject& list) {
  return EncodeTransmitHeader(list.Count()).size() + uint64_t{list.Count()} * TDATA_RECORD_SIZE +
         EncodePeriodBlock(list).size();
}

// Makes the rename itself survive a crash; the new content is already on disk.
void SyncDirectory(const std::string& dir) {
  CUniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.IsValid()) (void)::fsync(fd.Get());
}

// The new file of a replacement. Without a name until it is complete where the file system
// has unnamed files, else under a temporary name from the start; a name it still has when
// this goes is removed.
class CNewFile {
public:
  CNewFile() = default;
  CNewFile(const CNewFile&) = delete;
  CNewFile& operator=(const CNewFile&) = delete;
  ~CNewFile() {
    if (!m_strName.empty()) ::unlink(m_strName.c_str());
  }

  bool Create(const std::string& target, CFileCalls& calls) {
    const int fd = calls.OpenUnnamed(DirectoryOf(target).c_str(), 0666);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) {
      m_fd.Reset(fd);
      return fd >= 0;
    }
    for (unsigned nTry = 0; nTry < MAX_TEMP_NAME_TRIES; ++nTry) {
      const std::string name = TempName(target);
      m_fd.Reset(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
      if (m_fd.IsValid()) {
        m_strName = name;
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;
  }
  int Fd() const { return m_fd.Get(); }

  // The owner and mode of the file it replaces; false when the owner cannot be kept.
  bool TakeOwnerAndMode(const struct stat& old) {
    if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) && ::fchown(Fd(), old.st_uid, old.st_gid) != 0)
      return false;
    return ::fchmod(Fd(), old.st_mode & 07777) == 0;  // after fchown, which clears set-id bits
  }

  // Puts the complete file in place of the target in one step.
  bool Replace(const std::string& target, CFileCalls& calls, CSaveError& error) {
    if (calls.Sync(Fd()) != 0) return Failed(error, "디스크에 기록하지 못했읍니다");
    if (m_strName.empty() && !GiveName(target)) return Failed(error, "새 파일에 이름을 붙이지 못했읍니다");
    if (!m_fd.Close()) return Failed(error, "파일을 닫지 못했읍니다");
    if (calls.Rename(m_strName.c_str(), target.c_str()) != 0) return Failed(error, "파일을 바꾸지 못했읍니다");
    m_strName.clear();
    SyncDirectory(DirectoryOf(target));
    return true;
  }

private:
  // A name beside the target: rename, unlike link, may replace an existing file.
  bool GiveName(const std::string& target) {
    const std::string self = "/proc/self/fd/" + std::to_string(Fd());
    for (unsigned nTry = 0; nTry < MAX_TEMP_NAME_TRIES; ++nTry) {
      const std::string name = TempName(target);
      int nResult = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
      if (nResult != 0 && errno == ENOENT)  // no /proc; this form needs privilege
        nResult = ::linkat(Fd(), "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH);
      if (nResult == 0) {
        m_strName = name;
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;
  }

  CUniqueFd m_fd;
  std::string m_strName;
};

enum class EReplaced { YES, NO, WRITE_IN_PLACE };

EReplaced ReplaceTarget(const CSaveTarget& target, const CTDataObject& list, CFileCalls& calls, CSaveError& error) {
  RemoveStaleTemporaries(target.m_strPath);
  CNewFile file;
  if (!file.Create(target.m_strPath, calls)) {
    if (target.m_bExists && (errno == EACCES || errno == EPERM)) return EReplaced::WRITE_IN_PLACE;
    Failed(error, "새 파일을 만들지 못했읍니다");
    return EReplaced::NO;
  }
  if (target.m_bExists && !file.TakeOwnerAndMode(target.m_st)) return EReplaced::WRITE_IN_PLACE;
  if (!WriteList(calls, file.Fd(), list)) {
    Failed(error, "쓰지 못했읍니다");
    return EReplaced::NO;
  }
  return file.Replace(target.m_strPath, calls, error) ? EReplaced::YES : EReplaced::NO;
}

// Over the same file, its links, owner and mode untouched. Room for the new content is
// reserved first, so a full disk is found before the old content is touched.
bool WriteInPlace(const CSaveTarget& target, const CTDataObject& list, CFileCalls& calls, CSaveError& error) {
  CUniqueFd fd(::open(target.m_strPath.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!fd.IsValid()) return Failed(error, "파일을 열지 못했읍니다");
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0) return Failed(error, "파일을 열지 못했읍니다");
  if (st.st_dev != target.m_st.st_dev || st.st_ino != target.m_st.st_ino) {
    error = {"저장하는 동안 다른 파일로 바뀌었읍니다", 0};
    return false;
  }
  const auto nSize = static_cast<off_t>(FileSizeOf(list));
  if (::fallocate(fd.Get(), 0, 0, nSize) != 0 && errno != EOPNOTSUPP && errno != ENOSYS)
    return Failed(error, "공간을 확보하지 못했읍니다");
  if (!WriteList(calls, fd.Get(), list)) return Failed(error, "쓰지 못했읍니다");
  if (::ftruncate(fd.Get(), nSize) != 0) return Failed(error, "쓰지 못했읍니다");
  if (calls.Sync(fd.Get()) != 0) return Failed(error, "디스크에 기록하지 못했읍니다");
  if (!fd.Close()) return Failed(error, "파일을 닫지 못했읍니다");
  return true;
}

CFileResult Save(const std::string& path, const CTDataObject& list, CFileCalls& calls) {
  CSaveTarget target;
  std::string strCause;
  if (!FindTarget(path, target, strCause)) return {false, false, path + ": " + strCause};
  CSaveError error;
  // Replacing a file with several names would part it from the others.
  EReplaced eReplaced = EReplaced::WRITE_IN_PLACE;
  if (!target.m_bExists || target.m_st.st_nlink == 1) eReplaced = ReplaceTarget(target, list, calls, error);
  if (eReplaced == EReplaced::YES || (eReplaced == EReplaced::WRITE_IN_PLACE && WriteInPlace(target, list, calls, error)))
    return {true, false, {}};
  strCause = error.m_pszStep;
  if (error.m_nError != 0) strCause += " (" + SystemErrorText(error.m_nError) + ")";
  return {false, false, path + ": " + strCause};
}

CFileCalls& DefaultCalls() {
  static CFileCalls s_calls;
  return s_calls;
}

}  // namespace

ssize_t CFileCalls::Write(int fd, const void* pData, std::size_t nSize) { return ::write(fd, pData, nSize); }
int CFileCalls::Sync(int fd) { return ::fsync(fd); }
int CFileCalls::Rename(const char* pszFrom, const char* pszTo) { return ::rename(pszFrom, pszTo); }
int CFileCalls::OpenUnnamed(const char* pszDirectory, mode_t mode) {
  return ::open(pszDirectory, O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
}

CFileResult WriteTransmitFile(const std::string& path, const CTDataObject& list, CFileCalls& calls) {
  try {
    return Save(path, list, calls);
  } catch (const std::bad_alloc&) {
    return {false, true, std::string(LoadString(IDS_OUT_OF_MEMORY))};
  }
}

CFileResult WriteTransmitFile(const std::string& path, const CTDataObject& list) {
  return WriteTransmitFile(path, list, DefaultCalls());
}
