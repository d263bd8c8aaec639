// Copies of the probe, each a real process with the guard and its Qt listener, sharing one
// scratch runtime directory.
#include <filesystem>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "support/ScratchDir.h"

namespace {

class InstanceProcessesTest : public ::testing::Test {
protected:
  std::string SocketOf(const ChildProcess& probe) const {
    return m_dir / ("CInstanceGuard_Korvex." + std::to_string(probe.Id()) + ".sock");
  }

  ScratchDir m_dir;
};

TEST_F(InstanceProcessesTest, SecondInstanceBringsTheFirstForwardAndLeavesAgain) {
  ChildProcess first(KORVEX_INSTANCE_PROBE, m_dir.Path());
  ASSERT_EQ(first.ReadLine(), "started listening=1 too_many=0 count=1");
  {
    ChildProcess second(KORVEX_INSTANCE_PROBE, m_dir.Path());
    EXPECT_EQ(second.ReadLine(), "started listening=1 too_many=1 count=2");
    EXPECT_EQ(first.ReadLine(), "activated");
    EXPECT_EQ(second.CloseInputAndWait(), 0);
  }
  ASSERT_TRUE(first.Send("count"));
  EXPECT_EQ(first.ReadLine(), "count=1");
  EXPECT_EQ(first.CloseInputAndWait(), 0);
  EXPECT_FALSE(std::filesystem::exists(SocketOf(first)));
}

TEST_F(InstanceProcessesTest, KilledInstanceDoesNotMakeTheNextOneSecondary) {
  ChildProcess crashed(KORVEX_INSTANCE_PROBE, m_dir.Path());
  ASSERT_EQ(crashed.ReadLine(), "started listening=1 too_many=0 count=1");
  ASSERT_TRUE(std::filesystem::exists(SocketOf(crashed)));
  crashed.Kill(false);  // SIGKILL; not yet collected, as after a crash

  ChildProcess next(KORVEX_INSTANCE_PROBE, m_dir.Path());
  EXPECT_EQ(next.ReadLine(), "started listening=1 too_many=0 count=1");
  EXPECT_FALSE(std::filesystem::exists(SocketOf(crashed)));
}

}  // namespace
