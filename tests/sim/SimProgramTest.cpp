// The real korvex-sim program; every wait is bounded. (Its frames, answers and --rate are
// exercised by the korvex-cli tests, its server on a thread through CSimThread.)
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <fstream>

#include "KorvexVersion.h"
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

// --help and --version go to standard output with exit 0 (help2man reads them). A refused
// command line gives the usage and exit code 2; a regular file where the link would go is
// kept, and the run fails.
TEST(SimOptions, HelpVersionAndRefusedCommandLines) {
  for (const auto& [pszOption, outStart] : {std::pair<const char*, std::string>{"--help", "usage: korvex-sim "},
                                            {"--version", std::string("korvex-sim ") + KORVEX_VERSION + "\n"}}) {
    CChildProcess sim;
    ASSERT_TRUE(sim.Start(KORVEX_SIM_PROGRAM, {pszOption}));
    EXPECT_EQ(sim.Finish(WAIT_MS), 0) << pszOption;
    EXPECT_EQ(sim.Out().substr(0, outStart.size()), outStart);
    EXPECT_EQ(sim.Err(), "");
  }
  EXPECT_EQ(std::string(KORVEX_VERSION).rfind("1.0", 0), 0u) << "the window's title says V1.0";
  ScratchDir dir;
  const std::string file = dir.Write("module.tty", "keep me");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--rate"}, {"--rate", "-1"}, {"--rate", "100001"}, {"--rate", "10x"}, {"--rate", ""}, {"--firmware", "0x100"},
           {"--firmware", "0x"}, {"--seconds", "0"}, {"--seconds", "99999999999999999999"}, {"--link", ""}, {"extra"},
           {"--ids", "0"}, {"--ids", "100001"}, {"--bus", "--ids", "10"},
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
