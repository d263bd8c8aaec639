// Takes the README's picture of the window: the analyzer on its simulated module with a small
// transmit list opened from a file named on its command line, reception started and one listed
// frame sent, captured about two seconds later. From the source tree, with the Nanum fonts installed:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/docs/analyzer-screenshot docs/analyzer.png [docs/id-view.png
//       [docs/offline-log.png]]
// With a second file, the per-identifier view's tab is shown next and captured a few seconds
// later, when every message has its cycle times and rates. With a third, the received frames
// are recorded from the start to a candump log, which is then opened in a tab of its own and
// captured once it has loaded.
// Settings, the instance registry and the Log directory live in a scratch directory meanwhile,
// so the user's own are never touched.
#include <QAction>
#include <QApplication>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "app/CAnalyzerApp.h"
#include "app/CMainFrame.h"
#include "docs/ScreenshotSupport.h"
#include "logs/CLogViewWindow.h"
#include "stats/CIdStatisticsView.h"
#include "resources/CommandIds.h"
#include "transmit/CLeftView.h"
#include "transmit/CTDataObject.h"
#include "transmit/TransmitFile.h"

namespace {

constexpr int START_MS = 500;     // the start-up exchange is over by then
constexpr int CAPTURE_MS = 2500;  // two seconds of traffic
constexpr int ID_VIEW_CAPTURE_MS = 5200;  // a few rate samples, the last highlights still on
constexpr int LOG_VIEW_LOAD_MS = 1000;    // the recorded log is loaded by then
constexpr int LOG_VIEW_LIST_WIDTH = 330;  // the transmit list gives the log room
constexpr int ID_VIEW_WIDTH = 1400;       // room for every column of the view
constexpr int WIDTH = 1200;
constexpr int HEIGHT = 620;

// A few frames of both protocols and kinds, as a user would keep them.
bool WriteExampleList(const std::string& path) {
  const TData frames[] = {
      {.bStandardID = 1, .bDataFrame = 1, .byLength = 8, .dwID = 0x123, .dwBytes0to3 = 0x01020304, .dwBytes4to7 = 0x05060708},
      {.bStandardID = 1, .bDataFrame = 0, .byLength = 0, .dwID = 0x7DF},
      {.bStandardID = 0, .bDataFrame = 1, .byLength = 3, .dwID = 0x18DAF110, .dwBytes0to3 = 0x02100300},
      {.bStandardID = 0, .bDataFrame = 1, .byLength = 2, .dwID = 0x1ABCDEF0, .dwBytes0to3 = 0x41420000},
  };
  return WriteTransmitFile(path, CTDataObject(frames)).m_bOk;
}

// Stops the recording, opens it in a tab and saves the window's picture once it has loaded.
void CaptureRecordedLog(CMainFrame* pFrame, const std::string& output, bool& bSaved) {
  pFrame->Action(ID_RECORD_FRAMES)->trigger();
  pFrame->Action(ID_OPEN_LOG)->trigger();
  auto* pSplitter = qobject_cast<QSplitter*>(pFrame->centralWidget());
  if (pSplitter) pSplitter->setSizes({LOG_VIEW_LIST_WIDTH, ID_VIEW_WIDTH - LOG_VIEW_LIST_WIDTH});
  QTimer::singleShot(LOG_VIEW_LOAD_MS, pFrame, [pFrame, &output, &bSaved] {
    auto* pLog = pFrame->findChild<QTabWidget*>(QStringLiteral("ReceiveTabs"))->currentWidget();
    bSaved = qobject_cast<CLogViewWindow*>(pLog) != nullptr && pFrame->grab().save(QString::fromStdString(output));
    QApplication::quit();
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fputs("usage: analyzer-screenshot OUTPUT.png [ID-VIEW.png [LOG-VIEW.png]]\n", stderr);
    return 2;
  }
  const std::string output = std::filesystem::absolute(argv[1]).string();
  const std::string idViewOutput = argc > 2 ? std::filesystem::absolute(argv[2]).string() : std::string();
  const std::string logViewOutput = argc > 3 ? std::filesystem::absolute(argv[3]).string() : std::string();
  const CScratchHome scratch;
  if (!scratch.IsReady()) return 1;

  bool bSaved = false;
  {
    QApplication application(argc, argv);
    const std::string listPath = scratch / "example.ctd";
    if (!WriteExampleList(listPath)) return 1;
    CAnalyzerApp analyzer;
    int nExitCode = 0;
    if (!analyzer.InitInstance(ParseAnalyzerArguments({"--simulate", listPath}), nExitCode)) return nExitCode;
    CMainFrame* pFrame = analyzer.MainFrame();
    pFrame->resize(WIDTH, HEIGHT);
    if (!logViewOutput.empty()) AnswerFileDialogs(scratch / "recorded.log");
    QTimer::singleShot(START_MS, pFrame, [pFrame, &logViewOutput] {
      if (!logViewOutput.empty()) pFrame->Action(ID_RECORD_FRAMES)->trigger();
      pFrame->Action(ID_START_RECEPTION)->trigger();
      pFrame->TransmitView()->selectRow(2);
      pFrame->Action(ID_SEND_TDATA)->trigger();
    });
    QTimer::singleShot(CAPTURE_MS, pFrame, [pFrame, &output, &idViewOutput, &logViewOutput, &bSaved] {
      bSaved = pFrame->grab().save(QString::fromStdString(output));
      if (idViewOutput.empty() || !bSaved) {
        QApplication::quit();
        return;
      }
      pFrame->findChild<QTabWidget*>(QStringLiteral("ReceiveTabs"))->setCurrentWidget(pFrame->IdView());
      pFrame->resize(ID_VIEW_WIDTH, HEIGHT);
      auto* pSplitter = qobject_cast<QSplitter*>(pFrame->centralWidget());
      if (pSplitter) pSplitter->setSizes({pSplitter->sizes().value(0), ID_VIEW_WIDTH});
      QTimer::singleShot(ID_VIEW_CAPTURE_MS - CAPTURE_MS, pFrame, [pFrame, &idViewOutput, &logViewOutput, &bSaved] {
        bSaved = pFrame->grab().save(QString::fromStdString(idViewOutput));
        if (logViewOutput.empty() || !bSaved)
          QApplication::quit();
        else
          CaptureRecordedLog(pFrame, logViewOutput, bSaved);
      });
    });
    QApplication::exec();
  }
  if (!bSaved) std::fprintf(stderr, "analyzer-screenshot: %s could not be written\n", output.c_str());
  return bSaved ? 0 : 1;
}
