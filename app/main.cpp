// korvex-analyzer: the window of the Korvex CAN analyzer.
#include <QApplication>
#include <QWidget>

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
  QApplication application(argc, argv);
  // Ties the window to the installed desktop entry (its icon and name on Wayland).
  QGuiApplication::setDesktopFileName(QStringLiteral("com.ostwind.KorvexAnalyzer"));
  std::vector<std::string> args;  // Qt has taken its own options out
  const QStringList arguments = QApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(arguments[i].toStdString());
  CAnalyzerApp analyzer;
  // Installed before the window exists: a signal during start-up is handled once the loop runs.
  CStopSignals stopSignals([&analyzer] { CloseInOrder(analyzer.MainFrame()); });
  int nExitCode = 0;
  if (!analyzer.InitInstance(args, nExitCode)) return nExitCode;
  return QApplication::exec();
}
