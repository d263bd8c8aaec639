#include "transmit/TransmitFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <vector>

#include "link/CUniqueFd.h"
#include "transmit/CTDataObject.h"
#include "transmit/TransmitFileFormat.h"

namespace {

constexpr const char* OUT_OF_MEMORY = "Out of Memory!";
constexpr unsigned MAX_TEMP_NAME_TRIES = 100;

CFileResult Failure(std::string strMessage) { return {false, std::move(strMessage)}; }

CFileResult SystemFailure(const std::string& strWhat, const std::string& path, int nError) {
  return Failure(strWhat + " " + path + ": " + std::strerror(nError));
}

CFileResult SaveFailure(const std::string& path, const char* pszStep, int nError) {
  return Failure("Cannot save " + path + ": " + pszStep + " (" + std::strerror(nError) + ")");
}

// The whole file, read up to the size it had when opened. Only regular files: a FIFO or a
// device could block or never end.
CFileResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  CUniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.IsValid()) return SystemFailure("Cannot open", path, errno);
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0) return SystemFailure("Cannot read", path, errno);
  if (!S_ISREG(st.st_mode)) return Failure(path + " is not a regular file");
  bytes.resize(static_cast<std::size_t>(st.st_size));
  std::size_t nDone = 0;
  while (nDone < bytes.size()) {
    const ssize_t n = ::read(fd.Get(), bytes.data() + nDone, bytes.size() - nDone);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return SystemFailure("Cannot read", path, errno);
    if (n == 0) break;  // shrank while we read; the parser judges what is there
    nDone += static_cast<std::size_t>(n);
  }
  bytes.resize(nDone);
  return {true, {}};
}

// Saving through a symbolic link replaces the file it points to, not the link.
std::string SaveTarget(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(path, error)) return path;
  const std::filesystem::path target = std::filesystem::canonical(path, error);
  return error ? path : target.string();
}

// A new file beside the target (the rename must not cross file systems), created with the
// usual permissions or, when the target exists, with the target's.
CUniqueFd CreateTempBeside(const std::string& target, std::string& tempPath) {
  static std::atomic<unsigned> s_nSerial{0};
  for (unsigned nTry = 0; nTry < MAX_TEMP_NAME_TRIES; ++nTry) {
    tempPath = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(s_nSerial++);
    CUniqueFd fd(::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.IsValid()) {
      struct stat st {};
      // Best effort: a failure only leaves the new file with default permissions.
      if (::stat(target.c_str(), &st) == 0) (void)::fchmod(fd.Get(), st.st_mode & 07777);
      return fd;
    }
    if (errno != EEXIST) break;
  }
  tempPath.clear();
  return CUniqueFd();
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

// Makes the rename itself survive a crash; the new content is already on disk.
void SyncDirectoryOf(const std::string& target) {
  const std::string dir = std::filesystem::path(target).parent_path().string();
  CUniqueFd fd(::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.IsValid()) (void)::fsync(fd.Get());
}

CFileResult WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes,
                       CFileCalls& calls) {
  const std::string target = SaveTarget(path);
  std::string tempPath;
  CUniqueFd fd = CreateTempBeside(target, tempPath);
  if (!fd.IsValid()) return SaveFailure(path, "no temporary file could be made beside it", errno);

  const char* pszStep = nullptr;
  if (!WriteAll(calls, fd.Get(), bytes)) pszStep = "writing failed";
  else if (calls.Sync(fd.Get()) != 0) pszStep = "flushing to disk failed";
  else if (!fd.Close()) pszStep = "closing failed";
  else if (calls.Rename(tempPath.c_str(), target.c_str()) != 0) pszStep = "replacing it failed";
  if (pszStep) {
    const int nError = errno;
    fd.Close();
    ::unlink(tempPath.c_str());
    return SaveFailure(path, pszStep, nError);
  }
  SyncDirectoryOf(target);
  return {true, {}};
}

CFileCalls& DefaultCalls() {
  static CFileCalls s_calls;
  return s_calls;
}

}  // namespace

ssize_t CFileCalls::Write(int fd, const void* pData, std::size_t nSize) {
  return ::write(fd, pData, nSize);
}
int CFileCalls::Sync(int fd) { return ::fsync(fd); }
int CFileCalls::Rename(const char* pszFrom, const char* pszTo) {
  return ::rename(pszFrom, pszTo);
}

CFileResult ReadTransmitFile(const std::string& path, std::unique_ptr<CTDataObject>& pTData) {
  try {
    std::vector<uint8_t> bytes;
    if (CFileResult result = ReadWholeFile(path, bytes); !result.m_bOk) return result;
    const CTransmitFileParse parse = ParseTransmitFile(bytes);
    if (parse.m_eError != ETransmitFileError::NONE)
      return Failure(path + " is " + DescribeTransmitFileError(parse.m_eError));
    pTData = std::make_unique<CTDataObject>(parse.m_records);
    return {true, {}};
  } catch (const std::bad_alloc&) {
    return Failure(OUT_OF_MEMORY);
  }
}

CFileResult WriteTransmitFile(const std::string& path, const CTDataObject& list,
                              CFileCalls& calls) {
  try {
    return WriteBytes(path, EncodeTransmitFile(list), calls);
  } catch (const std::bad_alloc&) {
    return Failure(OUT_OF_MEMORY);
  }
}

CFileResult WriteTransmitFile(const std::string& path, const CTDataObject& list) {
  return WriteTransmitFile(path, list, DefaultCalls());
}
