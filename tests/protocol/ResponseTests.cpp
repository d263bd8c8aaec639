// Response layouts, texts and the decoder: every text checked byte for byte in CP949.
#include <gtest/gtest.h>

#include <vector>

#include "protocol/CResponseDecoder.h"
#include "protocol/ResponseText.h"
#include "protocol/TestSinks.h"

namespace {

class ResponseDecoderTest : public ::testing::Test {
protected:
  ResponseDecoderTest() {
    m_decoder.SetOwnerWindow(&m_owner.m_window);
    m_decoder.SetEventSink(&m_events);
    m_decoder.SetReceiveSink(&m_list);
  }
  bool Decode(char cLetter, std::vector<uint8_t> fields) {
    const bool bResult = m_decoder.Decode(static_cast<uint8_t>(cLetter), fields);
    m_loop.RunPending();
    return bResult;
  }
  std::string OnlyEvent() {
    EXPECT_EQ(m_events.m_events.size(), 1u);
    return m_events.m_events.empty() ? std::string() : m_events.m_events.back().m_text;
  }

  CVirtualLoop m_loop;
  CRecordingOwner m_owner{m_loop};
  CRecordingEvents m_events;
  CRecordingReceiveList m_list;
  CResponseDecoder m_decoder;
};

TEST_F(ResponseDecoderTest, ConfigReadStoresValuesPostsReportAndLogsTitleOfExactly27Bytes) {
  ASSERT_TRUE(Decode('Y', {0x1C, 0x0F, 0x34, 0x12, 0x34, 0x56, 0x78, 0x1F, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(m_decoder.Config().m_byModeFlags, 0x1C);
  EXPECT_EQ(m_decoder.Config().m_wBitTiming, 0x0F34);
  EXPECT_EQ(m_decoder.Config().m_dwId, 0x12345678u);
  EXPECT_EQ(m_decoder.Config().m_dwMaskId, 0x1FFFFFFFu);
  EXPECT_EQ(m_owner.m_messages, (std::vector<std::pair<unsigned, uintptr_t>>{{WM_CONFIG_REPORT, 0}}));
  EXPECT_EQ(m_events.m_events.at(0).m_colour, EVENT_BLACK);
  EXPECT_EQ(Cp949(OnlyEvent()),
            "[Korvex \xC8\xAF\xB0\xE6\xBC\xB3\xC1\xA4 \xC0\xD0\xB1\xE2 \xC0\xC0\xB4\xE4] : CAN2.0B  250.00K BPS  "
            "\xBC\xF6\xBD\xC5 ID:12345678  \xBC\xF6\xBD\xC5 Mask ID:1FFFFFFF");
}

TEST_F(ResponseDecoderTest, ConfigWrittenStandardKeepsSixteenBitsButShowsElevenBits) {
  ASSERT_TRUE(Decode('Z', {0x0C, 0x03, 0x34, 0xF9, 0x23, 0x07, 0xFF}));
  EXPECT_EQ(m_decoder.Config().m_dwId, 0xF923u);  // stored unmasked
  EXPECT_EQ(m_decoder.Config().m_dwMaskId, 0x07FFu);
  EXPECT_EQ(OnlyEvent(), "[Korvex 환경설정 쓰기 응답] : CAN2.0A  1.00M BPS  수신 ID:123  수신 Mask ID:7FF");
}

TEST_F(ResponseDecoderTest, ReceptionStateBothWays) {
  ASSERT_TRUE(Decode('G', {0x01}));
  EXPECT_TRUE(m_decoder.IsReceptionRunning());
  ASSERT_TRUE(Decode('G', {0x00}));
  EXPECT_FALSE(m_decoder.IsReceptionRunning());
  ASSERT_EQ(m_events.m_events.size(), 2u);
  EXPECT_EQ(m_events.m_events[0], (CRecordedEvent{"[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 동작 중", EVENT_BLACK}));
  EXPECT_EQ(m_events.m_events[1], (CRecordedEvent{"[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 중지 중", EVENT_BLACK}));
  EXPECT_EQ(Cp949(m_events.m_events[0].m_text).size(), 27u + 3u + Cp949("CAN 데이터 수신 동작 중").size());
}

TEST_F(ResponseDecoderTest, ResetIsBlueAndPaddedToTwentySevenBytes) {
  ASSERT_TRUE(Decode('R', {0x00}));
  ASSERT_TRUE(Decode('R', {0x01}));
  ASSERT_EQ(m_events.m_events.size(), 2u);
  EXPECT_EQ(Cp949(m_events.m_events[0].m_text), "[CAN \xB8\xAE\xBC\xC2 \xC0\xC0\xB4\xE4]             : Command Reset");
  EXPECT_EQ(m_events.m_events[1].m_text, "[CAN 리셋 응답]             : Bus-Off Auto Reset");
  EXPECT_EQ(m_events.m_events[0].m_colour, EVENT_BLUE);
  EXPECT_EQ(m_events.m_events[1].m_colour, EVENT_BLUE);
}

TEST_F(ResponseDecoderTest, ErrorStateListsAllFiveBitsInOrderAndIgnoresBitsFiveToSeven) {
  ASSERT_TRUE(Decode('I', {0xFF}));
  EXPECT_EQ(m_events.m_events.at(0).m_colour, EVENT_BLUE);
  EXPECT_EQ(Cp949(OnlyEvent()),
            "[CAN \xBF\xA1\xB7\xAF\xC4\xDA\xB5\xE5 \xC0\xC0\xB4\xE4]         : Bus-Off, \xBC\xF6\xBD\xC5 "
            "Error-Passive, \xBC\xDB\xBD\xC5 Error-Passive, \xBC\xF6\xBD\xC5 Warning, \xBC\xDB\xBD\xC5 Warning "
            "\xBF\xA1\xB7\xAF \xB9\xDF\xBB\xFD");
}

TEST_F(ResponseDecoderTest, ErrorStateSingleBitsAndNone) {
  const struct {
    uint8_t byBits;
    const char* pszList;
  } kCases[] = {{0x01, "Bus-Off"},      {0x02, "수신 Error-Passive"},     {0x04, "송신 Error-Passive"},
                {0x08, "수신 Warning"}, {0x10, "송신 Warning"},           {0x11, "Bus-Off, 송신 Warning"},
                {0x0A, "수신 Error-Passive, 수신 Warning"}};
  for (const auto& c : kCases) {
    m_events.m_events.clear();
    ASSERT_TRUE(Decode('I', {c.byBits}));
    EXPECT_EQ(OnlyEvent(), std::string("[CAN 에러코드 응답]         : ") + c.pszList + " 에러 발생") << int(c.byBits);
  }
  m_events.m_events.clear();
  EXPECT_TRUE(Decode('I', {0x20}));  // a valid line that reports nothing
  EXPECT_TRUE(Decode('I', {0xE0}));
  EXPECT_TRUE(m_events.m_events.empty());
}

TEST_F(ResponseDecoderTest, VersionNibbles) {
  ASSERT_TRUE(Decode('V', {0x12}));
  ASSERT_TRUE(Decode('V', {0xA0}));
  ASSERT_EQ(m_events.m_events.size(), 2u);
  EXPECT_EQ(m_events.m_events[0], (CRecordedEvent{"[Korvex 버전 응답]          : 버전 1.2", EVENT_BLACK}));
  EXPECT_EQ(m_events.m_events[1].m_text, "[Korvex 버전 응답]          : 버전 10.0");
}

TEST_F(ResponseDecoderTest, ReceivedFramesGoToTheListWithActivityAndNoEvent) {
  ASSERT_TRUE(Decode('U', {0x02, 0x01, 0x23, 0x01, 0x02}));
  ASSERT_TRUE(Decode('U', {0x30, 0x00, 0x00, 0x01, 0x23}));
  EXPECT_TRUE(m_events.m_events.empty());
  ASSERT_EQ(m_list.m_lines.size(), 2u);
  EXPECT_EQ(Cp949(m_list.m_lines[0]),
            "CAN2.0A  Data Frame    \xB1\xE6\xC0\xCC:2  ID:123       \xB5\xA5\xC0\xCC\xC5\xCD:01 02");
  EXPECT_EQ(m_list.m_lines[1], "CAN2.0B  Remote Frame  길이:0  ID:00000123  ");
  EXPECT_EQ(m_owner.m_messages,
            (std::vector<std::pair<unsigned, uintptr_t>>{{WM_FRAME_ACTIVITY, 2}, {WM_FRAME_ACTIVITY, 2}}));
  const CanFrame& frame = m_decoder.LastFrame();
  EXPECT_FALSE(frame.m_bStandard);
  EXPECT_TRUE(frame.m_bRemote);
  EXPECT_EQ(frame.m_byLength, 0);
  EXPECT_EQ(frame.m_dwId, 0x123u);
}

TEST_F(ResponseDecoderTest, LengthNibblesNineToFifteenCountAsEight) {
  const std::vector<uint8_t> data = {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17};
  for (uint8_t byNibble = 9; byNibble <= 15; ++byNibble) {
    std::vector<uint8_t> fields = {static_cast<uint8_t>(0x20 | byNibble), 0x1F, 0xFF, 0xFF, 0xFF};
    fields.insert(fields.end(), data.begin(), data.end());
    ASSERT_TRUE(Decode('U', fields)) << int(byNibble);
    EXPECT_EQ(m_decoder.LastFrame().m_byLength, 8);
    EXPECT_EQ(m_list.m_lines.back(),
              "CAN2.0B  Data Frame    길이:8  ID:1FFFFFFF  데이터:10 11 12 13 14 15 16 17");
    fields[0] = byNibble;  // the transmit echo shows the same length
    fields.erase(fields.begin() + 3, fields.begin() + 5);
    m_events.m_events.clear();
    ASSERT_TRUE(Decode('W', fields));
    EXPECT_EQ(OnlyEvent(),
              "[CAN 데이터 송신 응답]      : CAN2.0A  Data Frame  길이:8  ID:7FF  데이터:10 11 12 13 14 15 16 17");
  }
}

TEST_F(ResponseDecoderTest, StandardIdentifierShownWithElevenBitsStoredWithSixteen) {
  ASSERT_TRUE(Decode('U', {0x01, 0xFF, 0xFF, 0xAB}));
  EXPECT_EQ(m_decoder.LastFrame().m_dwId, 0xFFFFu);
  EXPECT_EQ(m_list.m_lines.back(), "CAN2.0A  Data Frame    길이:1  ID:7FF       데이터:AB");
}

TEST_F(ResponseDecoderTest, TransmitEchoLeavesLastFrameAloneAndPostsTransmitActivity) {
  ASSERT_TRUE(Decode('U', {0x01, 0x01, 0x11, 0x55}));
  ASSERT_TRUE(Decode('W', {0x02, 0x01, 0x23, 0x00, 0x11}));
  ASSERT_TRUE(Decode('W', {0x30, 0x00, 0x00, 0x01, 0x23}));
  EXPECT_EQ(m_decoder.LastFrame().m_dwId, 0x111u);
  ASSERT_EQ(m_events.m_events.size(), 2u);
  EXPECT_EQ(m_events.m_events[0],
            (CRecordedEvent{"[CAN 데이터 송신 응답]      : CAN2.0A  Data Frame  길이:2  ID:123  데이터:00 11", EVENT_BLACK}));
  EXPECT_EQ(m_events.m_events[1].m_text, "[CAN 데이터 송신 응답]      : CAN2.0B  Remote Frame  길이:0  ID:00000123");
  EXPECT_EQ(m_owner.m_messages.back(), (std::pair<unsigned, uintptr_t>{WM_FRAME_ACTIVITY, 1}));
}

TEST_F(ResponseDecoderTest, WithoutReceiveListAFrameStillUpdatesAndPosts) {
  m_decoder.SetReceiveSink(nullptr);
  ASSERT_TRUE(Decode('U', {0x01, 0x01, 0x23, 0x42}));
  EXPECT_TRUE(m_list.m_lines.empty());
  EXPECT_EQ(m_decoder.LastFrame().m_abyData[0], 0x42);
  EXPECT_EQ(m_owner.m_messages.size(), 1u);
}

// A line shorter than its layout must not be read past its end: it is refused whole.
TEST_F(ResponseDecoderTest, ShortLinesAreRefusedAndChangeNothing) {
  const struct {
    char cLetter;
    std::vector<uint8_t> fields;
  } kShort[] = {{'Y', {0x1C, 0x0F, 0x34, 0, 0, 0, 0, 0, 0, 0}},  // 2.0B needs 11
                {'Z', {0x0C, 0x0F, 0x34, 0x01, 0x23, 0x00}},      // 2.0A needs 7
                {'U', {0x02, 0x01, 0x23, 0xAA}},                  // length 2, one byte
                {'U', {0x2F, 0x00, 0x00, 0x01}},                  // 2.0B identifier cut
                {'W', {0x08, 0x01, 0x23, 1, 2, 3, 4, 5, 6, 7}},  // eight promised, seven sent
                {'G', {}}, {'R', {}}, {'I', {}}, {'V', {}}, {'U', {}}, {'Y', {}}};
  for (const auto& c : kShort) EXPECT_FALSE(Decode(c.cLetter, c.fields)) << c.cLetter << c.fields.size();
  EXPECT_FALSE(Decode('Q', {0x01}));  // not a letter the module sends
  EXPECT_TRUE(m_events.m_events.empty());
  EXPECT_TRUE(m_list.m_lines.empty());
  EXPECT_TRUE(m_owner.m_messages.empty());
  EXPECT_EQ(m_decoder.Config().m_byModeFlags, MODE_DEFAULT);
  EXPECT_EQ(m_decoder.Config().m_wBitTiming, BIT_TIMING_DEFAULT);
  EXPECT_EQ(m_decoder.LastFrame().m_dwId, 0u);
}

TEST(ResponseText, LongerLinesDecodeTheirLayoutOnly) {
  CanFrame frame;
  const std::vector<uint8_t> fields = {0x01, 0x01, 0x23, 0x55, 0x66, 0x77};
  ASSERT_TRUE(ParseFrame(fields, frame));
  EXPECT_EQ(frame.m_byLength, 1);
  EXPECT_EQ(frame.m_abyData[0], 0x55);
  EXPECT_EQ(frame.m_abyData[1], 0x00);
}

TEST(ResponseText, ReceivedLineReusesItsBufferWithoutLeftovers) {
  std::string line;
  CanFrame frame;
  frame.m_byLength = 8;
  frame.m_bStandard = false;
  ReceivedFrameLine(frame, line);
  frame = CanFrame{};
  ReceivedFrameLine(frame, line);
  EXPECT_EQ(line, "CAN2.0A  Data Frame    길이:0  ID:000       ");
}

}  // namespace
