#include "uisupport/CInstanceGuard.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/ChildProcess.h"
#include "support/ScratchDir.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const uint32_t OWN_ID = static_cast<uint32_t>(::getpid());

class CInstanceGuardTest : public ::testing::Test, public InstanceActivator {
protected:
  void ActivateInstance(uint32_t dwProcessId) override { m_requests.push_back(dwProcessId); }
  std::vector<uint32_t> List(CInstanceGuard& guard) {
    CInstanceList list;
    EXPECT_TRUE(guard.ReadList(list));
    EXPECT_EQ(list.m_dwMaxInstances, 1u);
    return list.m_processIds;
  }
  // Rewrites the list file behind the guards' backs, as another process or a crash would leave it.
  template <typename Change> CInstanceBlock EditBlock(const std::string& path, Change change) {
    CInstanceBlock block{};
    std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(&block), sizeof block);
    change(block);
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(&block), sizeof block);
    return block;
  }

  ScratchDir m_dir;
  std::vector<uint32_t> m_requests;
};

TEST_F(CInstanceGuardTest, RegistrationLastsAsLongAsTheGuard) {
  CInstanceGuard guard("Korvex", m_dir.Path());
  guard.SetActivator(this);
  ASSERT_TRUE(guard.IsUsable());
  EXPECT_EQ(guard.ListPath(), m_dir / "CInstanceGuard_Korvex.list");
  EXPECT_THAT(List(guard), ElementsAre(OWN_ID));
  EXPECT_FALSE(guard.TooManyInstances(true));
  {
    CInstanceGuard second("Korvex", m_dir.Path());  // the same process registered twice
    EXPECT_THAT(List(guard), ElementsAre(OWN_ID, OWN_ID));
    EXPECT_TRUE(guard.TooManyInstances(false));
  }
  EXPECT_THAT(List(guard), ElementsAre(OWN_ID));
  EXPECT_FALSE(guard.TooManyInstances(true));
  EXPECT_THAT(m_requests, IsEmpty());
}

TEST_F(CInstanceGuardTest, EarliestOtherInstanceIsBroughtForwardAndRemovalKeepsTheOrder) {
  CChildProcess first, third;
  ASSERT_TRUE(first.StartIdle() && third.StartIdle());
  CInstanceGuard guard("Korvex", m_dir.Path());
  guard.SetActivator(this);
  // [self, first]: the earliest is this process, so the second registered comes forward.
  ASSERT_TRUE(guard.AddProcess(first.Id()));
  EXPECT_TRUE(guard.TooManyInstances(false));
  EXPECT_THAT(m_requests, IsEmpty());
  EXPECT_TRUE(guard.TooManyInstances(true));
  EXPECT_THAT(m_requests, ElementsAre(first.Id()));
  // [first, self, third]: the earliest.
  ASSERT_TRUE(guard.RemoveProcess(OWN_ID));
  ASSERT_TRUE(guard.AddProcess(OWN_ID));
  ASSERT_TRUE(guard.AddProcess(third.Id()));
  EXPECT_TRUE(guard.TooManyInstances(true));
  EXPECT_THAT(m_requests, ElementsAre(first.Id(), first.Id()));

  EXPECT_TRUE(guard.RemoveProcess(first.Id()));
  EXPECT_FALSE(guard.RemoveProcess(first.Id()));
  EXPECT_THAT(List(guard), ElementsAre(OWN_ID, third.Id()));
  EXPECT_EQ(EditBlock(guard.ListPath(), [](CInstanceBlock&) {}).m_adwProcessIds[2], 0u);  // the freed slot is cleared
}

TEST_F(CInstanceGuardTest, EndedOrReplacedProcessesAreDroppedWhenTheListIsRead) {
  CChildProcess reaped, zombie, running, reused;
  CInstanceGuard guard("Korvex", m_dir.Path());
  for (CChildProcess* pChild : {&reaped, &zombie, &running, &reused})
    ASSERT_TRUE(pChild->StartIdle() && guard.AddProcess(pChild->Id()));
  const std::string zombieSocket = guard.EndpointPath(zombie.Id());
  const std::string runningSocket = guard.EndpointPath(running.Id());
  for (const std::string& path : {zombieSocket, runningSocket}) std::ofstream{path};
  reaped.Kill(true);
  zombie.Kill(false);  // ended, but its parent has not collected it yet
  EditBlock(guard.ListPath(), [](CInstanceBlock& block) {
    ASSERT_NE(block.m_aqwStartTimes[4], 0u);
    block.m_aqwStartTimes[4] += 1;  // as if the id now belonged to a process started later
    block.m_aqwStartTimes[0] = 0;   // a start time that could not be read: the id alone counts
  });

  EXPECT_THAT(List(guard), ElementsAre(OWN_ID, running.Id()));
  EXPECT_FALSE(std::filesystem::exists(zombieSocket));  // a crashed instance's socket is cleared
  EXPECT_TRUE(std::filesystem::exists(runningSocket));
  running.Kill(true);
  EXPECT_FALSE(guard.TooManyInstances(true));
}

TEST_F(CInstanceGuardTest, ListHoldsAtMostOneThousandInstancesAndADamagedOneStartsAfresh) {
  CChildProcess other;
  ASSERT_TRUE(other.StartIdle());
  {
    CInstanceGuard guard("Korvex", m_dir.Path());
    // Fill the list to 999 entries by hand: registering them one by one reads the list each time.
    EditBlock(guard.ListPath(), [](CInstanceBlock& block) {
      for (uint32_t i = 1; i < INSTANCE_LIST_CAPACITY - 1; ++i) {
        block.m_adwProcessIds[i] = OWN_ID;
        block.m_aqwStartTimes[i] = block.m_aqwStartTimes[0];
      }
      block.m_dwCount = INSTANCE_LIST_CAPACITY - 1;
    });
    EXPECT_TRUE(guard.AddProcess(other.Id()));
    EXPECT_FALSE(guard.AddProcess(other.Id()));
    const std::vector<uint32_t> ids = List(guard);
    ASSERT_EQ(ids.size(), INSTANCE_LIST_CAPACITY);
    EXPECT_EQ(ids.back(), other.Id());
  }
  const std::string path = m_dir / "CInstanceGuard_Korvex.list";
  EditBlock(path, [](CInstanceBlock& block) { block.m_dwCount = 5000; });
  EXPECT_THAT(List(*std::make_unique<CInstanceGuard>("Korvex", m_dir.Path())), ElementsAre(OWN_ID));
  m_dir.Write("CInstanceGuard_Korvex.list", "short");
  CInstanceGuard guard("Korvex", m_dir.Path());
  EXPECT_THAT(List(guard), ElementsAre(OWN_ID));
  EXPECT_EQ(std::filesystem::file_size(path), sizeof(CInstanceBlock));
}

TEST_F(CInstanceGuardTest, RuntimeDirectoryMustBePrivate) {
  const std::string shared = m_dir.MakeDir("shared");
  ASSERT_EQ(::chmod(shared.c_str(), 0755), 0);
  CInstanceGuard openGuard("Korvex", shared);
  EXPECT_FALSE(openGuard.IsUsable());
  EXPECT_FALSE(openGuard.AddProcess(OWN_ID));
  EXPECT_FALSE(std::filesystem::exists(shared + "/CInstanceGuard_Korvex.list"));
  m_dir.Link(m_dir.MakeDir("real"), "linked");
  EXPECT_FALSE(CInstanceGuard("Korvex", m_dir / "linked").IsUsable());
  EXPECT_FALSE(CInstanceGuard("../Korvex", m_dir.Path()).IsUsable());

  CInstanceGuard created("Korvex", m_dir / "new");  // a missing directory is created closed to others
  EXPECT_TRUE(created.IsUsable());
  struct stat st {};
  ASSERT_EQ(::stat((m_dir / "new").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // The session's directory when it names an absolute path (this process only reads it here).
  ::setenv("XDG_RUNTIME_DIR", "/run/user/4242", 1);
  EXPECT_EQ(CInstanceGuard::DefaultRuntimeDir(), "/run/user/4242");
  ::setenv("XDG_RUNTIME_DIR", "relative/dir", 1);
  EXPECT_EQ(CInstanceGuard::DefaultRuntimeDir(), "/tmp/korvex-" + std::to_string(::geteuid()));
}

}  // namespace
