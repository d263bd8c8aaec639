// Saving a transmit file: failures part-way, crashes, what is saved over and kept, unprivileged permissions.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <tuple>

#include "TransmitTestFiles.h"
#include "support/ChildProcess.h"

namespace {

constexpr uid_t NOBODY = 65534;

// Fails one step as the system would, or crashes there; writes up to nWriteLimit bytes; bNoUnnamed: no O_TMPFILE.
class CFailingCalls : public CFileCalls {
public:
  enum class EStep { NONE, WRITE, SYNC, RENAME, CRASH_IN_WRITE, CRASH_IN_RENAME };
  explicit CFailingCalls(EStep eStep, std::size_t nWriteLimit = 0, bool bNoUnnamed = false)
      : m_eStep(eStep), m_nLeft(nWriteLimit), m_bNoUnnamed(bNoUnnamed) {}

  ssize_t Write(int fd, const void* pData, std::size_t nSize) override {
    if (m_eStep == EStep::CRASH_IN_WRITE) ::raise(SIGKILL);
    if (m_eStep != EStep::WRITE) return CFileCalls::Write(fd, pData, nSize);
    if (m_nLeft == 0) return Fail(ENOSPC);
    const ssize_t n = CFileCalls::Write(fd, pData, std::min(nSize, m_nLeft));
    if (n > 0) m_nLeft -= static_cast<std::size_t>(n);
    return n;
  }
  int Sync(int fd) override { return m_eStep == EStep::SYNC ? Fail(EIO) : CFileCalls::Sync(fd); }
  int Rename(const char* pszFrom, const char* pszTo) override {
    if (m_eStep == EStep::CRASH_IN_RENAME) ::raise(SIGKILL);
    return m_eStep == EStep::RENAME ? Fail(EXDEV) : CFileCalls::Rename(pszFrom, pszTo);
  }
  int OpenUnnamed(const char* pszDirectory, mode_t mode) override {
    return m_bNoUnnamed ? Fail(EOPNOTSUPP) : CFileCalls::OpenUnnamed(pszDirectory, mode);
  }

private:
  static int Fail(int nError) { return errno = nError, -1; }
  EStep m_eStep;
  std::size_t m_nLeft;
  bool m_bNoUnnamed;
};

using EStep = CFailingCalls::EStep;

const CTDataObject& TwoFrames() {
  static const CTDataObject s_list(std::vector{Frame(), Frame(0x7FF)});
  return s_list;
}

TEST(TransmitFileSave, FailedSaveLeavesThePreviousFileAndNothingBesideIt) {
  const std::tuple<EStep, std::size_t, bool, const char*> kCases[] = {
      {EStep::WRITE, 0, false, "디스크 공간이 부족합니다"}, {EStep::WRITE, 30, false, "디스크 공간이 부족합니다"},
      {EStep::WRITE, 41, true, "디스크 공간이 부족합니다"}, {EStep::SYNC, 0, false, "입출력 오류"},
      {EStep::RENAME, 0, false, "다른 파일 시스템"}, {EStep::RENAME, 0, true, "다른 파일 시스템"}};
  const Bytes previous = FileBytes(DataFile("one_record.ctd"));
  for (const auto& [eStep, nWriteLimit, bNoUnnamed, pszCause] : kCases) {
    SCOPED_TRACE(pszCause);
    ScratchDir dir;
    const std::string path = dir.Write("frames.ctd", std::string(previous.begin(), previous.end()));
    CFailingCalls calls(eStep, nWriteLimit, bNoUnnamed);
    const CFileResult result = WriteTransmitFile(path, TwoFrames(), calls);
    EXPECT_TRUE(FailedSaying(result, path, pszCause)) << result.m_strMessage;
    EXPECT_EQ(std::tuple(FileBytes(path), Entries(dir.Path())), std::tuple(previous, std::vector<std::string>{"frames.ctd"}));
  }
}

// A killed save leaves the old file whole; a named leftover goes with the next save unless its process still runs.
TEST(TransmitFileSave, ACrashedSaveLeavesNothingBehindForLong) {
  const std::tuple<const char*, EStep, bool, std::size_t> kCases[] = {
      {"unnamed, killed while writing", EStep::CRASH_IN_WRITE, false, 0},
      {"unnamed, killed while renaming", EStep::CRASH_IN_RENAME, false, 1},
      {"named, killed while writing", EStep::CRASH_IN_WRITE, true, 1}};
  const Bytes previous = FileBytes(DataFile("one_record.ctd"));
  for (const auto& [pszWhat, eStep, bNoUnnamed, nLeftByCrash] : kCases) {
    SCOPED_TRACE(pszWhat);
    ScratchDir dir;
    const std::string path = dir.Write("frames.ctd", std::string(previous.begin(), previous.end()));
    dir.Write("frames.ctd.tmp-1-0", "a save of a process still running");
    const pid_t nPid = ::fork();
    ASSERT_GE(nPid, 0);
    if (nPid == 0) {
      CFailingCalls calls(eStep, 0, bNoUnnamed);
      (void)WriteTransmitFile(path, TwoFrames(), calls);
      ::_exit(0);
    }
    int nStatus = 0;
    ASSERT_EQ(::waitpid(nPid, &nStatus, 0), nPid);
    ASSERT_TRUE(WIFSIGNALED(nStatus) && WTERMSIG(nStatus) == SIGKILL);
    EXPECT_EQ(std::tuple(FileBytes(path), Entries(dir.Path()).size()), std::tuple(previous, 2 + nLeftByCrash));

    CFailingCalls noFailure(EStep::NONE, 0, bNoUnnamed);
    ASSERT_TRUE(WriteTransmitFile(path, TwoFrames(), noFailure).m_bOk);
    EXPECT_EQ(std::tuple(FileBytes(path), Entries(dir.Path())),
              std::tuple(EncodeTransmitFile(TwoFrames()), std::vector<std::string>{"frames.ctd", "frames.ctd.tmp-1-0"}));
  }
}

// Only regular files are saved over, through links, keeping links, mode and owner; anything else is refused.
TEST(TransmitFileSave, WhatASaveGoesOverAndWhatItKeeps) {
  ScratchDir dir;
  const std::string old(100, '\xAA');
  const std::string real = dir.Write("real/frames.ctd", old);
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  dir.Link("real/frames.ctd", "link.ctd");
  const std::string hard = dir.Write("hard.ctd", old);
  ASSERT_EQ(::link(hard.c_str(), (dir / "hard2.ctd").c_str()), 0);
  const bool bRoot = ::geteuid() == 0;
  const std::string owned = dir.Write("owned.ctd", old);
  if (bRoot) {  // another user's file that root saves over
    ASSERT_EQ(::chown(owned.c_str(), NOBODY, NOBODY), 0);
    ASSERT_EQ(::chmod(owned.c_str(), 0640), 0);
  }
  struct stat before {};
  ASSERT_EQ(::stat(hard.c_str(), &before), 0);

  for (const std::string& path : {dir / "link.ctd", hard, owned}) {
    const CFileResult result = WriteTransmitFile(path, TwoFrames());
    EXPECT_TRUE(result.m_bOk) << path << ": " << result.m_strMessage;
  }
  const Bytes saved = EncodeTransmitFile(TwoFrames());
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ctd"));
  EXPECT_EQ(FileBytes(real), saved);
  EXPECT_EQ(std::filesystem::status(real).permissions(), std::filesystem::perms(0640));
  EXPECT_EQ(Entries(dir / "real"), std::vector<std::string>{"frames.ctd"});
  struct stat after {};
  ASSERT_EQ(::stat((dir / "hard2.ctd").c_str(), &after), 0);
  EXPECT_EQ(std::tuple(after.st_ino, after.st_nlink), std::tuple(before.st_ino, nlink_t{2}));
  EXPECT_TRUE(FileBytes(dir / "hard2.ctd") == saved && FileBytes(owned) == saved);
  ASSERT_EQ(::stat(owned.c_str(), &after), 0);
  EXPECT_TRUE(!bRoot || std::tuple(after.st_uid, after.st_gid, after.st_mode & 07777) == std::tuple(NOBODY, NOBODY, 0640u));

  const std::string fifo = dir / "fifo.ctd";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  dir.Link("nowhere.ctd", "dangling.ctd");
  dir.Link("loop2.ctd", "loop1.ctd");
  dir.Link("loop1.ctd", "loop2.ctd");
  std::vector<std::pair<std::string, const char*>> refused = {
      {dir.MakeDir("folder.ctd"), "디렉터리"}, {fifo, "파이프"}, {dir / "dangling.ctd", "가리키는 파일이 없읍니다"},
      {dir / "loop1.ctd", "끝없이"}, {dir / "no/such/dir.ctd", "없읍니다"}};
  // A device node like /dev/null, which root could otherwise replace.
  if (::mknod((dir / "null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0) refused.push_back({dir / "null", "장치"});
  for (const auto& [path, pszCause] : refused) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    const CFileResult result = WriteTransmitFile(path, TwoFrames());
    EXPECT_TRUE(FailedSaying(result, path, pszCause)) << result.m_strMessage;
    struct stat stAfter {};
    ::lstat(path.c_str(), &stAfter);
    EXPECT_EQ(std::tuple(stAfter.st_mode, stAfter.st_ino), std::tuple(st.st_mode, st.st_ino)) << path;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "nowhere.ctd"));
}

// What an unprivileged user meets (as root the test runs a copy of itself as one).
TEST(TransmitFileSave, PermissionsOfAnUnprivilegedUser) {
  if (RanAsUnprivilegedCopy()) return;
  ScratchDir dir;
  const std::string old(100, '\xAA');
  const std::string inLockedFolder = dir.Write("locked/frames.ctd", old);
  const std::string readOnly = dir.Write("open/readonly.ctd", old);
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
  ASSERT_EQ(::chmod((dir / "locked").c_str(), 0555), 0);
  struct stat before {};
  ASSERT_EQ(::stat(inLockedFolder.c_str(), &before), 0);

  const CFileResult inPlace = WriteTransmitFile(inLockedFolder, TwoFrames());
  EXPECT_TRUE(inPlace.m_bOk) << inPlace.m_strMessage;
  struct stat after {};
  ASSERT_EQ(::stat(inLockedFolder.c_str(), &after), 0);
  EXPECT_EQ(std::tuple(FileBytes(inLockedFolder), after.st_ino, Entries(dir / "locked")),
            std::tuple(EncodeTransmitFile(TwoFrames()), before.st_ino, std::vector<std::string>{"frames.ctd"}));
  // a read-only file in a writable folder, and a new file in a locked one
  for (const std::string& path : {readOnly, dir / "locked/new.ctd"})
    EXPECT_TRUE(FailedSaying(WriteTransmitFile(path, TwoFrames()), path, "권한이 없읍니다")) << path;
  EXPECT_EQ(FileBytes(readOnly), Bytes(old.begin(), old.end()));
  ASSERT_EQ(::chmod(readOnly.c_str(), 0), 0);  // nor read
  std::unique_ptr<CTDataObject> pList;
  EXPECT_TRUE(FailedSaying(ReadTransmitFile(readOnly, pList), readOnly, "권한이 없읍니다"));
  EXPECT_EQ(Entries(dir / "locked"), std::vector<std::string>{"frames.ctd"});
  ::chmod((dir / "locked").c_str(), 0755);  // so the scratch directory can go
}

}  // namespace
