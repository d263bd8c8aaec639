#include "protocol/CLineAssembler.h"

#include <cstring>

#include "protocol/LineFraming.h"

void CLineAssembler::Reset() {
  m_bInLine = false;
  m_byCharCount = 0;
  m_byDecodedCount = 0;
  m_byNibble = 0;
  m_byStatus = LINE_ACCEPTED;
  std::memset(m_abyChars, 0, sizeof m_abyChars);
  std::memset(m_abyDecoded, 0, sizeof m_abyDecoded);
}

void CLineAssembler::AbandonLine() {
  m_bInLine = false;
  m_byCharCount = 0;
  m_byDecodedCount = 0;
}

void CLineAssembler::RefuseLine() {
  ++m_qwRefusedLines;
  AbandonLine();
}

void CLineAssembler::EndLine() {
  m_byStatus = LINE_ACCEPTED;
  if (m_byCharCount < 3) {
    m_byStatus = LINE_TOO_SHORT;
  } else {
    // The letter and every field digit, i.e. all but the two checksum characters.
    unsigned nSum = 0;
    for (unsigned i = 0; i + 2 < m_byCharCount; ++i) nSum += m_abyChars[i];
    if ((nSum & 0xFF) != m_abyDecoded[m_byDecodedCount]) m_byStatus = LINE_BAD_CHECKSUM;
  }
  if (m_byStatus != LINE_ACCEPTED) {
    RefuseLine();
    return;
  }
  m_owner.DispatchLine(*this);
  AbandonLine();
}

void CLineAssembler::FeedByte(uint8_t by) {
  if (by == LINE_START) {
    // The module sends ":" only at the start of a line, so one inside a line means the line
    // was cut short (or noise): that line is lost, the one the ":" begins is not.
    if (m_bInLine) RefuseLine();
    m_bInLine = true;
    m_byCharCount = 0;
    m_byDecodedCount = 0;
    return;
  }
  if (!m_bInLine) return;
  if (by == LINE_END) {
    EndLine();
    return;
  }
  m_abyChars[m_byCharCount] = by;
  if (m_byCharCount == 0) m_abyDecoded[0] = by;
  ++m_byCharCount;
  if (m_byCharCount > 1) {
    const uint8_t byValue = HexDigitValue(by);
    if (byValue == 255) {
      RefuseLine();
    } else if (m_byCharCount % 2 == 0) {
      m_byNibble = static_cast<uint8_t>(byValue << 4);
    } else {
      m_byNibble |= byValue;
      m_abyDecoded[++m_byDecodedCount] = m_byNibble;
    }
  }
  // Only the character limit can be reached; the decoded limit is a second guard.
  if (m_byCharCount > MAX_LINE_CHARS || m_byDecodedCount > MAX_DECODED_BYTES) RefuseLine();
}
