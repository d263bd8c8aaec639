#include <gtest/gtest.h>

#include <string>
#include <functional>
#include <utility>
#include <vector>

#include "config/CIdentifierEditor.h"
#include "text/FieldRules.h"

namespace {

using EProtocol = CIdentifierEditor::EProtocol;
constexpr EProtocol A = CIdentifierEditor::CAN_20A, B = CIdentifierEditor::CAN_20B;

using Step = std::function<void(CIdentifierEditor&)>;
Step Change(int nBox, std::string text) { return [=](CIdentifierEditor& e) { e.OnBoxChanged(nBox, text); }; }
Step Leave(int nBox) { return [=](CIdentifierEditor& e) { e.OnBoxLeft(nBox); }; }
Step Tick(int nTick) { return [=](CIdentifierEditor& e) { e.OnTickClicked(nTick); }; }
Step Switch(EProtocol eProtocol) { return [=](CIdentifierEditor& e) { e.SwitchProtocol(eProtocol); }; }

// After the steps: shown and stored box texts and ticks; then, taken in as on OK, the check and the ID.
TEST(CIdentifierEditor, Steps) {
  struct Case {
    const char* pszName; uint32_t dwLoadID; EProtocol eLoadProtocol; std::vector<Step> steps;
    std::string shown; uint32_t dwTicks; bool bCheck = true; std::string stored = "";
  };
  const Case cases[] = {
      {"FF in box 1 under 2.0B is cut to 29 bits", 0, B, {Change(1, "FF")}, "1F|00|00|00", 0x1F000000},
      {"FF in box 3 under 2.0A is cut to 11 bits", 0, A, {Change(3, "FF")}, "00|00|07|00", 0x700},
      {"a single 9 in box 3 under 2.0A is cut on leaving", 0, A, {Change(3, "9"), Leave(3)}, "00|00|01|00", 0x100},
      {"ID28 on an empty box 1", 0, B, {Change(1, ""), Tick(28)}, "10|00|00|00", 0x10000000},
      {"typing: the shown text and ticks change", 0x5A, B, {Change(4, "c3")}, "00|00|00|c3", 0xC3, true, "00|00|00|5A"},
      {"an emptied box: no ticks, reads as 0", 0x5A5A, B, {Change(4, "")}, "00|00|5A|", 0x5A00, true, "00|00|5A|5A"},
      {"pasted ZZ: ticks kept, check fails", 0x12, B, {Change(4, "ZZ")}, "00|00|00|ZZ", 0x12, false, "00|00|00|12"},
      {"Read under 2.0A ignores boxes 1 and 2", 0x12345678, A, {}, "12|34|06|78", 0x678},
      {"a tick clicked twice restores its box", 0x40, B, {Tick(3), Tick(3)}, "00|00|00|40", 0x40},
      {"a tick click keeps the typed byte's other bits", 0, B, {Change(2, "81"), Tick(17)}, "00|83|00|00", 0x830000},
      {"ticks above ID10 ignore clicks under 2.0A", 0, A, {Tick(11), Tick(28)}, "00|00|00|00", 0},
      {"switching to 2.0A empties boxes 1 and 2, keeps typed low boxes", 0, B,
       {Change(1, "1F"), Change(3, "FF"), Change(4, "AB"), Switch(A)}, "||07|AB", 0x7AB},
      {"back to 2.0B the emptied boxes stay empty", 0x1FFFFFFF, B, {Switch(A), Switch(B)}, "||07|FF", 0x7FF},
      {"non-hex box 1 fails the check only under 2.0B", 0, B, {Change(1, "G")}, "G|00|00|00", 0, false, "00|00|00|00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pszName);
    CIdentifierEditor editor;
    editor.Load(c.dwLoadID, c.eLoadProtocol);
    for (const Step& step : c.steps) step(editor);
    const auto Boxes = [&](const std::string& (CIdentifierEditor::*Text)(int) const) {
      return (editor.*Text)(1) + "|" + (editor.*Text)(2) + "|" + (editor.*Text)(3) + "|" + (editor.*Text)(4);
    };
    EXPECT_EQ(std::tuple(Boxes(&CIdentifierEditor::BoxText), Boxes(&CIdentifierEditor::StoredText), editor.Ticks()),
              std::tuple(c.shown, c.stored.empty() ? c.shown : c.stored, c.dwTicks));
    editor.TakeBoxTexts();
    EXPECT_EQ(editor.Check(), c.bCheck);
    EXPECT_TRUE(!c.bCheck || editor.Read() == c.dwTicks) << editor.Read();
  }
}

// What a byte box lets through as it is typed, and what it accepts as a whole.
TEST(CIdentifierEditor, CharacterFilterAndHexText) {
  // Control characters (3 copy, 22 paste, 24 cut) and non-ASCII characters are dropped.
  const std::pair<char32_t, char32_t> cases[] = {{U'0', U'0'}, {U'9', U'9'}, {U'F', U'F'}, {U'a', U'A'}, {U'f', U'F'},
      {8, 8}, {U'g', 0}, {U' ', 0}, {3, 0}, {22, 0}, {24, 0}, {0xB0, 0}, {U'한', 0}, {U'０', 0}};
  for (const auto& [chTyped, chReceived] : cases)
    EXPECT_EQ(CIdentifierEditor::FilterChar(chTyped), chReceived) << static_cast<uint32_t>(chTyped);
  EXPECT_TRUE(IsHexText("") && IsHexText("09afAF"));
  for (const std::string_view text : std::initializer_list<std::string_view>{"0x1", "G", " 1", {"1\0", 2}})
    EXPECT_FALSE(IsHexText(text));
}

}  // namespace
