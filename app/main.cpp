// korvex-analyzer: the window of the Korvex CAN analyzer.
#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

#include "app/AnalyzerOptions.h"
#include "app/CAnalyzerApp.h"
#include "app/CMainFrame.h"
#include "uisupport/CStopSignals.h"
#include "uisupport/MessageBox.h"

namespace {

// A stop signal closes the window as the user would: open dialogs are cancelled first, then the
// frame's close stops reception, writes the pending log lines and saves the settings. Nobody
// may be there to answer a message box (the session is ending), so from here on what a box
// would say goes to standard error.
void CloseInOrder(CMainFrame* pFrame) {
  while (QWidget* pModal = QApplication::activeModalWidget()) {
    if (!pModal->close()) break;
  }
  SetMessageSink(nullptr);
  // Queued, so the dialogs' own loops have unwound before the frame closes.
  QMetaObject::invokeMethod(pFrame, &QWidget::close, Qt::QueuedConnection);
}

}  // namespace

int main(int argc, char** argv) {
  // Read before the toolkit starts: without a display it would abort the program.
  const CAnalyzerOptions options = ParseAnalyzerArguments({argv + 1, argv + argc});
  if (!options.m_strError.empty()) {
    std::fprintf(stderr, "korvex-analyzer: %s\nTry 'korvex-analyzer --help' for more information.\n",
                 options.m_strError.c_str());
    return 2;
  }
  if (options.m_bHelp || options.m_bVersion) {
    std::fputs((options.m_bHelp ? AnalyzerUsage() : AnalyzerVersion() + "\n").c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  const std::string missingDisplay = MissingDisplay(
      options, {std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"), std::getenv("QT_QPA_PLATFORM")});
  if (!missingDisplay.empty()) {
    std::fprintf(stderr, "korvex-analyzer: %s\n", missingDisplay.c_str());
    return 1;
  }

  QApplication application(argc, argv);
  // Ties the window to the installed desktop entry (its icon and name on Wayland).
  QGuiApplication::setDesktopFileName(QStringLiteral("com.ostwind.KorvexAnalyzer"));
  CAnalyzerApp analyzer;
  // Installed before the window exists: a signal during start-up is handled once the loop runs.
  CStopSignals stopSignals([&analyzer] { CloseInOrder(analyzer.MainFrame()); });
  int nExitCode = 0;
  if (!analyzer.InitInstance(options, nExitCode)) return nExitCode;
  return QApplication::exec();
}
