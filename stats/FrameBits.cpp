#include "stats/FrameBits.h"

#include "protocol/ModuleFormat.h"

namespace {

constexpr uint16_t CRC15_POLYNOMIAL = 0x4599;  // x^15 + x^14 + x^10 + x^8 + x^7 + x^4 + x^3 + 1
constexpr unsigned STUFF_RUN = 5;
// CRC delimiter, acknowledge slot and delimiter, end of frame (7), interframe space (3).
constexpr unsigned UNSTUFFED_TAIL_BITS = 1 + 1 + 1 + 7 + 3;

// The stuffed part of a frame, fed field by field, most significant bit first.
class CStuffedBits {
public:
  // Through the CRC as well.
  void Put(uint32_t dwValue, unsigned nBits) {
    for (unsigned n = nBits; n-- > 0;) {
      const unsigned nBit = (dwValue >> n) & 1;
      const unsigned nFeedback = nBit ^ (m_wCrc >> 14);
      m_wCrc = static_cast<uint16_t>((m_wCrc << 1) & 0x7FFF);
      if (nFeedback) m_wCrc ^= CRC15_POLYNOMIAL;
      Stuff(nBit);
    }
  }
  // The CRC sequence itself: stuffed, not part of its own sum.
  void PutCrc() {
    const uint16_t wCrc = m_wCrc;
    for (unsigned n = 15; n-- > 0;) Stuff((wCrc >> n) & 1);
  }
  uint16_t Crc() const { return m_wCrc; }
  unsigned Bits() const { return m_nBits; }
  unsigned StuffBits() const { return m_nStuffBits; }

private:
  // After five equal bits the complement goes out and starts the next run.
  void Stuff(unsigned nBit) {
    ++m_nBits;
    if (nBit != m_nLevel) {
      m_nLevel = nBit;
      m_nRun = 1;
    } else if (++m_nRun == STUFF_RUN) {
      ++m_nBits;
      ++m_nStuffBits;
      m_nLevel ^= 1;
      m_nRun = 1;
    }
  }

  uint16_t m_wCrc = 0;
  unsigned m_nBits = 0;
  unsigned m_nStuffBits = 0;
  unsigned m_nLevel = 1;  // the idle bus is recessive; the start of frame begins the first run
  unsigned m_nRun = 0;
};

}  // namespace

FrameBitCount CountFrameBits(const CanFrame& frame) {
  CStuffedBits bits;
  const unsigned nRemote = frame.m_bRemote ? 1 : 0;  // RTR: recessive in a remote frame
  bits.Put(0, 1);                                    // start of frame
  if (frame.m_bStandard) {
    bits.Put(frame.m_dwId & STANDARD_ID_MASK, 11);
    bits.Put(nRemote, 1);
    bits.Put(0, 2);  // IDE dominant, r0
  } else {
    const uint32_t dwId = frame.m_dwId & EXTENDED_ID_MASK;
    bits.Put(dwId >> 18, 11);
    bits.Put(0x3, 2);  // SRR and IDE recessive
    bits.Put(dwId & 0x3FFFF, 18);
    bits.Put(nRemote, 1);
    bits.Put(0, 2);  // r1, r0
  }
  // Only a code above 8 says more than the length does.
  const uint8_t byCode = frame.m_byLengthCode > FRAME_MAX_DATA ? frame.m_byLengthCode : frame.m_byLength;
  bits.Put(byCode & FRAME_LENGTH_MASK, 4);
  if (!frame.m_bRemote) {
    const unsigned nBytes = frame.m_byLength < FRAME_MAX_DATA ? frame.m_byLength : FRAME_MAX_DATA;
    for (unsigned i = 0; i < nBytes; ++i) bits.Put(i < frame.m_byDataCount ? frame.m_abyData[i] : 0, 8);
  }
  FrameBitCount count;
  count.m_wCrc = bits.Crc();
  bits.PutCrc();
  count.m_nStuffBits = bits.StuffBits();
  count.m_nBits = bits.Bits() + UNSTUFFED_TAIL_BITS;
  return count;
}
