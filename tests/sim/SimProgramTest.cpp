// The module served on a pseudo-terminal: the real korvex-sim program, and its server on a
// thread of the test. Every wait is bounded. (The program's frames, --rate and --version are
// exercised by the korvex-cli end-to-end tests.)
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "sim/CSimPtyServer.h"
#include "support/ChildProcess.h"
#include "support/ScratchDir.h"
#include "SimTestClient.h"

// The program serves its terminal behind a link (replacing a stale one) until SIGTERM or the
// end of its seconds, then removes the link.
TEST(SimProgram, ServesItsTerminalUntilSigtermOrItsSecondsThenRemovesItsLink) {
  for (const bool bSigterm : {true, false}) {
    ScratchDir dir;
    const std::string link = dir / "module.tty";
    dir.Link("/nonexistent/old-module", "module.tty");
    CChildProcess sim;
    ASSERT_TRUE(sim.Start(KORVEX_SIM_PROGRAM, {"--link", link, "--seconds", bSigterm ? "120" : "1"}));
    std::string path;
    ASSERT_TRUE(sim.ReadLine(path, WAIT_MS));
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
    EXPECT_EQ(std::filesystem::read_symlink(link), path);
    if (bSigterm) {
      const std::vector<SLine> lines = Exchange(link, ":Y59\r", 1);
      ASSERT_EQ(lines.size(), 1u);
      EXPECT_EQ(lines[0].m_cLetter, 'Y');
      EXPECT_EQ(lines[0].m_abyFields, (std::vector<uint8_t>{0x1C, 0x0F, 0x34, 0, 0, 0, 0, 0, 0, 0, 0}));
      sim.Signal(SIGTERM);
    }
    EXPECT_EQ(sim.Finish(WAIT_MS), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link))) << bSigterm;
  }
}

TEST(SimProgram, RefusesToReplaceARegularFileWithItsLink) {
  ScratchDir dir;
  const std::string file = dir.Write("module.tty", "keep me");
  CChildProcess sim;
  ASSERT_TRUE(sim.Start(KORVEX_SIM_PROGRAM, {"--link", file}));
  EXPECT_EQ(sim.Finish(WAIT_MS), 1);
  EXPECT_EQ(sim.Out(), "");
  EXPECT_NE(sim.Err().find("not a symbolic link"), std::string::npos);
  std::ifstream in(file);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep me");
}

// A refused command line gives the usage and exit code 2.
TEST(SimOptions, BadCommandLinesAreRefused) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--rate"}, {"--rate", "-1"}, {"--rate", "100001"}, {"--rate", "10x"}, {"--rate", ""}, {"--version", "0x100"},
           {"--version", "0x"}, {"--seconds", "0"}, {"--seconds", "99999999999999999999"}, {"--link", ""}, {"extra"}}) {
    CChildProcess sim;
    ASSERT_TRUE(sim.Start(KORVEX_SIM_PROGRAM, args));
    EXPECT_EQ(sim.Finish(WAIT_MS), 2) << testing::PrintToString(args);
    EXPECT_EQ(sim.Err().rfind("korvex-sim: ", 0), 0u) << sim.Err();
    EXPECT_NE(sim.Err().find("usage: korvex-sim"), std::string::npos);
    EXPECT_EQ(sim.Out(), "");
  }
}

// A task posted from another thread runs on the serving thread and its lines reach the client;
// Stop() ends the run.
TEST(SimServer, PostedErrorStatesReachTheClient) {
  CSimModule module;
  CSimPtyServer server(module);
  std::string error;
  ASSERT_TRUE(server.Open(error)) << error;
  bool bServed = false;
  std::thread thread([&] { bServed = server.Run(-1, CSimPtyServer::NO_TIME_LIMIT, error); });
  server.Post([](CSimModule& sim) { sim.RaiseErrorState(CSimModule::ERROR_ALL); });
  const std::vector<SLine> lines = Exchange(server.SlavePath(), "", 2);
  server.Stop();
  thread.join();
  EXPECT_TRUE(bServed) << error;
  ASSERT_EQ(lines.size(), 2u);  // the default mode reports bus-off only, then resets by itself
  EXPECT_EQ(std::string{lines[0].m_cLetter} + lines[1].m_cLetter, "IR");
  EXPECT_EQ(lines[0].m_abyFields, std::vector<uint8_t>{0x01});
  EXPECT_EQ(lines[1].m_abyFields, std::vector<uint8_t>{0x01});
}
