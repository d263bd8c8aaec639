#include "link/CommandLinePorts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

struct PortValueCase {
  const char* pszValue;
  bool bValid;
  const char* pszPath;
  bool bModule;
};

class ParsePortValueTest : public ::testing::TestWithParam<PortValueCase> {};

TEST_P(ParsePortValueTest, SplitsPathAndKind) {
  const PortValueCase& c = GetParam();
  CCommandLinePort port;
  std::string strError;
  ASSERT_EQ(ParsePortValue(c.pszValue, port, strError), c.bValid) << strError;
  if (!c.bValid) {
    EXPECT_THAT(strError, HasSubstr(c.pszValue));
    return;
  }
  EXPECT_EQ(port.m_strPath, c.pszPath);
  EXPECT_EQ(port.m_bModule, c.bModule);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ParsePortValueTest,
    ::testing::Values(PortValueCase{"/dev/ttyUSB4", true, "/dev/ttyUSB4", false},
                      PortValueCase{"/tmp/sim.tty=module", true, "/tmp/sim.tty", true},
                      PortValueCase{"ttyS1", true, "ttyS1", false},
                      PortValueCase{"ttyS1=module", true, "ttyS1", true},
                      // an "=" before the last "/" belongs to the path
                      PortValueCase{"/tmp/a=b/port", true, "/tmp/a=b/port", false},
                      PortValueCase{"/tmp/a=b/port=module", true, "/tmp/a=b/port", true},
                      PortValueCase{"/dev/ttyUSB0=modem", false, "", false},
                      PortValueCase{"/dev/ttyUSB0=", false, "", false},
                      PortValueCase{"=module", false, "", false},
                      PortValueCase{"", false, "", false}));

TEST(ExtractPortArguments, TakesBothSpellingsAndKeepsTheRest) {
  const CPortArguments result = ExtractPortArguments(
      {"--port", "/dev/ttyUSB4", "monitor", "--port=/tmp/sim.tty=module", "--baud", "921600", "--portable"});
  EXPECT_EQ(result.m_strError, "");
  ASSERT_EQ(result.m_ports.size(), 2u);
  EXPECT_EQ(result.m_ports[0].m_strPath, "/dev/ttyUSB4");
  EXPECT_FALSE(result.m_ports[0].m_bModule);
  EXPECT_EQ(result.m_ports[1].m_strPath, "/tmp/sim.tty");
  EXPECT_TRUE(result.m_ports[1].m_bModule);
  EXPECT_THAT(result.m_rest, ElementsAre("monitor", "--baud", "921600", "--portable"));
}

TEST(ExtractPortArguments, ReportsTheFirstBadPortAndKeepsTheGoodOnes) {
  const CPortArguments bad = ExtractPortArguments({"--port=x=serial", "--port", "ttyS0", "--port"});
  EXPECT_THAT(bad.m_strError, HasSubstr("unknown port kind \"serial\""));
  ASSERT_EQ(bad.m_ports.size(), 1u);
  EXPECT_EQ(bad.m_ports[0].m_strPath, "ttyS0");

  EXPECT_EQ(ExtractPortArguments({"--port"}).m_strError, "--port needs a path");
}

TEST(AddCommandLinePorts, AppendsNewPortsAndOverridesTheFlagOfListedOnes) {
  CPortLists lists;
  lists.m_serialPorts.push_back({"ttyS0", "/dev/ttyS0", "ttyS0", 0});
  lists.m_serialPorts.push_back({"ttyUSB0", "/dev/ttyUSB0", "module", 1});

  AddCommandLinePorts(lists,
                      {{"/tmp/sim.tty", true}, {"ttyS0", true}, {"/dev/ttyUSB0", false}, {"ttyUSB7", false}});

  ASSERT_EQ(lists.m_serialPorts.size(), 4u);
  EXPECT_EQ(lists.m_serialPorts[0].m_byModulePort, 1);  // ttyS0, named without /dev
  EXPECT_EQ(lists.m_serialPorts[1].m_byModulePort, 0);  // ttyUSB0 given as a plain port
  EXPECT_EQ(lists.m_serialPorts[1].m_strName, "ttyUSB0");
  const CSerialPortItem& sim = lists.m_serialPorts[2];
  EXPECT_EQ(sim.m_strName, "/tmp/sim.tty");
  EXPECT_EQ(sim.m_strDevicePath, "/tmp/sim.tty");
  EXPECT_EQ(sim.m_strFriendlyName, "/tmp/sim.tty");
  EXPECT_EQ(sim.m_byModulePort, 1);
  EXPECT_EQ(lists.m_serialPorts[3].m_strDevicePath, "/dev/ttyUSB7");
  EXPECT_EQ(lists.m_serialPorts[3].m_byModulePort, 0);
}

}  // namespace
