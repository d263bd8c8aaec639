#pragma once
// One open log file: opened for appending with an exclusive lock, lines collected in memory
// and written out on Flush, its length counted as the bytes it held at open plus every byte
// appended since (the lock keeps other writers out, so no system call per line is needed).
#include <cstdint>
#include <string>
#include <string_view>

class CLogFile {
public:
  CLogFile() = default;
  ~CLogFile();  // closes without flushing: the owner decides whether pending lines go out
  CLogFile(const CLogFile&) = delete;
  CLogFile& operator=(const CLogFile&) = delete;

  // Opens the path for appending, creating it if needed. A file already at qwLimit bytes
  // or more is deleted and started empty. False when it cannot be opened or locked.
  bool Open(const std::string& path, uint64_t qwLimit);
  bool IsOpen() const { return m_fd >= 0; }
  void Append(std::string_view bytes);
  // Writes every appended byte to the file; false on any write failure.
  bool Flush();
  uint64_t Length() const { return m_qwLength; }
  void Close();
  // errno of the last failed Open or Flush (EIO for a write that took nothing), 0 before any.
  int LastErrno() const { return m_nErrno; }

private:
  bool OpenLocked(const std::string& path);

  bool Failed(int nErrno);

  int m_fd = -1;
  int m_nErrno = 0;
  uint64_t m_qwLength = 0;
  std::string m_pending;
};
