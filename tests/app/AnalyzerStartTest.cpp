// The analyzer as started: the program's answers that need no window, run as a child process
// without a display, and the whole start-up in this process with a transmit list named on the
// command line.
#include <QMessageBox>
#include <QTableWidgetItem>
#include <filesystem>

#include <gtest/gtest.h>

#include "app/CAnalyzerApp.h"
#include "app/CMainFrame.h"
#include "config/CQtSettingsStore.h"
#include "config/ModuleSettings.h"
#include "support/ChildProcess.h"
#include "support/ScratchDir.h"
#include "transmit/CLeftView.h"
#include "transmit/CTDataObject.h"
#include "transmit/TransmitFile.h"
#include "uisupport/ModalDialogs.h"

namespace {

constexpr int WAIT_MS = 10000;

struct CRun {
  int m_nExit;
  std::string m_strOut, m_strErr;
};

// The program with no display in its environment: neither variable, no platform chosen.
CRun RunWithoutDisplay(const std::vector<std::string>& args) {
  std::vector<std::string> envArgs = {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
                                      KORVEX_ANALYZER_PROGRAM};
  envArgs.insert(envArgs.end(), args.begin(), args.end());
  CChildProcess program;
  if (!program.Start("/usr/bin/env", envArgs)) return {-1, "", "not started"};
  const int nExit = program.Finish(WAIT_MS);
  return {nExit, program.Out(), program.Err()};
}

TEST(AnalyzerProgram, AnswersHelpVersionAndAMissingDisplayWithoutOne) {
  const CRun help = RunWithoutDisplay({"--help"});
  EXPECT_EQ(help.m_nExit, 0) << help.m_strErr;
  for (const char* pszMention : {"--port PATH[=module]", "--simulate", "FILE.ctd", "--version", "Korvex.conf", "Log/",
                                 "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
    EXPECT_NE(help.m_strOut.find(pszMention), std::string::npos) << pszMention;

  const CRun version = RunWithoutDisplay({"--version"});
  EXPECT_EQ(version.m_nExit, 0);
  EXPECT_EQ(version.m_strOut, "korvex-analyzer 1.0.0\n");

  // One line saying why, no abort inside the toolkit; the same with a file to open.
  for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"list.ctd"}}) {
    const CRun noDisplay = RunWithoutDisplay(args);
    EXPECT_EQ(noDisplay.m_nExit, 1) << noDisplay.m_strErr;
    EXPECT_TRUE(noDisplay.m_strErr.starts_with("korvex-analyzer: no display") &&
                noDisplay.m_strErr.find('\n') == noDisplay.m_strErr.size() - 1)
        << noDisplay.m_strErr;
  }

  EXPECT_EQ(RunWithoutDisplay({"--bogus"}).m_nExit, 2);
}

// `korvex-analyzer list.ctd`, as a file manager starts it through the desktop entry: the list is
// open once the window is up, and the open dialog later starts in the list's directory.
TEST(AnalyzerProgram, ATransmitListOnTheCommandLineIsOpenedAtStartUp) {
  ScratchDir scratch;
  const std::filesystem::path oldDirectory = std::filesystem::current_path();
  std::filesystem::current_path(scratch.Path());
  ::setenv("XDG_CONFIG_HOME", scratch.MakeDir("config").c_str(), 1);
  ::setenv("KORVEX_SYSFS_ROOT", scratch.MakeDir("sys").c_str(), 1);  // only the simulated module's port
  ::setenv("KORVEX_D2XX_LIBRARY", (scratch / "none.so").c_str(), 1);
  const TData frames[] = {{.bStandardID = 1, .bDataFrame = 1, .byLength = 2, .dwID = 0x123, .dwBytes0to3 = 0x11220000},
                          {.bStandardID = 0, .bDataFrame = 0, .byLength = 0, .dwID = 0x1ABCDEF0}};
  ASSERT_TRUE(WriteTransmitFile(scratch / "list.ctd", CTDataObject(frames)).m_bOk);
  // A message box (a file that did not open, a port that did not) fails the test instead of waiting.
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
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.item(1, 2)->text(), "1A BC DE F0");
  }
  EXPECT_EQ(CQtSettingsStore(QString::fromStdString(scratch / "config/Ostwind/Korvex.conf"))
                .GetString(SETTINGS_SECTION, SETTING_TDATA_FILE_DIR),
            scratch.Path());
  SetModalRunner(previous);
  std::filesystem::current_path(oldDirectory);
}

}  // namespace
