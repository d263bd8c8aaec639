// The offline log window while it loads a log of 1,000,000 frames, then filters it, then plots
// a signal over it: a 10 ms timer stands for the user's input, and its worst lateness is the
// longest the window leaves an event unanswered (target: under 50 ms). Runs offscreen.
// Counters: the load's, the filter's and the plot's time and each one's worst lateness.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

#include "BenchLog.h"
#include "logs/CLogTableModel.h"
#include "logs/CLogViewWindow.h"
#include "signals/DbcReader.h"

namespace {

constexpr int PROBE_MS = 10;

struct CPhase {
  double m_dMs = 0;
  double m_dWorstLateMs = 0;
};

// Runs the event loop until the window has nothing left to do, the probe timing it.
CPhase RunUntilIdle(CLogViewWindow& window) {
  QElapsedTimer clock;
  QTimer probe;
  probe.setTimerType(Qt::PreciseTimer);
  probe.setInterval(PROBE_MS);
  int64_t nLastNs = 0, nWorstNs = 0;
  QObject::connect(&probe, &QTimer::timeout, &probe, [&] {
    const int64_t nNowNs = clock.nsecsElapsed();
    nWorstNs = std::max(nWorstNs, nNowNs - nLastNs - int64_t{PROBE_MS} * 1000000);
    nLastNs = nNowNs;
    if (!window.IsBusy()) QApplication::quit();
  });
  clock.start();
  probe.start();
  QApplication::exec();
  return {static_cast<double>(clock.nsecsElapsed()) / 1e6, static_cast<double>(nWorstNs) / 1e6};
}

void BM_LogWindowAnswersWhileBusy(benchmark::State& state) {
  static int argc = 1;
  static char szName[] = "log_window_latency_bench";
  static char* argv[] = {szName, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication application(argc, argv);
  const std::string path = MakeLog(state.range(0));
  for (auto _ : state) {
    CLogViewWindow window;
    window.resize(1100, 600);
    window.show();
    if (!window.Open(QString::fromStdString(path))) state.SkipWithError("open failed");
    const CPhase load = RunUntilIdle(window);
    window.ApplyFilter("123");
    const CPhase filter = RunUntilIdle(window);
    state.counters["load_ms"] = load.m_dMs;
    state.counters["load_worst_late_ms"] = load.m_dWorstLateMs;
    state.counters["filter_ms"] = filter.m_dMs;
    state.counters["filter_worst_late_ms"] = filter.m_dWorstLateMs;
    state.counters["filter_rows"] = window.Model()->rowCount();
    const std::string dbc = "BO_ 257 M: 8 E\n SG_ S : 0|16@1+ (1,0) [0|0] \"\" X\n";  // 0x101, a fortieth of the frames
    DbcReadResult read = ReadDbc({reinterpret_cast<const uint8_t*>(dbc.data()), dbc.size()});
    window.SetSignalDatabase(std::make_shared<const CDbcDatabase>(std::move(read.m_database)));
    window.AddToPlot(0, 0);
    const CPhase plot = RunUntilIdle(window);
    state.counters["plot_ms"] = plot.m_dMs;
    state.counters["plot_worst_late_ms"] = plot.m_dWorstLateMs;
    state.counters["plot_samples"] = static_cast<double>(window.Tracker().Traces().at(0).Size());
  }
}
BENCHMARK(BM_LogWindowAnswersWhileBusy)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
