#include <gtest/gtest.h>

#include "app/StatusPaneTexts.h"
#include "protocol/CModuleChannel.h"
#include "resources/StringTable.h"

namespace {

CPortLists Ports() {
  CPortLists ports;
  ports.m_serialPorts = {{"ttyS0", "/dev/ttyS0", "ttyS0", 0}, {"ttyUSB0", "/dev/ttyUSB0", "Ostwind USB ...", 1}};
  ports.m_usbSerialNumbers = {"KX000123"};
  ports.FixPortsAvailable();
  return ports;
}

}  // namespace

TEST(StatusPaneTexts, EmptyWhileDisconnectedAndFromTheSettingsWhileConnected) {
  ModuleSettings settings;
  settings.m_nPortMode = PORT_MODE_SERIAL;
  settings.m_nSerialPortIndex = 1;
  settings.m_dwMaskId = 0x1FFFFFFF;
  settings.m_dwId = 0x123;
  EXPECT_EQ(StatusPaneTexts(false, settings, Ports()), CStatusPaneTexts{});
  EXPECT_EQ(StatusPaneTexts(true, settings, Ports()),
            (CStatusPaneTexts{"Serial Port", "ttyUSB0", "CAN2.0B", "250.00K BPS", "Mask ID:1FFFFFFF", "ID:00000123"}));

  settings.m_nPortMode = PORT_MODE_USB;
  settings.m_byMode = 0x0C;  // CAN 2.0A
  settings.m_wBitTime = 0x0334;
  settings.m_dwMaskId = 0x7FF;
  EXPECT_EQ(StatusPaneTexts(true, settings, Ports()),
            (CStatusPaneTexts{"USB Port", "KX000123", "CAN2.0A", "1.00M BPS", "Mask ID:7FF", "ID:123"}));

  settings.m_nUsbPortIndex = 4;  // a stale index shows no name instead of reading past the list
  EXPECT_EQ(StatusPaneTexts(true, settings, Ports())[1], "");
}

TEST(StatusPaneTexts, CountersSumTheRefusalsAndAnUnknownStringIsEmpty) {
  ChannelCounters counters;
  counters.m_qwDroppedBlocks = 3;
  counters.m_qwRefusedLines = 10;
  counters.m_qwRefusedResponses = 2;
  counters.m_qwIncompleteFrames = 1;
  EXPECT_EQ(CountersPaneText(counters), "Dropped 3 / Refused 12 / Short 1");
  EXPECT_EQ(LoadString(61242), "");
}
