#include "link/SerialPortDiscovery.h"

#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeSysfs.h"

using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::IsEmpty;

namespace {

auto Port(const std::string& name, uint8_t byModule) {
  return ::testing::AllOf(Field(&CSerialPortItem::m_strName, name),
                          Field(&CSerialPortItem::m_strDevicePath, "/dev/" + name),
                          Field(&CSerialPortItem::m_byModulePort, byModule));
}

class SerialPortDiscoveryTest : public ::testing::Test {
protected:
  // The machine most tests look at: the module, another maker's adapter, a CDC device, a real
  // UART, a phantom UART and a virtual terminal.
  void BuildMixedTree() {
    m_sysfs.AddUsbSerial("ttyUSB0", "1-1", "Ostwind", "Korvex Analyzer", "KX000123");
    m_sysfs.AddUsbSerial("ttyUSB1", "1-2", "Prolific Technology Inc.", "USB-Serial Controller", "P1");
    m_sysfs.AddAcm("ttyACM0", "1-3", "Arduino (www.arduino.cc)", "Uno");
    m_sysfs.AddUart("ttyS0", "4");
    m_sysfs.AddUart("ttyS1", "0");
    m_sysfs.AddVirtual("tty0");
  }

  FakeSysfs m_sysfs;
};

TEST_F(SerialPortDiscoveryTest, ListsModulePortAndPlainUartOnly) {
  BuildMixedTree();
  CPortLists lists;
  BuildSerialPortList(lists, m_sysfs.Root());

  EXPECT_EQ(lists.m_strError, "");
  EXPECT_THAT(lists.m_serialPorts, ElementsAre(Port("ttyS0", 0), Port("ttyUSB0", 1)));
  EXPECT_EQ(lists.m_serialPorts[1].m_strFriendlyName, "Ostwind USB Korvex Analyzer Device (ttyUSB0)");
  EXPECT_EQ(lists.m_serialPorts[0].m_strFriendlyName, "ttyS0");
  EXPECT_EQ(lists.SerialPortCount(), 2);
}

TEST_F(SerialPortDiscoveryTest, EnumerationReadsUsbDescriptorsAndSkipsPortsWithoutHardware) {
  BuildMixedTree();
  const CPortEnumeration result = EnumeratePorts(m_sysfs.Root());

  ASSERT_EQ(result.m_strError, "");
  // tty0 has no device and ttyS1 no UART; the rest come in name order.
  ASSERT_EQ(result.m_entries.size(), 4u);
  const PortEntry& acm = result.m_entries[0];
  EXPECT_EQ(acm.m_strPortName, "ttyACM0");
  EXPECT_TRUE(acm.m_bUsb);
  EXPECT_EQ(acm.m_strFriendlyName, "Arduino (www.arduino.cc) USB Uno Device (ttyACM0)");
  EXPECT_EQ(acm.m_strDescription, "Arduino");  // cut at the first "(", blanks trimmed

  const PortEntry& uart = result.m_entries[1];
  EXPECT_EQ(uart.m_strPortName, "ttyS0");
  EXPECT_FALSE(uart.m_bUsb);
  EXPECT_EQ(uart.m_strDescription, "ttyS0");

  const PortEntry& module = result.m_entries[2];
  EXPECT_EQ(module.m_strDevicePath, "/dev/ttyUSB0");
  EXPECT_EQ(module.m_strDescription, "Ostwind USB Korvex Analyzer Device");
  EXPECT_EQ(module.m_strUsbSerial, "KX000123");

  const PortEntry& other = result.m_entries[3];
  EXPECT_EQ(other.m_strFriendlyName,
            "Prolific Technology Inc. USB USB-Serial Controller Device (ttyUSB1)");
  EXPECT_TRUE(other.m_bUsb);
}

TEST_F(SerialPortDiscoveryTest, NumbersInNamesSortAsNumbers) {
  for (const char* pszName : {"ttyS10", "ttyS2", "ttyS0"}) m_sysfs.AddUart(pszName, "4");
  m_sysfs.AddUsbSerial("ttyUSB10", "1-1", "Ostwind", "Korvex Analyzer", "A");
  m_sysfs.AddUsbSerial("ttyUSB9", "1-2", "Ostwind", "Korvex Analyzer", "B");
  CPortLists lists;
  BuildSerialPortList(lists, m_sysfs.Root());
  EXPECT_THAT(lists.m_serialPorts, ElementsAre(Port("ttyS0", 0), Port("ttyS2", 0), Port("ttyS10", 0),
                                               Port("ttyUSB9", 1), Port("ttyUSB10", 1)));
}

TEST_F(SerialPortDiscoveryTest, UsbDeviceWithoutDescriptorsIsNoModule) {
  m_sysfs.AddUsbSerial("ttyUSB0", "1-1", "", "", "");
  const CPortEnumeration result = EnumeratePorts(m_sysfs.Root());
  ASSERT_EQ(result.m_entries.size(), 1u);
  EXPECT_EQ(result.m_entries[0].m_strFriendlyName, " USB  Device (ttyUSB0)");
  EXPECT_THAT(SelectSerialPorts(result.m_entries), IsEmpty());
}

TEST_F(SerialPortDiscoveryTest, UnreadableTreeGivesMessageAndEmptyList) {
  CPortLists lists;
  lists.m_serialPorts.push_back({"stale", "/dev/stale", "stale", 0});
  BuildSerialPortList(lists, m_sysfs.Root() + "/missing");
  EXPECT_THAT(lists.m_strError,
              ::testing::HasSubstr("Could not read " + m_sysfs.Root() + "/missing/class/tty"));
  EXPECT_THAT(lists.m_serialPorts, IsEmpty());

  // class/tty that is a file rather than a directory
  m_sysfs.Dir().Write("class/tty", "not a directory");
  BuildSerialPortList(lists, m_sysfs.Root());
  EXPECT_THAT(lists.m_strError, ::testing::HasSubstr("Not a directory"));
  EXPECT_THAT(lists.m_serialPorts, IsEmpty());
}

TEST_F(SerialPortDiscoveryTest, RootComesFromEnvironment) {
  ASSERT_EQ(::setenv("KORVEX_SYSFS_ROOT", m_sysfs.Root().c_str(), 1), 0);
  EXPECT_EQ(SysfsRoot(), m_sysfs.Root());
  ASSERT_EQ(::unsetenv("KORVEX_SYSFS_ROOT"), 0);
  EXPECT_EQ(SysfsRoot(), "/sys");
}

TEST(SerialPortListRules, ModulePrefixNeedsAllThirtyFourCharacters) {
  EXPECT_EQ(MODULE_PORT_PREFIX.size(), 34u);
  EXPECT_TRUE(IsModulePortName("Ostwind USB Korvex Analyzer Device"));
  EXPECT_TRUE(IsModulePortName("Ostwind USB Korvex Analyzer Device (ttyUSB3)"));
  EXPECT_FALSE(IsModulePortName("Ostwind USB Korvex Analyzer Devic"));
  EXPECT_FALSE(IsModulePortName("ostwind USB Korvex Analyzer Device (ttyUSB3)"));
  EXPECT_FALSE(IsModulePortName("Ostwind USB Korvex Analyzer (ttyUSB3)"));
}

TEST(SerialPortListRules, UsbPortsNeedTheModuleNameOtherPortsAlwaysCount) {
  const std::vector<PortEntry> entries = {
      {"/dev/ttyUSB0", "ttyUSB0", "FTDI USB FT232R USB UART Device (ttyUSB0)", true, "", ""},
      {"/dev/ttyS0", "ttyS0", "ttyS0", false, "", ""},
      // A non-USB port whose name carries the prefix is marked like the module's port.
      {"/dev/ttyX0", "ttyX0", "Ostwind USB Korvex Analyzer Device (ttyX0)", false, "", ""},
      {"/dev/ttyUSB1", "ttyUSB1", "Ostwind USB Korvex Analyzer Device (ttyUSB1)", true, "", ""},
  };
  EXPECT_THAT(SelectSerialPorts(entries), ElementsAre(Port("ttyS0", 0), Port("ttyX0", 1), Port("ttyUSB1", 1)));
}

}  // namespace
