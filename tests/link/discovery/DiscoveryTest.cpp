// Port discovery on fake sysfs trees and the fake D2XX library, and the ports of the command line.
#include <stdlib.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeD2xxControl.h"
#include "FakeSysfs.h"
#include "link/CommandLinePorts.h"
#include "link/PortDiscovery.h"
#include "link/SerialPortDiscovery.h"
#include "link/SysfsTree.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

// "name path flag friendly-name" per item, so a whole list is compared at once.
std::vector<std::string> Items(const std::vector<CSerialPortItem>& items) {
  std::vector<std::string> lines;
  for (const CSerialPortItem& item : items)
    lines.push_back(item.m_strName + " " + item.m_strDevicePath + " " + std::to_string(item.m_byModulePort) + " " +
                    item.m_strFriendlyName);
  return lines;
}

class DiscoveryTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_sysfs.AddUsb("ttyUSB0", "1-1", "Ostwind", "Korvex Analyzer", "KX000123");
    m_sysfs.AddUsb("ttyUSB1", "1-2", "Prolific Technology Inc.", "USB-Serial Controller", "P1");
    m_sysfs.AddUsb("ttyUSB2", "1-3", "", "", "");
    m_sysfs.AddUsb("ttyACM0", "1-4", "Arduino (www.arduino.cc)", "Uno", "");
    m_sysfs.AddUart("ttyS10", "4");
    m_sysfs.AddUart("ttyS2", "4");
    m_sysfs.AddUart("ttyS1", "0");
    m_sysfs.AddVirtual("tty0");
  }

  FakeSysfs m_sysfs;
};

// A stale list is replaced, or emptied with a message when the tree cannot be read.
TEST_F(DiscoveryTest, SerialListKeepsTheModulePortAndPlainUartsOnly) {
  CPortLists lists;
  lists.m_serialPorts.push_back({"stale", "/dev/stale", "stale", 0});
  BuildSerialPortList(lists, m_sysfs.Root() + "/missing");
  EXPECT_THAT(lists.m_strError, HasSubstr("Could not read " + m_sysfs.Root() + "/missing/class/tty"));
  EXPECT_THAT(lists.m_serialPorts, IsEmpty());
  BuildSerialPortList(lists, m_sysfs.Root());
  EXPECT_EQ(lists.m_strError, "");
  EXPECT_THAT(Items(lists.m_serialPorts),
              ElementsAre("ttyS2 /dev/ttyS2 0 ttyS2", "ttyS10 /dev/ttyS10 0 ttyS10",
                          "ttyUSB0 /dev/ttyUSB0 1 Ostwind USB Korvex Analyzer Device (ttyUSB0)"));

  // The walk itself: USB descriptors read from the parent device, descriptions cut at "(".
  std::vector<std::string> entries;
  for (const PortEntry& entry : EnumeratePorts(m_sysfs.Root()).m_entries)
    entries.push_back(entry.m_strPortName + "|" + entry.m_strDescription + "|" + entry.m_strUsbSerial + "|" +
                      (entry.m_bUsb ? "usb" : "-"));
  EXPECT_THAT(entries, ElementsAre("ttyACM0|Arduino||usb", "ttyS2|ttyS2||-", "ttyS10|ttyS10||-",
                                   "ttyUSB0|Ostwind USB Korvex Analyzer Device|KX000123|usb",
                                   "ttyUSB1|Prolific Technology Inc. USB USB-Serial Controller Device|P1|usb",
                                   "ttyUSB2|USB  Device||usb"));
}

// (Which USB descriptions make a module is checked on the device list itself.)
TEST_F(DiscoveryTest, WholeDiscoveryCountsTreeCommandLineAndUsbPorts) {
  CFakeD2xx fake;
  fake.Reset();
  fake.AddDevice("FT232R USB UART", "A9XYZ", 16);
  fake.AddDevice("Korvex Analyzer", "KX000123", 16);
  setenv("KORVEX_SYSFS_ROOT", m_sysfs.Root().c_str(), 1);
  setenv("KORVEX_D2XX_LIBRARY", KORVEX_FAKE_D2XX_PATH, 1);
  CD2xxLibrary library;
  const CPortLists lists = DiscoverPorts({{"/tmp/korvex-sim.tty", true}}, library);
  for (const char* pszName : {"KORVEX_SYSFS_ROOT", "KORVEX_D2XX_LIBRARY"}) unsetenv(pszName);
  EXPECT_EQ(std::tuple(lists.m_strError, lists.m_serialPorts.back().m_strDevicePath, lists.m_nPortsAvailable),
            std::tuple("", "/tmp/korvex-sim.tty", 5));
  EXPECT_EQ(lists.m_usbSerialNumbers, std::vector<std::string>{"KX000123"});
}

TEST(SerialPortListRules, ModulePortNeedsTheWholePrefixWhereverItIs) {
  EXPECT_FALSE(IsModulePortName("Ostwind USB Korvex Analyzer Devic") ||
               IsModulePortName("ostwind USB Korvex Analyzer Device (ttyUSB3)"));
  // A port that is not on USB but carries the prefix is marked like the module's port.
  EXPECT_THAT(Items(SelectSerialPorts({{"/dev/ttyX0", "ttyX0", "Ostwind USB Korvex Analyzer Device", false, "", ""}})),
              ElementsAre("ttyX0 /dev/ttyX0 1 Ostwind USB Korvex Analyzer Device"));
}

TEST(ReadSysfsAttr, TakesTheFirstLineBoundedAndPrintable) {
  ScratchDir dir;
  EXPECT_EQ(ReadSysfsAttr(dir.Path(), "missing"), std::nullopt);
  EXPECT_EQ(ReadSysfsAttr(dir.Path(), ""), std::nullopt);  // the directory itself
  dir.Write("product", "Bad\x1b[2J\x7f  \nsecond\n");
  EXPECT_EQ(ReadSysfsAttr(dir.Path(), "product"), "Bad?[2J?");
  dir.Write("long", std::string(3 * SYSFS_ATTR_MAX, 'x'));
  EXPECT_EQ(ReadSysfsAttr(dir.Path(), "long")->size(), SYSFS_ATTR_MAX);
}

// "=module" splits off the last "="; a listed port may gain the module flag but never lose it.
TEST(CommandLinePorts, ValuesSplitIntoPathAndKindAndJoinTheSerialList) {
  for (const auto& [pszValue, pszExpected] : std::vector<std::pair<const char*, const char*>>{
           {"/dev/ttyUSB4", "/dev/ttyUSB4 0"}, {"ttyS1=module", "ttyS1 1"}, {"/tmp/a=b/port", "/tmp/a=b/port 0"},
           {"/tmp/a=b/port=module", "/tmp/a=b/port 1"}, {"=module", "--port =module: the path is empty"},
           {"/dev/ttyUSB0=", "--port /dev/ttyUSB0=: unknown port kind \"\" (only \"module\" is known)"}}) {
    CCommandLinePort port;
    std::string strError;
    EXPECT_EQ(ParsePortValue(pszValue, port, strError) ? port.m_strPath + " " + std::to_string(port.m_bModule)
                                                        : strError, pszExpected);
  }
  CPortArguments result = ExtractPortArguments({"--port=/tmp/sim.tty=module", "monitor", "--port", "ttyS0=module",
                                                "--port", "/dev/ttyUSB0", "--baud", "921600", "--portable",
                                                "--port", "ttyUSB7"});
  EXPECT_EQ(result.m_strError, "");
  EXPECT_THAT(result.m_rest, ElementsAre("monitor", "--baud", "921600", "--portable"));
  CPortLists lists;
  lists.m_serialPorts = {{"ttyS0", "/dev/ttyS0", "ttyS0", 0}, {"ttyUSB0", "/dev/ttyUSB0", "module", 1}};
  AddCommandLinePorts(lists, result.m_ports);
  EXPECT_THAT(Items(lists.m_serialPorts),
              ElementsAre("ttyS0 /dev/ttyS0 1 ttyS0", "ttyUSB0 /dev/ttyUSB0 1 module",
                          "/tmp/sim.tty /tmp/sim.tty 1 /tmp/sim.tty", "ttyUSB7 /dev/ttyUSB7 0 ttyUSB7"));
}

}  // namespace
