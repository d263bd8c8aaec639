#pragma once
// The program's one top-level window: menu bar, toolbar, the status panes with the activity
// lamps, the transmit list (left) and the receive list (right) side by side, and the event log
// docked at the bottom. It owns the settings record and the log files, is the module channel's
// owner, opens the configured port on demand and carries the command handlers with their
// enable rules.
//
// Everything it talks to comes in through CFrameSetup, so a test builds the frame on scripted
// transports, the virtual-time loop, a settings store in memory and port lists of its own:
//   CFrameSetup setup{&channel, &channelWindow, &loop, &ports, &store, logDir};
//   setup.m_fnMakeWindow = [&](MessageHandler& h) { return std::make_unique<CVirtualLoop::CWindow>(loop, h); };
//   CMainFrame frame(setup);  frame.InitAfterStartup();
#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/CActivityLamps.h"
#include "app/CommandRules.h"
#include "config/ModuleSettings.h"
#include "protocol/ChannelOwner.h"
#include "protocol/MessageHost.h"
#include "receive/CLogFiles.h"
#include "receive/CRDataLogWriter.h"
#include "stats/CBusLoad.h"

class CEventLogCtrl;
class CLogCommands;
class CIdStatisticsView;
class CLeftView;
class CReplayRunner;
class CModuleChannel;
class CPaneStatusBar;
class CRDView;
class CSignalDock;
class QAction;
class QMenu;
class QToolBar;
struct CPortLists;

struct CFrameSetup {
  CModuleChannel* m_pChannel = nullptr;    // process-wide; the frame becomes its owner
  MessageHost* m_pChannelWindow = nullptr;  // delivers the channel's own messages and timer
  CPortLists* m_pPorts = nullptr;           // found at start-up
  SettingsStore* m_pStore = nullptr;
  std::string m_strLogDirectory;            // working directory + "/Log"
  bool m_bSecondaryInstance = false;        // opens no port at start-up
  // Serial index of the simulated module: this run talks to it whatever the settings say,
  // and the user's own port choice is what gets saved.
  int m_nSimulatedPort = -1;
  // The frame's own window: WM_CONFIG_REPORT, WM_FRAME_ACTIVITY and the lamp timer.
  std::function<std::unique_ptr<MessageHost>(MessageHandler&)> m_fnMakeWindow;
  // Finds the attached USB modules again; null: the D2XX library's device list.
  std::function<std::vector<std::string>()> m_fnDetectUsbModules;
  // Monotonic ns, the clock of the frames' arrival times; null: the system's.
  std::function<int64_t()> m_fnSteadyNs;
  // The wall clock of the log files' time stamps; null: the system's.
  CLogFiles::TimeSource m_pfnLogClock = nullptr;
};

inline constexpr std::string_view WINDOW_STATE_NAME = "MAIN";
inline constexpr std::string_view PANE_LAYOUT_NAME = "Main PaneLayout";
inline constexpr std::string_view VIEW_SECTION = "View";
inline constexpr std::string_view SETTING_SHOW_TIMESTAMPS = "Receive Time Stamps";
inline constexpr std::string_view SETTING_LANGUAGE = "Language";  // "ko" or "en", as --lang chose last

constexpr unsigned LAMP_PERIOD_MS = 200;
constexpr unsigned IDT_LIST_REFRESH = 202;  // the receive list shows what came, 25 times a second
constexpr unsigned LIST_REFRESH_MS = 40;
constexpr unsigned ID_PANE_COUNTERS = 61250;  // after the lamp; only while something went wrong
constexpr unsigned ID_PANE_BUS = 61251;       // after the lamp: frames per second and bus load
constexpr unsigned IDT_BUS_SAMPLE = 203;      // the bus pane's figures, once a second
constexpr unsigned BUS_SAMPLE_MS = 1000;
constexpr unsigned ID_PANE_DBC = 61273;       // the open signal database

class CMainFrame final : public QMainWindow, public ChannelOwner, public MessageHandler {
  Q_OBJECT
public:
  explicit CMainFrame(const CFrameSetup& setup);
  ~CMainFrame() override;

  // Once, after the window is shown and titled: banner, log files, channel, port.
  void InitAfterStartup();
  // True when a port is open on return; opens the configured one if needed. Shows nothing.
  bool EnsurePortOpen();

  // ChannelOwner
  MessageHost& OwnerWindow() override { return *m_pWindow; }
  void SetPortOpen(bool bOpen) override;
  void OnPortGone() override;
  void OnCyclesChanged() override;
  void OnClosed() override;
  // MessageHandler: the frame's own window
  void OnMessage(unsigned nMsg, uintptr_t wParam, intptr_t lParam) override;
  void OnTimer(unsigned nId) override;

  // The idle update: every command's enable state, the status panes, the counters pane.
  void UpdateUi();

  QAction* Action(unsigned nId) const;
  const ModuleSettings& Settings() const { return m_settings; }
  bool IsPortOpen() const { return m_bPortOpen; }
  CLogFiles& LogFiles() { return m_logFiles; }
  CRDView* ReceiveView() const { return m_pReceiveView; }
  CIdStatisticsView* IdView() const { return m_pIdView; }  // a tab over the receive list
  CLeftView* TransmitView() const { return m_pTransmitView; }
  CEventLogCtrl* EventLog() const { return m_pEventLog; }
  CLogCommands* LogCommands() const { return m_pLogCommands; }  // recording, opened logs
  CSignalDock* SignalPane() const { return m_pSignalDock; }
  CPaneStatusBar* StatusPanes() const { return m_pStatusBar; }
  QToolBar* ToolBar() const { return m_pToolBar; }
  QMenu* TransmitMenu() const { return m_pTransmitMenu; }
  QMenu* ReceiveMenu() const { return m_pReceiveMenu; }
  QMenu* EventLogMenu() const { return m_pEventLogMenu; }
  unsigned LampShown() const { return m_nLampShown; }

protected:
  void closeEvent(QCloseEvent* pEvent) override;

private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  void CreateClient();
  QMenu* CreateContextMenu(std::span<const unsigned> layout, QWidget* pList);
  void ShowContextMenu(QMenu* pMenu, QWidget* pArea, const QPoint& point);
  // The handler runs, then the idle update.
  template <class Receiver>
  void ConnectCommand(unsigned nId, Receiver* pReceiver, void (Receiver::*pfnHandler)());
  CCommandState CommandState() const;
  void UpdateStatusPanes();
  void RefreshLamps();
  void SampleBusLoad();
  void LoadSettings();
  void SaveSettings();

  // Handlers
  void RunModuleCommand(const std::function<void(CModuleChannel&)>& command);
  void OnReadConfig();
  void OnWriteConfig();
  void OnSetLogPaths();
  void OnStartReception();
  void OnStopReception();
  void OnResetNode();
  void OnReadVersion();
  void OnClearReceiveList();
  void OnStartRDataLog();
  void OnStopRDataLog();
  void OnStartEventLog();
  void OnStopEventLog();
  void OnClearEventLog();
  void OnAbout();
  void OnShowTimestamps(bool bShow);
  void OnReplayLog();

  CFrameSetup m_setup;
  CModuleChannel& m_channel;
  CPortLists& m_ports;
  std::unique_ptr<MessageHost> m_pWindow;
  CLogFiles m_logFiles;
  CRDataLogWriter m_rdataLog{m_logFiles};  // before the list: a frame is logged, then shown
  CBusLoad m_busLoad;
  ModuleSettings m_settings;
  ModuleSettings m_userPort;  // the port fields the user chose, kept while simulating
  bool m_bPortOpen = false;
  bool m_bClosed = false;
  bool m_bClosing = false;  // the channel's close wait runs; the window closes when it ends
  CActivityLamps m_lamps;
  unsigned m_nLampShown = 0;
  std::map<unsigned, QAction*> m_actions;
  CPaneStatusBar* m_pStatusBar = nullptr;
  QToolBar* m_pToolBar = nullptr;
  CLeftView* m_pTransmitView = nullptr;
  CReplayRunner* m_pReplay = nullptr;
  CRDView* m_pReceiveView = nullptr;
  CIdStatisticsView* m_pIdView = nullptr;
  CEventLogCtrl* m_pEventLog = nullptr;
  std::unique_ptr<EventDisplay> m_pEventDisplay;  // the event log window, translating
  std::string m_strBusPaneText;       // the status panes' texts in the window's language
  std::string m_strCountersPaneText;
  CLogCommands* m_pLogCommands = nullptr;
  CSignalDock* m_pSignalDock = nullptr;
  QMenu* m_pTransmitMenu = nullptr;
  QMenu* m_pReceiveMenu = nullptr;
  QMenu* m_pEventLogMenu = nullptr;
};
