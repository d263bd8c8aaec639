#pragma once
// Owns one POSIX file descriptor: closed when the holder is reset or destroyed, so no path
// through the transports can leak or double-close a descriptor.
#include <unistd.h>

class CUniqueFd {
public:
  CUniqueFd() = default;
  explicit CUniqueFd(int nFd) : m_nFd(nFd) {}
  ~CUniqueFd() { Close(); }
  CUniqueFd(const CUniqueFd&) = delete;
  CUniqueFd& operator=(const CUniqueFd&) = delete;
  CUniqueFd(CUniqueFd&& other) noexcept : m_nFd(other.Release()) {}
  CUniqueFd& operator=(CUniqueFd&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  int Get() const { return m_nFd; }
  bool IsValid() const { return m_nFd >= 0; }
  int Release() {
    const int nFd = m_nFd;
    m_nFd = -1;
    return nFd;
  }
  void Reset(int nFd = -1) {
    Close();
    m_nFd = nFd;
  }
  // True when a descriptor was held and closed cleanly. The descriptor is gone either way
  // (Linux releases it even when close reports an error, so it is never retried).
  bool Close() {
    if (m_nFd < 0) return false;
    const bool bOk = ::close(m_nFd) == 0;
    m_nFd = -1;
    return bOk;
  }

private:
  int m_nFd = -1;
};
