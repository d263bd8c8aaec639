#pragma once
// One open log file: opened for appending with an exclusive lock, lines collected in memory
// and written out on Flush, its length counted as the bytes it held at open plus every byte
// appended since (the lock keeps other writers out, so no system call per line is needed).
#include <fcntl.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "link/CUniqueFd.h"

class CLogFile {
public:
  CLogFile() = default;
  ~CLogFile() = default;  // closes without flushing: the owner decides whether pending lines go out
  CLogFile(const CLogFile&) = delete;
  CLogFile& operator=(const CLogFile&) = delete;

  // Opens the path for appending, creating it if needed. A file already at qwLimit bytes or
  // more is kept: it is renamed beside itself (AsideName, with its last-modified time) and an
  // empty file is started at the path; RenamedTo() then names where it went. False when the
  // file cannot be opened, locked or moved aside; Error() says why.
  bool Open(const std::string& path, uint64_t qwLimit);
  // Opens the path empty (a recording the user chose to replace), with the same lock.
  bool Create(const std::string& path);
  bool IsOpen() const { return m_fd.IsValid(); }
  void Append(std::string_view bytes);
  // Writes every appended byte to the file; false on any write failure (Error() says why).
  bool Flush();
  uint64_t Length() const { return m_qwLength; }
  void Close();
  // errno of the last failed Open or Flush (EIO for a write that took nothing), 0 before any.
  int LastErrno() const { return m_nErrno; }

  // The last failure as "call: reason" ("open: No such file or directory"); kept until the
  // next Open.
  const std::string& Error() const { return m_strError; }
  // Where the last Open moved a full file; empty when it moved none.
  const std::string& RenamedTo() const { return m_strRenamedTo; }

private:
  bool OpenLocked(const std::string& path, int nMode = O_APPEND);
  bool MoveAside(const std::string& path);
  bool Fail(const char* pszCall, int nError);

  CUniqueFd m_fd;
  int m_nErrno = 0;
  uint64_t m_qwLength = 0;
  std::time_t m_tModified = 0;
  std::string m_pending;
  std::string m_strError;
  std::string m_strRenamedTo;
};

// The name a full log is moved to: its name with "-YYYYMMDD-HHMMSS" (the given local time) and,
// from nCounter 1 on, "-nCounter" before its extension.
//   "/x/RDataLog.txt", 2026-12-07 10:15:00, 0 -> "/x/RDataLog-20261207-101500.txt"
//   "/x/RDataLog.txt", 2026-12-07 10:15:00, 2 -> "/x/RDataLog-20261207-101500-2.txt"
//   "/x/log" -> "/x/log-20261207-101500"      "/x/.log" -> "/x/.log-20261207-101500"
std::string AsideName(std::string_view path, const std::tm& when, unsigned nCounter);
