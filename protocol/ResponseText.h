#pragma once
// Texts built from decoded responses (UTF-8; widths count CP949 bytes, a Hangul syllable
// two). Examples:
//   ReceivedFrameLine(2.0A data, ID 0x123, 01 02)
//     -> "CAN2.0A  Data Frame    길이:2  ID:123       데이터:01 02"
//   ReceivedFrameLine(2.0B remote, ID 0x123, length 0)
//     -> "CAN2.0B  Remote Frame  길이:0  ID:00000123  "
//   TransmitText(2.0A data, ID 0x123, 00 11)
//     -> "CAN2.0A  Data Frame  길이:2  ID:123  데이터:00 11"
//   ConfigText(0x1C, 0x0F34, 0, 0)
//     -> "CAN2.0B  250.00K BPS  수신 ID:00000000  수신 Mask ID:00000000"
//   ErrorListText(0x11) -> "Bus-Off, 송신 Warning"
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "protocol/ResponseLayout.h"

// "CAN2.0A" / "CAN2.0B" and "Data Frame" / "Remote Frame", as every frame text names them.
std::string_view ProtocolName(bool bStandard);
std::string_view FrameKind(bool bRemote);
std::string ConfigText(const ModuleConfig& config);
std::string TransmitText(const CanFrame& frame);
// The length and data labels of a frame line: the system's ("길이:", "데이터:", as the receive-data
// log holds them), or their translation for the receive list of a window in another language.
struct FrameLabels {
  std::string m_length;
  std::string m_data;
  std::size_t m_nLengthExtra = 0;  // how many bytes the length label's UTF-8 form is longer than its CP949 form
};
const FrameLabels& SystemFrameLabels();
FrameLabels TranslatedFrameLabels(const std::function<std::string(const char* pszLabel)>& fnTranslate);
// The line for the receive list, "%s  %-12s  %-6s  %-11s  %s"; written into out (reused).
void ReceivedFrameLine(const CanFrame& frame, std::string& out, const FrameLabels& labels = SystemFrameLabels());
// The names of error bits 0 to 4 in bit order, ", " between them; "" when none is set.
std::string ErrorListText(uint8_t byErrorBits);
std::string VersionText(uint8_t byVersion);  // 0x12 -> "버전 1.2", 0xA0 -> "버전 10.0"
