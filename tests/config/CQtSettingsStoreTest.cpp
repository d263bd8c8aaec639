#include "config/CQtSettingsStore.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include <gtest/gtest.h>

#include "config/ModuleSettings.h"
#include "support/ChildProcess.h"
#include "support/ScratchDir.h"

namespace {

// QSettings fixes its directory on first use: point it at a scratch directory before any test.
class ConfigHomeEnvironment : public ::testing::Environment {
public:
  void SetUp() override { ::setenv("XDG_CONFIG_HOME", s_home.emplace().Path().c_str(), 1); }
  void TearDown() override { s_home.reset(); }
  static inline std::optional<ScratchDir> s_home;
};
const auto* const g_pConfigHome = ::testing::AddGlobalTestEnvironment(new ConfigHomeEnvironment);

class CQtSettingsStoreTest : public ::testing::Test {
protected:
  void Load(const CQtSettingsStore& store) { LoadSettings(store, {3, 2, m_logDir}, m_loaded, m_loadedLogs); }

  ScratchDir m_dir;
  std::string m_logDir = m_dir.MakeDir("Log");
  ModuleSettings m_loaded{.m_nBaudRate = 1};  // what a load must overwrite
  CLogSettings m_loadedLogs;
};

TEST_F(CQtSettingsStoreTest, SaveThenLoadRoundTripsThroughTheIniFile) {
  EXPECT_EQ(CQtSettingsStore().FileName().toStdString(), ConfigHomeEnvironment::s_home->Path() + "/Ostwind/Korvex.conf");
  const ModuleSettings saved{.m_nPortMode = 0, .m_nUsbPortIndex = 1, .m_nSerialPortIndex = 2, .m_nBaudRate = 921600,
                             .m_byMode = 0x0F, .m_wBitTime = 0x277A, .m_dwMaskId = 0x7FF, .m_dwId = 0x100};
  // Korean text and a comma (quoted by the INI form); a path that is not UTF-8 comes back as its bytes.
  const CLogSettings savedLogs{true, m_dir.Write("로그, 이벤트.txt", ""), false, m_dir.Write("w\xF6rk/r.txt", "")};
  const std::string path = m_dir / "sub/Korvex.conf";  // the directory is made on save
  {
    CQtSettingsStore store(QString::fromStdString(path));
    ASSERT_TRUE(SaveSettings(store, saved, savedLogs));
  }
  Load(CQtSettingsStore(QString::fromStdString(path)));
  EXPECT_EQ(std::tuple(m_loaded, m_loadedLogs), std::tuple(saved, savedLogs));
  const std::string written = ReadWholeFile(path);
  EXPECT_NE(written.find("Event%20Log%20Path=\"" + savedLogs.m_strEventLogPath + "\"\n"), std::string::npos) << written;
}

// Out-of-range values, garbage or a directory load repaired values; the next save repairs the file.
TEST_F(CQtSettingsStoreTest, DamagedFilesLoadRepairedValuesAndTheNextSaveRepairsThem) {
  std::string garbage = "[Main Setting\nUSB Mode=\x01\x02\n";
  for (uint32_t i = 0, dwNoise = 12345; i < 4096; ++i)
    garbage.push_back(static_cast<char>((dwNoise = dwNoise * 1103515245u + 12345u) >> 24));
  const struct { std::string path; ModuleSettings expected; } cases[] = {
      {m_dir.Write("edited.conf", "[Main%20Setting]\nSerial%20Port%20Index=5\nSerial%20Port%20BaudRate=115200\n"
                                  "Korvex%20Mode=0x0C\nCAN%20Mask%20ID=0xFFFF\nCAN%20ID=1,2\n"),
       {.m_nSerialPortIndex = 2, .m_byMode = 0x0C, .m_dwMaskId = 0x7FF}},
      {m_dir.Write("garbage.conf", garbage), {}},
      {m_dir.MakeDir("directory.conf"), {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    CQtSettingsStore store(QString::fromStdString(c.path));
    Load(store);
    EXPECT_EQ(m_loaded, c.expected);
    EXPECT_EQ(m_loadedLogs, (CLogSettings{false, m_logDir + "/EventLog.txt", false, m_logDir + "/RDataLog.txt"}));
    m_loaded.m_nSerialPortIndex = 1;
    EXPECT_EQ(SaveSettings(store, m_loaded, m_loadedLogs), c.path != m_dir / "directory.conf");
  }
  Load(CQtSettingsStore(QString::fromStdString(m_dir / "garbage.conf")));
  EXPECT_EQ(m_loaded, ModuleSettings{.m_nSerialPortIndex = 1});
}

// A save that fails says why (as an unprivileged user: root may write into a read-only folder).
TEST_F(CQtSettingsStoreTest, AReadOnlyFolderIsNamedWithTheReason) {
  if (RanAsUnprivilegedCopy()) return;
  const std::string folder = m_dir.MakeDir("read-only");
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  for (const std::string& path : {folder + "/Korvex.conf", folder + "/Ostwind/Korvex.conf"}) {
    CQtSettingsStore store(QString::fromStdString(path));
    EXPECT_FALSE(SaveSettings(store, {}, {}));
    EXPECT_EQ(store.LastError(), folder + ": Permission denied");
  }
  ::chmod(folder.c_str(), 0755);
}

}  // namespace
