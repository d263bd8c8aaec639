#include "sim/CSimPty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>

#include <cerrno>
#include <cstring>

namespace {

bool Fail(std::string& error, const char* pszCall) {
  error = std::string(pszCall) + ": " + std::strerror(errno);
  return false;
}

}  // namespace

bool CSimPty::Open(std::string& error) {
  m_master.Reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!m_master.IsValid()) return Fail(error, "posix_openpt");
  if (::grantpt(m_master.Get()) != 0) return Fail(error, "grantpt");
  if (::unlockpt(m_master.Get()) != 0) return Fail(error, "unlockpt");
  char szName[128] = {};
  if (::ptsname_r(m_master.Get(), szName, sizeof szName) != 0) return Fail(error, "ptsname_r");
  m_slavePath = szName;
  const int nFlags = ::fcntl(m_master.Get(), F_GETFL);
  if (nFlags < 0 || ::fcntl(m_master.Get(), F_SETFL, nFlags | O_NONBLOCK) != 0)
    return Fail(error, "fcntl(O_NONBLOCK)");

  m_slave.Reset(::open(szName, O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!m_slave.IsValid()) return Fail(error, "open(slave)");
  termios settings{};
  if (::tcgetattr(m_slave.Get(), &settings) != 0) return Fail(error, "tcgetattr");
  ::cfmakeraw(&settings);
  settings.c_cflag |= CLOCAL | CREAD;
  if (::tcsetattr(m_slave.Get(), TCSANOW, &settings) != 0) return Fail(error, "tcsetattr");
  return true;
}
