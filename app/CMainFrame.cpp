#include "app/CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QFileDialog>
#include <QProgressBar>
#include <QTableView>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <algorithm>
#include <array>
#include <cstdio>

#include "app/CAboutDlg.h"
#include "app/CLogCommands.h"
#include "app/CTranslatedEventDisplay.h"
#include "app/CommandCatalog.h"
#include "resources/CommandIds.h"
#include "app/ConfigWriting.h"
#include "app/LoggingCommands.h"
#include "uisupport/MessageBox.h"
#include "app/PortOpening.h"
#include "uisupport/QtText.h"
#include "app/StatusPaneTexts.h"
#include "config/CModuleConfigDlg.h"
#include "link/SerialPortDiscovery.h"
#include "link/UsbDeviceList.h"
#include "protocol/CModuleChannel.h"
#include "receive/CEventLogCtrl.h"
#include "receive/CLogPathDlg.h"
#include "receive/CRDView.h"
#include "resources/Pictures.h"
#include "transmit/CTDataObject.h"
#include "resources/StringTable.h"
#include "stats/CIdStatisticsView.h"
#include "stats/IdStatisticsRules.h"
#include "transmit/CLeftView.h"
#include "transmit/CReplayRunner.h"
#include "uisupport/CContextMenu.h"
#include "signals/CSignalDock.h"
#include "signals/SignalTree.h"
#include "stats/CIdStatisticsModel.h"
#include "uisupport/CPaneStatusBar.h"
#include "app/CWorkspaceState.h"
#include "uisupport/Fonts.h"
#include "text/Cp949Text.h"
#include "uisupport/ModalDialogs.h"
#include "uisupport/Translations.h"

namespace {

struct CPaneSpec {
  unsigned m_nId;
  int m_nWidth;
  const char* m_pszTooltip;
};

constexpr std::array<CPaneSpec, 7> STATUS_PANES = {{
    {IDS_PANE_PORT_MODE, 70, QT_TRANSLATE_NOOP("CMainFrame", "통신 포트 모드")},
    {IDS_PANE_PORT_NAME, 70, QT_TRANSLATE_NOOP("CMainFrame", "통신 포트 이름")},
    {IDS_PANE_PROTOCOL, 60, QT_TRANSLATE_NOOP("CMainFrame", "CAN 프로토콜 모드")},
    {IDS_PANE_BIT_RATE, 75, QT_TRANSLATE_NOOP("CMainFrame", "CAN 속도")},
    {IDS_PANE_MASK_ID, 120, QT_TRANSLATE_NOOP("CMainFrame", "CAN 수신 마스크 ID")},
    {IDS_PANE_ID, 90, QT_TRANSLATE_NOOP("CMainFrame", "CAN 수신 ID")},
    {IDS_PANE_ACTIVITY, 50, QT_TRANSLATE_NOOP("CMainFrame", "CAN 송/수신 상황")},
}};

constexpr int MIN_WIDTH = 800;
constexpr int MIN_HEIGHT = 600;
constexpr int EVENT_PANE_HEIGHT = 120;
constexpr int SIGNAL_PANE_HEIGHT = 320;
constexpr const char* BANNER_FORMAT =
    "---------------------------------------------  %s  ---------------------------------------------";

// A text of the command catalogue in the window's language.
QString CatalogText(std::string_view text) {
  return QCoreApplication::translate("CommandCatalog", std::string(text).c_str());
}

// A status pane's text (with its %1 ...) in the window's language.
std::string PaneText(std::string_view text) {
  return QCoreApplication::translate("StatusPaneTexts", std::string(text).c_str()).toStdString();
}

}  // namespace

CMainFrame::CMainFrame(const CFrameSetup& setup)
    : m_setup(setup),
      m_channel(*setup.m_pChannel),
      m_ports(*setup.m_pPorts),
      m_pWindow(setup.m_fnMakeWindow(*this)),
      m_logFiles(setup.m_pfnLogClock) {
  setObjectName(QStringLiteral("MainFrame"));
  setWindowIcon(ProgramIcon());
  setMinimumSize(MIN_WIDTH, MIN_HEIGHT);
  // Toolbar and dock stay put: the view menu is the one place that shows or hides them.
  setContextMenuPolicy(Qt::NoContextMenu);
  if (!m_setup.m_fnSteadyNs) m_setup.m_fnSteadyNs = [] { return ArrivalTime::Now().m_nSteadyNs; };
  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  CreateClient();
  const QByteArray layout = CWorkspaceState(*m_setup.m_pStore).Load(PANE_LAYOUT_NAME);
  if (!layout.isEmpty()) restoreState(layout);
  LoadSettings();
  UpdateUi();
  m_pWindow->SetTimer(IDT_LAMP, LAMP_PERIOD_MS);
}

CMainFrame::~CMainFrame() {
  m_bClosed = true;
  m_pWindow->KillTimer(IDT_LAMP);
  m_pWindow->KillTimer(IDT_BUS_SAMPLE);
  // The list goes with the base class, after this frame's own members.
  disconnect(m_pTransmitView, nullptr, this, nullptr);
  // The channel outlives the frame: it must forget the frame, its lists and its window.
  m_channel.RemoveFrameConsumer(&m_rdataLog);
  m_channel.RemoveFrameConsumer(&m_pLogCommands->Recorder());
  m_channel.RemoveFrameConsumer(m_pReceiveView);
  m_channel.RemoveFrameConsumer(m_pIdView);
  m_channel.RemoveFrameConsumer(&m_busLoad);
  m_channel.RemoveFrameConsumer(&m_pSignalDock->Tracker());
  m_channel.SetEventSink(nullptr);
  m_channel.Destroy();
  m_logFiles.SetEventDisplay(nullptr);
  m_logFiles.CloseLogFiles();
}

void CMainFrame::CreateActions() {
  for (const CCommandText& command : Commands()) {
    const QString caption = CatalogText(command.m_caption);
    QString text = caption;
    if (!command.m_key.empty()) text += QLatin1Char('\t') + ToQString(command.m_key);
    auto* pAction = new QAction(CommandIcon(command.m_nId), text, this);
    pAction->setObjectName(QStringLiteral("command%1").arg(command.m_nId));
    pAction->setStatusTip(CatalogText(command.m_prompt));
    pAction->setToolTip(CatalogText(command.m_tooltip));
    pAction->setIconText(ToQString(PlainCaption(caption.toStdString())));  // what the context menus show
    pAction->setCheckable(command.m_bCheckable);
    if (!command.m_key.empty()) pAction->setShortcut(QKeySequence(ToQString(command.m_key)));
    addAction(pAction);  // shortcuts work with the menu bar hidden, too
    m_actions[command.m_nId] = pAction;
  }
  ConnectCommand(ID_READ_CONFIG, this, &CMainFrame::OnReadConfig);
  ConnectCommand(ID_WRITE_CONFIG, this, &CMainFrame::OnWriteConfig);
  ConnectCommand(ID_LOG_PATHS, this, &CMainFrame::OnSetLogPaths);
  ConnectCommand(ID_START_RECEPTION, this, &CMainFrame::OnStartReception);
  ConnectCommand(ID_STOP_RECEPTION, this, &CMainFrame::OnStopReception);
  ConnectCommand(ID_RESET_NODE, this, &CMainFrame::OnResetNode);
  ConnectCommand(ID_READ_VERSION, this, &CMainFrame::OnReadVersion);
  ConnectCommand(ID_CLEAR_RDATA, this, &CMainFrame::OnClearReceiveList);
  ConnectCommand(ID_START_RDATA_LOG, this, &CMainFrame::OnStartRDataLog);
  ConnectCommand(ID_STOP_RDATA_LOG, this, &CMainFrame::OnStopRDataLog);
  ConnectCommand(ID_START_EVENT_LOG, this, &CMainFrame::OnStartEventLog);
  ConnectCommand(ID_STOP_EVENT_LOG, this, &CMainFrame::OnStopEventLog);
  ConnectCommand(ID_CLEAR_EVENT_LOG, this, &CMainFrame::OnClearEventLog);
  ConnectCommand(ID_APP_ABOUT, this, &CMainFrame::OnAbout);
  connect(Action(ID_APP_EXIT), &QAction::triggered, this, &QWidget::close);
  connect(Action(ID_VIEW_TIMESTAMPS), &QAction::toggled, this, &CMainFrame::OnShowTimestamps);
}

template <class Receiver>
void CMainFrame::ConnectCommand(unsigned nId, Receiver* pReceiver, void (Receiver::*pfnHandler)()) {
  connect(Action(nId), &QAction::triggered, this, [this, pReceiver, pfnHandler] {
    (pReceiver->*pfnHandler)();
    UpdateUi();
  });
}

QAction* CMainFrame::Action(unsigned nId) const {
  const auto it = m_actions.find(nId);
  return it != m_actions.end() ? it->second : nullptr;
}

void CMainFrame::CreateMenus() {
  for (const CMenuLayout& layout : MenuBarLayout()) {
    QMenu* pMenu = menuBar()->addMenu(CatalogText(layout.m_caption));
    for (unsigned nId : layout.m_items) {
      if (nId == ID_SEPARATOR)
        pMenu->addSeparator();
      else
        pMenu->addAction(Action(nId));
    }
    // The idle update runs before a menu opens, so what it shows is current.
    connect(pMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateUi);
  }
}

void CMainFrame::CreateToolBar() {
  m_pToolBar = addToolBar(QStringLiteral("ToolBar"));
  m_pToolBar->setObjectName(QStringLiteral("ToolBar"));
  m_pToolBar->setIconSize(QSize(16, 15));
  m_pToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  for (unsigned nId : ToolbarLayout()) {
    if (nId == ID_SEPARATOR)
      m_pToolBar->addSeparator();
    else
      m_pToolBar->addAction(Action(nId));
  }
  QAction* pToggle = Action(ID_VIEW_TOOLBAR);
  pToggle->setChecked(true);
  connect(pToggle, &QAction::toggled, m_pToolBar, &QWidget::setVisible);
}

void CMainFrame::CreateStatusBar() {
  m_strBusPaneText = PaneText(BUS_PANE_TEXT);
  m_strCountersPaneText = PaneText(COUNTERS_PANE_TEXT);
  m_pStatusBar = new CPaneStatusBar(CatalogText(IDLE_PROMPT), this);
  setStatusBar(m_pStatusBar);
  for (const CPaneSpec& pane : STATUS_PANES)
    m_pStatusBar->AddPane(pane.m_nId, pane.m_nWidth, LoadQString(pane.m_nId), tr(pane.m_pszTooltip));
  m_pStatusBar->SetPaneText(IDS_PANE_ACTIVITY, QString());
  m_pStatusBar->SetPanePicture(IDS_PANE_ACTIVITY, LampPicture(0));
  m_pStatusBar->AddPane(ID_PANE_BUS, 0, QString(),
                        tr("지난 1초 동안 받은 프레임 수와 버스 부하(설정한 CAN 속도 대비, 스터프 비트 포함). "
                           "모듈의 수신 필터를 통과한 프레임만 보입니다."));
  // As wide as its widest usual text at the bar's font, so the figures do not make it jump.
  QLabel* pBusPane = m_pStatusBar->Pane(ID_PANE_BUS);
  const BusFigures widest{.m_dFramesPerSecond = 99999.0, .m_dLoadPercent = 100.0};
  const QString widestText = QString::fromStdString(BusPaneText(true, widest, 1.0, m_strBusPaneText));
  pBusPane->setMinimumWidth(pBusPane->fontMetrics().horizontalAdvance(widestText) + 2 * pBusPane->frameWidth() + 8);
  m_pStatusBar->AddPane(ID_PANE_COUNTERS, 0, QString(), tr("수신 오류: 공간이 없어 버린 수신 블록 / 거부한 줄 (체크섬, 문자, 응답) / 데이터가 모자란 프레임"));
  m_pStatusBar->SetPaneVisible(ID_PANE_COUNTERS, false);
  m_pStatusBar->AddPane(ID_PANE_DBC, 0, QString(), tr("열린 신호 데이터베이스 (DBC)"));
  m_pStatusBar->SetPaneVisible(ID_PANE_DBC, false);
  QAction* pToggle = Action(ID_VIEW_STATUS_BAR);
  pToggle->setChecked(true);
  connect(pToggle, &QAction::toggled, m_pStatusBar, &QWidget::setVisible);
}

void CMainFrame::CreateClient() {
  auto* pSplitter = new QSplitter(Qt::Horizontal, this);
  pSplitter->setObjectName(QStringLiteral("ClientSplitter"));
  m_pTransmitView = new CLeftView(*m_setup.m_pStore, m_channel, [this](std::string& strReason) {
    COpenResult result = ::EnsurePortOpen(m_channel, m_bPortOpen, m_settings, m_ports);
    strReason = std::move(result.m_strReason);
    return result.m_bOpen;
  }, pSplitter);
  m_pTransmitView->setObjectName(QStringLiteral("TransmitList"));
  connect(m_pTransmitView, &CLeftView::StateChanged, this, &CMainFrame::UpdateUi);
  // The menu bar, the toolbar, the shortcuts and the list's context menu share these actions.
  ConnectCommand(ID_OPEN_TFILE, m_pTransmitView, &CLeftView::OnOpenFile);
  ConnectCommand(ID_SAVE_TFILE, m_pTransmitView, &CLeftView::OnSaveFile);
  ConnectCommand(ID_ADD_TDATA, m_pTransmitView, &CLeftView::OnAdd);
  ConnectCommand(ID_MODIFY_TDATA, m_pTransmitView, &CLeftView::OnModify);
  ConnectCommand(ID_DELETE_TDATA, m_pTransmitView, &CLeftView::OnDelete);
  ConnectCommand(ID_DELETE_ALL_TDATA, m_pTransmitView, &CLeftView::OnDeleteAll);
  ConnectCommand(ID_SEND_TDATA, m_pTransmitView, &CLeftView::OnSend);
  ConnectCommand(ID_START_CYCLE, m_pTransmitView, &CLeftView::OnStartCycle);
  ConnectCommand(ID_STOP_CYCLE, m_pTransmitView, &CLeftView::OnStopCycle);
  ConnectCommand(ID_STOP_ALL_CYCLES, m_pTransmitView, &CLeftView::OnStopAllCycles);
  auto* pReceiveTabs = new QTabWidget(pSplitter);
  pReceiveTabs->setObjectName(QStringLiteral("ReceiveTabs"));
  pReceiveTabs->setDocumentMode(true);
  m_pReceiveView = new CRDView(pReceiveTabs);
  m_pReceiveView->SetRefreshPacer([this] { m_pWindow->SetTimer(IDT_LIST_REFRESH, LIST_REFRESH_MS); });
  m_pIdView = new CIdStatisticsView(m_setup.m_fnMakeWindow, m_setup.m_fnSteadyNs, pReceiveTabs);
  m_pIdView->setObjectName(QStringLiteral("IdView"));
  pReceiveTabs->addTab(m_pReceiveView, tr("수신 데이터"));
  pReceiveTabs->addTab(m_pIdView, tr("식별자별 보기"));
  pReceiveTabs->setTabToolTip(1, CIdStatisticsModel::TimesNote());
  m_pLogCommands = new CLogCommands(m_logFiles, *pReceiveTabs, *Action(ID_RECORD_FRAMES), this);
  ConnectCommand(ID_RECORD_FRAMES, m_pLogCommands, &CLogCommands::OnToggleRecording);
  ConnectCommand(ID_OPEN_LOG, m_pLogCommands, &CLogCommands::OnOpenLog);
  connect(m_pIdView, &CIdStatisticsView::AddToTransmitList, m_pTransmitView, &CLeftView::OnAddFrom);
  pSplitter->addWidget(m_pTransmitView);
  pSplitter->addWidget(pReceiveTabs);
  // The transmit list shows its columns whole; the receive views take the rest.
  const int nTransmitWidth = m_pTransmitView->PreferredWidth();
  pSplitter->setSizes({nTransmitWidth, std::max(MIN_WIDTH - nTransmitWidth, 1)});
  pSplitter->setStretchFactor(1, 1);
  setCentralWidget(pSplitter);

  auto* pDock = new QDockWidget(LoadQString(IDS_EVENT_LOG_PANE), this);
  pDock->setObjectName(QStringLiteral("EventLogPane"));
  pDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  m_pEventLog = new CEventLogCtrl(pDock);
  m_pEventLog->setMinimumHeight(EVENT_PANE_HEIGHT / 2);
  pDock->setWidget(m_pEventLog);
  addDockWidget(Qt::BottomDockWidgetArea, pDock);
  resizeDocks({pDock}, {EVENT_PANE_HEIGHT}, Qt::Vertical);
  m_pEventDisplay = std::make_unique<CTranslatedEventDisplay>(MakeEventTranslator(), *m_pEventLog);
  m_logFiles.SetEventDisplay(m_pEventDisplay.get());

  // Shown once a database is open; the one opened last is opened again.
  m_pSignalDock = new CSignalDock(*m_setup.m_pStore, this);
  addDockWidget(Qt::BottomDockWidgetArea, m_pSignalDock, Qt::Vertical);  // under the event log
  m_pSignalDock->hide();
  connect(m_pSignalDock, &CSignalDock::DatabaseChanged, this, [this](const QString& name) {
    m_pStatusBar->SetPaneText(ID_PANE_DBC, QStringLiteral("DBC: ") + name);
    m_pStatusBar->SetPaneVisible(ID_PANE_DBC, true);
    if (m_pSignalDock->isHidden()) {
      m_pSignalDock->show();
      resizeDocks({m_pSignalDock}, {SIGNAL_PANE_HEIGHT}, Qt::Vertical);
    }
    m_pTransmitView->SetSignalDatabase(m_pSignalDock->Tracker().SharedDatabase());
    m_pIdView->Model()->SetMessageNamer(MessageNamerFor(m_pSignalDock->Tracker().SharedDatabase()));
    m_pLogCommands->SetSignalDatabase(m_pSignalDock->Tracker().SharedDatabase());
  });
  // A row chosen in the per-identifier view opens its message's signals in the pane.
  connect(m_pIdView->Table(), &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
    if (const IdStatistics* pEntry = m_pIdView->Model()->EntryAt(index.row()))
      m_pSignalDock->RevealMessage(!pEntry->m_bStandard, pEntry->m_dwId);
  });
  ConnectCommand(ID_OPEN_DBC, m_pSignalDock, &CSignalDock::OnOpenDatabase);
  m_pSignalDock->OpenRememberedDatabase();

  auto* pReplayProgress = new QProgressBar(m_pStatusBar);
  pReplayProgress->setObjectName(QStringLiteral("ReplayProgress"));
  pReplayProgress->setMaximumWidth(160);
  m_pStatusBar->addPermanentWidget(pReplayProgress);
  m_pReplay = new CReplayRunner(m_channel, pReplayProgress, this);
  m_pReplay->SetEventSink(&m_logFiles);
  connect(m_pReplay, &CReplayRunner::RunningChanged, this, &CMainFrame::UpdateUi);
  ConnectCommand(ID_REPLAY_LOG, this, &CMainFrame::OnReplayLog);
  ConnectCommand(ID_STOP_REPLAY, m_pReplay, &CReplayRunner::Stop);

  m_pTransmitMenu = CreateContextMenu(TDataMenuLayout(), m_pTransmitView);
  m_pReceiveMenu = CreateContextMenu(RDataMenuLayout(), m_pReceiveView->List());
  m_pEventLogMenu = CreateContextMenu(LogMenuLayout(), m_pEventLog);
}

QMenu* CMainFrame::CreateContextMenu(std::span<const unsigned> layout, QWidget* pList) {
  auto* pMenu = new CContextMenu(pList);
  for (unsigned nId : layout) {
    if (nId == ID_SEPARATOR)
      pMenu->addSeparator();
    else
      pMenu->addAction(Action(nId));
  }
  pList->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(pList, &QWidget::customContextMenuRequested, this,
          [this, pMenu, pList](const QPoint& point) { ShowContextMenu(pMenu, pList, point); });
  return pMenu;
}

void CMainFrame::ShowContextMenu(QMenu* pMenu, QWidget* pArea, const QPoint& point) {
  UpdateUi();
  // The request comes in viewport coordinates from a scroll area, in widget ones otherwise.
  auto* pScrollArea = qobject_cast<QAbstractScrollArea*>(pArea);
  QWidget* pOrigin = pScrollArea ? pScrollArea->viewport() : pArea;
  pMenu->popup(pOrigin->mapToGlobal(point));
}

void CMainFrame::LoadSettings() {
  SettingsStore& store = *m_setup.m_pStore;
  const CSettingsContext context{m_ports.SerialPortCount(), m_ports.UsbModuleCount(), m_setup.m_strLogDirectory};
  CLogSettings logs;
  ::LoadSettings(store, context, m_settings, logs);
  m_logFiles.SetPath(LOG_EVENT, logs.m_strEventLogPath);
  m_logFiles.SetLogging(LOG_EVENT, logs.m_bEventLog);
  m_logFiles.SetPath(LOG_RDATA, logs.m_strRDataLogPath);
  m_logFiles.SetLogging(LOG_RDATA, logs.m_bRDataLog);
  m_userPort = m_settings;
  if (m_setup.m_nSimulatedPort >= 0 && m_setup.m_nSimulatedPort < m_ports.SerialPortCount()) {
    m_settings.m_nPortMode = PORT_MODE_SERIAL;
    m_settings.m_nSerialPortIndex = m_setup.m_nSimulatedPort;
    m_settings.m_nBaudRate = BAUD_RATE_FAST;
  }
  const auto showTimestamps = store.GetInt(VIEW_SECTION, SETTING_SHOW_TIMESTAMPS);
  Action(ID_VIEW_TIMESTAMPS)->setChecked(showTimestamps.value_or(0) == 1);
}

void CMainFrame::SaveSettings() {
  ModuleSettings settings = m_settings;
  if (m_setup.m_nSimulatedPort >= 0) {
    settings.m_nPortMode = m_userPort.m_nPortMode;
    settings.m_nUsbPortIndex = m_userPort.m_nUsbPortIndex;
    settings.m_nSerialPortIndex = m_userPort.m_nSerialPortIndex;
    settings.m_nBaudRate = m_userPort.m_nBaudRate;
  }
  const CLogSettings logs{m_logFiles.IsLogging(LOG_EVENT), m_logFiles.Path(LOG_EVENT), m_logFiles.IsLogging(LOG_RDATA),
                          m_logFiles.Path(LOG_RDATA)};
  SettingsStore& store = *m_setup.m_pStore;
  m_pTransmitView->SaveColumnWidths();
  store.SetInt(VIEW_SECTION, SETTING_SHOW_TIMESTAMPS, Action(ID_VIEW_TIMESTAMPS)->isChecked() ? 1 : 0);
  // Said before the window goes: a user started from the desktop sees no standard error.
  if (!::SaveSettings(store, settings, logs))
    ShowMessage(IDS_SETTINGS_SAVE_FAILED, EMessageIcon::ERROR, EMessageButtons::OK, store.LastError());
}

void CMainFrame::InitAfterStartup() {
  m_pEventLog->SetDisplayFont(ListFont(), true);
  char szBanner[160];
  std::snprintf(szBanner, sizeof szBanner, BANNER_FORMAT, std::string(LoadString(IDS_PROGRAM_TITLE)).c_str());
  m_logFiles.LogEvent(szBanner, EVENT_GREY);
  for (int nKind : {LOG_EVENT, LOG_RDATA})
    if (m_logFiles.IsLogging(nKind)) StartLogging(m_logFiles, nKind);

  m_channel.Create(m_setup.m_pChannelWindow, this);
  m_channel.SetEventSink(&m_logFiles);
  m_channel.AddFrameConsumer(&m_rdataLog);
  m_channel.AddFrameConsumer(&m_pLogCommands->Recorder());
  m_channel.AddFrameConsumer(m_pReceiveView);
  m_channel.AddFrameConsumer(m_pIdView);
  m_channel.AddFrameConsumer(&m_busLoad);
  m_busLoad.Restart(m_setup.m_fnSteadyNs());
  m_pWindow->SetTimer(IDT_BUS_SAMPLE, BUS_SAMPLE_MS);
  m_channel.AddFrameConsumer(&m_pSignalDock->Tracker());
  const CStartupOpen outcome = OpenAtStartup(m_channel, m_settings, m_ports, m_setup.m_bSecondaryInstance);
  UpdateUi();
  if (outcome.m_nStringId != 0)
    ShowMessage(outcome.m_nStringId, outcome.m_bError ? EMessageIcon::ERROR : EMessageIcon::INFORMATION,
                EMessageButtons::OK, outcome.m_strReason);
}

bool CMainFrame::EnsurePortOpen() { return ::EnsurePortOpen(m_channel, m_bPortOpen, m_settings, m_ports).m_bOpen; }

void CMainFrame::SetPortOpen(bool bOpen) {
  m_bPortOpen = bOpen;
  if (!m_bClosed) UpdateUi();
}

void CMainFrame::OnPortGone() {
  m_pLogCommands->OnPortGone();
  m_lamps.PutOut();
  RefreshLamps();
  UpdateUi();
}

void CMainFrame::OnClosed() {
  if (m_bClosing) close();
}

void CMainFrame::OnCyclesChanged() {
  if (m_bClosed) return;
  m_pTransmitView->SyncCycles();
  UpdateUi();
}

void CMainFrame::OnMessage(unsigned nMsg, uintptr_t wParam, intptr_t /*lParam*/) {
  if (nMsg == WM_CONFIG_REPORT) {
    const ModuleConfig& config = m_channel.Config();
    m_settings.m_byMode = config.m_byModeFlags;
    m_settings.m_wBitTime = config.m_wBitTiming;
    m_settings.m_dwMaskId = config.m_dwMaskId;
    m_settings.m_dwId = config.m_dwId;
    UpdateUi();
  } else if (nMsg == WM_FRAME_ACTIVITY) {
    m_lamps.OnActivity(wParam);
    RefreshLamps();
  }
}

void CMainFrame::OnTimer(unsigned nId) {
  if (nId == IDT_LIST_REFRESH) {
    m_pWindow->KillTimer(IDT_LIST_REFRESH);
    m_pReceiveView->Refresh();
    return;
  }
  if (nId == IDT_BUS_SAMPLE) {
    SampleBusLoad();
    return;
  }
  if (nId != IDT_LAMP) return;
  m_lamps.OnTick();
  RefreshLamps();
  UpdateUi();  // the idle update: line counts and the reception flag change between commands
}

void CMainFrame::RefreshLamps() {
  if (m_lamps.Bits() == m_nLampShown) return;
  m_nLampShown = m_lamps.Bits();
  m_pStatusBar->SetPanePicture(IDS_PANE_ACTIVITY, LampPicture(m_nLampShown));
}

void CMainFrame::SampleBusLoad() {
  m_busLoad.SetBitRate(ConfiguredBitRate(m_settings));
  const BusFigures figures = m_busLoad.Sample(m_setup.m_fnSteadyNs());
  m_pStatusBar->SetPaneText(ID_PANE_BUS, QString::fromStdString(BusPaneText(m_bPortOpen, figures, m_busLoad.BitRate(), m_strBusPaneText)));
}

CCommandState CMainFrame::CommandState() const {
  CCommandState state;
  state.m_bPortsExist = m_ports.m_nPortsAvailable > 0;
  state.m_bReceptionRunning = m_channel.IsReceptionRunning();
  state.m_bRDataLogging = m_logFiles.IsLogging(LOG_RDATA);
  state.m_bEventLogging = m_logFiles.IsLogging(LOG_EVENT);
  state.m_nReceiveLines = m_pReceiveView->LineCount();
  state.m_nEventEntries = m_pEventLog->EntryCount();
  state.m_bTransmitList = true;
  state.m_nTransmitRows = m_pTransmitView->RowCount();
  const int nSelected = m_pTransmitView->SelectedRow();
  state.m_bTransmitSelection = nSelected >= 0;
  state.m_bSelectionHasPeriod = nSelected >= 0 && m_pTransmitView->Frames().At(static_cast<size_t>(nSelected)).wPeriodMs != 0;
  state.m_bSelectionCycling = m_pTransmitView->IsRowCycling(nSelected);
  state.m_bAnyCycling = m_pTransmitView->AnyCycling();
  state.m_bReplaying = m_pReplay->IsRunning();
  state.m_bRecording = m_pLogCommands->IsRecording();
  return state;
}

void CMainFrame::UpdateUi() {
  const CCommandState state = CommandState();
  for (const auto& [nId, pAction] : m_actions) pAction->setEnabled(IsCommandEnabled(nId, state));
  UpdateStatusPanes();
}

void CMainFrame::UpdateStatusPanes() {
  const CStatusPaneTexts texts = StatusPaneTexts(m_bPortOpen, m_settings, m_ports);
  for (unsigned n = 0; n < STATUS_TEXT_PANE_COUNT; ++n)
    m_pStatusBar->SetPaneText(IDS_PANE_PORT_MODE + n, QString::fromStdString(texts[n]));
  const ChannelCounters counters = m_channel.Counters();
  m_pStatusBar->SetPaneVisible(ID_PANE_COUNTERS, counters.AnyNonZero());
  if (counters.AnyNonZero()) m_pStatusBar->SetPaneText(ID_PANE_COUNTERS, QString::fromStdString(CountersPaneText(counters, m_strCountersPaneText)));
}

void CMainFrame::RunModuleCommand(const std::function<void(CModuleChannel&)>& command) {
  const COpenResult result = ::EnsurePortOpen(m_channel, m_bPortOpen, m_settings, m_ports);
  if (!result.m_bOpen) {
    ShowMessage(IDS_PORT_OPEN_FAILED, EMessageIcon::ERROR, EMessageButtons::OK, result.m_strReason);
    return;
  }
  command(m_channel);
}

void CMainFrame::OnReadConfig() { RunModuleCommand([](CModuleChannel& channel) { channel.ReadConfig(); }); }
void CMainFrame::OnStartReception() { RunModuleCommand([](CModuleChannel& c) { c.SetReception(true, true); }); }
void CMainFrame::OnStopReception() { RunModuleCommand([](CModuleChannel& c) { c.SetReception(true, false); }); }
void CMainFrame::OnResetNode() { RunModuleCommand([](CModuleChannel& channel) { channel.ResetNode(); }); }
void CMainFrame::OnReadVersion() { RunModuleCommand([](CModuleChannel& channel) { channel.ReadVersion(); }); }
void CMainFrame::OnWriteConfig() {
  // A module plugged in after start-up is found here; the total port count stays as it was.
  if (m_ports.UsbModuleCount() == 0)
    m_ports.m_usbSerialNumbers = m_setup.m_fnDetectUsbModules ? m_setup.m_fnDetectUsbModules() : BuildUsbDeviceList();
  if (m_ports.m_nPortsAvailable <= 0) {
    ShowMessage(IDS_NO_PORT, EMessageIcon::INFORMATION);
    return;
  }
  CModuleConfigDlg dialog(m_settings, m_ports, this);
  if (!RunModal(dialog)) return;
  const ModuleSettings& chosen = dialog.Result();
  const EConfigWrite eStep = ConfigWriteStep(m_settings, chosen, m_bPortOpen);
  if (eStep == EConfigWrite::NOTHING) return;
  if (eStep == EConfigWrite::OPEN_AND_SEND) {
    const COpenResult result = OpenConfiguredPort(m_channel, chosen, m_ports);
    if (!result.m_bOpen) {
      ShowMessage(IDS_PORT_OPEN_FAILED, EMessageIcon::ERROR, EMessageButtons::OK, result.m_strReason);
      return;
    }
  }
  StoreChosenConfig(m_settings, chosen);
  if (m_setup.m_nSimulatedPort >= 0) KeepUserPort(m_userPort, chosen, m_setup.m_nSimulatedPort);
  SendConfig(m_channel, m_settings);
}

void CMainFrame::OnSetLogPaths() {
  CLogPathDlg dialog(m_logFiles.Path(LOG_RDATA), m_logFiles.Path(LOG_EVENT), nullptr, this);
  if (!RunModal(dialog)) return;
  ChangeLogPath(m_logFiles, LOG_EVENT, dialog.EventLogPath());
  ChangeLogPath(m_logFiles, LOG_RDATA, dialog.RDataLogPath());
}

void CMainFrame::OnClearReceiveList() { m_pReceiveView->RemoveAll(); }
void CMainFrame::OnStartRDataLog() { StartLogging(m_logFiles, LOG_RDATA); }
void CMainFrame::OnStopRDataLog() { StopLogging(m_logFiles, LOG_RDATA); }
void CMainFrame::OnStartEventLog() { StartLogging(m_logFiles, LOG_EVENT); }
void CMainFrame::OnStopEventLog() { StopLogging(m_logFiles, LOG_EVENT); }
void CMainFrame::OnClearEventLog() { m_pEventLog->RemoveAllEntries(); }

void CMainFrame::OnAbout() {
  CAboutDlg dialog(this);
  RunModal(dialog);
}

void CMainFrame::OnReplayLog() {
  QFileDialog dialog(this, tr("로그 재생"), QString(), tr("candump 로그 (*.log);;모든 파일 (*)"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (!RunModal(dialog) || dialog.selectedFiles().isEmpty()) return;
  const std::string path = QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
  RunModuleCommand([this, &path](CModuleChannel&) {
    std::string reason;
    if (!m_pReplay->Start(path, reason)) m_logFiles.LogEvent(FormatEventText("[로그 재생]", reason), EVENT_RED);
  });
}

void CMainFrame::OnShowTimestamps(bool bShow) { m_pReceiveView->SetShowTimestamps(bShow); }

void CMainFrame::closeEvent(QCloseEvent* pEvent) {
  // Unsaved changes to the transmit list: the user may save them, give them up or stay.
  if (!m_bClosed && !m_bClosing && !m_pTransmitView->ConfirmDiscard()) {
    pEvent->ignore();
    return;
  }
  // With a port open, ":G10" goes out and the window stays, painting, until the channel's
  // wait is over (OnClosed closes it again).
  if (!m_bClosed && !m_bClosing && m_channel.BeginClose()) {
    m_bClosing = true;
    pEvent->ignore();
    return;
  }
  if (!m_bClosed) {
    m_channel.Close();
    m_pWindow->KillTimer(IDT_LAMP);
    m_pWindow->KillTimer(IDT_BUS_SAMPLE);
    CWorkspaceState workspace(*m_setup.m_pStore);
    workspace.Save(PANE_LAYOUT_NAME, saveState());
    workspace.Save(WINDOW_STATE_NAME, saveGeometry());
    SaveSettings();  // writes the store, the window state with it
    m_bClosed = true;
  }
  pEvent->accept();
}
