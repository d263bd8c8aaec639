#include <gtest/gtest.h>

#include <vector>

#include "app/CommandIds.h"
#include "app/CommandCatalog.h"
#include "app/CommandRules.h"

namespace {

CCommandState PortsIdle() {
  CCommandState state;
  state.m_bPortsExist = true;
  state.m_nReceiveLines = 0;
  state.m_nEventEntries = 0;
  return state;
}

struct CRuleCase {
  const char* m_pszName;
  CCommandState m_state;
  std::vector<unsigned> m_enabled;
  std::vector<unsigned> m_disabled;
};

}  // namespace

TEST(CommandRules, EachStateEnablesItsCommands) {
  CCommandState noPorts = PortsIdle();
  noPorts.m_bPortsExist = false;
  CCommandState receiving = PortsIdle();
  receiving.m_bReceptionRunning = true;
  CCommandState logging = PortsIdle();
  logging.m_bRDataLogging = true;
  logging.m_bEventLogging = true;
  CCommandState filled = PortsIdle();
  filled.m_nReceiveLines = 3;
  filled.m_nEventEntries = 1;
  CCommandState transmitEmpty = PortsIdle();
  transmitEmpty.m_bTransmitList = true;
  CCommandState transmitRows = transmitEmpty;
  transmitRows.m_nTransmitRows = 2;
  CCommandState transmitSelected = transmitRows;
  transmitSelected.m_bTransmitSelection = true;
  CCommandState selectedNoPorts = transmitSelected;
  selectedNoPorts.m_bPortsExist = false;

  const std::vector<CRuleCase> cases = {
      {"no ports", noPorts, {ID_START_RDATA_LOG, ID_START_EVENT_LOG, ID_APP_ABOUT, ID_APP_EXIT},
       {ID_READ_CONFIG, ID_START_RECEPTION, ID_STOP_RECEPTION, ID_RESET_NODE, ID_READ_VERSION, ID_CLEAR_RDATA,
        ID_CLEAR_EVENT_LOG}},
      {"ports, idle", PortsIdle(), {ID_READ_CONFIG, ID_START_RECEPTION, ID_RESET_NODE, ID_READ_VERSION},
       {ID_STOP_RECEPTION, ID_STOP_RDATA_LOG, ID_STOP_EVENT_LOG}},
      {"receiving", receiving, {ID_STOP_RECEPTION}, {ID_START_RECEPTION}},
      {"both logs on", logging, {ID_STOP_RDATA_LOG, ID_STOP_EVENT_LOG}, {ID_START_RDATA_LOG, ID_START_EVENT_LOG}},
      {"lists hold lines", filled, {ID_CLEAR_RDATA, ID_CLEAR_EVENT_LOG}, {}},
      {"no transmit list", PortsIdle(), {},
       {ID_SEND_TDATA, ID_ADD_TDATA, ID_MODIFY_TDATA, ID_DELETE_TDATA, ID_DELETE_ALL_TDATA, ID_OPEN_TFILE, ID_SAVE_TFILE}},
      {"empty transmit list", transmitEmpty, {ID_ADD_TDATA, ID_OPEN_TFILE},
       {ID_SEND_TDATA, ID_MODIFY_TDATA, ID_DELETE_TDATA, ID_DELETE_ALL_TDATA, ID_SAVE_TFILE}},
      {"rows, no selection", transmitRows, {ID_DELETE_ALL_TDATA, ID_SAVE_TFILE},
       {ID_SEND_TDATA, ID_MODIFY_TDATA, ID_DELETE_TDATA}},
      {"row selected", transmitSelected, {ID_SEND_TDATA, ID_MODIFY_TDATA, ID_DELETE_TDATA}, {}},
      {"row selected, no ports", selectedNoPorts, {ID_MODIFY_TDATA, ID_DELETE_TDATA}, {ID_SEND_TDATA}},
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
    EXPECT_FALSE(pCommand->m_prompt.empty()) << nId;
    EXPECT_FALSE(pCommand->m_tooltip.empty()) << nId;
  }
  std::vector<std::string_view> keys;
  for (const CCommandText& command : Commands())
    if (!command.m_key.empty()) keys.push_back(command.m_key);
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
  EXPECT_EQ(FindCommand(ID_CLEAR_RDATA)->m_key, "Ctrl+F4");
}
