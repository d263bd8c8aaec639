#pragma once
// A program run by a test, its standard streams on pipes; every wait bounded, killed when the object goes.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

extern char** environ;

class CChildProcess {
public:
  using Clock = std::chrono::steady_clock;

  CChildProcess() = default;
  CChildProcess(const CChildProcess&) = delete;
  CChildProcess& operator=(const CChildProcess&) = delete;
  ~CChildProcess() {
    Kill(true);
    for (const int fd : m_afd) CloseFd(fd);
  }

  // fdOut, when given, is the child's standard output instead of a pipe read here.
  bool Start(const std::string& program, const std::vector<std::string>& args, int fdOut = -1) {
    int anIn[2], anOut[2] = {-1, -1}, anErr[2];
    if (::pipe2(anIn, O_CLOEXEC) != 0 || (fdOut < 0 && ::pipe2(anOut, O_CLOEXEC) != 0) ||
        ::pipe2(anErr, O_CLOEXEC) != 0)
      return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const int afdChild[3] = {anIn[0], fdOut < 0 ? anOut[1] : fdOut, anErr[1]};
    for (int fd = 0; fd < 3; ++fd) posix_spawn_file_actions_adddup2(&actions, afdChild[fd], fd);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const int nError = ::posix_spawn(&m_nPid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    for (const int fd : {anIn[0], anOut[1], anErr[1]}) CloseFd(fd);
    m_afd[0] = anOut[0], m_afd[1] = anErr[0], m_afd[2] = anIn[1];
    if (nError != 0) m_nPid = 0;
    return nError == 0;
  }
  // A real process that only waits to be killed.
  bool StartIdle() { return Start("/bin/sleep", {"600"}); }

  uint32_t Id() const { return static_cast<uint32_t>(m_nPid); }
  void Signal(int nSignal) { ::kill(m_nPid, nSignal); }
  // Kills the child and waits for its end; with bReap false it stays a zombie, as a crashed program does.
  void Kill(bool bReap) {
    if (m_nPid <= 0) return;
    ::kill(m_nPid, SIGKILL);
    siginfo_t info{};
    ::waitid(P_PID, static_cast<id_t>(m_nPid), &info, WEXITED | (bReap ? 0 : WNOWAIT));
    if (bReap) m_nPid = 0;
  }

  // Ends the child's standard input.
  void CloseInput() { CloseFd(std::exchange(m_afd[2], -1)); }

  // The next line of standard output without its line feed; false at the deadline or the end.
  bool ReadLine(std::string& line, int nTimeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(nTimeoutMs);
    std::size_t nEnd;
    while ((nEnd = m_atext[0].find('\n', m_nOutRead)) == std::string::npos)
      if (!ReadSome(deadline)) return false;
    line = m_atext[0].substr(m_nOutRead, nEnd - m_nOutRead);
    m_nOutRead = nEnd + 1;
    return true;
  }

  // Reads both streams to the end and waits: the exit code, 128 + the signal, or -1 on timeout.
  int Finish(int nTimeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(nTimeoutMs);
    while (m_afd[0] >= 0 || m_afd[1] >= 0)
      if (!ReadSome(deadline)) return -1;
    int nStatus = 0;
    while (::waitpid(m_nPid, &nStatus, WNOHANG) == 0) {
      if (Clock::now() > deadline) return -1;
      ::poll(nullptr, 0, 10);  // the pipes are closed: the exit is moments away
    }
    m_nPid = 0;
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
  }

  // Standard output not yet taken by ReadLine, and all of standard error.
  std::string Out() const { return m_atext[0].substr(m_nOutRead); }
  const std::string& Err() const { return m_atext[1]; }

private:
  static void CloseFd(int fd) {
    if (fd >= 0) ::close(fd);
  }
  // Waits for either stream and appends what it has; false at the deadline or when both ended.
  bool ReadSome(Clock::time_point deadline) {
    pollfd afd[2] = {{m_afd[0], POLLIN, 0}, {m_afd[1], POLLIN, 0}};
    const auto nLeft = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if ((m_afd[0] < 0 && m_afd[1] < 0) || nLeft <= 0 || ::poll(afd, 2, static_cast<int>(nLeft)) <= 0) return false;
    char ach[65536];
    for (int i = 0; i < 2; ++i) {
      if (m_afd[i] < 0 || afd[i].revents == 0) continue;
      const ssize_t n = ::read(m_afd[i], ach, sizeof ach);
      if (n > 0)
        m_atext[i].append(ach, static_cast<std::size_t>(n));
      else if (n == 0 || errno != EINTR)
        CloseFd(std::exchange(m_afd[i], -1));
    }
    return true;
  }

  pid_t m_nPid = 0;
  int m_afd[3] = {-1, -1, -1};  // standard output, standard error (read), standard input (written)
  std::string m_atext[2];       // what output and error have given so far
  std::size_t m_nOutRead = 0;   // standard output taken by ReadLine
};

// As root: runs the current test again in a copy of this binary as uid 65534, and returns true.
inline bool RanAsUnprivilegedCopy() {
  if (::geteuid() != 0) return false;
  const auto* pTest = ::testing::UnitTest::GetInstance()->current_test_info();
  CChildProcess child;
  EXPECT_TRUE(child.Start("/usr/bin/setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                                               std::filesystem::read_symlink("/proc/self/exe").string(),
                                               std::string("--gtest_filter=") + pTest->test_suite_name() + "." +
                                                   pTest->name()}));
  EXPECT_EQ(child.Finish(60000), 0) << child.Out() << child.Err();
  EXPECT_NE(child.Out().find("[  PASSED  ] 1 test"), std::string::npos) << child.Out();
  return true;
}
