#pragma once
// A forked child that only waits to be killed: a real, running process id for the guard's list.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>

class ChildProcess {
public:
  ChildProcess() : m_pid(::fork()) {
    if (m_pid == 0) {
      for (;;) ::pause();
    }
  }
  ~ChildProcess() { End(); }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  uint32_t Id() const { return static_cast<uint32_t>(m_pid); }
  // Kills the child and waits until it has ended; with bReap false it stays a zombie.
  void Kill(bool bReap) {
    if (m_pid <= 0 || m_bKilled) return;
    ::kill(m_pid, SIGKILL);
    siginfo_t info{};
    ::waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | (bReap ? 0 : WNOWAIT));
    m_bKilled = true;
    m_bReaped = bReap;
  }
  void End() {
    Kill(true);
    if (m_pid > 0 && !m_bReaped) ::waitpid(m_pid, nullptr, 0);
    m_bReaped = true;
  }

private:
  pid_t m_pid;
  bool m_bKilled = false;
  bool m_bReaped = false;
};
