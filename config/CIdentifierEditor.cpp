#include "config/CIdentifierEditor.h"

#include <cstdio>

#include "text/FieldRules.h"

namespace {

constexpr char32_t BACKSPACE = 8;
constexpr uint32_t STANDARD_ID_MASK = 0x7FF;
constexpr uint32_t EXTENDED_ID_MASK = 0x1FFFFFFF;

unsigned ShiftOf(int nBox) { return 8u * static_cast<unsigned>(4 - nBox); }

}  // namespace

char32_t CIdentifierEditor::FilterChar(char32_t ch) {
  if ((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F') || ch == BACKSPACE) return ch;
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 'A';
  return 0;
}

// The bits of a box that have ticks under the current protocol; 0 for a box out of use.
uint8_t CIdentifierEditor::BitsInUse(int nBox) const {
  if (m_eProtocol == CAN_20B) return nBox == 1 ? 0x1F : 0xFF;
  if (nBox <= 2) return 0;
  return nBox == 3 ? 0x07 : 0xFF;
}

// The change step: a full box with bits above its range is cut down, and the box's ticks
// follow its value. Non-hexadecimal text leaves everything alone.
void CIdentifierEditor::ApplyBoxText(int nBox) {
  const std::string& text = m_astrBox[Index(nBox)];
  const uint8_t byMask = BitsInUse(nBox);
  if (byMask == 0 || !IsHexText(text)) return;
  const uint8_t byValue = LeadingHexByte(text);
  if (text.size() == 2 && (byValue & ~byMask)) {
    WriteBox(nBox, byValue & byMask);
    return;
  }
  const uint32_t dwBoxTicks = uint32_t{byMask} << ShiftOf(nBox);
  m_dwTicks = (m_dwTicks & ~dwBoxTicks) | ((uint32_t{byValue} << ShiftOf(nBox)) & dwBoxTicks);
}

// The program sets box and stored text; the box's change step runs as for typed text.
void CIdentifierEditor::WriteBox(int nBox, uint8_t byValue) {
  char szText[3];
  std::snprintf(szText, sizeof szText, "%02X", byValue);
  m_astrBox[Index(nBox)] = szText;
  m_astrStored[Index(nBox)] = szText;
  ApplyBoxText(nBox);
}

void CIdentifierEditor::OnBoxChanged(int nBox, std::string_view text) {
  if (!IsBox(nBox)) return;
  m_astrBox[Index(nBox)] = text;
  ApplyBoxText(nBox);
}

void CIdentifierEditor::OnBoxLeft(int nBox) {
  if (!IsBox(nBox)) return;
  const uint8_t byMask = BitsInUse(nBox);
  if (byMask == 0 || byMask == 0xFF) return;
  const std::string& text = m_astrBox[Index(nBox)];
  if (!IsHexText(text)) return;
  const uint8_t byValue = LeadingHexByte(text);
  if (byValue & ~byMask) WriteBox(nBox, byValue & byMask);
}

void CIdentifierEditor::OnTickClicked(int nTick) {
  if (nTick < 0 || nTick >= TICK_COUNT || !IsTickEnabled(nTick)) return;
  m_dwTicks ^= uint32_t{1} << nTick;
  const int nBox = 4 - nTick / 8;
  const uint8_t byBit = static_cast<uint8_t>(1u << (nTick % 8));
  const uint8_t byValue = LeadingHexByte(m_astrBox[Index(nBox)]);
  WriteBox(nBox, IsTicked(nTick) ? byValue | byBit : byValue & ~byBit);
}

void CIdentifierEditor::Load(uint32_t dwID, EProtocol eProtocol) {
  m_eProtocol = eProtocol;
  for (int nBox = 1; nBox <= BOX_COUNT; ++nBox)
    WriteBox(nBox, static_cast<uint8_t>(dwID >> ShiftOf(nBox)));
  m_dwTicks = dwID & (eProtocol == CAN_20A ? STANDARD_ID_MASK : EXTENDED_ID_MASK);
}

void CIdentifierEditor::TakeBoxTexts() { m_astrStored = m_astrBox; }

uint32_t CIdentifierEditor::Read() const {
  uint32_t dwID = 0;
  for (int nBox = 1; nBox <= BOX_COUNT; ++nBox)
    dwID |= uint32_t{LeadingHexByte(m_astrStored[Index(nBox)])} << ShiftOf(nBox);
  return dwID & (m_eProtocol == CAN_20A ? STANDARD_ID_MASK : EXTENDED_ID_MASK);
}

bool CIdentifierEditor::Check() const {
  for (int nBox = 1; nBox <= BOX_COUNT; ++nBox)
    if (IsBoxEnabled(nBox) && !IsHexText(m_astrStored[Index(nBox)])) return false;
  return true;
}

void CIdentifierEditor::SwitchProtocol(EProtocol eProtocol) {
  m_eProtocol = eProtocol;
  if (eProtocol == CAN_20B) return;
  for (int nBox : {1, 2}) {
    m_astrBox[Index(nBox)].clear();
    m_astrStored[Index(nBox)].clear();
  }
  m_dwTicks &= STANDARD_ID_MASK;
  for (int nBox : {3, 4}) {
    m_astrStored[Index(nBox)] = m_astrBox[Index(nBox)];
    ApplyBoxText(nBox);
  }
}
