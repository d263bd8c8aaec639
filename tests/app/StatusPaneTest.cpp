#include <gtest/gtest.h>

#include "app/StatusPaneTexts.h"
#include "protocol/CModuleChannel.h"
#include "resources/StringTable.h"
#include "stats/CBusLoad.h"

TEST(StatusPaneTexts, EmptyWhileDisconnectedAndFromTheSettingsWhileConnected) {
  CPortLists ports;
  ports.m_serialPorts = {{"ttyS0", "/dev/ttyS0", "ttyS0", 0}, {"ttyUSB0", "/dev/ttyUSB0", "Ostwind USB ...", 1}};
  ports.m_usbSerialNumbers = {"KX000123"};
  ports.FixPortsAvailable();
  ModuleSettings settings{.m_nPortMode = PORT_MODE_SERIAL, .m_nSerialPortIndex = 1, .m_dwMaskId = 0x1FFFFFFF, .m_dwId = 0x123};
  EXPECT_EQ(StatusPaneTexts(false, settings, ports), CStatusPaneTexts{});
  EXPECT_EQ(StatusPaneTexts(true, settings, ports),
            (CStatusPaneTexts{"Serial Port", "ttyUSB0", "CAN2.0B", "250.00K BPS", "Mask ID:1FFFFFFF", "ID:00000123"}));

  settings = {.m_nPortMode = PORT_MODE_USB, .m_byMode = 0x0C, .m_wBitTime = 0x0334, .m_dwMaskId = 0x7FF, .m_dwId = 0x123};
  EXPECT_EQ(StatusPaneTexts(true, settings, ports),
            (CStatusPaneTexts{"USB Port", "KX000123", "CAN2.0A", "1.00M BPS", "Mask ID:7FF", "ID:123"}));
  settings.m_nUsbPortIndex = 4;  // a stale index shows no name instead of reading past the list
  EXPECT_EQ(StatusPaneTexts(true, settings, ports)[1], "");
}

TEST(StatusPaneTexts, CountersSumTheRefusalsAndAnUnknownStringIsEmpty) {
  const ChannelCounters counters{.m_qwDroppedBlocks = 3, .m_qwRefusedLines = 10, .m_qwRefusedResponses = 2,
                                 .m_qwIncompleteFrames = 1};
  EXPECT_EQ(std::tuple(CountersPaneText(counters), LoadString(61242)), std::tuple("버린 블록 3 / 거부한 줄 12 / 모자란 프레임 1", ""));
}

// What the frame's bus pane test does not reach: a bit rate that is not known.
TEST(StatusPaneTexts, BusPaneWithoutAKnownBitRate) {
  EXPECT_EQ(BusPaneText(true, {.m_dFramesPerSecond = 12.4}, 0.0), "12 프레임/초  부하 -");
  for (const auto& [wBitTime, dRate] :
       {std::pair<uint16_t, double>{0x0F34, 250000.0}, {0xC034, 0.0} /* reserved bits */, {0x0000, 0.0}}) {
    EXPECT_DOUBLE_EQ(ConfiguredBitRate(ModuleSettings{.m_wBitTime = wBitTime}), dRate) << wBitTime;
  }
}
