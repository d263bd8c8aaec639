#pragma once
// Payloads of the six module commands (":" + letter + fields, no checksum yet); the channel
// passes them through BuildLine. Worked examples:
//   SendFramePayload(true, true, 2, 0x123, {0x00, 0x11})  -> ":W0201230011"
//   SendFramePayload(false, false, 5, 0x123, ...)         -> ":W3000000123"   (remote: no data)
//   WriteConfigPayload(true, true, true, false, false, 0x0F34, 0x123, 0) -> ":Z0C0F3401230000"
#include <cstdint>

#include "protocol/LineFraming.h"

uint8_t BuildModeByte(bool bStandard, bool bAutoReset, bool bReportBusOff, bool bReportPassive,
                      bool bReportWarning);

CLineText ReadConfigPayload();                                  // ":Y"
CLineText WriteConfigPayload(bool bStandard, bool bAutoReset, bool bReportBusOff,
                             bool bReportPassive, bool bReportWarning, uint16_t wBitTiming,
                             uint32_t dwId, uint32_t dwMaskId);  // ":Z..."
CLineText ReceptionPayload(bool bChange, bool bStart);          // ":G00", ":G10", ":G11"
// pData holds at least min(byLength, 8) bytes for a data frame; unused for a remote frame.
CLineText SendFramePayload(bool bStandard, bool bDataFrame, uint8_t byLength, uint32_t dwId,
                           const uint8_t* pData);               // ":W..."
CLineText ResetNodePayload();                                   // ":R"
CLineText ReadVersionPayload();                                 // ":V"
