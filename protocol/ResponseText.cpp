#include "protocol/ResponseText.h"

#include <string_view>
#include <utility>

#include "protocol/BitTiming.h"
#include "protocol/ModuleFormat.h"
#include "text/Cp949Text.h"
#include "text/FieldRules.h"

namespace {

constexpr const char* LENGTH_LABEL = "길이:";
constexpr const char* DATA_LABEL = "데이터:";

FrameLabels MakeFrameLabels(std::string length, std::string data) {
  const std::size_t nExtra = length.size() - Cp949Width(length).value_or(length.size());
  return {std::move(length), std::move(data), nExtra};
}

// "ID:%08X", or "ID:%03X" of the low 11 bits for a standard identifier.
void AppendId(std::string& out, bool bStandard, uint32_t dwId) {
  out += "ID:";
  if (bStandard)
    AppendHex(out, dwId & STANDARD_ID_MASK, 3);
  else
    AppendHex(out, dwId, 8);
}

// "길이:%d" with a length of at most 8, so always one digit.
void AppendLength(std::string& out, uint8_t byLength, const FrameLabels& labels) {
  out += labels.m_length;
  out += static_cast<char>('0' + byLength);
}

// "데이터:" and the bytes the line carried; nothing at all when it carried none.
void AppendData(std::string& out, const CanFrame& frame, const FrameLabels& labels) {
  if (frame.m_byDataCount == 0) return;
  out += labels.m_data;
  for (uint8_t i = 0; i < frame.m_byDataCount; ++i) {
    if (i > 0) out += ' ';
    AppendHex(out, frame.m_abyData[i], 2);
  }
}

// Pads what was appended since nStart to nWidth CP949 bytes; nNonAsciiExtra is how many
// bytes the field's UTF-8 form is longer than its CP949 form.
void PadField(std::string& out, std::size_t nStart, std::size_t nNonAsciiExtra, std::size_t nWidth) {
  const std::size_t nHave = out.size() - nStart - nNonAsciiExtra;
  if (nHave < nWidth) out.append(nWidth - nHave, ' ');
}

}  // namespace

const FrameLabels& SystemFrameLabels() {
  static const FrameLabels LABELS = MakeFrameLabels(LENGTH_LABEL, DATA_LABEL);
  return LABELS;
}

FrameLabels TranslatedFrameLabels(const std::function<std::string(const char* pszLabel)>& fnTranslate) {
  return MakeFrameLabels(fnTranslate(LENGTH_LABEL), fnTranslate(DATA_LABEL));
}

std::string_view ProtocolName(bool bStandard) { return bStandard ? "CAN2.0A" : "CAN2.0B"; }
std::string_view FrameKind(bool bRemote) { return bRemote ? "Remote Frame" : "Data Frame"; }

std::string ConfigText(const ModuleConfig& config) {
  const bool bExtended = (config.m_byModeFlags & MODE_CAN20B) != 0;
  std::string out(ProtocolName(!bExtended));
  out += "  ";
  out += FormatBitRate(config.m_wBitTiming);
  out += "  수신 ID:";
  const unsigned nDigits = bExtended ? 8 : 3;
  const uint32_t dwMask = bExtended ? 0xFFFFFFFF : STANDARD_ID_MASK;
  AppendHex(out, config.m_dwId & dwMask, nDigits);
  out += "  수신 Mask ID:";
  AppendHex(out, config.m_dwMaskId & dwMask, nDigits);
  return out;
}

std::string TransmitText(const CanFrame& frame) {
  std::string out(ProtocolName(frame.m_bStandard));
  out += "  ";
  out += FrameKind(frame.m_bRemote);
  out += "  ";
  AppendLength(out, frame.m_byLength, SystemFrameLabels());
  out += "  ";
  AppendId(out, frame.m_bStandard, frame.m_dwId);
  if (frame.m_byDataCount != 0) {
    out += "  ";
    AppendData(out, frame, SystemFrameLabels());
  }
  return out;
}

void ReceivedFrameLine(const CanFrame& frame, std::string& out, const FrameLabels& labels) {
  out.assign(ProtocolName(frame.m_bStandard));
  out += "  ";
  std::size_t nStart = out.size();
  out += FrameKind(frame.m_bRemote);
  PadField(out, nStart, 0, 12);
  out += "  ";
  nStart = out.size();
  AppendLength(out, frame.m_byLength, labels);
  PadField(out, nStart, labels.m_nLengthExtra, 6);
  out += "  ";
  nStart = out.size();
  AppendId(out, frame.m_bStandard, frame.m_dwId);
  PadField(out, nStart, 0, 11);
  out += "  ";
  AppendData(out, frame, labels);
}

std::string ErrorListText(uint8_t byErrorBits) {
  static constexpr std::string_view kNames[5] = {"Bus-Off", "수신 Error-Passive", "송신 Error-Passive",
                                                 "수신 Warning", "송신 Warning"};
  std::string out;
  for (unsigned nBit = 0; nBit < 5; ++nBit) {
    if ((byErrorBits & (1u << nBit)) == 0) continue;
    if (!out.empty()) out += ", ";
    out += kNames[nBit];
  }
  return out;
}

std::string VersionText(uint8_t byVersion) {
  return "버전 " + std::to_string(byVersion >> 4) + "." + std::to_string(byVersion & 0x0F);
}
