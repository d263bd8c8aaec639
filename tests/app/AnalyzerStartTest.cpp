// The analyzer as started: answers without a display, and the start-up with a transmit list named.
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

TEST(AnalyzerProgram, AnswersWithoutADisplay) {
  struct CCase {
    std::vector<std::string> m_args;
    int m_nExit;
    const char* m_pszOutStart;
    const char* m_pszErr;  // its first line; the only one but for a refused command line
  };
  const CCase cases[] = {
      {{"--help"}, 0, "usage: korvex-analyzer [--port PATH[=module]]... [--simulate] [FILE.ctd]\n", ""},
      {{"--version"}, 0, "korvex-analyzer 1.0.0\n", ""},
      {{"list.ctd"}, 1, "", "korvex-analyzer: no display to show the window on"},
      {{"--bogus"}, 2, "", "korvex-analyzer: unknown option \"--bogus\""},
  };
  for (const CCase& c : cases) {
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

// As a file manager starts it: the list is open, and the open dialog starts in its directory.
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
  EXPECT_EQ(CQtSettingsStore(QString::fromStdString(scratch / "config/Ostwind/Korvex.conf"))
                .GetString(SETTINGS_SECTION, SETTING_TDATA_FILE_DIR),
            scratch.Path());
  SetModalRunner(previous);
  std::filesystem::current_path(oldDirectory);
}

}  // namespace
