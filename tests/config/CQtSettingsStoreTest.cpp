#include "config/CQtSettingsStore.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "config/ModuleSettings.h"
#include "support/ScratchDir.h"

namespace {

// QSettings fixes the user's configuration directory on first use, so it is pointed at a scratch
// directory before any test runs: no test can reach the real ~/.config.
class ConfigHomeEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    m_pHome = std::make_unique<ScratchDir>();
    s_home = m_pHome->Path();
    ::setenv("XDG_CONFIG_HOME", s_home.c_str(), 1);
  }
  void TearDown() override { m_pHome.reset(); }
  static inline std::string s_home;

private:
  std::unique_ptr<ScratchDir> m_pHome;
};

const auto* const g_pConfigHome = ::testing::AddGlobalTestEnvironment(new ConfigHomeEnvironment);

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class CQtSettingsStoreTest : public ::testing::Test {
protected:
  QString FilePath(const std::string& name) const { return QString::fromStdString(m_dir / name); }
  CSettingsContext Context() const { return {3, 2, m_logDir}; }

  ScratchDir m_dir;
  std::string m_logDir = m_dir.MakeDir("Log");
  const ModuleSettings m_defaults{};
  const CLogSettings m_defaultLogs{false, m_logDir + "/EventLog.txt", false, m_logDir + "/RDataLog.txt"};
};

TEST_F(CQtSettingsStoreTest, DefaultFileIsTheUsersOstwindKorvexConf) {
  CQtSettingsStore store;
  EXPECT_EQ(store.FileName().toStdString(), ConfigHomeEnvironment::s_home + "/Ostwind/Korvex.conf");
}

TEST_F(CQtSettingsStoreTest, SaveThenLoadRoundTripsThroughTheIniFile) {
  const ModuleSettings saved{.m_nPortMode = 0, .m_nUsbPortIndex = 1, .m_nSerialPortIndex = 2,
                             .m_nBaudRate = 921600, .m_byMode = 0x0F, .m_wBitTime = 0x277A,
                             .m_dwMaskId = 0x7FF, .m_dwId = 0x100};
  // Korean text and a comma, which the INI form has to quote.
  const CLogSettings savedLogs{true, m_dir.Write("로그, 이벤트.txt", ""), false,
                               m_dir.Write("r.txt", "")};
  {
    CQtSettingsStore store(FilePath("sub/Korvex.conf"));  // the directory is created on save
    ASSERT_TRUE(SaveSettings(store, saved, savedLogs));
  }
  const std::string text = ReadFile(m_dir / "sub/Korvex.conf");
  EXPECT_NE(text.find("[Main%20Setting]"), std::string::npos) << text;
  EXPECT_NE(text.find("Serial%20Port%20BaudRate=921600"), std::string::npos) << text;

  CQtSettingsStore store(FilePath("sub/Korvex.conf"));
  ModuleSettings loaded;
  CLogSettings loadedLogs;
  LoadSettings(store, Context(), loaded, loadedLogs);
  EXPECT_EQ(loaded, saved);
  EXPECT_EQ(loadedLogs, savedLogs);
}

TEST_F(CQtSettingsStoreTest, HandEditedValuesAreRepaired) {
  m_dir.Write("Korvex.conf",
              "[Main%20Setting]\nSerial%20Port%20Index=5\nSerial%20Port%20BaudRate=115200\n"
              "Korvex%20Mode=0x0C\nCAN%20Mask%20ID=0xFFFF\nCAN%20ID=1,2\n");
  CQtSettingsStore store(FilePath("Korvex.conf"));
  ModuleSettings loaded;
  CLogSettings logs;
  LoadSettings(store, Context(), loaded, logs);
  EXPECT_EQ(loaded, (ModuleSettings{.m_nSerialPortIndex = 2, .m_byMode = 0x0C, .m_dwMaskId = 0x7FF}));
}

TEST_F(CQtSettingsStoreTest, GarbageFileLoadsDefaultsAndTheNextSaveRepairsIt) {
  std::string garbage = "[Main Setting\nUSB Mode=\x01\x02\n";
  uint32_t dwNoise = 12345;
  for (int i = 0; i < 4096; ++i) {
    dwNoise = dwNoise * 1103515245u + 12345u;
    garbage.push_back(static_cast<char>(dwNoise >> 24));
  }
  m_dir.Write("Korvex.conf", garbage);

  ModuleSettings loaded;
  loaded.m_nBaudRate = 1;
  CLogSettings logs;
  {
    CQtSettingsStore store(FilePath("Korvex.conf"));
    LoadSettings(store, Context(), loaded, logs);
    EXPECT_EQ(loaded, m_defaults);
    EXPECT_EQ(logs, m_defaultLogs);
    loaded.m_nSerialPortIndex = 1;
    EXPECT_TRUE(SaveSettings(store, loaded, logs));
  }
  CQtSettingsStore store(FilePath("Korvex.conf"));
  ModuleSettings reloaded;
  LoadSettings(store, Context(), reloaded, logs);
  EXPECT_EQ(reloaded, loaded);
}

TEST_F(CQtSettingsStoreTest, UnreadableFileLoadsDefaultsAndSaveReportsFailure) {
  m_dir.MakeDir("Korvex.conf");  // a directory where the file should be
  CQtSettingsStore store(FilePath("Korvex.conf"));
  ModuleSettings loaded;
  loaded.m_byMode = 0;
  CLogSettings logs;
  LoadSettings(store, Context(), loaded, logs);
  EXPECT_EQ(loaded, m_defaults);
  EXPECT_EQ(logs, m_defaultLogs);
  EXPECT_FALSE(SaveSettings(store, loaded, logs));
}

}  // namespace
