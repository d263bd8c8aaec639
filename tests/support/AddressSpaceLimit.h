#pragma once
// Holds the address space a little above its use, so a huge allocation fails at once (not under sanitizers).
#include <sys/resource.h>

#include <fstream>
#include <string>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KORVEX_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define KORVEX_SANITIZED 1
#endif
#endif
#ifndef KORVEX_SANITIZED
#define KORVEX_SANITIZED 0
#endif

class CAddressSpaceLimit {
public:
  explicit CAddressSpaceLimit(rlim_t nHeadroom) {
    m_bSet = ::getrlimit(RLIMIT_AS, &m_previous) == 0;
    rlimit limited = m_previous;
    limited.rlim_cur = AddressSpace() + nHeadroom;
    m_bSet = m_bSet && limited.rlim_cur <= m_previous.rlim_max && ::setrlimit(RLIMIT_AS, &limited) == 0;
  }
  ~CAddressSpaceLimit() {
    if (m_bSet) ::setrlimit(RLIMIT_AS, &m_previous);
  }
  CAddressSpaceLimit(const CAddressSpaceLimit&) = delete;
  CAddressSpaceLimit& operator=(const CAddressSpaceLimit&) = delete;

  bool IsSet() const { return m_bSet; }

private:
  // VmSize of /proc/self/status, in bytes.
  static rlim_t AddressSpace() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
      if (line.rfind("VmSize:", 0) == 0) return std::stoull(line.substr(7)) * 1024;
    return 0;
  }

  rlimit m_previous{};
  bool m_bSet = false;
};
