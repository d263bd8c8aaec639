// The real frame and channel on the real serial transport, talking to a korvex-sim process on a pty.
#include <signal.h>
#include <sys/wait.h>

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
#include "text/Cp949Text.h"

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

  bool StartSim(CChildProcess& sim, const char* pszRate) {
    std::string line;
    return sim.Start(KORVEX_SIM_PROGRAM, {"--link", m_strLink, "--rate", pszRate}) && sim.ReadLine(line, WAIT_MS);
  }
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

// A stop signal closes the program through the window: settings saved, pending event lines written, exit 0.
TEST_F(AnalyzerEndToEnd, AStopSignalClosesTheProgramInOrder) {
  const QString settingsPath = QString::fromStdString(m_scratch / "config/Ostwind/Korvex.conf");
  {
    CQtSettingsStore settings(settingsPath);
    settings.SetInt(SETTINGS_SECTION, SETTING_EVENT_LOG_FLAG, 1);
    settings.SetInt(SETTINGS_SECTION, SETTING_RDATA_LOG_FLAG, 1);
    ASSERT_TRUE(settings.Flush());
  }
  const std::string rdataLog = m_scratch.MakeDir("Log/" + std::string(RDATA_LOG_FILE_NAME));  // a folder
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
  const std::string logged = Cp949ToUtf8(std::string(std::istreambuf_iterator<char>(file), {})).value_or("");
  EXPECT_TRUE(logged.ends_with("\r\n")) << logged;
  EXPECT_NE(logged.find("  [수신데이터 로그파일 에러]  : 수신데이터 로그파일을 여는데 실패했읍니다 (" + rdataLog +
                        ": open: Is a directory)\r\n"),
            std::string::npos)
      << logged;
}
