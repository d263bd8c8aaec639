#pragma once
// A pseudo-terminal pair: the transport opens the slave, the test plays the device on the master.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "link/CUniqueFd.h"

class CPseudoTerminal {
public:
  CPseudoTerminal() : m_fdMaster(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
    char szName[128] = {};
    if (m_fdMaster.IsValid() && grantpt(MasterFd()) == 0 && unlockpt(MasterFd()) == 0 &&
        ptsname_r(MasterFd(), szName, sizeof szName) == 0)
      m_slavePath = szName;
  }

  bool IsValid() const { return !m_slavePath.empty(); }
  const std::string& SlavePath() const { return m_slavePath; }
  int MasterFd() const { return m_fdMaster.Get(); }
  void CloseMaster() { m_fdMaster.Reset(); }  // the device vanishes

  // Writes all bytes to the master (as the device sending), waiting for room; false on failure.
  bool Send(const std::vector<uint8_t>& data) {
    pollfd pfd{MasterFd(), POLLOUT, 0};
    for (size_t nDone = 0; nDone < data.size();) {
      const ssize_t n = write(MasterFd(), data.data() + nDone, data.size() - nDone);
      if (n > 0) nDone += static_cast<size_t>(n);
      else if (poll(&pfd, 1, 5000) <= 0) return false;
    }
    return true;
  }
  // What the transport wrote: nCount bytes, or fewer when they stop coming.
  std::vector<uint8_t> Receive(size_t nCount) {
    std::vector<uint8_t> data(nCount);
    pollfd pfd{MasterFd(), POLLIN, 0};
    size_t nDone = 0;
    while (nDone < nCount && poll(&pfd, 1, 5000) > 0) {
      const ssize_t n = read(MasterFd(), data.data() + nDone, nCount - nDone);
      if (n <= 0) break;
      nDone += static_cast<size_t>(n);
    }
    data.resize(nDone);
    return data;
  }
  // True once the slave side has been closed by everyone who opened it.
  bool SlaveClosed() const {
    pollfd pfd{MasterFd(), 0, 0};
    return poll(&pfd, 1, 5000) > 0 && (pfd.revents & POLLHUP);
  }

private:
  CUniqueFd m_fdMaster;
  std::string m_slavePath;
};
