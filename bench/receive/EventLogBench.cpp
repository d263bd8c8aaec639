// The event log view under a stream of echo lines, offscreen: one line every millisecond
// (1,000 a second, as cyclic sends of ten rows at 10 ms echo them) for SECONDS, with the view
// painting as the event loop lets it. Reports the lines taken, how late the feeding timer ran
// at worst (a view that falls behind holds up the loop), and the CPU time per line.
//   QT_QPA_PLATFORM=offscreen event_log_bench [SECONDS]   (default 10)
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "protocol/EventSink.h"
#include "receive/CEventLogCtrl.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const int nSeconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  CEventLogCtrl log;
  log.resize(900, 240);
  log.show();
  long long nLines = 0;
  qint64 nWorstLateUs = 0;
  QElapsedTimer clock;
  clock.start();
  const double dCpuStart = CpuSeconds();
  QTimer feed;
  feed.setTimerType(Qt::PreciseTimer);
  QObject::connect(&feed, &QTimer::timeout, &log, [&] {
    // Every line due by now goes in, as the channel hands over the echoes that came.
    const long long nDue = clock.nsecsElapsed() / 1'000'000;
    nWorstLateUs = std::max(nWorstLateUs, clock.nsecsElapsed() / 1000 - nLines * 1000);
    for (; nLines < nDue; ++nLines)
      log.AppendEvent("[CAN 데이터 송신 응답]      : CAN2.0A  Data Frame  길이:8  ID:1" + std::to_string(nLines % 10) +
                          "0  데이터:00 01 02 03 04 05 06 07",
                      EVENT_BLACK);
    if (nDue >= nSeconds * 1000LL) app.quit();
  });
  feed.start(1);
  app.exec();
  const double dCpu = CpuSeconds() - dCpuStart;
  std::printf("%lld lines in %.2f s, feed at worst %.2f ms late, CPU %.1f us per line (%.0f %% of a core)\n", nLines,
              static_cast<double>(clock.nsecsElapsed()) / 1e9, static_cast<double>(nWorstLateUs) / 1000.0,
              dCpu * 1e6 / static_cast<double>(std::max(1LL, nLines)),
              100.0 * dCpu / (static_cast<double>(clock.nsecsElapsed()) / 1e9));
  return 0;
}
