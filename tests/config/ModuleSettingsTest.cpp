#include "config/ModuleSettings.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "config/CMemorySettingsStore.h"
#include "support/ScratchDir.h"

namespace {

// Value names are spelled out here, not taken from the header, so a misspelt name is caught.
using StoredValues = std::vector<std::pair<const char*, const char*>>;

struct RepairCase {
  const char* pszLabel;
  StoredValues stored;
  int nSerialPorts;
  int nUsbModules;
  ModuleSettings expected;
};

void PrintTo(const RepairCase& c, std::ostream* pOut) { *pOut << c.pszLabel; }

CMemorySettingsStore StoreWith(const StoredValues& values) {
  CMemorySettingsStore store;
  for (const auto& [pszName, pszValue] : values) store.SetString("Main Setting", pszName, pszValue);
  return store;
}

class ModuleSettingsRepairTest : public ::testing::TestWithParam<RepairCase> {};

TEST_P(ModuleSettingsRepairTest, LoadsInRange) {
  const RepairCase& c = GetParam();
  const CMemorySettingsStore store = StoreWith(c.stored);
  ModuleSettings settings;
  settings.m_nSerialPortIndex = 99;  // the load must overwrite whatever the record held
  CLogSettings logs;
  LoadSettings(store, {c.nSerialPorts, c.nUsbModules, "/nonexistent/Log"}, settings, logs);
  EXPECT_EQ(settings, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ModuleSettingsRepairTest,
    ::testing::Values(
        RepairCase{"FirstStartWithoutUsbModule", {}, 3, 0, {.m_nPortMode = 0}},
        RepairCase{"FirstStartWithUsbModule", {}, 3, 1, {}},
        RepairCase{"SerialIndexPastEnd", {{"Serial Port Index", "5"}}, 3, 1, {.m_nSerialPortIndex = 2}},
        RepairCase{"SerialIndexWithoutPorts", {{"Serial Port Index", "5"}}, 0, 1, {}},
        RepairCase{"SerialIndexNegative", {{"Serial Port Index", "-1"}}, 3, 1, {}},
        RepairCase{"SerialIndexBeyond32Bits", {{"Serial Port Index", "99999999999"}}, 3, 1,
                   {.m_nSerialPortIndex = 2}},
        RepairCase{"SerialIndexInRange", {{"Serial Port Index", "1"}}, 3, 1, {.m_nSerialPortIndex = 1}},
        RepairCase{"UsbIndexPastEnd", {{"USB Port Index", "4"}}, 3, 2, {.m_nUsbPortIndex = 1}},
        RepairCase{"UsbIndexNegative", {{"USB Port Index", "-3"}}, 3, 2, {}},
        RepairCase{"UsbModeWithoutModules", {{"USB Mode", "1"}, {"USB Port Index", "1"}}, 3, 0,
                   {.m_nPortMode = 0}},
        RepairCase{"SerialModeKept", {{"USB Mode", "0"}}, 3, 2, {.m_nPortMode = 0}},
        RepairCase{"UnknownPortModeIsUsb", {{"USB Mode", "7"}}, 3, 2, {}},
        RepairCase{"Baud115200", {{"Serial Port BaudRate", "115200"}}, 3, 1, {}},
        RepairCase{"Baud921600Kept", {{"Serial Port BaudRate", "921600"}}, 3, 1, {.m_nBaudRate = 921600}},
        RepairCase{"BaudNotANumber", {{"Serial Port BaudRate", "fast"}}, 3, 1, {}},
        RepairCase{"Mode0x3C", {{"Korvex Mode", "60"}}, 3, 1, {.m_byMode = 0x1C}},
        RepairCase{"Mode0x13C", {{"Korvex Mode", "316"}}, 3, 1, {.m_byMode = 0x1C}},
        RepairCase{"Mode20AKept", {{"Korvex Mode", "0x0B"}}, 3, 1, {.m_byMode = 0x0B}},
        RepairCase{"BitTimeInvalid", {{"CAN Bit Time", "128"}}, 3, 1, {}},
        RepairCase{"BitTimeLow16Bits", {{"CAN Bit Time", "66356"}}, 3, 1, {.m_wBitTime = 0x0334}},
        RepairCase{"BitTime25kKept", {{"CAN Bit Time", "16255"}}, 3, 1, {.m_wBitTime = 0x3F7F}},
        RepairCase{"MaskUnder20A",
                   {{"Korvex Mode", "12"}, {"CAN Mask ID", "65535"}, {"CAN ID", "4660"}}, 3, 1,
                   {.m_byMode = 0x0C, .m_dwMaskId = 0x7FF, .m_dwId = 0x234}},
        RepairCase{"MaskUnder20B", {{"CAN Mask ID", "4294967295"}, {"CAN ID", "-1"}}, 3, 1,
                   {.m_dwMaskId = 0x1FFFFFFF, .m_dwId = 0x1FFFFFFF}},
        RepairCase{"MaskIn29Bits", {{"CAN Mask ID", "0x12345678"}}, 3, 1, {.m_dwMaskId = 0x12345678}},
        RepairCase{"GarbageEverywhere",
                   {{"USB Mode", "x"}, {"USB Port Index", "?"}, {"Serial Port Index", ""},
                    {"Serial Port BaudRate", "\x01"}, {"Korvex Mode", "1e9"}, {"CAN Bit Time", "--"},
                    {"CAN Mask ID", "0x"}, {"CAN ID", "ID"}},
                   3, 1, {}}),
    [](const ::testing::TestParamInfo<RepairCase>& info) { return std::string(info.param.pszLabel); });

class LogSettingsTest : public ::testing::Test {
protected:
  CLogSettings Load(const StoredValues& values) const {
    ModuleSettings settings;
    CLogSettings logs;
    LoadSettings(StoreWith(values), {1, 0, m_logDir}, settings, logs);
    return logs;
  }

  ScratchDir m_dir;
  std::string m_logDir = m_dir.MakeDir("Log");
};

TEST_F(LogSettingsTest, FirstStartHasBothLogsOffWithDefaultPaths) {
  const CLogSettings logs = Load({});
  EXPECT_EQ(logs, (CLogSettings{false, m_logDir + "/EventLog.txt", false, m_logDir + "/RDataLog.txt"}));
}

TEST_F(LogSettingsTest, PathsOfExistingFilesAndFlagsAreKept) {
  const std::string eventPath = m_dir.Write("mine/events.txt", "x");
  const std::string rdataPath = m_dir.Write("mine/frames 수신.txt", "x");
  const CLogSettings logs = Load({{"Event Log Flag", "1"},
                                  {"Event Log Path", eventPath.c_str()},
                                  {"RData Log Flag", "5"},
                                  {"RData Log Path", rdataPath.c_str()}});
  EXPECT_EQ(logs, (CLogSettings{true, eventPath, true, rdataPath}));
}

TEST_F(LogSettingsTest, DeletedOrUnusableLogFileFallsBackToDefaultPath) {
  const std::string eventPath = m_dir.Write("gone/events.txt", "x");
  std::filesystem::remove(eventPath);
  const std::string directory = m_dir.MakeDir("a directory");
  const CLogSettings logs = Load({{"Event Log Flag", "1"},
                                  {"Event Log Path", eventPath.c_str()},
                                  {"RData Log Flag", "on"},
                                  {"RData Log Path", directory.c_str()}});
  // The flag stays on; whether the log opens is decided when the window starts.
  EXPECT_EQ(logs, (CLogSettings{true, m_logDir + "/EventLog.txt", false, m_logDir + "/RDataLog.txt"}));
}

TEST_F(LogSettingsTest, SaveThenLoadRoundTripsEveryValue) {
  const ModuleSettings saved{.m_nPortMode = 1,
                             .m_nUsbPortIndex = 1,
                             .m_nSerialPortIndex = 2,
                             .m_nBaudRate = 921600,
                             .m_byMode = 0x0B,
                             .m_wBitTime = 0x3F7F,
                             .m_dwMaskId = 0x7F0,
                             .m_dwId = 0x123};
  const CLogSettings savedLogs{true, m_dir.Write("e.txt", ""), true, m_dir.Write("r.txt", "")};
  CMemorySettingsStore store;
  ASSERT_TRUE(SaveSettings(store, saved, savedLogs));

  const std::vector<std::pair<const char*, std::string>> expected = {
      {"USB Mode", "1"},
      {"USB Port Index", "1"},
      {"Serial Port Index", "2"},
      {"Serial Port BaudRate", "921600"},
      {"Korvex Mode", "11"},
      {"CAN Bit Time", "16255"},
      {"CAN Mask ID", "2032"},
      {"CAN ID", "291"},
      {"Event Log Flag", "1"},
      {"Event Log Path", savedLogs.m_strEventLogPath},
      {"RData Log Flag", "1"},
      {"RData Log Path", savedLogs.m_strRDataLogPath}};
  for (const auto& [pszName, value] : expected)
    EXPECT_EQ(store.GetString("Main Setting", pszName), value) << pszName;
  EXPECT_EQ(store.GetString("Main Setting", "TData File Dir"), std::nullopt);

  ModuleSettings loaded;
  CLogSettings loadedLogs;
  LoadSettings(store, {3, 2, m_logDir}, loaded, loadedLogs);
  EXPECT_EQ(loaded, saved);
  EXPECT_EQ(loadedLogs, savedLogs);
}

TEST(ModuleSettingsDefaults, MatchTheDocumentedValues) {
  const ModuleSettings settings;
  EXPECT_EQ(settings.m_nPortMode, 1);
  EXPECT_EQ(settings.m_nBaudRate, 38400);
  EXPECT_EQ(settings.m_byMode, 28);
  EXPECT_EQ(settings.m_wBitTime, 3892);
  EXPECT_EQ(DefaultEventLogPath("/work/Log"), "/work/Log/EventLog.txt");
  EXPECT_EQ(DefaultRDataLogPath("/work/Log"), "/work/Log/RDataLog.txt");
}

}  // namespace
