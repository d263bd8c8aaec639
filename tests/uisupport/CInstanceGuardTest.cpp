#include "uisupport/CInstanceGuard.h"

#include <unistd.h>

#include <algorithm>
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

// The earliest other instance is asked to come forward; removal takes a process's first entry only.
TEST_F(CInstanceGuardTest, EarliestOtherInstanceIsBroughtForwardAndRemovalKeepsTheOrder) {
  CChildProcess first, third;
  ASSERT_TRUE(first.StartIdle() && third.StartIdle());
  CInstanceGuard guard("Korvex", m_dir.Path());
  guard.SetActivator(this);
  EXPECT_EQ(guard.ListPath(), m_dir / "CInstanceGuard_Korvex.list");
  ASSERT_TRUE(guard.AddProcess(first.Id()));  // [self, first]
  EXPECT_TRUE(guard.TooManyInstances(false) && m_requests.empty());
  EXPECT_TRUE(guard.TooManyInstances(true));
  EXPECT_THAT(m_requests, ElementsAre(first.Id()));
  ASSERT_TRUE(guard.AddProcess(OWN_ID) && guard.RemoveProcess(OWN_ID) && guard.AddProcess(third.Id()));  // [first, self, third]
  EXPECT_TRUE(guard.TooManyInstances(true));
  EXPECT_THAT(m_requests, ElementsAre(first.Id(), first.Id()));

  EXPECT_TRUE(guard.RemoveProcess(first.Id()) && !guard.RemoveProcess(first.Id()));
  EXPECT_THAT(List(guard), ElementsAre(OWN_ID, third.Id()));
  EXPECT_EQ(EditBlock(guard.ListPath(), [](CInstanceBlock&) {}).m_adwProcessIds[2], 0u);  // the freed slot is cleared
}

// A reused process id (a later start time) is dropped; an entry without a start time goes by its id.
TEST_F(CInstanceGuardTest, ReusedProcessIdsAreDroppedWhenTheListIsRead) {
  CChildProcess running, reused;
  CInstanceGuard guard("Korvex", m_dir.Path());
  for (CChildProcess* pChild : {&running, &reused}) ASSERT_TRUE(pChild->StartIdle() && guard.AddProcess(pChild->Id()));
  EditBlock(guard.ListPath(), [](CInstanceBlock& block) {
    ASSERT_NE(block.m_aqwStartTimes[2], 0u);
    block.m_aqwStartTimes[2] += 1;  // as if the id now belonged to a process started later
    block.m_aqwStartTimes[0] = 0;   // a start time that could not be read
  });
  EXPECT_THAT(List(guard), ElementsAre(OWN_ID, running.Id()));
}

TEST_F(CInstanceGuardTest, ListHoldsAtMostOneThousandInstancesAndADamagedOneStartsAfresh) {
  CInstanceGuard guard("Korvex", m_dir.Path());
  // Fill the list to 999 entries by hand: registering them one by one reads the list each time.
  EditBlock(guard.ListPath(), [](CInstanceBlock& block) {
    std::fill_n(block.m_adwProcessIds, INSTANCE_LIST_CAPACITY - 1, OWN_ID);
    std::fill_n(block.m_aqwStartTimes, INSTANCE_LIST_CAPACITY - 1, block.m_aqwStartTimes[0]);
    block.m_dwCount = INSTANCE_LIST_CAPACITY - 1;
  });
  EXPECT_TRUE(guard.AddProcess(OWN_ID) && !guard.AddProcess(OWN_ID));
  EXPECT_EQ(List(guard).size(), INSTANCE_LIST_CAPACITY);

  EditBlock(guard.ListPath(), [](CInstanceBlock& block) { block.m_dwCount = 5000; });
  EXPECT_THAT(List(guard), IsEmpty());
  m_dir.Write("CInstanceGuard_Korvex.list", "short");
  EXPECT_THAT(List(*std::make_unique<CInstanceGuard>("Korvex", m_dir.Path())), ElementsAre(OWN_ID));
  EXPECT_EQ(std::filesystem::file_size(guard.ListPath()), sizeof(CInstanceBlock));
}

TEST_F(CInstanceGuardTest, RuntimeDirectoryMustBePrivate) {
  const std::string shared = m_dir.MakeDir("shared");
  ASSERT_EQ(::chmod(shared.c_str(), 0755), 0);
  m_dir.Link(m_dir.MakeDir("real"), "linked");
  EXPECT_FALSE(CInstanceGuard("Korvex", shared).IsUsable() || CInstanceGuard("Korvex", m_dir / "linked").IsUsable() ||
               CInstanceGuard("../Korvex", m_dir.Path()).IsUsable());
  EXPECT_FALSE(std::filesystem::exists(shared + "/CInstanceGuard_Korvex.list"));
  EXPECT_TRUE(CInstanceGuard("Korvex", m_dir / "new").IsUsable());  // a missing directory is made, closed to others
  EXPECT_EQ(std::filesystem::status(m_dir / "new").permissions(), std::filesystem::perms::owner_all);

  // The session's directory when it names an absolute path (this process only reads it here).
  ::setenv("XDG_RUNTIME_DIR", "/run/user/4242", 1);
  EXPECT_EQ(CInstanceGuard::DefaultRuntimeDir(), "/run/user/4242");
  ::setenv("XDG_RUNTIME_DIR", "relative/dir", 1);
  EXPECT_EQ(CInstanceGuard::DefaultRuntimeDir(), "/tmp/korvex-" + std::to_string(::geteuid()));
}

}  // namespace
