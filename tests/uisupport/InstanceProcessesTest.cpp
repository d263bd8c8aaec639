// Copies of the probe, real processes sharing one scratch runtime directory.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/ChildProcess.h"
#include "support/ScratchDir.h"

namespace {

constexpr int WAIT_MS = 10000;

std::string NextLine(CChildProcess& probe) {
  std::string line;
  return probe.ReadLine(line, WAIT_MS) ? line : "<no line>";
}

std::string SocketOf(const ScratchDir& dir, const CChildProcess& probe) {
  return dir / ("CInstanceGuard_Korvex." + std::to_string(probe.Id()) + ".sock");
}

// A second instance brings the first forward; crashed instances' sockets do not make the next one secondary.
TEST(InstanceProcesses, SecondInstanceBringsTheFirstForwardAndCrashedOnesAreForgotten) {
  ScratchDir dir;
  CChildProcess first, second, next;
  ASSERT_TRUE(first.Start(KORVEX_INSTANCE_PROBE, {dir.Path()}));
  ASSERT_EQ(NextLine(first), "started listening=1 too_many=0 count=1");
  ASSERT_TRUE(second.Start(KORVEX_INSTANCE_PROBE, {dir.Path()}));
  EXPECT_EQ(NextLine(second), "started listening=1 too_many=1 count=2");
  EXPECT_EQ(NextLine(first), "activated");

  const std::vector<std::string> sockets = {SocketOf(dir, first), SocketOf(dir, second)};
  for (const std::string& socket : sockets) ASSERT_TRUE(std::filesystem::exists(socket));
  second.Kill(true);  // SIGKILL, collected: its id is gone
  first.Kill(false);  // SIGKILL, not yet collected: a zombie under its id
  ASSERT_TRUE(next.Start(KORVEX_INSTANCE_PROBE, {dir.Path()}));
  EXPECT_EQ(NextLine(next), "started listening=1 too_many=0 count=1");
  for (const std::string& socket : sockets) EXPECT_FALSE(std::filesystem::exists(socket));
  const std::string nextSocket = SocketOf(dir, next);
  EXPECT_TRUE(std::filesystem::exists(nextSocket));
  next.CloseInput();
  EXPECT_EQ(next.Finish(WAIT_MS), 0);
  EXPECT_FALSE(std::filesystem::exists(nextSocket));  // a clean end removes its own
}

}  // namespace
