#include <QApplication>
#include <QContextMenuEvent>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QStyleOptionMenuItem>
#include <QTextDocument>
#include <functional>
#include <map>
#include <span>
#include <tuple>

#include "CFrameTestBed.h"
#include "app/CQtMessageSink.h"
#include "app/CommandCatalog.h"
#include "app/StatusPaneTexts.h"
#include "uisupport/CContextMenu.h"
#include "resources/CommandIds.h"
#include "receive/CRDView.h"
#include "transmit/CLeftView.h"
#include "resources/StringTable.h"
#include "app/CWorkspaceState.h"
#include "support/WidgetDriving.h"

constexpr const char* NO_DEVICE = "open: No such file or directory";  // the fake's failure reason

// The boxes shown, each as its string id, icon and detail.
using CBoxes = std::vector<std::tuple<unsigned, EMessageIcon, std::string>>;
CBoxes Boxes(const std::vector<CMessageRequest>& shown) {
  CBoxes boxes;
  for (const CMessageRequest& request : shown) boxes.emplace_back(request.m_nStringId, request.m_eIcon, request.m_strDetail);
  return boxes;
}

using MainFrameStartup = CFrameTestBed;

TEST_F(MainFrameStartup, OpensTheConfiguredPortOrSaysWhyNot) {
  // m_bUsbModule: one attached, USB mode chosen; m_bSerialPort: ttyS1 listed; m_nShown: the box's id or 0.
  struct CStartupCase {
    const char* m_pszName;
    bool m_bUsbModule, m_bSerialPort, m_bUsbOpens, m_bSerialOpens, m_bSecondary;
    unsigned m_nShown;
    const char* m_pszOpened;
    int m_nPortModeAfter;
  };
  const std::vector<CStartupCase> cases = {
      {"no port at all", false, false, true, true, false, IDS_NO_PORT, "", PORT_MODE_SERIAL},
      {"second instance", false, true, true, true, true, 0, "", PORT_MODE_SERIAL},
      {"serial opens", false, true, true, true, false, 0, "ttyS1", PORT_MODE_SERIAL},
      {"serial fails", false, true, true, false, false, IDS_SERIAL_OPEN_FAILED, "ttyS1", PORT_MODE_SERIAL},
      {"USB opens", true, true, true, true, false, 0, "KX000123", PORT_MODE_USB},
      {"USB fails: serial mode, serial not tried", true, true, false, true, false, IDS_USB_OPEN_FAILED, "KX000123",
       PORT_MODE_SERIAL},
  };
  for (const CStartupCase& c : cases) {
    SCOPED_TRACE(c.m_pszName);
    m_pFrame.reset();
    m_shown.clear();
    m_pSerial->Forget();  // listener and queue are set again by the channel's Create
    m_pUsb->Forget();
    m_ports = CPortLists();
    if (c.m_bSerialPort) m_ports.m_serialPorts = {{"ttyS1", "/dev/ttyS1", "ttyS1", 0}};
    if (c.m_bUsbModule) m_ports.m_usbSerialNumbers = {"KX000123"};
    m_store.SetInt(SETTINGS_SECTION, SETTING_USB_MODE, c.m_bUsbModule ? PORT_MODE_USB : PORT_MODE_SERIAL);
    m_pUsb->m_bOpenSucceeds = c.m_bUsbOpens;
    m_pSerial->m_bOpenSucceeds = c.m_bSerialOpens;
    MakeFrame(c.m_bSecondary);

    const bool bNoPort = c.m_nShown == IDS_NO_PORT;
    EXPECT_EQ(Boxes(m_shown), (c.m_nShown == 0 ? CBoxes{}
              : CBoxes{{c.m_nShown, bNoPort ? EMessageIcon::INFORMATION : EMessageIcon::ERROR, bNoPort ? "" : NO_DEVICE}}));
    const bool bOpen = c.m_nShown == 0 && *c.m_pszOpened != '\0';
    EXPECT_EQ(std::tuple(m_pUsb->m_openedName + m_pSerial->m_openedName, m_pFrame->Settings().m_nPortMode,
                         m_pFrame->IsPortOpen(), PaneText(IDS_PANE_PORT_MODE).isEmpty()),
              std::tuple(c.m_pszOpened, c.m_nPortModeAfter, bOpen, !bOpen));
  }
  // After the failed USB open of the last row, the next command opens the serial port.
  EXPECT_TRUE(m_pFrame->EnsurePortOpen());
  EXPECT_EQ(std::tuple(m_pSerial->m_openedName, m_pSerial->m_dwOpenedRate, m_shown.size()), std::tuple("ttyS1", 921600u, 1u));
}

TEST_F(MainFrameStartup, BannerAndRestoredLogFlags) {
  m_store.SetInt(SETTINGS_SECTION, SETTING_EVENT_LOG_FLAG, 1);
  m_store.SetInt(SETTINGS_SECTION, SETTING_RDATA_LOG_FLAG, 1);
  m_store.SetString(SETTINGS_SECTION, SETTING_EVENT_LOG_PATH, m_scratch.Write("events.txt", ""));
  m_strLogDirectory = m_scratch.Write("LogFile", "");  // the receive-data log's default place is not a directory
  MakeFrame();
  EXPECT_EQ(m_pFrame->EventLog()->EntryText(0),
            "---------------------------------------------  Korvex Analyzer V1.0  "
            "---------------------------------------------");
  CLogFiles& logs = m_pFrame->LogFiles();
  EXPECT_TRUE(logs.IsLogging(LOG_EVENT) && logs.IsOpen(LOG_EVENT) && !logs.IsLogging(LOG_RDATA));
  const CEventLogCtrl* pLog = m_pFrame->EventLog();
  EXPECT_TRUE(pLog->EntryText(pLog->EntryCount() - 1).contains("로그") && Enabled(ID_START_RDATA_LOG) && !Enabled(ID_STOP_RDATA_LOG));
}

using MainFrameCommands = CFrameTestBed;

TEST_F(MainFrameCommands, EnableStatesFollowTheModuleAndTheLists) {
  MakeFrame();
  struct CStep {
    const char* m_pszName;
    std::function<void()> m_fnDo;
    std::vector<unsigned> m_enabled;
    std::vector<unsigned> m_disabled;
  };
  const std::vector<CStep> steps = {
      {"connected, not receiving", [this] { AnswerStartup(); },
       {ID_READ_CONFIG, ID_START_RECEPTION, ID_CLEAR_EVENT_LOG},
       {ID_STOP_RECEPTION, ID_CLEAR_RDATA}},
      {"start sent, not answered yet", [this] { m_pFrame->Action(ID_START_RECEPTION)->trigger(); },
       {ID_START_RECEPTION}, {ID_STOP_RECEPTION}},
      {"module reports reception on, one frame in, shown at the list's next refresh", [this] {
         Receive(Line(":G01") + Line(":U0201230102"));
         EXPECT_EQ(m_pFrame->ReceiveView()->List()->model()->rowCount(), 0);
         m_loop.Advance(LIST_REFRESH_MS);
         EXPECT_EQ(m_pFrame->ReceiveView()->List()->model()->rowCount(), 1);
         m_loop.Advance(LAMP_PERIOD_MS);
       },
       {ID_STOP_RECEPTION, ID_CLEAR_RDATA}, {ID_START_RECEPTION}},
      {"receive list cleared", [this] { m_pFrame->Action(ID_CLEAR_RDATA)->trigger(); }, {}, {ID_CLEAR_RDATA}},
      {"event log cleared", [this] { m_pFrame->Action(ID_CLEAR_EVENT_LOG)->trigger(); }, {}, {ID_CLEAR_EVENT_LOG}},
      {"both logs started, a frame received", [this] {
         m_pFrame->Action(ID_START_RDATA_LOG)->trigger();
         m_pFrame->Action(ID_START_EVENT_LOG)->trigger();
         Receive(Line(":U0201230102"));
       },
       {ID_STOP_RDATA_LOG, ID_STOP_EVENT_LOG}, {ID_START_RDATA_LOG, ID_START_EVENT_LOG}},
      {"both logs stopped", [this] {
         m_pFrame->Action(ID_STOP_RDATA_LOG)->trigger();
         m_pFrame->Action(ID_STOP_EVENT_LOG)->trigger();
       },
       {ID_START_RDATA_LOG, ID_START_EVENT_LOG}, {ID_STOP_RDATA_LOG, ID_STOP_EVENT_LOG}},
  };
  for (const CStep& step : steps) {
    step.m_fnDo();
    for (unsigned nId : step.m_enabled) EXPECT_TRUE(Enabled(nId)) << step.m_pszName << ": " << nId;
    for (unsigned nId : step.m_disabled) EXPECT_FALSE(Enabled(nId)) << step.m_pszName << ": " << nId;
  }
  EXPECT_FALSE(m_pFrame->LogFiles().IsOpen(LOG_RDATA) || m_pFrame->LogFiles().IsOpen(LOG_EVENT));
  EXPECT_EQ(m_pSerial->m_writes.back(), ":G11A9\r");
  // The frame received while logging is in the receive-data log, CP949 with CR LF.
  const std::string logged = ReadWholeFile(m_pFrame->LogFiles().Path(LOG_RDATA));
  EXPECT_TRUE(logged.ends_with("CAN2.0A  Data Frame    \xB1\xE6\xC0\xCC:2  ID:123       \xB5\xA5\xC0\xCC\xC5\xCD:01 02\r\n")) << logged;
}

// Each list's context menu holds the menu bar's own actions in the catalogue's order, by their plain texts.
TEST_F(MainFrameCommands, ContextMenusShowTheSharedActionsByTheirPlainTexts) {
  m_ports = CPortLists();
  MakeFrame();
  const std::tuple<QWidget*, QMenu*, std::span<const unsigned>> menus[] = {
      {m_pFrame->TransmitView()->viewport(), m_pFrame->TransmitMenu(), TDataMenuLayout()},
      {m_pFrame->ReceiveView()->List()->viewport(), m_pFrame->ReceiveMenu(), RDataMenuLayout()},
      {m_pFrame->EventLog()->viewport(), m_pFrame->EventLogMenu(), LogMenuLayout()}};
  std::map<unsigned, std::pair<QString, bool>> shown;  // id -> text, enabled
  for (const auto& [pArea, pMenu, layout] : menus) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), pArea->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(pArea, &event);
    ASSERT_TRUE(pMenu->isVisible());
    const auto* pContextMenu = qobject_cast<const CContextMenu*>(pMenu);
    ASSERT_NE(pContextMenu, nullptr);
    const QList<QAction*> actions = pMenu->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(layout.size()));
    for (size_t i = 0; i < layout.size(); ++i) {
      QAction* pAction = actions[static_cast<qsizetype>(i)];
      EXPECT_EQ(pAction->isSeparator(), layout[i] == ID_SEPARATOR);
      if (layout[i] == ID_SEPARATOR) continue;
      EXPECT_EQ(pAction, m_pFrame->Action(layout[i]));
      QStyleOptionMenuItem option;
      pContextMenu->initStyleOption(&option, pAction);
      EXPECT_EQ(option.text.toStdString(), pAction->toolTip().toStdString()) << layout[i];
      shown[layout[i]] = {option.text, pAction->isEnabled()};
    }
    pMenu->hide();
  }
  EXPECT_EQ(shown[ID_START_RECEPTION], std::pair(QStringLiteral("CAN 데이터 수신 시작"), false));
  EXPECT_TRUE(shown[ID_OPEN_TFILE].second && shown[ID_START_RDATA_LOG].second && shown[ID_CLEAR_EVENT_LOG].second);
}

using MainFrameStatus = CFrameTestBed;

TEST_F(MainFrameStatus, PanesShowTheReportedConfigurationOnlyWhileConnected) {
  m_pSerial->m_bOpenSucceeds = false;
  MakeFrame();
  for (unsigned nId = IDS_PANE_PORT_MODE; nId <= IDS_PANE_ID; ++nId) EXPECT_EQ(PaneText(nId), "") << nId;

  m_pSerial->m_bOpenSucceeds = true;
  m_pFrame->Action(ID_READ_CONFIG)->trigger();
  AnswerStartup();
  // The texts themselves: StatusPaneTexts. Here: what the module reported reaches them.
  EXPECT_EQ(PaneText(IDS_PANE_PORT_NAME) + " " + PaneText(IDS_PANE_ID), "ttyS1 ID:00000123");
  EXPECT_FALSE(m_pFrame->StatusPanes()->Pane(ID_PANE_COUNTERS)->isVisibleTo(m_pFrame.get()));

  Receive(Line(":Q").substr(0, 3) + "ZZ\r");  // a line with a bad checksum is counted
  m_loop.Advance(LAMP_PERIOD_MS);
  EXPECT_TRUE(m_pFrame->StatusPanes()->Pane(ID_PANE_COUNTERS)->isVisibleTo(m_pFrame.get()));
  EXPECT_EQ(PaneText(ID_PANE_COUNTERS), "버린 블록 0 / 거부한 줄 1 / 모자란 프레임 0");

  // Unplugged with a lamp lit; still unplugged, the next command says why and sends nothing.
  m_pFrame->OwnerWindow().Post(WM_FRAME_ACTIVITY, 2, 0);
  m_loop.RunPending();
  m_pSerial->HangUp();
  m_loop.RunPending();
  EXPECT_FALSE(m_pFrame->IsPortOpen());
  for (unsigned n = 0; n < STATUS_TEXT_PANE_COUNT; ++n) EXPECT_EQ(PaneText(IDS_PANE_PORT_MODE + n), "") << n;
  EXPECT_EQ(m_pFrame->LampShown(), 0u);
  m_pSerial->m_bOpenSucceeds = false;
  m_shown.clear();
  const size_t nWrites = m_pSerial->m_writes.size();
  m_pFrame->Action(ID_RESET_NODE)->trigger();
  EXPECT_EQ(Boxes(m_shown), (CBoxes{{IDS_PORT_OPEN_FAILED, EMessageIcon::ERROR, NO_DEVICE}}));
  EXPECT_EQ(m_pSerial->m_writes.size(), nWrites);
}

// The panes fit the system's widest texts in our font, also at a larger one.
TEST_F(MainFrameStatus, PanesFitTheSystemsTextsInTheWindowsFont) {
  const QFont oldFont = QApplication::font();
  for (const int nPoints : {0, 16}) {
    SCOPED_TRACE(nPoints);
    if (nPoints > 0) QApplication::setFont(QFont(oldFont.family(), nPoints));
    MakeFrame();
    const QStringList texts = {"Serial Port", "CANFFFFF", "CAN2.0B", "250.00K BPS", "Mask ID:1FFFFFFF", "ID:1FFFFFFF"};
    for (unsigned n = 0; n < STATUS_TEXT_PANE_COUNT; ++n) {
      QLabel* pPane = m_pFrame->StatusPanes()->Pane(IDS_PANE_PORT_MODE + n);
      pPane->setText(texts[static_cast<qsizetype>(n)]);
      EXPECT_LE(pPane->sizeHint().width(), pPane->width()) << texts[static_cast<qsizetype>(n)].toStdString();
    }
    m_pFrame.reset();
  }
  QApplication::setFont(oldFont);
}

TEST_F(MainFrameStatus, LampsLightWithinAPeriodAndGoOutOnTheirOwn) {
  MakeReadyFrame();
  MessageHost& window = m_pFrame->OwnerWindow();
  const uint64_t qwStart = m_loop.Now();  // a lamp tick is due every 200 ms from frame creation
  const uint64_t qwPhase = qwStart % LAMP_PERIOD_MS;
  m_loop.Advance(LAMP_PERIOD_MS - qwPhase + 1);  // just after a tick
  window.Post(WM_FRAME_ACTIVITY, 3, 0);  // kinds other than transmit and receive are ignored
  window.Post(WM_FRAME_ACTIVITY, 0, 0);
  m_loop.RunPending();
  std::vector<unsigned> lamps = {m_pFrame->LampShown()};
  window.Post(WM_FRAME_ACTIVITY, 1, 0);
  m_loop.RunPending();
  lamps.push_back(m_pFrame->LampShown());
  m_loop.Advance(250);             // one tick later
  Receive(Line(":U0201230102"));  // a received frame lights the other lamp
  lamps.push_back(m_pFrame->LampShown());
  // 398 and 400 ms after the transmit report (the receive report 150 ms old), and 350 ms after the receive report
  for (const unsigned nMs : {148u, 2u, LAMP_PERIOD_MS}) lamps.push_back((m_loop.Advance(nMs), m_pFrame->LampShown()));
  EXPECT_EQ(lamps, (std::vector<unsigned>{0, 1, 3, 3, 2, 0}));
}

using MainFrameClose = CFrameTestBed;

TEST_F(MainFrameClose, StopsReceptionAndSavesStateButNotTheSimulatedPort) {
  m_ports.m_serialPorts.push_back({"/tmp/sim", "/tmp/sim", "/tmp/sim", 1});
  m_store.SetInt(SETTINGS_SECTION, SETTING_BAUD_RATE, BAUD_RATE_STANDARD);
  MakeFrame(false, 1);
  EXPECT_EQ(m_pSerial->m_openedName, "/tmp/sim");
  AnswerStartup();
  m_pFrame->Action(ID_VIEW_TIMESTAMPS)->trigger();
  EXPECT_TRUE(m_pFrame->ReceiveView()->ShowsTimestamps());
  m_pFrame->close();
  EXPECT_EQ(m_pSerial->m_writes.back(), ":G10A8\r");
  // The wait is the channel's timer: the window goes on, showing the answer, until the port is closed.
  const int nEntries = m_pFrame->EventLog()->EntryCount();
  Receive(Line(":G00"));
  EXPECT_TRUE(m_pFrame->isVisible() && m_pFrame->EventLog()->EntryCount() == nEntries + 1);
  m_loop.Advance(CModuleChannel::CLOSE_WAIT_MS);
  EXPECT_FALSE(m_pSerial->IsOpen() || m_pFrame->isVisible());
  EXPECT_EQ(std::tuple(m_store.GetInt(SETTINGS_SECTION, SETTING_SERIAL_PORT_INDEX), m_store.GetInt(SETTINGS_SECTION, SETTING_BAUD_RATE),
                       m_store.GetInt(SETTINGS_SECTION, SETTING_ID), m_store.GetInt(VIEW_SECTION, SETTING_SHOW_TIMESTAMPS)),
            std::tuple(0, BAUD_RATE_STANDARD, 0x123, 1));  // the id as the module reported it
  EXPECT_FALSE(CWorkspaceState(m_store).Load(WINDOW_STATE_NAME).isEmpty() ||
               CWorkspaceState(m_store).Load(PANE_LAYOUT_NAME).isEmpty() || !m_shown.empty());

  // The next run restores the toggle and the layout.
  RemakeFrame([this] { m_store.SetString(WORKSPACE_SECTION, WINDOW_STATE_NAME, "not base64 at all!"); });
  EXPECT_TRUE(m_pFrame->Action(ID_VIEW_TIMESTAMPS)->isChecked() && m_pFrame->ReceiveView()->ShowsTimestamps() &&
              CWorkspaceState(m_store).Load(WINDOW_STATE_NAME).isEmpty());
  m_store.m_strFlushFailure = "/home/u/.config/Ostwind: Permission denied";  // not lost without a word
  CloseFrame();
  EXPECT_EQ(Boxes(m_shown), (CBoxes{{IDS_SETTINGS_SAVE_FAILED, EMessageIcon::ERROR, m_store.m_strFlushFailure}}));
}

// The user's own choice of port during a run on the simulated module is what gets saved.
TEST_F(MainFrameClose, APortChosenDuringASimulatedRunIsSaved) {
  m_ports.m_serialPorts.push_back({"ttyS2", "/dev/ttyS2", "ttyS2", 0});
  m_ports.m_serialPorts.push_back({"/tmp/sim", "/tmp/sim", "/tmp/sim", 1});
  MakeFrame(false, 2);
  AnswerStartup();
  {
    CDialogFiller filler([](QDialog& dialog) { Choose(Find<QComboBox>(dialog, "serialPorts"), 1); });
    m_pFrame->Action(ID_WRITE_CONFIG)->trigger();
  }
  EXPECT_EQ(m_pSerial->m_openedName, "ttyS2");
  CloseFrame();
  EXPECT_EQ(std::tuple(m_store.GetInt(SETTINGS_SECTION, SETTING_SERIAL_PORT_INDEX), m_store.GetInt(SETTINGS_SECTION, SETTING_BAUD_RATE)),
            std::tuple(1, BAUD_RATE_STANDARD));
}

// File names, paths and device answers are shown as they are, never read as markup; a box has the program's title.
TEST(PlainTexts, MessageBoxesAndStatusPanesNeverReadMarkup) {
  CPaneStatusBar panes(QStringLiteral("준비"));
  panes.AddPane(1, 0, QStringLiteral("<b>/dev/x</b>"), {});
  EXPECT_EQ(panes.Pane(1)->textFormat(), Qt::PlainText);

  const std::string text = "<b>/tmp/a&b.ctd</b> 파일이 이미 있읍니다\n파일을 덮어 쓰시겠읍니까?";
  const std::string detail = "open: <i>No such file</i> & more\nsecond line";
  QMessageBox box;
  CQtMessageSink::Fill(box, {IDS_TFILE_OVERWRITE, text, detail, EMessageIcon::QUESTION, EMessageButtons::YES_NO});
  const auto* pText = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  const auto* pDetail = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
  ASSERT_TRUE(pText && pDetail);
  EXPECT_EQ(std::pair(pText->textFormat(), pText->text().toStdString()), std::pair(Qt::PlainText, text));
  QTextDocument shown;  // what the details label renders
  shown.setHtml(pDetail->text());
  EXPECT_EQ(shown.toPlainText().replace(QChar::LineSeparator, QLatin1Char('\n')).toStdString(), detail);
  EXPECT_TRUE(box.standardButtons() == (QMessageBox::Yes | QMessageBox::No) && box.defaultButton() == box.button(QMessageBox::Yes) &&
              box.windowTitle() == "Korvex");  // Yes: the overwrite question's default
}
