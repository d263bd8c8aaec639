// The whole window under load: the frame with the real channel, serial transport and Qt message
// hosts, fed by a korvex-sim process sending numbered frames, receive-data log on, offscreen.
//   analyzer_bench [FRAMES_PER_SECOND [SECONDS [IDS [signals]]]]   (defaults: 2973, the link's full rate, 30 s)
// With IDS the numbered frames take that many distinct identifiers and the per-identifier view
// is the tab shown (without, the receive list is). With "signals" a DBC database of those
// identifiers is open, every message expanded in the signal pane and four signals plotted. Reports the frames logged and the gaps in
// their sequence numbers, the worst lateness of a 10 ms timer (the event loop's
// responsiveness), the process's CPU time over the wall time, the channel's drop counters as
// the counters pane shows them, and what the per-identifier view counted and how often it
// changed. Targets at 2,973 frames/s: no gap, lateness under 50 ms, CPU under 20 % of one core,
// the view at most 25 changes a second. Everything goes to a scratch directory.
#include <sys/resource.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/CMainFrame.h"
#include "resources/CommandIds.h"
#include "link/CommandLinePorts.h"
#include "protocol/CModuleChannel.h"
#include "protocol/CQtMessageHost.h"
#include "receive/CRDView.h"
#include "signals/CSignalDock.h"
#include "stats/CIdStatisticsModel.h"
#include "stats/CIdStatisticsView.h"
#include "support/CMemorySettingsStore.h"
#include "support/ChildProcess.h"
#include "support/SimSequence.h"
#include "uisupport/CPaneStatusBar.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int PING_MS = 10;
constexpr int SETTLE_MS = 1000;  // the start-up exchange before, the last frames after the run

double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct CLogFigures {
  uint64_t m_qwLines = 0;
  uint64_t m_qwMissing = 0;  // numbers skipped between consecutive lines
  uint64_t m_qwCorrupt = 0;
  uint32_t m_dwFirst = 0;
  uint32_t m_dwLast = 0;
};

CLogFigures ReadLog(const std::string& path) {
  CLogFigures figures;
  std::ifstream file(path, std::ios::binary);
  for (std::string line; std::getline(file, line);) {
    const long long llSequence = SimSequenceOf(line);
    if (llSequence < 0) {
      ++figures.m_qwCorrupt;
      continue;
    }
    const auto dwSequence = static_cast<uint32_t>(llSequence);
    if (figures.m_qwLines++ == 0)
      figures.m_dwFirst = dwSequence;
    else if (dwSequence > figures.m_dwLast + 1)
      figures.m_qwMissing += dwSequence - figures.m_dwLast - 1;
    figures.m_dwLast = dwSequence;
  }
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  const unsigned nRate = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 2973;
  const unsigned nSeconds = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 30;
  const unsigned nIds = argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 0;
  const bool bSignals = argc > 4 && std::string(argv[4]) == "signals";
  char szScratch[] = "/tmp/korvex-bench-XXXXXX";
  if (!::mkdtemp(szScratch)) return 1;
  const std::string scratch = szScratch;
  ::setenv("XDG_CONFIG_HOME", scratch.c_str(), 1);
  ::setenv("XDG_RUNTIME_DIR", scratch.c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (::chdir(szScratch) != 0) return 1;
  QApplication application(argc, argv);

  const std::string link = scratch + "/module.tty";
  CChildProcess sim;
  std::string simLine;
  std::vector<std::string> simArgs = {"--link", link, "--rate", std::to_string(nRate)};
  if (nIds > 0) simArgs.insert(simArgs.end(), {"--ids", std::to_string(nIds)});
  if (!sim.Start(KORVEX_SIM_PROGRAM, simArgs) || !sim.ReadLine(simLine, 5000)) {
    std::fprintf(stderr, "analyzer_bench: korvex-sim did not start\n");
    return 1;
  }

  CPortLists ports;
  AddCommandLinePorts(ports, {{link, true}});
  ports.FixPortsAvailable();
  CMemorySettingsStore store;
  store.SetInt(SETTINGS_SECTION, SETTING_USB_MODE, PORT_MODE_SERIAL);
  store.SetInt(SETTINGS_SECTION, SETTING_SERIAL_PORT_INDEX, 0);
  store.SetInt(SETTINGS_SECTION, SETTING_BAUD_RATE, BAUD_RATE_FAST);
  if (bSignals) {
    // Each numbered frame as two 32-bit signals (the number and its complement) and a scaled
    // byte, under 2.0A and 2.0B alike; the pane opens the remembered database at start.
    std::ofstream dbc(scratch + "/sim.dbc");
    for (unsigned n = 0; n < nIds; ++n)
      for (const uint32_t dwFlag : {0u, 0x80000000u})
        dbc << "BO_ " << (dwFlag | n) << " M" << (dwFlag ? "E" : "S") << n << ": 8 SIM\n SG_ SEQ : 7|32@0+ (1,0) [0|0] \"\" X\n"
            << " SG_ INV : 39|32@0+ (1,0) [0|0] \"\" X\n SG_ LOW : 24|8@1+ (0.5,-10) [-10|117.5] \"u\" X\n"
            << "BA_ \"GenMsgCycleTime\" BO_ " << (dwFlag | n) << " " << nIds * 1000 / std::max(nRate, 1u) << ";\n";
    store.SetString(SIGNALS_SECTION, SETTING_DBC_FILE, scratch + "/sim.dbc");
  }
  CModuleChannel channel;
  CQtMessageHost channelWindow(channel);
  std::filesystem::create_directory(scratch + "/Log");
  CFrameSetup setup;
  setup.m_pChannel = &channel;
  setup.m_pChannelWindow = &channelWindow;
  setup.m_pPorts = &ports;
  setup.m_pStore = &store;
  setup.m_strLogDirectory = scratch + "/Log";
  setup.m_fnMakeWindow = [](MessageHandler& handler) { return std::make_unique<CQtMessageHost>(handler); };
  auto pFrame = std::make_unique<CMainFrame>(setup);
  pFrame->show();
  pFrame->InitAfterStartup();
  bool bMeasuring = false;
  CIdStatisticsView* pIdView = pFrame->IdView();
  if (nIds > 0) pFrame->findChild<QTabWidget*>(QStringLiteral("ReceiveTabs"))->setCurrentWidget(pIdView);
  CSignalDock* pSignals = pFrame->SignalPane();
  if (bSignals) {
    for (int i = 0; i < pSignals->SignalTree()->topLevelItemCount(); ++i) pSignals->SignalTree()->topLevelItem(i)->setExpanded(true);
    for (uint32_t nMessage = 0; nMessage < 8 && nMessage < 2 * nIds; nMessage += 2) pSignals->AddToPlot(nMessage + 1, 0);
  }
  unsigned nViewChanges = 0;
  QObject::connect(pIdView->Model(), &QAbstractItemModel::layoutChanged, [&] { nViewChanges += bMeasuring; });
  QObject::connect(pIdView->Model(), &QAbstractItemModel::dataChanged, [&] { nViewChanges += bMeasuring; });

  bool bCommandsTaken = true;
  Clock::time_point lastPing = Clock::now();
  Clock::duration worstLateness{};
  unsigned nLatePings = 0;
  QTimer ping;
  ping.setTimerType(Qt::PreciseTimer);
  QObject::connect(&ping, &QTimer::timeout, [&] {
    const Clock::time_point now = Clock::now();
    const Clock::duration lateness = now - lastPing - std::chrono::milliseconds(PING_MS);
    lastPing = now;
    if (!bMeasuring) return;
    worstLateness = std::max(worstLateness, lateness);
    nLatePings += lateness > std::chrono::milliseconds(50);
  });
  ping.start(PING_MS);

  auto trigger = [&](unsigned nId) {
    bCommandsTaken = bCommandsTaken && pFrame->Action(nId)->isEnabled();
    pFrame->Action(nId)->trigger();
  };
  Clock::time_point wallStart;
  double dCpuStart = 0, dCpu = 0, dWall = 0;
  QTimer::singleShot(SETTLE_MS, [&] {
    bCommandsTaken = !channel.IsStartupPending();
    trigger(ID_START_RDATA_LOG);
    trigger(ID_START_RECEPTION);
    wallStart = Clock::now();
    dCpuStart = CpuSeconds();
    bMeasuring = true;
  });
  QTimer::singleShot(SETTLE_MS + static_cast<int>(nSeconds) * 1000, [&] {
    bMeasuring = false;
    dCpu = CpuSeconds() - dCpuStart;
    dWall = std::chrono::duration<double>(Clock::now() - wallStart).count();
    trigger(ID_STOP_RECEPTION);
  });
  QTimer::singleShot(2 * SETTLE_MS + static_cast<int>(nSeconds) * 1000, [&] {
    trigger(ID_STOP_RDATA_LOG);
    QApplication::quit();
  });
  QApplication::exec();

  const CLogFigures figures = ReadLog(pFrame->LogFiles().Path(LOG_RDATA));
  const ChannelCounters counters = channel.Counters();
  const QLabel* pCounters = pFrame->StatusPanes()->Pane(ID_PANE_COUNTERS);
  std::printf("rate %u frames/s for %u s%s\n", nRate, nSeconds, bCommandsTaken ? "" : " (a command was not enabled)");
  std::printf("logged %llu frames, numbers %u..%u, %llu missing, %llu corrupt\n",
              static_cast<unsigned long long>(figures.m_qwLines), figures.m_dwFirst, figures.m_dwLast,
              static_cast<unsigned long long>(figures.m_qwMissing), static_cast<unsigned long long>(figures.m_qwCorrupt));
  std::printf("event loop: worst lateness of the %d ms ping %.1f ms, %u pings later than 50 ms\n", PING_MS,
              std::chrono::duration<double, std::milli>(worstLateness).count(), nLatePings);
  std::printf("CPU %.2f s over %.2f s wall = %.1f %% of one core\n", dCpu, dWall, dWall > 0 ? 100.0 * dCpu / dWall : 0.0);
  std::printf("channel counters: dropped blocks %llu, refused lines %llu, refused responses %llu, short frames %llu; "
              "counters pane %s \"%s\"\n",
              static_cast<unsigned long long>(counters.m_qwDroppedBlocks),
              static_cast<unsigned long long>(counters.m_qwRefusedLines),
              static_cast<unsigned long long>(counters.m_qwRefusedResponses),
              static_cast<unsigned long long>(counters.m_qwIncompleteFrames),
              pCounters->isVisibleTo(pFrame.get()) ? "shown" : "hidden", pCounters->text().toUtf8().constData());
  uint64_t qwCounted = 0;
  for (const IdStatistics& entry : pIdView->Statistics().Entries()) qwCounted += entry.m_qwCount;
  std::printf("per-identifier view%s: %d rows, %zu identifiers, %llu frames counted; %u changes, %.1f a second\n",
              nIds > 0 ? " (shown)" : " (hidden)", pIdView->Model()->rowCount(), pIdView->Statistics().Entries().size(),
              static_cast<unsigned long long>(qwCounted), nViewChanges, dWall > 0 ? nViewChanges / dWall : 0.0);
  if (bSignals) {
    std::printf("signal pane: %s, %zu traces with", pSignals->DatabaseName().toUtf8().constData(), pSignals->Tracker().Traces().size());
    for (const CSignalTrace& trace : pSignals->Tracker().Traces()) std::printf(" %zu", trace.Size());
    std::printf(" samples\n");
  }
  pFrame.reset();
  sim.Signal(SIGTERM);
  const int nSimExit = sim.Finish(5000);
  std::printf("korvex-sim exit %d%s%s", nSimExit, sim.Err().empty() ? "" : ": ", sim.Err().c_str());
  std::filesystem::remove_all(scratch);
  return 0;
}
