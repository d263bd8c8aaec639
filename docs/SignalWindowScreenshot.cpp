// Takes docs/signal-window.png: the analyzer on its simulated module with a DBC database of
// the simulated bus's identifiers open (written here, with made-up signals; GenMsgCycleTime as
// the simulated bus sends them, but 15 ms for 0x1A4, sent every 20 ms, so its cycle shows as
// drifting), the per-identifier view with its message column and the signal pane with 0x1A4
// revealed and one of its signals plotted. With a second file, the frames are recorded from
// the start to a candump log, which is then opened in a tab: a 0x1A4 frame chosen (its
// signals decoded) and two of its signals plotted over the whole log. From the source tree,
// with the Nanum fonts installed:
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/docs/signal-window-screenshot docs/signal-window.png
//       [docs/offline-signals.png]
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/CAnalyzerApp.h"
#include "app/CLogCommands.h"
#include "app/CMainFrame.h"
#include "docs/ScreenshotSupport.h"
#include "logs/CLogTableModel.h"
#include "logs/CLogViewWindow.h"
#include "resources/CommandIds.h"
#include "signals/CSignalDock.h"
#include "stats/CIdStatisticsView.h"

namespace {

constexpr int START_MS = 500;
constexpr int CAPTURE_MS = 4500;
constexpr int WIDTH = 1800;
constexpr int HEIGHT = 1000;
constexpr int LOG_LOAD_MS = 1500;         // the recorded log is loaded and plotted by then
constexpr int EVENT_PANE_HEIGHT = 120;
constexpr int LOG_VIEW_LIST_WIDTH = 200;  // the transmit list gives the log room

bool WriteDatabase(const std::string& path) {
  std::ofstream dbc(path);
  const struct { uint32_t dwKey; const char* pszName; unsigned nCycleMs; } kMessages[] = {
      {0x0C1, "ENGINE", 10}, {0x1A4, "GEARBOX", 15}, {0x2F0, "BRAKES", 100}, {0x5F2, "BODY", 1000},
      {0x7E8, "DIAG_RESPONSE", 1000}, {0x8CF00400, "EEC1", 20}, {0x98FEF100, "CCVS", 100}};  // 2.0B: 0x80000000 set
  for (const auto& message : kMessages) {
    const uint32_t dwKey = message.dwKey;
    dbc << "BO_ " << dwKey << ' ' << message.pszName << ": 8 SIM\n"
        << " SG_ SPEED : 7|16@0+ (0.01,0) [0|655.35] \"km/h\" X\n SG_ COUNTER : 39|8@0+ (1,0) [0|255] \"\" X\n"
        << " SG_ PHASE : 24|4@1+ (1,0) [0|15] \"\" X\n SG_ LOAD : 24|8@1+ (0.5,-20) [-20|107.5] \"%\" X\n"
        << "BA_ \"GenMsgCycleTime\" BO_ " << dwKey << ' ' << message.nCycleMs << ";\n"
        << "VAL_ " << dwKey << " PHASE 0 \"idle\" 1 \"start\" 2 \"run\" 3 \"stop\";\n";
  }
  return static_cast<bool>(dbc);
}

// Stops the recording, opens it in a tab, chooses a 0x1A4 frame and plots two of its signals.
void CaptureRecordedLog(CMainFrame* pFrame, const std::string& recorded, const std::string& output, bool& bSaved) {
  pFrame->Action(ID_RECORD_FRAMES)->trigger();
  CLogViewWindow* pLog = pFrame->LogCommands()->OpenLog(recorded);
  if (!pLog) {
    QApplication::quit();
    return;
  }
  pFrame->SignalPane()->hide();
  if (auto* pEvents = pFrame->findChild<QDockWidget*>(QStringLiteral("EventLogPane")))
    pFrame->resizeDocks({pEvents}, {EVENT_PANE_HEIGHT}, Qt::Vertical);  // the log gets the room
  if (auto* pSplitter = qobject_cast<QSplitter*>(pFrame->centralWidget()))
    pSplitter->setSizes({LOG_VIEW_LIST_WIDTH, WIDTH - LOG_VIEW_LIST_WIDTH});
  QTimer::singleShot(LOG_LOAD_MS / 2, pFrame, [pLog] {
    for (int nRow = 0; nRow < pLog->Model()->rowCount(); ++nRow)
      if (pLog->Model()->index(nRow, 3).data().toString() == QStringLiteral("1A4")) {
        pLog->Table()->setCurrentIndex(pLog->Model()->index(nRow, 0));
        break;
      }
    pLog->AddToPlot(1, 0);
    pLog->AddToPlot(1, 3);
  });
  QTimer::singleShot(LOG_LOAD_MS, pFrame, [pFrame, pLog, &output, &bSaved] {
    bSaved = !pLog->IsBusy() && pFrame->grab().save(QString::fromStdString(output));
    QApplication::quit();
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fputs("usage: signal-window-screenshot OUTPUT.png [LOG-OUTPUT.png]\n", stderr);
    return 2;
  }
  const std::string output = std::filesystem::absolute(argv[1]).string();
  const std::string logOutput = argc > 2 ? std::filesystem::absolute(argv[2]).string() : std::string();
  const CScratchHome scratch;
  if (!scratch.IsReady()) return 1;
  bool bSaved = false;
  {
    QApplication application(argc, argv);
    const std::string dbcPath = scratch / "module.dbc";
    if (!WriteDatabase(dbcPath)) return 1;
    CAnalyzerApp analyzer;
    int nExitCode = 0;
    if (!analyzer.InitInstance(ParseAnalyzerArguments({"--simulate"}), nExitCode)) return nExitCode;
    CMainFrame* pFrame = analyzer.MainFrame();
    pFrame->resize(WIDTH, HEIGHT);
    if (!pFrame->SignalPane()->OpenDatabase(dbcPath)) return 1;
    const std::string recorded = scratch / "recorded.log";
    if (!logOutput.empty()) AnswerFileDialogs(recorded);
    QTimer::singleShot(START_MS, pFrame, [pFrame, &logOutput] {
      if (!logOutput.empty()) pFrame->Action(ID_RECORD_FRAMES)->trigger();
      pFrame->Action(ID_START_RECEPTION)->trigger();
      pFrame->findChild<QTabWidget*>(QStringLiteral("ReceiveTabs"))->setCurrentWidget(pFrame->IdView());
      pFrame->SignalPane()->RevealMessage(false, 0x1A4);
      pFrame->SignalPane()->AddToPlot(1, 0);
    });
    QTimer::singleShot(CAPTURE_MS, pFrame, [pFrame, &output, &logOutput, &recorded, &bSaved] {
      CSignalDock* pPane = pFrame->SignalPane();
      pPane->Redraw();
      pPane->SignalTree()->clearSelection();  // the drifting cycle's red stays visible
      pPane->SignalTree()->setMinimumWidth(860);
      for (int nColumn = 0; nColumn < pPane->SignalTree()->columnCount(); ++nColumn) pPane->SignalTree()->resizeColumnToContents(nColumn);
      QApplication::processEvents();
      bSaved = pFrame->grab().save(QString::fromStdString(output));
      if (bSaved && !logOutput.empty())
        CaptureRecordedLog(pFrame, recorded, logOutput, bSaved);
      else
        QApplication::quit();
    });
    QApplication::exec();
  }
  if (!bSaved) std::fputs("signal-window-screenshot: a picture could not be taken\n", stderr);
  return bSaved ? 0 : 1;
}
