// libFuzzer target: any bytes either read as a database or give an error with a place in
// the text, and every signal of what was read decodes from, and encodes into, any 8 bytes.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "signals/DbcReader.h"
#include "signals/SignalCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  const DbcReadResult read = ReadDbc({pData, nSize});
  if (!read.m_bOk) {
    if (read.m_nLine == 0 || read.m_nColumn == 0 || read.m_strError.empty()) std::abort();
    return 0;
  }
  std::array<uint8_t, 8> abyData = {};
  std::memcpy(abyData.data(), pData, nSize < 8 ? nSize : 8);
  std::vector<DecodedSignal> values;
  for (const DbcMessage& message : read.m_database.Messages()) {
    DecodeSignals(message, abyData, values);
    for (const DecodedSignal& value : values) {
      const DbcSignal& signal = message.m_signals[value.m_nSignal];
      ValueText(signal, value.m_nRaw);
      std::array<uint8_t, 8> abyOut = {};
      const SignalEncodeResult result = EncodeSignal(signal, value.m_dPhysical, abyOut);
      if (!result.m_bWritten) std::abort();
    }
  }
  return 0;
}
