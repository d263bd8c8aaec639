#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "config/CIdentifierEditor.h"

namespace {

using EProtocol = CIdentifierEditor::EProtocol;
constexpr EProtocol A = CIdentifierEditor::CAN_20A;
constexpr EProtocol B = CIdentifierEditor::CAN_20B;

struct Step {
  enum EKind { CHANGE, LEAVE, TICK, TAKE, SWITCH } m_eKind;
  int m_n = 0;
  std::string m_strText;
};
Step Change(int nBox, std::string text) { return {Step::CHANGE, nBox, std::move(text)}; }
Step Leave(int nBox) { return {Step::LEAVE, nBox, {}}; }
Step Tick(int nTick) { return {Step::TICK, nTick, {}}; }
Step Take() { return {Step::TAKE, 0, {}}; }
Step Switch(EProtocol eProtocol) { return {Step::SWITCH, eProtocol, {}}; }

using Texts = std::array<std::string, 4>;

struct Case {
  const char* pszName;
  uint32_t dwLoadID;
  EProtocol eLoadProtocol;
  std::vector<Step> steps;
  Texts shown;
  Texts stored;
  uint32_t dwTicks;
  uint32_t dwRead;  // after the texts are taken in, as on OK
  bool bCheck;
};

TEST(CIdentifierEditor, Steps) {
  const Case cases[] = {
      {"FF in box 1 under 2.0B is cut to 29 bits", 0, B, {Change(1, "FF")},
       {"1F", "00", "00", "00"}, {"1F", "00", "00", "00"}, 0x1F000000, 0x1F000000, true},
      {"FF in box 3 under 2.0A is cut to 11 bits", 0, A, {Change(3, "FF")},
       {"00", "00", "07", "00"}, {"00", "00", "07", "00"}, 0x700, 0x700, true},
      {"a single 9 in box 3 under 2.0A is cut on leaving", 0, A, {Change(3, "9"), Leave(3)},
       {"00", "00", "01", "00"}, {"00", "00", "01", "00"}, 0x100, 0x100, true},
      {"ID28 on an empty box 1", 0, B, {Change(1, ""), Tick(28)},
       {"10", "00", "00", "00"}, {"10", "00", "00", "00"}, 0x10000000, 0x10000000, true},
      {"typing changes only the shown text and the ticks", 0x5A, B, {Change(4, "c3")},
       {"00", "00", "00", "c3"}, {"00", "00", "00", "5A"}, 0xC3, 0xC3, true},
      {"an emptied box clears its ticks and reads as 0", 0x5A5A, B, {Change(4, "")},
       {"00", "00", "5A", ""}, {"00", "00", "5A", "5A"}, 0x5A00, 0x5A00, true},
      {"pasted ZZ keeps the ticks and fails the check", 0x12, B, {Change(4, "ZZ")},
       {"00", "00", "00", "ZZ"}, {"00", "00", "00", "12"}, 0x12, 0, false},
      {"Read under 2.0A ignores boxes 1 and 2", 0x12345678, A, {},
       {"12", "34", "06", "78"}, {"12", "34", "06", "78"}, 0x678, 0x678, true},
      {"a tick clicked twice restores its box", 0x40, B, {Tick(3), Tick(3)},
       {"00", "00", "00", "40"}, {"00", "00", "00", "40"}, 0x40, 0x40, true},
      {"a tick click keeps the typed byte's other bits", 0, B, {Change(2, "81"), Tick(17)},
       {"00", "83", "00", "00"}, {"00", "83", "00", "00"}, 0x830000, 0x830000, true},
      {"ticks above ID10 ignore clicks under 2.0A", 0, A, {Tick(11), Tick(28)},
       {"00", "00", "00", "00"}, {"00", "00", "00", "00"}, 0, 0, true},
      {"switching to 2.0A empties boxes 1 and 2, keeps typed low boxes", 0, B,
       {Change(1, "1F"), Change(3, "FF"), Change(4, "AB"), Switch(A)},
       {"", "", "07", "AB"}, {"", "", "07", "AB"}, 0x7AB, 0x7AB, true},
      {"back to 2.0B the emptied boxes stay empty", 0x1FFFFFFF, B, {Switch(A), Switch(B)},
       {"", "", "07", "FF"}, {"", "", "07", "FF"}, 0x7FF, 0x7FF, true},
      {"a non-hex box 1 fails the check only under 2.0B", 0, B, {Change(1, "G"), Take()},
       {"G", "00", "00", "00"}, {"G", "00", "00", "00"}, 0, 0, false},
  };
  for (const Case& c : cases) {
    CIdentifierEditor editor;
    editor.Load(c.dwLoadID, c.eLoadProtocol);
    for (const Step& step : c.steps) {
      switch (step.m_eKind) {
        case Step::CHANGE: editor.OnBoxChanged(step.m_n, step.m_strText); break;
        case Step::LEAVE: editor.OnBoxLeft(step.m_n); break;
        case Step::TICK: editor.OnTickClicked(step.m_n); break;
        case Step::TAKE: editor.TakeBoxTexts(); break;
        case Step::SWITCH: editor.SwitchProtocol(static_cast<EProtocol>(step.m_n)); break;
      }
    }
    for (int nBox = 1; nBox <= 4; ++nBox) {
      EXPECT_EQ(editor.BoxText(nBox), c.shown[nBox - 1]) << c.pszName << ", box " << nBox;
      EXPECT_EQ(editor.StoredText(nBox), c.stored[nBox - 1]) << c.pszName << ", box " << nBox;
    }
    EXPECT_EQ(editor.Ticks(), c.dwTicks) << c.pszName;
    editor.TakeBoxTexts();
    EXPECT_EQ(editor.Check(), c.bCheck) << c.pszName;
    if (c.bCheck) {
      EXPECT_EQ(editor.Read(), c.dwRead) << c.pszName;
    }
  }
}

TEST(CIdentifierEditor, CharacterFilter) {
  struct Case {
    char32_t chTyped;
    char32_t chReceived;
  };
  // Control characters (3 copy, 22 paste, 24 cut) and non-ASCII characters are dropped.
  const Case cases[] = {{U'0', U'0'}, {U'9', U'9'}, {U'F', U'F'}, {U'a', U'A'}, {U'f', U'F'},
                        {8, 8},       {U'g', 0},    {U' ', 0},    {3, 0},       {22, 0},
                        {24, 0},      {0xB0, 0},    {U'한', 0},   {U'０', 0}};
  for (const Case& c : cases)
    EXPECT_EQ(CIdentifierEditor::FilterChar(c.chTyped), c.chReceived)
        << static_cast<uint32_t>(c.chTyped);
}

}  // namespace
