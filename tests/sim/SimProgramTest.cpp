// Runs the real korvex-sim program and talks to it over its pseudo-terminal. Every wait for
// the child is bounded. (Its frames, --rate and --version are exercised by the korvex-cli
// end-to-end tests.)
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/ChildProcess.h"
#include "support/ScratchDir.h"
#include "SimTestClient.h"

namespace {

class SimProgram : public testing::Test {
protected:
  bool LinkExists() const { return std::filesystem::is_symlink(std::filesystem::symlink_status(m_link)); }

  ScratchDir m_dir;
  const std::string m_link = m_dir / "module.tty";
  CChildProcess m_sim;
};

}  // namespace

TEST_F(SimProgram, ServesItsTerminalUntilSigtermThenRemovesItsLink) {
  m_dir.Link("/nonexistent/old-module", "module.tty");  // a stale link to replace
  ASSERT_TRUE(m_sim.Start(KORVEX_SIM_PROGRAM, {"--link", m_link}));
  std::string path;
  ASSERT_TRUE(m_sim.ReadLine(path, WAIT_MS));
  ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
  EXPECT_EQ(std::filesystem::read_symlink(m_link), path);

  const std::vector<SLine> lines = Exchange(m_link, ":Y59\r", 1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].m_cLetter, 'Y');
  EXPECT_EQ(lines[0].m_abyFields, (std::vector<uint8_t>{0x1C, 0x0F, 0x34, 0, 0, 0, 0, 0, 0, 0, 0}));

  m_sim.Signal(SIGTERM);
  EXPECT_EQ(m_sim.Finish(WAIT_MS), 0);
  EXPECT_FALSE(LinkExists());
}

TEST_F(SimProgram, EndsByItselfAfterTheGivenSeconds) {
  std::string path;
  ASSERT_TRUE(m_sim.Start(KORVEX_SIM_PROGRAM, {"--seconds", "1", "--link", m_link}));
  ASSERT_TRUE(m_sim.ReadLine(path, WAIT_MS));
  EXPECT_TRUE(LinkExists());
  EXPECT_EQ(m_sim.Finish(WAIT_MS), 0);
  EXPECT_FALSE(LinkExists());
}

TEST_F(SimProgram, RefusesToReplaceARegularFileWithItsLink) {
  const std::string file = m_dir.Write("module.tty", "keep me");
  ASSERT_TRUE(m_sim.Start(KORVEX_SIM_PROGRAM, {"--link", m_link}));
  EXPECT_EQ(m_sim.Finish(WAIT_MS), 1);
  EXPECT_EQ(m_sim.Out(), "");
  EXPECT_NE(m_sim.Err().find("not a symbolic link"), std::string::npos);
  std::ifstream in(file);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep me");
}

// A refused command line gives the usage and exit code 2; the options the other tests use
// are taken.
TEST(SimOptions, BadCommandLinesAreRefused) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--rate"}, {"--rate", "abc"}, {"--rate", "-1"}, {"--rate", "100001"}, {"--rate", "10x"}, {"--rate", ""},
           {"--version", "0x100"}, {"--version", "0x"}, {"--seconds", "0"}, {"--seconds", "99999999999999999999"},
           {"--link", ""}, {"--port", "x"}, {"extra"}}) {
    CChildProcess sim;
    ASSERT_TRUE(sim.Start(KORVEX_SIM_PROGRAM, args));
    EXPECT_EQ(sim.Finish(WAIT_MS), 2) << testing::PrintToString(args);
    EXPECT_EQ(sim.Err().rfind("korvex-sim: ", 0), 0u) << sim.Err();
    EXPECT_NE(sim.Err().find("usage: korvex-sim"), std::string::npos);
    EXPECT_EQ(sim.Out(), "");
  }
}
