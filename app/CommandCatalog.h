#pragma once
// The texts of every command and where each one appears: menu bar 130, toolbar 130 and the
// list context menus "&TDataMenu", "&RDataMenu" and "&LogMenu". ID_SEPARATOR marks a separator.
// The texts are the program's own; the window shows them translated (context "CommandCatalog").
//   { ID_READ_CONFIG, "Korvex 환경 설정 읽기(&C)", "Shift+C", prompt, "Korvex 환경 설정 읽기" }
//   -> menu item "Korvex 환경 설정 읽기(&C)\tShift+C", accelerator Shift+C
#include <span>
#include <string>
#include <string_view>

#include "text/Translatable.h"

struct CCommandText {
  unsigned m_nId;
  std::string_view m_caption;  // with its mnemonic
  std::string_view m_key;      // accelerator as the menu writes it; empty: none
  std::string_view m_prompt;   // status-bar message while the item is highlighted
  std::string_view m_tooltip;  // toolbar button
  bool m_bCheckable = false;
};

struct CMenuLayout {
  std::string_view m_caption;
  std::span<const unsigned> m_items;
};

std::span<const CCommandText> Commands();
// Null for an id with no command.
const CCommandText* FindCommand(unsigned nId);

std::span<const CMenuLayout> MenuBarLayout();
std::span<const unsigned> ToolbarLayout();
std::span<const unsigned> TDataMenuLayout();
std::span<const unsigned> RDataMenuLayout();
std::span<const unsigned> LogMenuLayout();

// A caption as the list context menus show it: without mnemonic and "...".
//   "송신 파일 열기(&O)..." -> "송신 파일 열기"     "종료(&X)" -> "종료"     "A&&B" -> "A&B"
std::string PlainCaption(std::string_view caption);

// The idle prompt of the status bar's message pane.
inline constexpr std::string_view IDLE_PROMPT = KX_TRANSLATE_NOOP("CommandCatalog", "준비");
