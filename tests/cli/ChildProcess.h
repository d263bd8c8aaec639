#pragma once
// A program run by a test, its standard output and error read through pipes. Every wait is
// bounded; a child still running when the object goes is killed.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <vector>

extern char** environ;

class CChildProcess {
public:
  using Clock = std::chrono::steady_clock;

  CChildProcess() = default;
  ~CChildProcess() {
    if (m_nPid > 0) {
      ::kill(m_nPid, SIGKILL);
      ::waitpid(m_nPid, nullptr, 0);
    }
    for (const int fd : {m_fdOut, m_fdErr})
      if (fd >= 0) ::close(fd);
  }
  CChildProcess(const CChildProcess&) = delete;
  CChildProcess& operator=(const CChildProcess&) = delete;

  bool Start(const std::string& program, const std::vector<std::string>& args) {
    int anOut[2], anErr[2];
    if (::pipe2(anOut, O_CLOEXEC) != 0) return false;
    if (::pipe2(anErr, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, anOut[1], 1);
    posix_spawn_file_actions_adddup2(&actions, anErr[1], 2);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const int nError = ::posix_spawn(&m_nPid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(anOut[1]);
    ::close(anErr[1]);
    m_fdOut = anOut[0];
    m_fdErr = anErr[0];
    if (nError != 0) m_nPid = 0;
    return nError == 0;
  }

  // The next line of standard output without its line feed; false at the deadline or the end.
  bool ReadLine(std::string& line, int nTimeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(nTimeoutMs);
    for (;;) {
      const std::size_t nEnd = m_out.find('\n', m_nOutRead);
      if (nEnd != std::string::npos) {
        line = m_out.substr(m_nOutRead, nEnd - m_nOutRead);
        m_nOutRead = nEnd + 1;
        return true;
      }
      if (!ReadSome(deadline)) return false;
    }
  }

  void Signal(int nSignal) { ::kill(m_nPid, nSignal); }

  // Reads both streams to their end and waits for the exit; the exit code, or -1 when the
  // program did not end normally within the time.
  int Finish(int nTimeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(nTimeoutMs);
    while (m_fdOut >= 0 || m_fdErr >= 0)
      if (!ReadSome(deadline)) return -1;
    int nStatus = 0;
    while (::waitpid(m_nPid, &nStatus, WNOHANG) == 0) {
      if (Clock::now() > deadline) return -1;
      ::poll(nullptr, 0, 10);  // the pipes are closed: the exit is moments away
    }
    m_nPid = 0;
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
  }

  // Standard output lines not yet taken by ReadLine, and all of standard error.
  std::vector<std::string> RemainingLines() const { return SplitLines(m_out.substr(m_nOutRead)); }
  std::vector<std::string> ErrorLines() const { return SplitLines(m_err); }

private:
  static std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t nStart = 0;
    for (std::size_t nEnd; (nEnd = text.find('\n', nStart)) != std::string::npos; nStart = nEnd + 1)
      lines.push_back(text.substr(nStart, nEnd - nStart));
    return lines;
  }

  // Waits for either stream and appends what it has; false at the deadline or when both ended.
  bool ReadSome(Clock::time_point deadline) {
    if (m_fdOut < 0 && m_fdErr < 0) return false;
    pollfd afd[2] = {{m_fdOut, POLLIN, 0}, {m_fdErr, POLLIN, 0}};
    const auto nLeft = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (nLeft <= 0 || ::poll(afd, 2, static_cast<int>(nLeft)) <= 0) return false;
    char ach[65536];
    int* const apFd[2] = {&m_fdOut, &m_fdErr};
    std::string* const apText[2] = {&m_out, &m_err};
    for (int i = 0; i < 2; ++i) {
      if (*apFd[i] < 0 || afd[i].revents == 0) continue;
      const ssize_t n = ::read(*apFd[i], ach, sizeof ach);
      if (n > 0) {
        apText[i]->append(ach, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        ::close(*apFd[i]);
        *apFd[i] = -1;
      }
    }
    return true;
  }

  pid_t m_nPid = 0;
  int m_fdOut = -1;
  int m_fdErr = -1;
  std::string m_out;
  std::size_t m_nOutRead = 0;
  std::string m_err;
};
