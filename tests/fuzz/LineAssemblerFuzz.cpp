// libFuzzer target: any stream stays in bounds, and a valid line after it is dispatched intact.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "protocol/CLineAssembler.h"
#include "protocol/LineFraming.h"

namespace {

class CChecker : public LineDispatcher {
public:
  void DispatchLine(const CLineAssembler& line) override {
    if (line.FieldCount() > 13) std::abort();  // 29 characters never hold more
    ++m_nLines;
    m_byLetter = line.Letter();
    m_nFields = line.FieldCount();
    std::memcpy(m_abyFields, line.Fields().data(), m_nFields);
  }
  unsigned m_nLines = 0;
  uint8_t m_byLetter = 0;
  unsigned m_nFields = 0;
  uint8_t m_abyFields[16] = {};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  CChecker checker;
  CLineAssembler assembler(checker);
  assembler.Reset();
  for (size_t i = 0; i < nSize; ++i) assembler.FeedByte(pData[i]);

  static const uint8_t abyExpected[] = {0x28, 0x12, 0x34, 0x56, 0x78, 0x00, 0x11,
                                        0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
  const CLineText line = BuildLine(":U2812345678" "0011223344556677");
  const unsigned nBefore = checker.m_nLines;
  for (char c : line.View()) assembler.FeedByte(static_cast<uint8_t>(c));
  if (checker.m_nLines != nBefore + 1) std::abort();
  if (checker.m_byLetter != 'U' || checker.m_nFields != sizeof abyExpected ||
      std::memcmp(checker.m_abyFields, abyExpected, sizeof abyExpected) != 0)
    std::abort();
  return 0;
}
