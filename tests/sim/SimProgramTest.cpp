// The real korvex-sim program; every wait is bounded.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <future>

#include "SimTestClient.h"
#include "sim/CSimPtyServer.h"
#include "support/ChildProcess.h"
#include "support/ScratchDir.h"

// Serves behind its link until SIGTERM, then removes it; a regular file there is kept and the run fails.
TEST(SimProgram, ServesBehindItsLinkUntilSigtermAndNeverReplacesAFile) {
  ScratchDir dir;
  const std::string link = dir / "module.tty";
  dir.Link("/nonexistent/old-module", "module.tty");
  CChildProcess sim;
  ASSERT_TRUE(sim.Start(KORVEX_SIM_PROGRAM, {"--link", link}));
  std::string path;
  ASSERT_TRUE(sim.ReadLine(path, WAIT_MS));
  EXPECT_EQ(std::filesystem::read_symlink(link), path);
  sim.Signal(SIGTERM);
  EXPECT_EQ(sim.Finish(WAIT_MS), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));

  const std::string file = dir.Write("module.tty", "keep me");
  CChildProcess refused;
  ASSERT_TRUE(refused.Start(KORVEX_SIM_PROGRAM, {"--link", file}));
  EXPECT_EQ(refused.Finish(WAIT_MS), 1);
  EXPECT_NE(refused.Err().find("not a symbolic link"), std::string::npos) << refused.Err();
  EXPECT_EQ(ReadWholeFile(file), "keep me");

  for (const auto& [pszOption, outStart] : {std::pair{"--help", "usage: korvex-sim "}, {"--version", "korvex-sim "}}) {
    CChildProcess info;
    ASSERT_TRUE(info.Start(KORVEX_SIM_PROGRAM, {pszOption}));
    const int nExit = info.Finish(WAIT_MS);
    EXPECT_EQ(std::tuple(nExit, info.Out().rfind(outStart, 0), info.Err()), std::tuple(0, 0u, "")) << info.Out();
  }
}

// A run with a time limit (--seconds) ends by itself when the time is up.
TEST(SimPtyServer, RunEndsWhenItsTimeIsUp) {
  CSimModule module;
  CSimPtyServer server(module);
  std::string error;
  ASSERT_TRUE(server.Open(error)) << error;
  const auto start = std::chrono::steady_clock::now();
  std::future<bool> served = std::async(std::launch::async, [&] { return server.Run(-1, 30, error); });
  const bool bEnded = served.wait_for(std::chrono::milliseconds(WAIT_MS)) == std::future_status::ready;
  server.Stop();  // a run that ignores its limit is ended here, and the test fails
  EXPECT_TRUE(bEnded && served.get()) << error;
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
}
