// The window end to end: the real frame and channel on the real serial transport, talking to a
// korvex-sim process on a pseudo-terminal. The response timer runs on the virtual clock; what the
// reader thread brings is awaited in real time, always bounded.
#include <signal.h>
#include <sys/wait.h>

#include <QAction>
#include <QComboBox>
#include <chrono>
#include <fstream>

#include "CFrameTestBed.h"
#include "resources/CommandIds.h"
#include "app/CWorkspaceState.h"
#include "app/StatusPaneTexts.h"
#include "config/CQtSettingsStore.h"
#include "link/CommandLinePorts.h"
#include "receive/CRDView.h"
#include "resources/StringTable.h"
#include "support/ChildProcess.h"
#include "support/SimSequence.h"
#include "support/WidgetDriving.h"
#include "transmit/CLeftView.h"

namespace {

constexpr int WAIT_MS = 5000;

class AnalyzerEndToEnd : public CFrameSandbox {
protected:
  AnalyzerEndToEnd() {
    UseChannel(std::make_unique<CModuleChannel>());  // the real serial and USB transports
    AddCommandLinePorts(m_ports, {{m_strLink, true}});
  }
  EMessageAnswer Show(const CMessageRequest& request) override {
    ADD_FAILURE() << "message box " << request.m_nStringId;
    return EMessageAnswer::OK;
  }

  // The module on the link path; its first line of output says the link is in place.
  bool StartSim(CChildProcess& sim, const char* pszRate) {
    std::string line;
    return sim.Start(KORVEX_SIM_PROGRAM, {"--link", m_strLink, "--rate", pszRate}) && sim.ReadLine(line, WAIT_MS);
  }
  // The frame opens the module's port and goes through the start-up exchange.
  void MakeFrame() {
    CFrameSandbox::MakeFrame();
    ASSERT_TRUE(Await([this] { return !m_pChannel->IsStartupPending(); }));
  }
  template <class Done>
  bool Await(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(WAIT_MS);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      m_loop.WaitForPost(50);
      m_loop.RunPending();
    }
    return true;
  }
  void Trigger(unsigned nId) {
    ASSERT_TRUE(Enabled(nId)) << nId;
    m_pFrame->Action(nId)->trigger();
  }
  int EventCount() const { return m_pFrame->EventLog()->EntryCount(); }
  // The first event from nFrom on that contains the text; -1 when none does.
  int FindEvent(const char* pszText, int nFrom) const {
    for (int n = nFrom; n < EventCount(); ++n)
      if (m_pFrame->EventLog()->EntryText(n).contains(QString::fromUtf8(pszText))) return n;
    return -1;
  }
  bool AwaitEvent(const char* pszText, int nFrom) {
    return Await([&] { return FindEvent(pszText, nFrom) >= 0; });
  }
  int ListCount() const { return m_pFrame->ReceiveView()->LineCount(); }

  std::string m_strLink = m_scratch / "module.tty";
};

TEST_F(AnalyzerEndToEnd, ReceivesLogsStopsAndReadsTheVersion) {
  CChildProcess sim;
  ASSERT_TRUE(StartSim(sim, "200"));
  MakeFrame();
  Trigger(ID_START_RDATA_LOG);
  ASSERT_TRUE(m_pFrame->LogFiles().IsOpen(LOG_RDATA));

  int nFrom = EventCount();
  Trigger(ID_START_RECEPTION);
  ASSERT_TRUE(AwaitEvent("[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 동작 중", nFrom));
  ASSERT_TRUE(Await([this] { return ListCount() >= 20; }));
  m_loop.Advance(LAMP_PERIOD_MS);  // the idle update enables the stop command
  nFrom = EventCount();
  Trigger(ID_STOP_RECEPTION);
  ASSERT_TRUE(AwaitEvent("CAN 데이터 수신 중지 중", nFrom));
  Trigger(ID_READ_VERSION);
  ASSERT_TRUE(AwaitEvent("[Korvex 버전 응답]", nFrom));
  const int nListed = ListCount();
  const long long llLastListed = SimSequenceOf(m_pFrame->ReceiveView()->LineText(nListed - 1).toStdString());
  m_loop.Advance(LAMP_PERIOD_MS);
  Trigger(ID_STOP_RDATA_LOG);

  // One CP949 line per frame, CR LF, stamped, the numbers without a gap up to the list's last.
  std::ifstream file(m_pFrame->LogFiles().Path(LOG_RDATA), std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  ASSERT_GE(lines.size(), static_cast<size_t>(nListed));
  const std::string length8 = "\xB1\xE6\xC0\xCC:8";  // "길이:8"
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    ASSERT_TRUE(line.size() > 21 && line[4] == '.' && line[13] == ':' && line.compare(19, 2, "  ") == 0) << line;
    EXPECT_EQ(line.back(), '\r') << n;
    EXPECT_NE(line.find(length8), std::string::npos) << line;
    if (n > 0) {
      EXPECT_EQ(SimSequenceOf(line), SimSequenceOf(lines[n - 1]) + 1) << n;
    }
  }
  EXPECT_EQ(SimSequenceOf(lines.back()), llLastListed);
}

TEST_F(AnalyzerEndToEnd, ASilentOrVanishedModuleIsReportedAndANewOneAnswers) {
  CChildProcess sim;
  ASSERT_TRUE(StartSim(sim, "200"));
  MakeFrame();
  const QColor red(255, 0, 0);

  sim.Signal(SIGSTOP);
  siginfo_t info{};
  ASSERT_EQ(::waitid(P_PID, sim.Id(), &info, WSTOPPED), 0);
  int nFrom = EventCount();
  Trigger(ID_READ_VERSION);
  m_loop.Advance(CModuleChannel::RESPONSE_TIMEOUT_MS);
  const int nError = FindEvent("[Korvex 통신에러 발생]", nFrom);
  ASSERT_GE(nError, 0);
  EXPECT_EQ(m_pFrame->EventLog()->EntryColour(nError), red);
  sim.Signal(SIGCONT);
  ASSERT_TRUE(AwaitEvent("[Korvex 버전 응답]", nFrom));  // late, but shown

  Trigger(ID_START_RECEPTION);
  ASSERT_TRUE(Await([this] { return ListCount() >= 10; }));
  nFrom = EventCount();
  sim.Kill(true);
  ASSERT_TRUE(AwaitEvent("[Korvex 통신포트 에러]", nFrom));
  EXPECT_EQ(m_pFrame->EventLog()->EntryColour(FindEvent("[Korvex 통신포트 에러]", nFrom)), red);
  EXPECT_FALSE(m_pFrame->IsPortOpen());
  for (unsigned n = 0; n < STATUS_TEXT_PANE_COUNT; ++n) EXPECT_EQ(PaneText(IDS_PANE_PORT_MODE + n), "") << n;

  CChildProcess newSim;
  ASSERT_TRUE(StartSim(newSim, "0"));
  nFrom = EventCount();
  Trigger(ID_READ_VERSION);
  EXPECT_TRUE(m_pFrame->IsPortOpen());
  ASSERT_TRUE(AwaitEvent("[Korvex 버전 응답]", nFrom));
  EXPECT_NE(PaneText(IDS_PANE_PORT_NAME), "");
}

}  // namespace

// Write configuration against the module: a changed bit rate goes out as ":Z" and the module's
// answer reaches the settings and the event log (unchanged values: app_dialog_command_tests).
TEST_F(AnalyzerEndToEnd, WriteConfigurationReachesTheModule) {
  CChildProcess sim;
  ASSERT_TRUE(StartSim(sim, "0"));
  MakeFrame();
  const int nFrom = EventCount();
  {
    CDialogFiller filler([](QDialog& dialog) {
      auto* pPresets = dialog.findChild<QComboBox*>(QStringLiteral("presets"));
      QTest::keyClick(pPresets, Qt::Key_Home);
      QTest::keyClick(pPresets, Qt::Key_Down);  // 500K
    });
    Trigger(ID_WRITE_CONFIG);
  }
  ASSERT_TRUE(AwaitEvent("[Korvex 환경설정 쓰기 응답] : CAN2.0B  500.00K BPS", nFrom));
  EXPECT_EQ(m_pFrame->Settings().m_wBitTime, 0x0734);
}

// A listed frame sent from the menu reaches the module, which echoes it; the echo is decoded
// field by field into the event log and lights the transmit lamp.
TEST_F(AnalyzerEndToEnd, ASentFrameIsEchoedAndLightsTheTransmitLamp) {
  CChildProcess sim;
  ASSERT_TRUE(StartSim(sim, "0"));
  MakeFrame();
  {
    CDialogFiller filler([](QDialog& dialog) {
      Choose(Find<QComboBox>(dialog, "protocol"), 1);
      const char* apszId[] = {"1A", "BC", "DE", "F0"};
      for (int n = 0; n < 4; ++n) Type(Find<QLineEdit>(dialog, ("box" + std::to_string(n + 1)).c_str()), apszId[n]);
      Choose(Find<QComboBox>(dialog, "frameType"), 0);
      Choose(Find<QComboBox>(dialog, "length"), 3);
      const char* apszData[] = {"01", "02", "03"};
      for (int n = 0; n < 3; ++n) Type(Find<QLineEdit>(dialog, ("data" + std::to_string(n)).c_str()), apszData[n]);
    });
    Trigger(ID_ADD_TDATA);
  }
  CLeftView& list = *m_pFrame->TransmitView();
  ASSERT_EQ(list.RowCount(), 1);
  list.selectRow(0);
  ASSERT_EQ(m_pFrame->LampShown(), 0u);
  const int nFrom = EventCount();
  Trigger(ID_SEND_TDATA);  // ":W231ABCDEF0010203" with its checksum
  ASSERT_TRUE(AwaitEvent("[CAN 데이터 송신 응답]", nFrom));
  EXPECT_TRUE(m_pFrame->EventLog()->EntryText(FindEvent("[CAN 데이터 송신 응답]", nFrom))
                  .endsWith(" : CAN2.0B  Data Frame  길이:3  ID:1ABCDEF0  데이터:01 02 03"));
  ASSERT_TRUE(Await([this] { return (m_pFrame->LampShown() & 1) != 0; }));
}

// A stop signal (a `kill`, the session ending) closes the program as the user would, through the
// window's close (MainFrameClose shows what that does): the settings are saved, the event log
// holds whole lines only, and the exit status is 0.
TEST_F(AnalyzerEndToEnd, AStopSignalClosesTheProgramInOrder) {
  const QString settingsPath = QString::fromStdString(m_scratch / "config/Ostwind/Korvex.conf");
  {
    CQtSettingsStore settings(settingsPath);
    settings.SetInt(SETTINGS_SECTION, SETTING_EVENT_LOG_FLAG, 1);
    ASSERT_TRUE(settings.Flush());
  }
  const std::string eventLog = m_strLogDirectory + "/" + std::string(EVENT_LOG_FILE_NAME);
  CChildProcess analyzer;
  ASSERT_TRUE(analyzer.Start(KORVEX_ANALYZER_PROGRAM, {"--simulate"}));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(WAIT_MS);
  while (!std::filesystem::exists(eventLog) && std::chrono::steady_clock::now() < deadline) ::poll(nullptr, 0, 10);
  ASSERT_TRUE(std::filesystem::exists(eventLog));  // the window is up and its log open
  analyzer.Signal(SIGTERM);
  EXPECT_EQ(analyzer.Finish(WAIT_MS), 0) << analyzer.Err();
  EXPECT_FALSE(CQtSettingsStore(settingsPath).GetString(WORKSPACE_SECTION, WINDOW_STATE_NAME).value_or("").empty());
  std::ifstream file(eventLog, std::ios::binary);
  const std::string logged((std::istreambuf_iterator<char>(file)), {});
  EXPECT_TRUE(logged.empty() || logged.ends_with("\r\n")) << logged;
}
