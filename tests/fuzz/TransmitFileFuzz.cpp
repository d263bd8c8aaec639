// libFuzzer target: any bytes parse in bounds, and whatever parses writes back the same.
#include <cstdint>
#include <cstdlib>

#include "transmit/CTDataObject.h"
#include "transmit/TransmitFileFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  const CTransmitFileParse parse = ParseTransmitFile({pData, nSize});
  if (parse.m_eError != ETransmitFileError::NONE) {
    if (!parse.m_records.empty()) std::abort();
    return 0;
  }
  if (TDATA_EMPTY_FILE_SIZE + parse.m_records.size() * TDATA_RECORD_SIZE > nSize) std::abort();

  const CTDataObject list(parse.m_records);
  const std::vector<uint8_t> rewritten = EncodeTransmitFile(list);
  const CTransmitFileParse again = ParseTransmitFile(rewritten);
  if (again.m_eError != ETransmitFileError::NONE) std::abort();
  if (again.m_records.size() != parse.m_records.size()) std::abort();
  for (size_t i = 0; i < again.m_records.size(); ++i) {
    const TData& a = again.m_records[i];
    const TData& b = parse.m_records[i];
    if (!IsSameFrame(a, b) || a.bHexFormat != b.bHexFormat || a.wPeriodMs != b.wPeriodMs) std::abort();
  }
  return 0;
}
