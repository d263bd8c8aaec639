#pragma once
// When each command is enabled. The frame gathers the program's state into CCommandState and
// asks IsCommandEnabled for every command in one pass, so the menu bar, the toolbar, the
// accelerators and the context menus always agree.
//   ports found, reception not running -> "CAN 데이터 수신 시작" on, "CAN 데이터 수신 중지" off
struct CCommandState {
  bool m_bPortsExist = false;        // the total port count fixed at start-up is above 0
  bool m_bReceptionRunning = false;  // as the module last reported it
  bool m_bRDataLogging = false;
  bool m_bEventLogging = false;
  int m_nReceiveLines = -1;          // -1: no receive list
  int m_nEventEntries = -1;          // -1: no event log window
  bool m_bTransmitList = false;      // the transmit list has registered itself
  int m_nTransmitRows = 0;
  bool m_bTransmitSelection = false;
  bool m_bRecording = false;         // received frames go to a file the user chose
  bool m_bSelectionHasPeriod = false;  // the selected row has a cyclic period
  bool m_bSelectionCycling = false;    // the selected row is being sent cyclically
  bool m_bAnyCycling = false;
  bool m_bReplaying = false;  // a log replay runs
};

// Commands without a rule of their own (about, exit, the view toggles) are always enabled.
bool IsCommandEnabled(unsigned nId, const CCommandState& state);
