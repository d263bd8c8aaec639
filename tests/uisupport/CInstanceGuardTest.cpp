#include "uisupport/CInstanceGuard.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "support/ScratchDir.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const uint32_t OWN_ID = static_cast<uint32_t>(::getpid());

class RecordingActivator : public InstanceActivator {
public:
  void ActivateInstance(uint32_t dwProcessId) override { m_requests.push_back(dwProcessId); }
  std::vector<uint32_t> m_requests;
};

class CInstanceGuardTest : public ::testing::Test {
protected:
  std::vector<uint32_t> List(CInstanceGuard& guard) {
    CInstanceList list;
    EXPECT_TRUE(guard.ReadList(list));
    EXPECT_EQ(list.m_dwMaxInstances, 1u);
    return list.m_processIds;
  }
  CInstanceBlock ReadBlockFile(const std::string& path) {
    CInstanceBlock block{};
    std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(&block), sizeof block);
    return block;
  }
  void WriteBlockFile(const std::string& path, const CInstanceBlock& block) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(&block), sizeof block);
  }

  ScratchDir m_dir;
};

TEST_F(CInstanceGuardTest, FirstInstanceIsRegisteredAndNotTooMany) {
  CInstanceGuard guard("Korvex", m_dir.Path());
  RecordingActivator activator;
  guard.SetActivator(&activator);
  ASSERT_TRUE(guard.IsUsable());
  EXPECT_EQ(guard.ListPath(), m_dir / "CInstanceGuard_Korvex.list");
  EXPECT_THAT(List(guard), ElementsAre(OWN_ID));
  EXPECT_FALSE(guard.TooManyInstances(true));
  EXPECT_THAT(activator.m_requests, IsEmpty());
}

TEST_F(CInstanceGuardTest, DestructionRemovesTheRegistration) {
  CInstanceGuard second("Korvex", m_dir.Path());
  {
    CInstanceGuard first("Korvex", m_dir.Path());  // the same process registered twice
    EXPECT_THAT(List(second), ElementsAre(OWN_ID, OWN_ID));
    EXPECT_TRUE(second.TooManyInstances(false));
  }
  EXPECT_THAT(List(second), ElementsAre(OWN_ID));
  EXPECT_FALSE(second.TooManyInstances(false));
}

TEST_F(CInstanceGuardTest, EarliestOtherInstanceIsBroughtForward) {
  ChildProcess first;
  ChildProcess third;
  CInstanceGuard guard("Korvex", m_dir.Path());
  RecordingActivator activator;
  guard.SetActivator(&activator);

  // [self, first]: the earliest is this process, so the second registered comes forward.
  ASSERT_TRUE(guard.AddProcess(first.Id()));
  EXPECT_TRUE(guard.TooManyInstances(false));
  EXPECT_THAT(activator.m_requests, IsEmpty());
  EXPECT_TRUE(guard.TooManyInstances(true));
  EXPECT_THAT(activator.m_requests, ElementsAre(first.Id()));

  // [first, self, third]: the earliest.
  ASSERT_TRUE(guard.RemoveProcess(OWN_ID));
  ASSERT_TRUE(guard.AddProcess(OWN_ID));
  ASSERT_TRUE(guard.AddProcess(third.Id()));
  ASSERT_THAT(List(guard), ElementsAre(first.Id(), OWN_ID, third.Id()));
  EXPECT_TRUE(guard.TooManyInstances(true));
  EXPECT_THAT(activator.m_requests, ElementsAre(first.Id(), first.Id()));
}

TEST_F(CInstanceGuardTest, RemovalKeepsTheOrderOfTheOthers) {
  ChildProcess a, b;
  CInstanceGuard guard("Korvex", m_dir.Path());
  ASSERT_TRUE(guard.AddProcess(a.Id()));
  ASSERT_TRUE(guard.AddProcess(b.Id()));
  EXPECT_TRUE(guard.RemoveProcess(a.Id()));
  EXPECT_FALSE(guard.RemoveProcess(a.Id()));
  EXPECT_THAT(List(guard), ElementsAre(OWN_ID, b.Id()));
  const CInstanceBlock block = ReadBlockFile(guard.ListPath());
  EXPECT_EQ(block.m_dwCount, 2u);
  EXPECT_EQ(block.m_adwProcessIds[2], 0u);  // the freed slot is cleared
}

TEST_F(CInstanceGuardTest, EndedProcessesAreDroppedWhenTheListIsRead) {
  ChildProcess reaped, zombie, running;
  CInstanceGuard guard("Korvex", m_dir.Path());
  for (const ChildProcess* pChild : {&reaped, &zombie, &running}) ASSERT_TRUE(guard.AddProcess(pChild->Id()));
  const std::string zombieSocket = guard.EndpointPath(zombie.Id());
  const std::string runningSocket = guard.EndpointPath(running.Id());
  for (const std::string& path : {zombieSocket, runningSocket}) std::ofstream{path};
  reaped.Kill(true);
  zombie.Kill(false);  // ended, but its parent has not collected it yet

  EXPECT_THAT(List(guard), ElementsAre(OWN_ID, running.Id()));
  EXPECT_FALSE(std::filesystem::exists(zombieSocket));  // a crashed instance's socket is cleared
  EXPECT_TRUE(std::filesystem::exists(runningSocket));
  running.Kill(true);
  EXPECT_FALSE(guard.TooManyInstances(true));
}

TEST_F(CInstanceGuardTest, ReusedProcessIdIsDropped) {
  CInstanceGuard guard("Korvex", m_dir.Path());
  ChildProcess other;
  ASSERT_TRUE(guard.AddProcess(other.Id()));
  CInstanceBlock block = ReadBlockFile(guard.ListPath());
  ASSERT_EQ(block.m_dwCount, 2u);
  ASSERT_NE(block.m_aqwStartTimes[0], 0u);
  block.m_aqwStartTimes[0] += 1;  // as if the id now belonged to a process started later
  block.m_aqwStartTimes[1] = 0;   // a start time that could not be read: the id alone counts
  WriteBlockFile(guard.ListPath(), block);
  EXPECT_THAT(List(guard), ElementsAre(other.Id()));
}

TEST_F(CInstanceGuardTest, DamagedListFileIsStartedAfresh) {
  const std::string path = m_dir / "CInstanceGuard_Korvex.list";
  CInstanceBlock block{};
  block.m_dwMaxInstances = 1;
  block.m_dwCount = 5000;
  WriteBlockFile(path, block);
  {
    CInstanceGuard guard("Korvex", m_dir.Path());
    EXPECT_THAT(List(guard), ElementsAre(OWN_ID));
  }
  m_dir.Write("CInstanceGuard_Korvex.list", "short");
  CInstanceGuard guard("Korvex", m_dir.Path());
  EXPECT_THAT(List(guard), ElementsAre(OWN_ID));
  EXPECT_EQ(std::filesystem::file_size(path), sizeof(CInstanceBlock));
}

TEST_F(CInstanceGuardTest, ListHoldsAtMostOneThousandInstances) {
  CInstanceGuard guard("Korvex", m_dir.Path());
  ChildProcess other;
  // Fill the list to 999 entries by hand: registering them one by one reads the list each time.
  CInstanceBlock block = ReadBlockFile(guard.ListPath());
  ASSERT_EQ(block.m_dwCount, 1u);
  for (uint32_t i = 1; i < INSTANCE_LIST_CAPACITY - 1; ++i) {
    block.m_adwProcessIds[i] = OWN_ID;
    block.m_aqwStartTimes[i] = block.m_aqwStartTimes[0];
  }
  block.m_dwCount = INSTANCE_LIST_CAPACITY - 1;
  WriteBlockFile(guard.ListPath(), block);

  EXPECT_TRUE(guard.AddProcess(other.Id()));
  EXPECT_FALSE(guard.AddProcess(other.Id()));
  std::vector<uint32_t> ids = List(guard);
  ASSERT_EQ(ids.size(), INSTANCE_LIST_CAPACITY);
  EXPECT_EQ(ids.back(), other.Id());
  EXPECT_TRUE(guard.TooManyInstances(false));
  EXPECT_TRUE(guard.RemoveProcess(OWN_ID));
  EXPECT_TRUE(guard.AddProcess(other.Id()));
}

TEST_F(CInstanceGuardTest, RuntimeDirectoryMustBePrivate) {
  const std::string shared = m_dir.MakeDir("shared");
  ASSERT_EQ(::chmod(shared.c_str(), 0755), 0);
  CInstanceGuard openGuard("Korvex", shared);
  CInstanceList list;
  EXPECT_FALSE(openGuard.IsUsable());
  EXPECT_FALSE(openGuard.ReadList(list));
  EXPECT_FALSE(openGuard.AddProcess(OWN_ID));
  EXPECT_FALSE(openGuard.TooManyInstances(true));
  EXPECT_FALSE(std::filesystem::exists(shared + "/CInstanceGuard_Korvex.list"));

  m_dir.Link(m_dir.MakeDir("real"), "linked");
  EXPECT_FALSE(CInstanceGuard("Korvex", m_dir / "linked").IsUsable());
  EXPECT_FALSE(CInstanceGuard("../Korvex", m_dir.Path()).IsUsable());

  // A missing directory is created closed to others.
  CInstanceGuard created("Korvex", m_dir / "new");
  EXPECT_TRUE(created.IsUsable());
  struct stat st {};
  ASSERT_EQ(::stat((m_dir / "new").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(CInstanceGuardPaths, RuntimeDirectoryComesFromTheSession) {
  const char* pszSaved = std::getenv("XDG_RUNTIME_DIR");
  const std::string saved = pszSaved ? pszSaved : "";
  ::setenv("XDG_RUNTIME_DIR", "/run/user/4242", 1);
  EXPECT_EQ(CInstanceGuard::DefaultRuntimeDir(), "/run/user/4242");
  ::setenv("XDG_RUNTIME_DIR", "relative/dir", 1);
  EXPECT_EQ(CInstanceGuard::DefaultRuntimeDir(), "/tmp/korvex-" + std::to_string(::geteuid()));
  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(CInstanceGuard::DefaultRuntimeDir(), "/tmp/korvex-" + std::to_string(::geteuid()));
  if (pszSaved) ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}

}  // namespace
