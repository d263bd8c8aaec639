// Runs the real korvex-sim program and talks to it over its pseudo-terminal. Every wait
// for the child is bounded.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "link/CUniqueFd.h"
#include "SimTestClient.h"

extern char** environ;

namespace {

class CSimProcess {
public:
  ~CSimProcess() {
    if (m_nPid > 0) {
      ::kill(m_nPid, SIGKILL);
      ::waitpid(m_nPid, nullptr, 0);
    }
  }

  void Start(const std::vector<std::string>& args) {
    int anOut[2], anErr[2];
    ASSERT_EQ(::pipe2(anOut, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(anErr, O_CLOEXEC), 0);
    m_stdout.Reset(anOut[0]);
    m_stderr.Reset(anErr[0]);
    const CUniqueFd outWrite(anOut[1]), errWrite(anErr[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outWrite.Get(), 1);
    posix_spawn_file_actions_adddup2(&actions, errWrite.Get(), 2);
    std::vector<char*> argv{const_cast<char*>(KORVEX_SIM_PROGRAM)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const int nError = ::posix_spawn(&m_nPid, KORVEX_SIM_PROGRAM, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ASSERT_EQ(nError, 0) << "cannot start " << KORVEX_SIM_PROGRAM;
    m_pidFd.Reset(static_cast<int>(::syscall(SYS_pidfd_open, m_nPid, 0)));  // readable once it ends
    ASSERT_TRUE(m_pidFd.IsValid());
  }

  // The first line of standard output, without its line feed; empty at the deadline.
  std::string ReadFirstLine() {
    const auto deadline = Clock::now() + std::chrono::milliseconds(WAIT_MS);
    std::string text;
    char c = 0;
    while (WaitReadable(m_stdout.Get(), deadline) && ::read(m_stdout.Get(), &c, 1) == 1) {
      if (c == '\n') return text;
      text += c;
    }
    return {};
  }

  // Exit code, or -1 when the program did not end normally within the wait.
  int WaitExit() {
    if (!WaitReadable(m_pidFd.Get(), Clock::now() + std::chrono::milliseconds(WAIT_MS))) return -1;
    int nStatus = 0;
    const pid_t nPid = ::waitpid(m_nPid, &nStatus, 0);
    m_nPid = 0;
    return nPid > 0 && WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
  }

  void Signal(int nSignal) { ::kill(m_nPid, nSignal); }

  // What the program wrote to fd (after it ended).
  static std::string ReadAll(const CUniqueFd& fd) {
    std::string text;
    char acBlock[4096];
    ssize_t n;
    while ((n = ::read(fd.Get(), acBlock, sizeof acBlock)) > 0) text.append(acBlock, static_cast<size_t>(n));
    return text;
  }
  std::string Stdout() const { return ReadAll(m_stdout); }
  std::string Stderr() const { return ReadAll(m_stderr); }

private:
  pid_t m_nPid = 0;
  CUniqueFd m_stdout, m_stderr, m_pidFd;
};

class SimProgram : public testing::Test {
protected:
  void SetUp() override {
    char szTemplate[] = "/tmp/korvex-sim-test-XXXXXX";
    ASSERT_NE(::mkdtemp(szTemplate), nullptr);
    m_dir = szTemplate;
    m_link = m_dir + "/module.tty";
  }
  void TearDown() override {
    ::unlink(m_link.c_str());
    ::rmdir(m_dir.c_str());
  }
  bool LinkExists() const {
    struct stat info {};
    return ::lstat(m_link.c_str(), &info) == 0;
  }
  std::string LinkTarget() const {
    char szTarget[256] = {};
    const ssize_t n = ::readlink(m_link.c_str(), szTarget, sizeof szTarget - 1);
    return n > 0 ? std::string(szTarget, static_cast<size_t>(n)) : std::string();
  }

  std::string m_dir;
  std::string m_link;
};

}  // namespace

TEST_F(SimProgram, AnswersOnItsTerminalAndRemovesItsLinkOnSigterm) {
  ASSERT_EQ(::symlink("/nonexistent/old-module", m_link.c_str()), 0);  // a stale link to replace
  CSimProcess sim;
  ASSERT_NO_FATAL_FAILURE(sim.Start({"--link", m_link}));
  const std::string path = sim.ReadFirstLine();
  ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
  EXPECT_EQ(LinkTarget(), path);

  CTerminalClient client(m_link);
  ASSERT_TRUE(client.IsOpen());
  ASSERT_TRUE(client.Send(":Y59\r"));
  const std::vector<SLine> lines = client.Receive(1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].m_cLetter, 'Y');
  ASSERT_EQ(lines[0].m_abyFields.size(), 11u);
  EXPECT_EQ(lines[0].m_abyFields[0], 0x1C);
  EXPECT_EQ(client.Raw(), ":Y1C0F340000000000000000AA\r");

  sim.Signal(SIGTERM);
  EXPECT_EQ(sim.WaitExit(), 0);
  EXPECT_FALSE(LinkExists());
}

TEST_F(SimProgram, StreamsPacedFramesWithoutGaps) {
  CSimProcess sim;
  ASSERT_NO_FATAL_FAILURE(sim.Start({"--rate", "2000", "--version", "0x21"}));
  CTerminalClient client(sim.ReadFirstLine());
  ASSERT_TRUE(client.IsOpen());
  ASSERT_TRUE(client.Send(":V56\r:G11A9\r"));
  const std::vector<SLine> lines = client.Receive(502);
  ASSERT_GE(lines.size(), 502u);
  EXPECT_EQ(lines[0].m_cLetter, 'V');
  EXPECT_EQ(lines[0].m_abyFields.at(0), 0x21);
  EXPECT_EQ(lines[1].m_cLetter, 'G');
  EXPECT_EQ(lines[1].m_abyFields.at(0), 0x01);
  for (uint32_t i = 0; i < 500; ++i) {
    const SLine& frame = lines[2 + i];
    ASSERT_EQ(frame.m_cLetter, 'U');
    ASSERT_EQ(frame.m_abyFields.size(), 13u);
    ASSERT_EQ(frame.Number(5, 4), i) << "frame lost or out of order";
    ASSERT_EQ(frame.Number(9, 4), ~i);
  }
  for (const std::string& line : SplitLines(client.Raw())) {
    if (line.back() == '\r') {
      EXPECT_TRUE(IsFramedLine(line));
    }
  }
  sim.Signal(SIGINT);
  EXPECT_EQ(sim.WaitExit(), 0);
}

TEST_F(SimProgram, EndsByItselfAfterTheGivenSeconds) {
  CSimProcess sim;
  ASSERT_NO_FATAL_FAILURE(sim.Start({"--seconds", "1", "--link", m_link}));
  EXPECT_FALSE(sim.ReadFirstLine().empty());
  EXPECT_TRUE(LinkExists());
  EXPECT_EQ(sim.WaitExit(), 0);
  EXPECT_FALSE(LinkExists());
}

TEST_F(SimProgram, BadArgumentsGiveUsageAndExitCode2) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--rate", "fast"}, {"--seconds"}, {"--bogus"}, {"--version", "0x100"}}) {
    CSimProcess sim;
    ASSERT_NO_FATAL_FAILURE(sim.Start(args));
    EXPECT_EQ(sim.WaitExit(), 2) << args[0];
    EXPECT_NE(sim.Stderr().find("usage: korvex-sim"), std::string::npos) << args[0];
    EXPECT_EQ(sim.Stdout(), "") << args[0];
  }
}

TEST_F(SimProgram, RefusesToReplaceARegularFileWithItsLink) {
  std::ofstream(m_link) << "keep me";
  CSimProcess sim;
  ASSERT_NO_FATAL_FAILURE(sim.Start({"--link", m_link}));
  EXPECT_EQ(sim.WaitExit(), 1);
  EXPECT_EQ(sim.Stdout(), "");
  EXPECT_NE(sim.Stderr().find("not a symbolic link"), std::string::npos);
  std::ifstream file(m_link);
  std::string content;
  std::getline(file, content);
  EXPECT_EQ(content, "keep me");
}
