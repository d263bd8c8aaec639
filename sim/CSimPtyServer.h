#pragma once
// Serves a CSimModule on a pseudo-terminal: one thread waits in poll() on the master, a stop
// descriptor and its own wake-up descriptor, with a timeout only as long as the module's next
// scheduled line needs, so an idle module (or one not receiving) costs no CPU. Output that
// the terminal cannot take stays in the module's bounded outbox; what overflows it is counted
// there, never lost silently.
//
// While Run() serves, only the serving thread touches the module; another thread may end the
// run with Stop().
#include <atomic>
#include <cstdint>
#include <string>

#include "sim/CSimModule.h"
#include "sim/CSimPty.h"
#include "link/CUniqueFd.h"

class CSimPtyServer {
public:
  static constexpr uint64_t NO_TIME_LIMIT = UINT64_MAX;
  static constexpr size_t READ_BLOCK_SIZE = 4096;
  static constexpr unsigned MAX_READS_PER_WAKE = 16;  // lets output flow while a client floods

  explicit CSimPtyServer(CSimModule& module) : m_module(module) {}

  // Opens the pseudo-terminal; false with the failed call named in error.
  bool Open(std::string& error);
  const std::string& SlavePath() const { return m_pty.SlavePath(); }

  // Serves until nStopFd (may be -1) becomes readable, Stop() is called or qwRunMs have
  // passed; the module's clock is the monotonic clock in milliseconds since this call.
  // False when the terminal fails.
  bool Run(int nStopFd, uint64_t qwRunMs, std::string& error);

  // Any thread: makes Run() return (also when called before Run()).
  void Stop();

private:
  void Wake();
  bool ReadInput(std::string& error);
  bool WriteOutput(std::string& error);

  CSimModule& m_module;
  CSimPty m_pty;
  CUniqueFd m_wakeFd;  // eventfd written by Stop()
  std::atomic<bool> m_bStop{false};
};
