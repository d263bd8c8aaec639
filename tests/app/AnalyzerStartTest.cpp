// The analyzer as started: answers without a display, a transmit list named at start-up, a stop signal.
#include <QMessageBox>
#include <poll.h>
#include <signal.h>

#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "app/CAnalyzerApp.h"
#include "app/CMainFrame.h"
#include "app/CWorkspaceState.h"
#include "config/CQtSettingsStore.h"
#include "config/ModuleSettings.h"
#include "support/ChildProcess.h"
#include "support/ScratchDir.h"
#include "transmit/CLeftView.h"
#include "transmit/CTDataObject.h"
#include "text/Cp949Text.h"
#include "transmit/TransmitFile.h"
#include "uisupport/ModalDialogs.h"

namespace {

constexpr int WAIT_MS = 10000;

TEST(AnalyzerProgram, AnswersWithoutADisplay) {
  // m_pszErr: the first line of standard error, its only one but for a refused command line.
  const struct { std::vector<std::string> m_args; int m_nExit; const char *m_pszOutStart, *m_pszErr; } cases[] = {
      {{"--help"}, 0, "usage: korvex-analyzer [--port PATH[=module]]... [--simulate] [--lang ko|en] [FILE.ctd]\n", ""},
      {{"--version"}, 0, "korvex-analyzer 1.0.0\n", ""},
      {{"list.ctd"}, 1, "", "korvex-analyzer: no display to show the window on"},
      {{"--bogus"}, 2, "", "korvex-analyzer: unknown option \"--bogus\""},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
                                     KORVEX_ANALYZER_PROGRAM};
    args.insert(args.end(), c.m_args.begin(), c.m_args.end());
    CChildProcess program;
    ASSERT_TRUE(program.Start("/usr/bin/env", args));
    EXPECT_EQ(program.Finish(WAIT_MS), c.m_nExit) << c.m_args[0] << ": " << program.Err();
    EXPECT_TRUE(program.Out().starts_with(c.m_pszOutStart)) << program.Out();
    const std::string firstLine = program.Err().substr(0, program.Err().find('\n'));
    EXPECT_TRUE(firstLine.starts_with(c.m_pszErr) && (c.m_nExit == 2 || firstLine.size() + 1 >= program.Err().size()))
        << program.Err();
  }
}

// A working directory, configuration and a port list of its own, as a started program sees them.
class AnalyzerRun : public ::testing::Test {
protected:
  AnalyzerRun() {
    std::filesystem::current_path(m_scratch.Path());
    ::setenv("XDG_CONFIG_HOME", m_scratch.MakeDir("config").c_str(), 1);
    ::setenv("KORVEX_SYSFS_ROOT", m_scratch.MakeDir("sys").c_str(), 1);  // only the simulated module's port
    ::setenv("KORVEX_D2XX_LIBRARY", (m_scratch / "none.so").c_str(), 1);
  }
  ~AnalyzerRun() override { std::filesystem::current_path(m_oldDirectory); }

  ScratchDir m_scratch;
  std::filesystem::path m_oldDirectory = std::filesystem::current_path();
  QString m_settingsPath = QString::fromStdString(m_scratch / "config/Ostwind/Korvex.conf");
};

// As a file manager starts it: the list is open, and the open dialog starts in its directory.
TEST_F(AnalyzerRun, ATransmitListOnTheCommandLineIsOpenedAtStartUp) {
  const TData frames[] = {{.bStandardID = 1, .bDataFrame = 1, .byLength = 2, .dwID = 0x123, .dwBytes0to3 = 0x11220000},
                          {.bStandardID = 0, .bDataFrame = 0, .byLength = 0, .dwID = 0x1ABCDEF0}};
  ASSERT_TRUE(WriteTransmitFile(m_scratch / "list.ctd", CTDataObject(frames)).m_bOk);
  const ModalRunner previous = SetModalRunner([](QDialog& dialog) {
    const auto* pBox = qobject_cast<QMessageBox*>(&dialog);
    ADD_FAILURE() << "a box: " << (pBox ? pBox->text().toStdString() : "not a message box");
    return false;
  });
  {
    CAnalyzerApp analyzer;
    int nExitCode = 0;
    ASSERT_TRUE(analyzer.InitInstance(ParseAnalyzerArguments({"--simulate", "list.ctd"}), nExitCode));
    const CLeftView& list = *analyzer.MainFrame()->TransmitView();
    ASSERT_EQ(list.RowCount(), 2);
    EXPECT_EQ(list.model()->index(1, 2).data().toString(), "1A BC DE F0");
  }
  EXPECT_EQ(CQtSettingsStore(m_settingsPath).GetString(SETTINGS_SECTION, SETTING_TDATA_FILE_DIR), m_scratch.Path());
  SetModalRunner(previous);
}

// A stop signal closes the program through the window: settings saved, pending event lines written, exit 0.
TEST_F(AnalyzerRun, AStopSignalClosesTheProgramInOrder) {
  {
    CQtSettingsStore settings(m_settingsPath);
    settings.SetInt(SETTINGS_SECTION, SETTING_EVENT_LOG_FLAG, 1);
    settings.SetInt(SETTINGS_SECTION, SETTING_RDATA_LOG_FLAG, 1);
    ASSERT_TRUE(settings.Flush());
  }
  const std::string rdataLog = m_scratch.MakeDir("Log/" + std::string(RDATA_LOG_FILE_NAME));  // a folder
  const std::string eventLog = m_scratch / ("Log/" + std::string(EVENT_LOG_FILE_NAME));
  CChildProcess analyzer;
  ASSERT_TRUE(analyzer.Start(KORVEX_ANALYZER_PROGRAM, {"--simulate"}));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(WAIT_MS);
  while (!std::filesystem::exists(eventLog) && std::chrono::steady_clock::now() < deadline) ::poll(nullptr, 0, 10);
  ASSERT_TRUE(std::filesystem::exists(eventLog));  // the window is up and its log open
  analyzer.Signal(SIGTERM);
  EXPECT_EQ(analyzer.Finish(WAIT_MS), 0) << analyzer.Err();
  EXPECT_FALSE(CQtSettingsStore(m_settingsPath).GetString(WORKSPACE_SECTION, WINDOW_STATE_NAME).value_or("").empty());
  const std::string logged = Cp949ToUtf8(ReadWholeFile(eventLog)).value_or("");
  EXPECT_TRUE(logged.ends_with("\r\n")) << logged;
  const std::string failure = "  [수신데이터 로그파일 에러]  : 수신데이터 로그파일을 여는데 실패했읍니다 (" + rdataLog;
  EXPECT_NE(logged.find(failure + ": open: Is a directory)\r\n"), std::string::npos) << logged;
}

}  // namespace
