#include "transmit/TData.h"

bool IsSameFrame(const TData& a, const TData& b) {
  return a.bStandardID == b.bStandardID && a.bDataFrame == b.bDataFrame &&
         a.byLength == b.byLength && a.dwID == b.dwID && a.dwBytes0to3 == b.dwBytes0to3 &&
         a.dwBytes4to7 == b.dwBytes4to7;
}

uint8_t SendLength(const TData& record) {
  if (record.bDataFrame == 0) return 0;
  return record.byLength < MAX_DATA_LENGTH ? record.byLength : MAX_DATA_LENGTH;
}

std::array<uint8_t, MAX_DATA_LENGTH> DataBytesOf(const TData& record) {
  std::array<uint8_t, MAX_DATA_LENGTH> abyData{};
  for (unsigned i = 0; i < 4; ++i) {
    const unsigned nShift = 24 - 8 * i;
    abyData[i] = static_cast<uint8_t>(record.dwBytes0to3 >> nShift);
    abyData[i + 4] = static_cast<uint8_t>(record.dwBytes4to7 >> nShift);
  }
  return abyData;
}
