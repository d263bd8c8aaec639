// The real korvex-sim program, and its server on a thread of the test; every wait is bounded.
// (The program's frames, answers, --rate and --version are exercised by the korvex-cli tests.)
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <thread>

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
    EXPECT_EQ(std::filesystem::read_symlink(link), path);
    if (bSigterm) sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Finish(WAIT_MS), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link))) << bSigterm;
  }
}

// A refused command line gives the usage and exit code 2; a regular file where the link would
// go is kept, and the run fails.
TEST(SimOptions, BadCommandLinesAreRefused) {
  ScratchDir dir;
  const std::string file = dir.Write("module.tty", "keep me");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--rate"}, {"--rate", "-1"}, {"--rate", "100001"}, {"--rate", "10x"}, {"--rate", ""}, {"--firmware", "0x100"},
           {"--firmware", "0x"}, {"--seconds", "0"}, {"--seconds", "99999999999999999999"}, {"--link", ""}, {"extra"},
           {"--link", file}}) {
    const bool bFile = args.back() == file;
    CChildProcess sim;
    ASSERT_TRUE(sim.Start(KORVEX_SIM_PROGRAM, args));
    EXPECT_EQ(sim.Finish(WAIT_MS), bFile ? 1 : 2) << testing::PrintToString(args);
    EXPECT_EQ(sim.Err().rfind("korvex-sim: ", 0), 0u) << sim.Err();
    EXPECT_NE(sim.Err().find(bFile ? "not a symbolic link" : "usage: korvex-sim"), std::string::npos);
    EXPECT_EQ(sim.Out(), "");
  }
  std::ifstream in(file);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep me");
}

// A task posted from another thread runs on the serving thread and its lines reach the client
// (the default mode reports bus-off only, then resets by itself); Stop() ends the run.
TEST(SimServer, PostedErrorStatesReachTheClient) {
  CSimModule module;
  CSimPtyServer server(module);
  std::string error;
  ASSERT_TRUE(server.Open(error)) << error;
  bool bServed = false;
  std::thread thread([&] { bServed = server.Run(-1, CSimPtyServer::NO_TIME_LIMIT, error); });
  server.Post([](CSimModule& sim) { sim.RaiseErrorState(CSimModule::ERROR_ALL); });
  EXPECT_EQ(Exchange(server.SlavePath(), "", 2), (std::vector<std::string>{":I01", ":R01"}));
  server.Stop();
  thread.join();
  EXPECT_TRUE(bServed) << error;
}
