// Takes the README's picture of the window: the analyzer on its simulated module, reception
// started, captured about two seconds later. From the source tree, with the Nanum fonts installed:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/docs/analyzer-screenshot docs/analyzer.png
// Settings, the instance registry and the Log directory live in a scratch directory meanwhile,
// so the user's own are never touched.
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "app/CAnalyzerApp.h"
#include "app/CMainFrame.h"
#include "resources/CommandIds.h"

namespace {

constexpr int START_MS = 500;     // the start-up exchange is over by then
constexpr int CAPTURE_MS = 2500;  // two seconds of traffic
constexpr int WIDTH = 960;
constexpr int HEIGHT = 620;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: analyzer-screenshot OUTPUT.png\n", stderr);
    return 2;
  }
  const std::string output = std::filesystem::absolute(argv[1]).string();
  char szScratch[] = "/tmp/korvex-screenshot-XXXXXX";
  if (!::mkdtemp(szScratch) || ::chdir(szScratch) != 0) return 1;
  ::setenv("XDG_CONFIG_HOME", szScratch, 1);
  ::setenv("XDG_RUNTIME_DIR", szScratch, 1);

  bool bSaved = false;
  {
    QApplication application(argc, argv);
    CAnalyzerApp analyzer;
    int nExitCode = 0;
    if (!analyzer.InitInstance({"--simulate"}, nExitCode)) return nExitCode;
    CMainFrame* pFrame = analyzer.MainFrame();
    pFrame->resize(WIDTH, HEIGHT);
    QTimer::singleShot(START_MS, pFrame, [pFrame] { pFrame->Action(ID_START_RECEPTION)->trigger(); });
    QTimer::singleShot(CAPTURE_MS, pFrame, [pFrame, &output, &bSaved] {
      bSaved = pFrame->grab().save(QString::fromStdString(output));
      QApplication::quit();
    });
    QApplication::exec();
  }
  std::error_code error;
  std::filesystem::remove_all(szScratch, error);
  if (!bSaved) std::fprintf(stderr, "analyzer-screenshot: %s could not be written\n", output.c_str());
  return bSaved ? 0 : 1;
}
