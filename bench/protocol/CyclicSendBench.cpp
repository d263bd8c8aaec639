// Ten cyclic rows at 10 ms through the channel's sending thread to a module on a terminal
// (korvex-sim), optionally with reception running; bench/cli/cyclic-send.sh runs it and
// measures the intervals on the module's side.
//   cyclic_send_bench PTY SECONDS [receive]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "protocol/CModuleChannel.h"
#include "protocol/CQtMessageHost.h"

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: cyclic_send_bench PTY SECONDS [receive]\n");
    return 2;
  }
  constexpr uint32_t ROWS = 10, PERIOD_MS = 10;
  QCoreApplication app(argc, argv);
  CModuleChannel channel;
  CQtMessageHost window(channel);
  channel.Create(&window, nullptr);
  if (!channel.Open(false, argv[1], 921600)) {
    std::fprintf(stderr, "open: %s\n", channel.LastOpenError().c_str());
    return 1;
  }
  QElapsedTimer waited;
  waited.start();
  while (channel.IsStartupPending() && waited.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
  if (argc > 3) channel.SetReception(true, true);
  for (uint32_t k = 0; k < ROWS; ++k) {
    const uint8_t abyData[8] = {static_cast<uint8_t>(k), 1, 2, 3, 4, 5, 6, 7};
    if (!channel.StartCycle(k + 1, PERIOD_MS, true, true, 8, 0x100 + k, abyData)) return 1;
  }
  QTimer::singleShot(std::atoi(argv[2]) * 1000, Qt::PreciseTimer, &app, &QCoreApplication::quit);
  app.exec();
  const char* const apszTiming[] = {"real-time priority", "short time slice", "ordinary"};
  std::printf("sending thread: %s\n", apszTiming[static_cast<int>(channel.SenderWakeTiming())]);
  if (channel.BeginClose())
    while (channel.IsClosing()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  std::printf("communication errors %u, port gone %u\n", channel.CommErrorCount(), channel.PortGoneCount());
  return 0;
}
