// The decoders behind the channel: each response line's text, byte for byte in CP949, the
// notification it posts and the values it stores.
#include <cstdio>
#include <map>

#include "protocol/ChannelTestBed.h"

namespace {

using ResponseTest = CChannelTestBed;

constexpr COLORREF LISTED = 0xFFFFFFFF;  // not a colour: the line goes to the receive list
const std::string DATA8 = "1011121314151617";

// A line, what it shows (an event in its colour or a receive-list line; "" shows nothing) and
// what it stores (as ConfigText or FrameText give it; "" stores nothing).
struct CRow {
  std::string payload;
  std::string text;
  COLORREF colour = EVENT_BLACK;
  std::string stores;
};

std::string Hex(const char* pszFormat, auto... values) {
  char sz[96];
  std::snprintf(sz, sizeof sz, pszFormat, values...);
  return sz;
}
std::string ConfigText(const ModuleConfig& c) {
  return Hex("config %02X %04X %X %X", c.m_byModeFlags, c.m_wBitTiming, c.m_dwId, c.m_dwMaskId);
}
std::string FrameText(const CanFrame& f) {
  std::string text = Hex("frame %s %s %u/%u %X", f.m_bStandard ? "A" : "B", f.m_bRemote ? "remote" : "data",
                         f.m_byDataCount, f.m_byLength, f.m_dwId);
  for (int i = 0; i < 8; ++i) text += f.m_abyData[i] ? Hex(" %d:%02X", i, f.m_abyData[i]) : "";
  return text;
}

std::vector<CRow> Rows() {
  std::vector<CRow> rows = {
      {":Y1C0F34123456781FFFFFFF", "[Korvex 환경설정 읽기 응답] : CAN2.0B  250.00K BPS  수신 ID:12345678  수신 Mask ID:1FFFFFFF",
       EVENT_BLACK, "config 1C 0F34 12345678 1FFFFFFF"},
      // A 2.0A identifier is masked only where it is shown.
      {":Z0C0334F92307FF", "[Korvex 환경설정 쓰기 응답] : CAN2.0A  1.00M BPS  수신 ID:123  수신 Mask ID:7FF", EVENT_BLACK,
       "config 0C 0334 F923 7FF"},
      {":G01", "[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 동작 중"},
      {":G00", "[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 중지 중"},
      {":R00", "[CAN 리셋 응답]             : Command Reset", EVENT_BLUE},
      {":R01", "[CAN 리셋 응답]             : Bus-Off Auto Reset", EVENT_BLUE},
      {":IFF", "[CAN 에러코드 응답]         : Bus-Off, 수신 Error-Passive, 송신 Error-Passive, 수신 Warning, 송신 Warning 에러 발생", EVENT_BLUE},
      {":I01", "[CAN 에러코드 응답]         : Bus-Off 에러 발생", EVENT_BLUE},
      {":I02", "[CAN 에러코드 응답]         : 수신 Error-Passive 에러 발생", EVENT_BLUE},
      {":I04", "[CAN 에러코드 응답]         : 송신 Error-Passive 에러 발생", EVENT_BLUE},
      {":I08", "[CAN 에러코드 응답]         : 수신 Warning 에러 발생", EVENT_BLUE},
      {":I10", "[CAN 에러코드 응답]         : 송신 Warning 에러 발생", EVENT_BLUE},
      {":I11", "[CAN 에러코드 응답]         : Bus-Off, 송신 Warning 에러 발생", EVENT_BLUE},
      {":I20", ""},
      {":IE0", ""},
      {":V12", "[Korvex 버전 응답]          : 버전 1.2"},
      {":VA0", "[Korvex 버전 응답]          : 버전 10.0"},
      {":U0201230102", "CAN2.0A  Data Frame    길이:2  ID:123       데이터:01 02", LISTED, "frame A data 2/2 123 0:01 1:02"},
      // Nothing is left of the frame before.
      {":U3000000123", "CAN2.0B  Remote Frame  길이:0  ID:00000123  ", LISTED, "frame B remote 0/0 123"},
      {":U01FFFFAB", "CAN2.0A  Data Frame    길이:1  ID:7FF       데이터:AB", LISTED, "frame A data 1/1 FFFF 0:AB"},
      // Bytes past the layout are not read.
      {":U010123556677", "CAN2.0A  Data Frame    길이:1  ID:123       데이터:55", LISTED, "frame A data 1/1 123 0:55"},
      // A frame cut short in its data shows what it carried; a remote frame carries none.
      {":U020123AA", "CAN2.0A  Data Frame    길이:2  ID:123       데이터:AA", LISTED, "frame A data 1/2 123 0:AA"},
      {":U140123", "CAN2.0A  Remote Frame  길이:4  ID:123       ", LISTED, "frame A remote 0/4 123"},
      // The echo leaves the last received frame alone.
      {":W0201230011", "[CAN 데이터 송신 응답]      : CAN2.0A  Data Frame  길이:2  ID:123  데이터:00 11"},
      {":W3000000123", "[CAN 데이터 송신 응답]      : CAN2.0B  Remote Frame  길이:0  ID:00000123"},
      {":W08012301020304050607", "[CAN 데이터 송신 응답]      : CAN2.0A  Data Frame  길이:8  ID:123  데이터:01 02 03 04 05 06 07"},
      // Shorter than the layout, or a letter the module never sends: refused whole.
      {":Y1C0334AAAAAAAABBBBBB", ""},  // 2.0B needs 11 bytes
      {":Z0C0334012300", ""},          // 2.0A needs 7
      {":U2F000001", ""},              // 2.0B identifier cut
      {":Q01", ""},
  };
  for (const char cLetter : std::string("GRIVUY")) rows.push_back({std::string(":") + cLetter, "", EVENT_BLACK, ""});
  for (const char cNibble : std::string("9ABCDEF")) {  // length nibbles above 8 stand for 8
    rows.push_back({std::string(":U2") + cNibble + "1FFFFFFF" + DATA8,
                    "CAN2.0B  Data Frame    길이:8  ID:1FFFFFFF  데이터:10 11 12 13 14 15 16 17", LISTED,
                    "frame B data 8/8 1FFFFFFF 0:10 1:11 2:12 3:13 4:14 5:15 6:16 7:17"});
    rows.push_back({std::string(":W0") + cNibble + "1FFF" + DATA8,
                    "[CAN 데이터 송신 응답]      : CAN2.0A  Data Frame  길이:8  ID:7FF  데이터:10 11 12 13 14 15 16 17"});
  }
  return rows;
}

// Each row also shows that only a decoded line other than "U" and "I" answers a command.
TEST_F(ResponseTest, EveryLineShowsItsTextInCp949PostsItsNotificationAndStoresItsValues) {
  OpenReady();
  const std::map<char, CMessages> kPosts = {{'Y', {{WM_CONFIG_REPORT, 0}}},
                                            {'Z', {{WM_CONFIG_REPORT, 0}}},
                                            {'U', {{WM_FRAME_ACTIVITY, 2}}},
                                            {'W', {{WM_FRAME_ACTIVITY, 1}}}};
  for (const CRow& row : Rows()) {
    SCOPED_TRACE(row.payload);
    Forget();
    m_pChannel->ReadVersion();
    const std::string config = ConfigText(m_pChannel->Config());
    const std::string frame = FrameText(m_pChannel->LastFrame());
    Receive(Line(row.payload));
    const bool bShows = !row.text.empty();
    const char cLetter = row.payload[1];
    CEvents shown;
    for (const auto& [text, colour] : m_events) shown.emplace_back(Cp949(text), colour);
    for (const std::string& line : m_lines) shown.emplace_back(Cp949(line), LISTED);
    EXPECT_EQ(shown, (bShows ? CEvents{{Cp949(row.text), row.colour}} : CEvents{}));
    EXPECT_EQ(m_messages, bShows && kPosts.count(cLetter) ? kPosts.at(cLetter) : CMessages{});
    EXPECT_EQ(m_pChannel->IsAwaitingResponse(), !bShows || cLetter == 'U' || cLetter == 'I');
    EXPECT_EQ(ConfigText(m_pChannel->Config()), row.stores.starts_with("config") ? row.stores : config);
    EXPECT_EQ(FrameText(m_pChannel->LastFrame()), row.stores.starts_with("frame") ? row.stores : frame);
  }
}

TEST_F(ResponseTest, ReceptionStateAndFramesWithoutAReceiveList) {
  OpenReady();
  Receive(Line(":G01"));
  EXPECT_TRUE(m_pChannel->IsReceptionRunning());
  Receive(Line(":G00"));
  EXPECT_FALSE(m_pChannel->IsReceptionRunning());

  // Without a receive list a frame is still stored and posted, only not listed.
  m_pChannel->SetReceiveSink(nullptr);
  m_messages.clear();
  Receive(Line(":U01012342"));
  EXPECT_EQ(m_pChannel->LastFrame().m_abyData[0], 0x42);
  EXPECT_TRUE(m_lines.empty());
  EXPECT_EQ(m_messages, (CMessages{{WM_FRAME_ACTIVITY, 2}}));
}

}  // namespace
