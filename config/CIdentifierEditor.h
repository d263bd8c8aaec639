#pragma once
// The identifier editor of the configuration and transmit frame dialogs, without widgets:
// four two-digit hexadecimal byte boxes kept in step with 29 tick boxes ID0..ID28, limited
// to 11 bits under CAN 2.0A. The dialog forwards its control events to the steps below and
// shows what the accessors say. Boxes are numbered 1..4: box 1 holds bits 31..24 (only
// 28..24 are used), box 4 bits 7..0; tick k stands for bit k.
//
// Each box has the text it shows and a stored text, the value the dialog's data exchange
// reads: typing changes only the shown text (and the ticks), TakeBoxTexts copies shown to
// stored as the dialog does on OK, and tick clicks and corrections write both.
//
// Under CAN 2.0B, "FF" in box 1 becomes "1F" and ticks ID24..ID28; under CAN 2.0A, "9" left
// in box 3 becomes "01"; clicking ID28 with box 1 empty writes "10".
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class CIdentifierEditor {
public:
  enum EProtocol { CAN_20A = 0, CAN_20B = 1 };  // the protocol list's indexes
  static constexpr int BOX_COUNT = 4;
  static constexpr int TICK_COUNT = 29;

  // The character a byte box receives for a typed one: hexadecimal digits (letters as
  // capitals) and backspace pass, anything else gives 0 and is dropped.
  static char32_t FilterChar(char32_t ch);

  void OnBoxChanged(int nBox, std::string_view text);
  // Catches a single digit the change step let through, in box 1 under CAN 2.0B and box 3
  // under CAN 2.0A.
  void OnBoxLeft(int nBox);
  // The tick toggles, then its byte box is rewritten; a disabled tick ignores the click.
  void OnTickClicked(int nTick);
  void Load(uint32_t dwID, EProtocol eProtocol);
  void TakeBoxTexts();
  // The identifier from the stored texts, masked to 11 or 29 bits.
  uint32_t Read() const;
  // Stored texts of the boxes in use are empty or hexadecimal.
  bool Check() const;
  // To CAN 2.0A empties boxes 1 and 2 and clears ticks ID11..ID28. What was typed into
  // boxes 3 and 4 is kept (taken in as stored text and re-checked against 11 bits) rather
  // than replaced by older stored texts.
  void SwitchProtocol(EProtocol eProtocol);

  EProtocol Protocol() const { return m_eProtocol; }
  const std::string& BoxText(int nBox) const { return m_astrBox[Index(nBox)]; }
  const std::string& StoredText(int nBox) const { return m_astrStored[Index(nBox)]; }
  uint32_t Ticks() const { return m_dwTicks; }
  bool IsTicked(int nTick) const { return (m_dwTicks >> nTick) & 1; }
  bool IsBoxEnabled(int nBox) const { return m_eProtocol == CAN_20B || nBox >= 3; }
  bool IsTickEnabled(int nTick) const { return m_eProtocol == CAN_20B || nTick <= 10; }

private:
  static std::size_t Index(int nBox) { return static_cast<std::size_t>(nBox - 1); }
  static bool IsBox(int nBox) { return nBox >= 1 && nBox <= BOX_COUNT; }
  uint8_t BitsInUse(int nBox) const;
  void ApplyBoxText(int nBox);
  void WriteBox(int nBox, uint8_t byValue);

  std::array<std::string, BOX_COUNT> m_astrBox;
  std::array<std::string, BOX_COUNT> m_astrStored;
  uint32_t m_dwTicks = 0;
  EProtocol m_eProtocol = CAN_20B;
};
