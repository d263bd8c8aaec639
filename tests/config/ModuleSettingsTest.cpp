#include "config/ModuleSettings.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "text/FieldRules.h"
#include "support/CMemorySettingsStore.h"
#include "support/ScratchDir.h"

namespace {

// Value names are spelled out here, not taken from the header, so a misspelt name is caught.
using StoredValues = std::vector<std::pair<const char*, std::string>>;

class ModuleSettingsTest : public ::testing::Test {
protected:
  ModuleSettings Load(const StoredValues& values, int nSerialPorts = 3, int nUsbModules = 1) {
    CMemorySettingsStore store;
    for (const auto& [pszName, value] : values) store.SetString("Main Setting", pszName, value);
    ModuleSettings settings{.m_nSerialPortIndex = 99};  // the load must overwrite whatever the record held
    LoadSettings(store, {nSerialPorts, nUsbModules, m_logDir}, settings, m_logs);
    return settings;
  }

  ScratchDir m_dir;
  std::string m_logDir = m_dir.MakeDir("Log");
  CLogSettings m_logs;
};

TEST_F(ModuleSettingsTest, LoadBringsEveryValueIntoRange) {
  struct Case { StoredValues stored; ModuleSettings expected; int nSerialPorts = 3, nUsbModules = 1; };
  const Case cases[] = {
      {{}, {.m_nPortMode = 1, .m_nUsbPortIndex = 0, .m_nSerialPortIndex = 0, .m_nBaudRate = 38400, .m_byMode = 0x1C,
            .m_wBitTime = 0x0F34, .m_dwMaskId = 0, .m_dwId = 0}},  // the first start
      {{{"Serial Port Index", "5"}}, {.m_nSerialPortIndex = 2}}, {{{"Serial Port Index", "5"}}, {}, 0},
      {{{"Serial Port Index", "-1"}}, {}}, {{{"Serial Port Index", "99999999999"}}, {.m_nSerialPortIndex = 2}},
      {{{"USB Port Index", "4"}}, {.m_nUsbPortIndex = 1}, 3, 2}, {{{"USB Port Index", "-3"}}, {}, 3, 2},
      {{{"USB Mode", "1"}, {"USB Port Index", "1"}}, {.m_nPortMode = 0}, 3, 0}, {{{"USB Mode", "7"}}, {}, 3, 2},
      {{{"Serial Port BaudRate", "115200"}}, {}},
      {{{"Korvex Mode", "60"}}, {.m_byMode = 0x1C}}, {{{"Korvex Mode", "316"}}, {.m_byMode = 0x1C}},  // 0x3C, 0x13C
      {{{"CAN Bit Time", "66356"}}, {.m_wBitTime = 0x0334}},  // 0x10334: the low 16 bits
      {{{"CAN Bit Time", "0x0F43"}}, {}},  // TSEG1 below TSEG2 (the rules are checked with the bit timing)
      // A module may report reserved bits: its word is kept as stored, not replaced by 250K, unless BRP is 2.
      {{{"CAN Bit Time", "0xC7B4"}}, {.m_wBitTime = 0xC7B4}}, {{{"CAN Bit Time", "0x82B3"}}, {}},
      {{{"Korvex Mode", "12"}, {"CAN Mask ID", "65535"}, {"CAN ID", "4660"}},
       {.m_byMode = 0x0C, .m_dwMaskId = 0x7FF, .m_dwId = 0x234}},  // CAN 2.0A: 11 bits
      {{{"CAN Mask ID", "4294967295"}, {"CAN ID", "-1"}}, {.m_dwMaskId = 0x1FFFFFFF, .m_dwId = 0x1FFFFFFF}},
      {{{"USB Mode", "x"}, {"USB Port Index", "?"}, {"Serial Port Index", ""}, {"Serial Port BaudRate", "\x01"},
        {"Korvex Mode", "1e9"}, {"CAN Bit Time", "--"}, {"CAN Mask ID", "0x"}, {"CAN ID", "ID"}},
       {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored.empty() ? "nothing stored" : std::string(c.stored[0].first) + "=" + c.stored[0].second);
    EXPECT_EQ(Load(c.stored, c.nSerialPorts, c.nUsbModules), c.expected);
  }
}

TEST_F(ModuleSettingsTest, LogPathsOfExistingFilesAreKeptAndOthersFallBackToTheDefault) {
  const std::string eventPath = m_dir.Write("mine/events.txt", "x");
  const std::string rdataPath = m_dir.Write("mine/frames 수신.txt", "x");
  Load({{"Event Log Flag", "1"}, {"Event Log Path", eventPath}, {"RData Log Flag", "5"}, {"RData Log Path", rdataPath}});
  EXPECT_EQ(m_logs, (CLogSettings{true, eventPath, true, rdataPath}));

  std::filesystem::remove(eventPath);
  Load({{"Event Log Flag", "1"}, {"Event Log Path", eventPath}, {"RData Log Flag", "on"},
        {"RData Log Path", m_dir.MakeDir("a directory")}});
  // A flag stays on; whether the log opens is decided when the window starts.
  EXPECT_EQ(m_logs, (CLogSettings{true, m_logDir + "/EventLog.txt", false, m_logDir + "/RDataLog.txt"}));
}

TEST_F(ModuleSettingsTest, SaveWritesEveryValueUnderItsName) {
  const ModuleSettings saved{.m_nPortMode = 1, .m_nUsbPortIndex = 1, .m_nSerialPortIndex = 2, .m_nBaudRate = 921600,
                             .m_byMode = 0x0B, .m_wBitTime = 0x3F7F, .m_dwMaskId = 0x7F0, .m_dwId = 0x123};
  const CLogSettings savedLogs{true, m_dir.Write("e.txt", ""), true, m_dir.Write("r.txt", "")};
  CMemorySettingsStore store;
  ASSERT_TRUE(SaveSettings(store, saved, savedLogs));
  const StoredValues expected = {
      {"USB Mode", "1"}, {"USB Port Index", "1"}, {"Serial Port Index", "2"}, {"Serial Port BaudRate", "921600"},
      {"Korvex Mode", "11"}, {"CAN Bit Time", "16255"}, {"CAN Mask ID", "2032"}, {"CAN ID", "291"},
      {"Event Log Flag", "1"}, {"Event Log Path", savedLogs.m_strEventLogPath}, {"RData Log Flag", "1"},
      {"RData Log Path", savedLogs.m_strRDataLogPath}};
  for (const auto& [pszName, value] : expected) EXPECT_EQ(store.GetString("Main Setting", pszName), value) << pszName;
}

// Where a file dialog starts: the file's directory, the directory itself, the root, or nowhere.
TEST_F(ModuleSettingsTest, ExistingDirectoryOfAPath) {
  const std::string& dir = m_dir.Path();
  for (const auto& [path, expected] : std::vector<std::pair<std::string, std::string>>{
           {m_dir.Write("frames.ctd", "x"), dir}, {dir + "/missing.ctd", dir}, {dir, dir}, {dir + "/no/such.ctd", ""},
           {"bare-name.ctd", ""}, {"", ""}, {"/no-such-entry-korvex", "/"}})
    EXPECT_EQ(ExistingDirectoryOf(path), expected) << path;
}

TEST(ParseSettingsInt, ReadsDecimalAndHexOnly) {
  for (const auto& [pszText, nValue] : std::vector<std::pair<const char*, int64_t>>{
           {"28", 28}, {" -1 ", -1}, {"0x1C", 28}, {"0X13c", 0x13C}, {"4294967295", 4294967295LL},
           {"9223372036854775807", INT64_MAX}})
    EXPECT_EQ(ParseSettingsInt(pszText), nValue) << pszText;
  for (const char* pszText : {"9223372036854775808", "1C", "", "  ", "+5", "0x", "0x-1", "12 34", "38400baud"})
    EXPECT_EQ(ParseSettingsInt(pszText), std::nullopt) << '"' << pszText << '"';
}

}  // namespace
