#include "sim/CSimPtyServer.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>

namespace {

uint64_t MonotonicMs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

int64_t MonotonicNs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000000000LL + now.tv_nsec;
}

bool Fail(std::string& error, const char* pszCall) {
  error = std::string(pszCall) + ": " + std::strerror(errno);
  return false;
}

}  // namespace

bool CSimPtyServer::Open(std::string& error) {
  m_wakeFd.Reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (!m_wakeFd.IsValid()) return Fail(error, "eventfd");
  return m_pty.Open(error);
}

void CSimPtyServer::Stop() {
  m_bStop.store(true, std::memory_order_release);
  Wake();
}

void CSimPtyServer::Wake() {
  const uint64_t qwOne = 1;
  // A full counter already means "wake up"; nothing is lost when this write fails.
  [[maybe_unused]] const ssize_t n = ::write(m_wakeFd.Get(), &qwOne, sizeof qwOne);
}

bool CSimPtyServer::Run(int nStopFd, uint64_t qwRunMs, std::string& error) {
  const uint64_t qwStartMs = MonotonicMs();
  for (;;) {
    const uint64_t qwNow = MonotonicMs() - qwStartMs;
    m_module.Advance(qwNow);
    if (qwNow >= qwRunMs || m_bStop.load(std::memory_order_acquire)) return true;
    if (!WriteOutput(error)) return false;

    const uint64_t qwWake = std::min(m_module.NextDueMs(), qwRunMs);
    int nTimeout = -1;
    if (qwWake != CSimModule::NO_DEADLINE)
      nTimeout = static_cast<int>(std::min<uint64_t>(qwWake > qwNow ? qwWake - qwNow : 0, INT_MAX));
    pollfd fds[3] = {{m_pty.MasterFd(), POLLIN, 0}, {m_wakeFd.Get(), POLLIN, 0}, {nStopFd, POLLIN, 0}};
    if (!m_module.Outbox().IsEmpty()) fds[0].events |= POLLOUT;
    const int nReady = ::poll(fds, 3, nTimeout);
    if (nReady < 0) {
      if (errno == EINTR) continue;
      return Fail(error, "poll");
    }
    if (fds[2].revents != 0) return true;
    if (fds[0].revents & POLLIN) {
      m_module.Advance(MonotonicMs() - qwStartMs);
      if (!ReadInput(error)) return false;
    } else if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
      // Cannot happen while the slave is held open; stop rather than spin if it does.
      error = "the pseudo-terminal hung up";
      return false;
    }
  }
}

bool CSimPtyServer::ReadInput(std::string& error) {
  uint8_t abyBlock[READ_BLOCK_SIZE];
  for (unsigned i = 0; i < MAX_READS_PER_WAKE; ++i) {
    const ssize_t n = ::read(m_pty.MasterFd(), abyBlock, sizeof abyBlock);
    if (n > 0) {
      // Stamped as the read returns, before anything is processed: every byte was there by then.
      m_module.Feed(abyBlock, static_cast<size_t>(n), MonotonicNs());
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    return n == 0 ? true : Fail(error, "read");
  }
  return true;
}

bool CSimPtyServer::WriteOutput(std::string& error) {
  CSimOutbox& outbox = m_module.Outbox();
  while (!outbox.IsEmpty()) {
    const std::string_view pending = outbox.Pending();
    const ssize_t n = ::write(m_pty.MasterFd(), pending.data(), pending.size());
    if (n > 0) {
      outbox.Consume(static_cast<size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
      return true;  // the terminal is full: poll() waits for room
    } else {
      return Fail(error, "write");
    }
  }
  return true;
}
