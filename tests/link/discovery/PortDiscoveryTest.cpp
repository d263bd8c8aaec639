#include <gtest/gtest.h>

#include <stdlib.h>

#include "FakeD2xxControl.h"
#include "FakeSysfs.h"
#include "link/PortDiscovery.h"

namespace {

// The whole start-up discovery over a fake tree and the fake D2XX library.
class PortDiscoveryTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_fake.IsLoaded());
    m_fake.Reset();
    setenv("KORVEX_SYSFS_ROOT", m_sysfs.Root().c_str(), 1);
    setenv("KORVEX_D2XX_LIBRARY", KORVEX_FAKE_D2XX_PATH, 1);
    m_sysfs.AddUsbSerial("ttyUSB0", "1-1", "Ostwind", "Korvex Analyzer", "KX000123");
    m_sysfs.AddUsbSerial("ttyUSB1", "1-2", "FTDI", "FT232R USB UART", "A9XYZ");
    m_sysfs.AddUart("ttyS0", "4");
  }
  void TearDown() override {
    unsetenv("KORVEX_SYSFS_ROOT");
    unsetenv("KORVEX_D2XX_LIBRARY");
  }

  CFakeD2xx m_fake;
  FakeSysfs m_sysfs;
  CD2xxLibrary m_library;
};

TEST_F(PortDiscoveryTest, OtherFtdiDevicesGiveNoUsbModules) {
  m_fake.AddDevice("FT232R USB UART", "A9XYZ", 16);
  m_fake.AddDevice("Korvex Analyzer B", "KXB", 16);  // described almost, not exactly
  const CPortLists lists = DiscoverPorts({{"/tmp/korvex-sim.tty", true}}, m_library);
  EXPECT_TRUE(lists.m_strError.empty()) << lists.m_strError;
  EXPECT_TRUE(lists.m_usbSerialNumbers.empty());
  ASSERT_EQ(lists.SerialPortCount(), 3);  // module port, plain UART, command-line port
  EXPECT_EQ(lists.m_serialPorts[0].m_strName, "ttyS0");  // names sort: ttyS before ttyUSB
  EXPECT_EQ(lists.m_serialPorts[1].m_strName, "ttyUSB0");
  EXPECT_EQ(lists.m_serialPorts[1].m_byModulePort, 1);
  EXPECT_EQ(lists.m_serialPorts[2].m_strDevicePath, "/tmp/korvex-sim.tty");
  EXPECT_EQ(lists.m_serialPorts[2].m_byModulePort, 1);
  EXPECT_EQ(lists.m_nPortsAvailable, 3);
}

TEST_F(PortDiscoveryTest, ModulesOnUsbJoinTheTotal) {
  m_fake.AddDevice("Korvex Analyzer", "KX000123", 16);
  m_fake.AddDevice("Korvex Analyzer", "", 16);  // no serial number: cannot be opened by it
  const CPortLists lists = DiscoverPorts({}, m_library);
  EXPECT_EQ(lists.m_usbSerialNumbers, std::vector<std::string>{"KX000123"});
  EXPECT_EQ(lists.m_nPortsAvailable, 3);
}

TEST_F(PortDiscoveryTest, MissingLibraryLeavesTheSerialListStanding) {
  setenv("KORVEX_D2XX_LIBRARY", (m_sysfs.Root() + "/no-such-library.so").c_str(), 1);
  const CPortLists lists = DiscoverPorts({}, m_library);
  EXPECT_TRUE(lists.m_usbSerialNumbers.empty());
  EXPECT_EQ(lists.SerialPortCount(), 2);
  EXPECT_EQ(lists.m_nPortsAvailable, 2);
}

}  // namespace
