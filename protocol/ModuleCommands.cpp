#include "protocol/ModuleCommands.h"

#include <cstdarg>
#include <cstdio>

#include "protocol/ModuleFormat.h"

namespace {

// Builds a payload in the fixed line buffer. Every command's widths are fixed and fit, so
// an overflow would be a programming error; it yields an empty payload, never a cut one.
class CPayloadBuilder {
public:
  [[gnu::format(printf, 2, 3)]] CPayloadBuilder& Append(const char* pszFormat, ...) {
    if (m_bOverflow) return *this;
    const unsigned nRoom = MAX_PAYLOAD_LENGTH + 1 - m_text.m_byLength;
    va_list args;
    va_start(args, pszFormat);
    const int n = std::vsnprintf(m_text.m_szText + m_text.m_byLength, nRoom, pszFormat, args);
    va_end(args);
    if (n < 0 || static_cast<unsigned>(n) >= nRoom)
      m_bOverflow = true;
    else
      m_text.m_byLength = static_cast<uint8_t>(m_text.m_byLength + n);
    return *this;
  }
  CLineText Result() const { return m_bOverflow ? CLineText{} : m_text; }

private:
  CLineText m_text;
  bool m_bOverflow = false;
};

CLineText Payload(const char* pszText) { return CPayloadBuilder().Append("%s", pszText).Result(); }

}  // namespace

uint8_t BuildModeByte(bool bStandard, bool bAutoReset, bool bReportBusOff, bool bReportPassive,
                      bool bReportWarning) {
  return static_cast<uint8_t>((bStandard ? 0 : MODE_CAN20B) | (bAutoReset ? MODE_AUTO_RESET : 0) |
                              (bReportBusOff ? MODE_REPORT_BUSOFF : 0) |
                              (bReportPassive ? MODE_REPORT_PASSIVE : 0) |
                              (bReportWarning ? MODE_REPORT_WARNING : 0));
}

CLineText ReadConfigPayload() { return Payload(":Y"); }
CLineText ResetNodePayload() { return Payload(":R"); }
CLineText ReadVersionPayload() { return Payload(":V"); }

CLineText WriteConfigPayload(bool bStandard, bool bAutoReset, bool bReportBusOff,
                             bool bReportPassive, bool bReportWarning, uint16_t wBitTiming,
                             uint32_t dwId, uint32_t dwMaskId) {
  const unsigned nMode =
      BuildModeByte(bStandard, bAutoReset, bReportBusOff, bReportPassive, bReportWarning);
  CPayloadBuilder payload;
  if (bStandard)
    payload.Append(":Z%02X%04X%04X%04X", nMode, unsigned{wBitTiming},
                   unsigned{dwId & STANDARD_ID_MASK}, unsigned{dwMaskId & STANDARD_ID_MASK});
  else
    payload.Append(":Z%02X%04X%08X%08X", nMode, unsigned{wBitTiming}, unsigned{dwId},
                   unsigned{dwMaskId});
  return payload.Result();
}

CLineText ReceptionPayload(bool bChange, bool bStart) {
  const unsigned nControl = bChange ? (bStart ? RECEPTION_START : RECEPTION_STOP) : RECEPTION_QUERY;
  return CPayloadBuilder().Append(":G%02X", nControl).Result();
}

CLineText SendFramePayload(bool bStandard, bool bDataFrame, uint8_t byLength, uint32_t dwId,
                           const uint8_t* pData) {
  uint8_t byCount = 0;
  if (bDataFrame) byCount = byLength < FRAME_MAX_DATA ? byLength : FRAME_MAX_DATA;
  if (pData == nullptr) byCount = 0;  // nothing to send rather than a read through null
  const unsigned nFrame = (bStandard ? 0 : FRAME_EXTENDED) | (bDataFrame ? 0 : FRAME_REMOTE) |
                          (byCount & FRAME_LENGTH_MASK);
  CPayloadBuilder payload;
  if (bStandard)
    payload.Append(":W%02X%04X", nFrame, unsigned{dwId & STANDARD_ID_MASK});
  else
    payload.Append(":W%02X%08X", nFrame, unsigned{dwId});
  for (uint8_t i = 0; i < byCount; ++i) payload.Append("%02X", unsigned{pData[i]});
  return payload.Result();
}
