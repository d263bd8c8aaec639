#pragma once
// A pseudo-terminal pair for tests: the transport opens the slave path as its serial port,
// the test plays the device on the master side.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "link/CUniqueFd.h"

class CPseudoTerminal {
public:
  CPseudoTerminal() {
    m_fdMaster.Reset(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    char szName[128] = {};
    if (!m_fdMaster.IsValid() || grantpt(m_fdMaster.Get()) != 0 || unlockpt(m_fdMaster.Get()) != 0 ||
        ptsname_r(m_fdMaster.Get(), szName, sizeof szName) != 0) {
      m_fdMaster.Reset();
      return;
    }
    m_slavePath = szName;
  }

  bool IsValid() const { return m_fdMaster.IsValid(); }
  const std::string& SlavePath() const { return m_slavePath; }
  int MasterFd() const { return m_fdMaster.Get(); }
  void CloseMaster() { m_fdMaster.Reset(); }  // the device vanishes

  // Writes all bytes to the master (as the device sending), waiting for room; false on failure.
  bool Send(const std::vector<uint8_t>& data) {
    size_t nDone = 0;
    while (nDone < data.size()) {
      const ssize_t n = write(m_fdMaster.Get(), data.data() + nDone, data.size() - nDone);
      if (n > 0) {
        nDone += static_cast<size_t>(n);
        continue;
      }
      pollfd pfd{m_fdMaster.Get(), POLLOUT, 0};
      if (poll(&pfd, 1, 5000) <= 0) return false;
    }
    return true;
  }

  // Reads what the transport wrote until nCount bytes arrived or the deadline passed.
  std::vector<uint8_t> Receive(size_t nCount, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    std::vector<uint8_t> data;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (data.size() < nCount) {
      const auto remaining =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd pfd{m_fdMaster.Get(), POLLIN, 0};
      if (remaining.count() <= 0 || poll(&pfd, 1, static_cast<int>(remaining.count())) <= 0) break;
      uint8_t abyChunk[4096];
      const ssize_t n = read(m_fdMaster.Get(), abyChunk, sizeof abyChunk);
      if (n <= 0) break;
      data.insert(data.end(), abyChunk, abyChunk + n);
    }
    return data;
  }

  // True once the slave side has been closed by everyone who opened it.
  bool SlaveClosed(std::chrono::milliseconds timeout = std::chrono::seconds(5)) const {
    pollfd pfd{m_fdMaster.Get(), 0, 0};
    return poll(&pfd, 1, static_cast<int>(timeout.count())) > 0 && (pfd.revents & POLLHUP);
  }

private:
  CUniqueFd m_fdMaster;
  std::string m_slavePath;
};
