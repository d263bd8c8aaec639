#pragma once
// A forked child for the instance tests: it runs a program with one argument, its input and
// output on pipes, or, without a program, only waits to be killed (a real, running process id).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <string>

class ChildProcess {
public:
  explicit ChildProcess(const char* pszProgram = nullptr, const std::string& argument = {}) {
    int anInput[2], anOutput[2];
    if (::pipe2(anInput, O_CLOEXEC) != 0 || ::pipe2(anOutput, O_CLOEXEC) != 0) return;
    m_pid = ::fork();
    if (m_pid == 0) {
      ::dup2(anInput[0], STDIN_FILENO);
      ::dup2(anOutput[1], STDOUT_FILENO);
      if (pszProgram == nullptr) for (;;) ::pause();
      ::execl(pszProgram, pszProgram, argument.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(anInput[0]);
    ::close(anOutput[1]);
    m_nInput = anInput[1];
    m_nOutput = anOutput[0];
  }
  ~ChildProcess() {
    Kill(true);
    ::close(m_nInput);
    ::close(m_nOutput);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  uint32_t Id() const { return static_cast<uint32_t>(m_pid); }
  // Kills the child and waits until it has ended; with bReap false it stays a zombie, as a
  // crashed instance is until its parent collects it.
  void Kill(bool bReap) {
    if (m_pid <= 0 || m_bReaped) return;
    ::kill(m_pid, SIGKILL);
    siginfo_t info{};
    ::waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | (bReap ? 0 : WNOWAIT));
    m_bReaped = bReap;
  }
  // Closes the child's input, which ends a probe cleanly, and returns its exit status.
  int CloseInputAndWait() {
    ::close(m_nInput);
    m_nInput = -1;
    int nStatus = -1;
    if (::waitpid(m_pid, &nStatus, 0) == m_pid) m_bReaped = true;
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
  }
  bool Send(const std::string& line) {
    return ::write(m_nInput, (line + "\n").data(), line.size() + 1) == static_cast<ssize_t>(line.size() + 1);
  }
  // The next line the child printed; what came of it, marked, when none came within ten seconds.
  std::string ReadLine() {
    std::string line;
    pollfd pfd{m_nOutput, POLLIN, 0};
    for (char c; ::poll(&pfd, 1, 10000) > 0 && ::read(m_nOutput, &c, 1) == 1; line += c)
      if (c == '\n') return line;
    return line + "<no end of line>";
  }

private:
  pid_t m_pid = -1;
  int m_nInput = -1;
  int m_nOutput = -1;
  bool m_bReaped = false;
};
