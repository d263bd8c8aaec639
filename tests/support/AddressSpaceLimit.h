#pragma once
// Holds the process's address space to a little above what it uses now, so that allocating
// for a huge count fails at once, whatever the machine's memory and overcommit policy; the
// previous limit comes back when the object goes. Sanitizers reserve vast address ranges and
// end the program on a failed allocation: tests skip where KORVEX_SANITIZED is 1.
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
