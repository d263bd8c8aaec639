#include "transmit/TransmitRowTexts.h"

#include <cstdio>

#include "transmit/TDataDlgRules.h"

namespace {

// The identifier in bytes: 11 bits as two, 29 bits as four.
std::string IdText(const TData& record) {
  char szText[sizeof "1F FF FF FF"];
  const uint32_t dwId = record.dwID;
  if (record.bStandardID != 0)
    std::snprintf(szText, sizeof szText, "%02X %02X", (dwId >> 8) & 0x07u, dwId & 0xFFu);
  else
    std::snprintf(szText, sizeof szText, "%02X %02X %02X %02X", (dwId >> 24) & 0x1Fu, (dwId >> 16) & 0xFFu,
                  (dwId >> 8) & 0xFFu, dwId & 0xFFu);
  return szText;
}

std::string DataText(const TData& record) {
  if (record.byLength == 0 || record.byLength > MAX_DATA_LENGTH) return {};
  const DataBoxTexts bytes = HexBoxTextsOf(record);
  std::string text = bytes[0];
  for (uint8_t i = 1; i < record.byLength; ++i) text += " " + bytes[i];
  return text;
}

}  // namespace

std::string TransmitColumnText(const TData& record, int nColumn) {
  switch (nColumn) {
    case 0: return record.bStandardID != 0 ? "CAN2.0A" : "CAN2.0B";
    case 1: return record.bDataFrame != 0 ? "Data Frame" : "Remote Frame";
    case 2: return IdText(record);
    case 3: return std::to_string(record.byLength);
    case 4: return DataText(record);
    case TRANSMIT_PERIOD_COLUMN: return record.wPeriodMs != 0 ? std::to_string(record.wPeriodMs) : std::string();
    default: return {};
  }
}
