#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/CommandCatalog.h"
#include "resources/CommandIds.h"
#include "app/CommandRules.h"

TEST(CommandRules, EachStateEnablesItsCommands) {
  struct CRuleCase {
    const char* m_pszName;
    CCommandState m_state;
    std::vector<unsigned> m_enabled, m_disabled;
  };
  // Reception, logging and the two lists' counts go through the frame's own tables.
  const std::vector<CRuleCase> cases = {
      {"no ports", {.m_nReceiveLines = 0, .m_nEventEntries = 0},
       {ID_START_RDATA_LOG, ID_START_EVENT_LOG, ID_OPEN_LOG, ID_APP_ABOUT, ID_APP_EXIT},
       {ID_RECORD_FRAMES, ID_READ_CONFIG, ID_START_RECEPTION, ID_STOP_RECEPTION, ID_RESET_NODE, ID_READ_VERSION, ID_CLEAR_RDATA,
        ID_CLEAR_EVENT_LOG}},
      {"ports, idle, no transmit list", {.m_bPortsExist = true, .m_nReceiveLines = 0, .m_nEventEntries = 0},
       {ID_READ_CONFIG, ID_START_RECEPTION, ID_RESET_NODE, ID_READ_VERSION, ID_RECORD_FRAMES},
       {ID_STOP_RECEPTION, ID_STOP_RDATA_LOG, ID_STOP_EVENT_LOG, ID_SEND_TDATA, ID_ADD_TDATA, ID_MODIFY_TDATA,
        ID_DELETE_TDATA, ID_DELETE_ALL_TDATA, ID_OPEN_TFILE, ID_SAVE_TFILE}},
      {"empty transmit list", {.m_bPortsExist = true, .m_bTransmitList = true}, {ID_OPEN_TFILE, ID_ADD_TDATA},
       {ID_SAVE_TFILE, ID_DELETE_ALL_TDATA, ID_MODIFY_TDATA, ID_DELETE_TDATA, ID_SEND_TDATA}},
      {"transmit rows, none selected", {.m_bPortsExist = true, .m_bTransmitList = true, .m_nTransmitRows = 2},
       {ID_SAVE_TFILE, ID_DELETE_ALL_TDATA}, {ID_MODIFY_TDATA, ID_DELETE_TDATA, ID_SEND_TDATA}},
      {"transmit row selected", {.m_bPortsExist = true, .m_bTransmitList = true, .m_nTransmitRows = 2, .m_bTransmitSelection = true},
       {ID_MODIFY_TDATA, ID_DELETE_TDATA, ID_SEND_TDATA}, {}},
      {"transmit row selected, no ports", {.m_bTransmitList = true, .m_nTransmitRows = 2, .m_bTransmitSelection = true,
       .m_bSelectionHasPeriod = true}, {ID_MODIFY_TDATA, ID_DELETE_TDATA}, {ID_SEND_TDATA, ID_START_CYCLE}},
      {"selected row without a period", {.m_bPortsExist = true, .m_bTransmitList = true, .m_nTransmitRows = 2,
       .m_bTransmitSelection = true}, {ID_SEND_TDATA}, {ID_START_CYCLE, ID_STOP_CYCLE, ID_STOP_ALL_CYCLES}},
      {"selected row with a period, idle", {.m_bPortsExist = true, .m_bTransmitList = true, .m_nTransmitRows = 2,
       .m_bTransmitSelection = true, .m_bSelectionHasPeriod = true}, {ID_START_CYCLE}, {ID_STOP_CYCLE, ID_STOP_ALL_CYCLES}},
      {"selected row cycling", {.m_bPortsExist = true, .m_bTransmitList = true, .m_nTransmitRows = 2,
       .m_bTransmitSelection = true, .m_bSelectionHasPeriod = true, .m_bSelectionCycling = true, .m_bAnyCycling = true},
       {ID_STOP_CYCLE, ID_STOP_ALL_CYCLES}, {ID_START_CYCLE}},
      {"ports, no replay", {.m_bPortsExist = true}, {ID_REPLAY_LOG}, {ID_STOP_REPLAY}},
      {"a replay runs", {.m_bPortsExist = true, .m_bReplaying = true}, {ID_STOP_REPLAY}, {ID_REPLAY_LOG}},
      {"another row cycling, none selected", {.m_bPortsExist = true, .m_bTransmitList = true, .m_nTransmitRows = 2,
       .m_bAnyCycling = true}, {ID_STOP_ALL_CYCLES}, {ID_START_CYCLE, ID_STOP_CYCLE}},
      {"recording, the port list gone", {.m_bRecording = true}, {ID_RECORD_FRAMES}, {ID_READ_CONFIG}},
  };
  for (const CRuleCase& c : cases) {
    for (unsigned nId : c.m_enabled) EXPECT_TRUE(IsCommandEnabled(nId, c.m_state)) << c.m_pszName << ": " << nId;
    for (unsigned nId : c.m_disabled) EXPECT_FALSE(IsCommandEnabled(nId, c.m_state)) << c.m_pszName << ": " << nId;
  }
}

TEST(CommandCatalog, EveryPlacedCommandHasItsTextsAndEveryKeyIsUnique) {
  std::vector<unsigned> placed(ToolbarLayout().begin(), ToolbarLayout().end());
  for (const CMenuLayout& menu : MenuBarLayout()) placed.insert(placed.end(), menu.m_items.begin(), menu.m_items.end());
  for (auto layout : {TDataMenuLayout(), RDataMenuLayout(), LogMenuLayout()}) placed.insert(placed.end(), layout.begin(), layout.end());
  for (unsigned nId : placed) {
    if (nId == ID_SEPARATOR) continue;
    const CCommandText* pCommand = FindCommand(nId);
    ASSERT_NE(pCommand, nullptr) << nId;
    EXPECT_FALSE(pCommand->m_prompt.empty() || pCommand->m_tooltip.empty()) << nId;
  }
  std::vector<std::string_view> keys;
  for (const CCommandText& command : Commands())
    if (!command.m_key.empty()) keys.push_back(command.m_key);
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
}

TEST(CommandCatalog, PlainCaptionsDropTheMnemonicAndTheDots) {
  for (const auto& [pszCaption, pszPlain] : std::vector<std::pair<const char*, const char*>>{
           {"송신 파일 열기(&O)...", "송신 파일 열기"}, {"종료(&X)", "종료"}, {"&File", "File"}, {"A&&B(&C)", "A&B"},
           {"(&)", "()"}, {"trailing &", "trailing "}, {"...", ""}, {"", ""}})
    EXPECT_EQ(PlainCaption(pszCaption), pszPlain) << pszCaption;
}
