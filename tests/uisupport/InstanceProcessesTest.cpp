// Several copies of the probe, each a real process with the guard and its Qt listener, sharing
// one scratch runtime directory.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/ScratchDir.h"

namespace {

constexpr int LINE_TIMEOUT_MS = 10000;

class ProbeProcess {
public:
  explicit ProbeProcess(const std::string& runtimeDir) {
    int anInput[2], anOutput[2];
    if (::pipe2(anInput, O_CLOEXEC) != 0 || ::pipe2(anOutput, O_CLOEXEC) != 0) return;
    m_pid = ::fork();
    if (m_pid == 0) {
      ::dup2(anInput[0], STDIN_FILENO);
      ::dup2(anOutput[1], STDOUT_FILENO);
      ::execl(KORVEX_INSTANCE_PROBE, KORVEX_INSTANCE_PROBE, runtimeDir.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(anInput[0]);
    ::close(anOutput[1]);
    m_nInput = anInput[1];
    m_nOutput = anOutput[0];
  }
  ~ProbeProcess() {
    if (m_pid > 0 && !m_bReaped) {
      ::kill(m_pid, SIGKILL);
      ::waitpid(m_pid, nullptr, 0);
    }
    if (m_nInput >= 0) ::close(m_nInput);
    if (m_nOutput >= 0) ::close(m_nOutput);
  }
  ProbeProcess(const ProbeProcess&) = delete;
  ProbeProcess& operator=(const ProbeProcess&) = delete;

  pid_t Pid() const { return m_pid; }

  // The next line the probe printed, or "<timeout>" / "<eof>".
  std::string ReadLine() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(LINE_TIMEOUT_MS);
    for (;;) {
      const auto nEnd = m_buffer.find('\n');
      if (nEnd != std::string::npos) {
        std::string line = m_buffer.substr(0, nEnd);
        m_buffer.erase(0, nEnd + 1);
        return line;
      }
      const auto nLeft =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd pfd{m_nOutput, POLLIN, 0};
      if (nLeft.count() <= 0 || ::poll(&pfd, 1, static_cast<int>(nLeft.count())) <= 0) return "<timeout>";
      char szBuffer[256];
      const ssize_t nRead = ::read(m_nOutput, szBuffer, sizeof szBuffer);
      if (nRead <= 0) return "<eof>";
      m_buffer.append(szBuffer, static_cast<std::size_t>(nRead));
    }
  }

  void Send(const std::string& command) {
    const std::string line = command + "\n";
    ASSERT_EQ(::write(m_nInput, line.data(), line.size()), static_cast<ssize_t>(line.size()));
  }

  // Closes the probe's input, which ends it cleanly, and returns its exit status.
  int CloseAndWait() {
    ::close(m_nInput);
    m_nInput = -1;
    int nStatus = 0;
    ::waitpid(m_pid, &nStatus, 0);
    m_bReaped = true;
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
  }

  // Kills the probe outright and waits until it has ended, leaving it unreaped (a zombie), as a
  // crashed instance is until its parent collects it.
  void Crash() {
    ::kill(m_pid, SIGKILL);
    siginfo_t info{};
    ::waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOWAIT);
  }

private:
  pid_t m_pid = -1;
  int m_nInput = -1;
  int m_nOutput = -1;
  bool m_bReaped = false;
  std::string m_buffer;
};

class InstanceProcessesTest : public ::testing::Test {
protected:
  std::string SocketOf(const ProbeProcess& probe) const {
    return m_dir / ("CInstanceGuard_Korvex." + std::to_string(probe.Pid()) + ".sock");
  }

  ScratchDir m_dir;
};

TEST_F(InstanceProcessesTest, SecondInstanceBringsTheFirstForwardAndLeavesAgain) {
  ProbeProcess first(m_dir.Path());
  ASSERT_EQ(first.ReadLine(), "started listening=1 too_many=0 count=1");
  {
    ProbeProcess second(m_dir.Path());
    EXPECT_EQ(second.ReadLine(), "started listening=1 too_many=1 count=2");
    EXPECT_EQ(first.ReadLine(), "activated");
    EXPECT_EQ(second.CloseAndWait(), 0);
  }
  first.Send("count");
  EXPECT_EQ(first.ReadLine(), "count=1");
  first.Send("ask");
  EXPECT_EQ(first.ReadLine(), "too_many=0");
  EXPECT_EQ(first.CloseAndWait(), 0);
  EXPECT_FALSE(std::filesystem::exists(SocketOf(first)));
}

TEST_F(InstanceProcessesTest, EarliestInstanceAskingBringsTheSecondForward) {
  ProbeProcess first(m_dir.Path());
  ASSERT_EQ(first.ReadLine(), "started listening=1 too_many=0 count=1");
  ProbeProcess second(m_dir.Path());
  ASSERT_EQ(second.ReadLine(), "started listening=1 too_many=1 count=2");
  ASSERT_EQ(first.ReadLine(), "activated");

  first.Send("ask");
  EXPECT_EQ(first.ReadLine(), "too_many=1");
  EXPECT_EQ(second.ReadLine(), "activated");
}

TEST_F(InstanceProcessesTest, KilledInstanceDoesNotMakeTheNextOneSecondary) {
  ProbeProcess crashed(m_dir.Path());
  ASSERT_EQ(crashed.ReadLine(), "started listening=1 too_many=0 count=1");
  ASSERT_TRUE(std::filesystem::exists(SocketOf(crashed)));
  crashed.Crash();

  ProbeProcess next(m_dir.Path());
  EXPECT_EQ(next.ReadLine(), "started listening=1 too_many=0 count=1");
  EXPECT_FALSE(std::filesystem::exists(SocketOf(crashed)));
}

}  // namespace
