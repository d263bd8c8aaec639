#include <gtest/gtest.h>

#include <string>

#include "protocol/ModuleCommands.h"
#include "protocol/ModuleFormat.h"

namespace {

std::string Sent(const CLineText& payload) { return std::string(BuildLine(payload.View()).View()); }

// The channel tests send one line of each command; these are the other layouts.
TEST(ModuleCommands, WorkedLinesByteForByte) {
  EXPECT_EQ(Sent(SendFramePayload(false, false, 0, 0x123, nullptr)), ":W300000012340\r");
  EXPECT_EQ(Sent(SendFramePayload(true, false, 0, 0x123, nullptr)), ":W1001237E\r");
  EXPECT_EQ(Sent(WriteConfigPayload(true, true, true, false, false, 0x0F34, 0x123, 0)), ":Z0C0F340123000030\r");
}

TEST(ModuleCommands, ReceptionControlHasThreeLines) {
  EXPECT_EQ(Sent(ReceptionPayload(false, false)), ":G00A7\r");
  EXPECT_EQ(Sent(ReceptionPayload(false, true)), ":G00A7\r");
  EXPECT_EQ(Sent(ReceptionPayload(true, false)), ":G10A8\r");
  EXPECT_EQ(Sent(ReceptionPayload(true, true)), ":G11A9\r");
}

TEST(ModuleCommands, StandardIdentifiersAreCutTo11BitsAndExtendedKeptWhole) {
  EXPECT_EQ(WriteConfigPayload(true, false, false, false, false, 0x0334, 0xFFFF, 0x1801).View(),
            ":Z0003340" "7FF" "0001");
  EXPECT_EQ(WriteConfigPayload(false, false, false, true, true, 0x3F7F, 0x1FFFFFFF, 0xABC).View(),
            ":Z133F7F1FFFFFFF00000ABC");
  EXPECT_EQ(SendFramePayload(true, true, 0, 0xF923, nullptr).View(), ":W000123");
  EXPECT_EQ(SendFramePayload(false, true, 0, 0x1ABCDEF0, nullptr).View(), ":W201ABCDEF0");
}

TEST(ModuleCommands, LengthIsCappedAndRemoteFramesCarryNoData) {
  const uint8_t abyData[12] = {0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87, 0x98, 0xA9, 0xBA, 0xCB};
  EXPECT_EQ(SendFramePayload(true, true, 12, 0x7FF, abyData).View(), ":W0807FF1021324354657687");
  EXPECT_EQ(SendFramePayload(true, false, 8, 0x7FF, abyData).View(), ":W1007FF");
  const CLineText longest = SendFramePayload(false, true, 0xFF, 0x1FFFFFFF, abyData);
  EXPECT_EQ(longest.View(), ":W281FFFFFFF1021324354657687");
  EXPECT_EQ(BuildLine(longest.View()).m_byLength, 31);
}

TEST(ModuleCommands, ModeByteBits) {
  EXPECT_EQ(BuildModeByte(false, true, true, false, false), MODE_DEFAULT);
  EXPECT_EQ(BuildModeByte(true, false, false, false, false), 0x00);
  EXPECT_EQ(BuildModeByte(false, true, true, true, true), 0x1F);
  EXPECT_EQ(BuildModeByte(true, false, false, true, false), MODE_REPORT_PASSIVE);
}

}  // namespace
