// korvex_instance_probe RUNTIME_DIR: registers as the program does and reports; end of input ends it.
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <unistd.h>

#include <cstdio>

#include "uisupport/CInstanceActivation.h"
#include "uisupport/CInstanceGuard.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each line reaches the test as it is printed
  QCoreApplication app(argc, argv);
  CInstanceGuard guard("Korvex", argv[1]);
  CInstanceActivation activation(guard);
  QObject::connect(&activation, &CInstanceActivation::ActivationRequested, [] { std::puts("activated"); });
  const bool bListening = activation.Listen();
  const bool bTooMany = guard.TooManyInstances(true);
  CInstanceList list;
  const bool bRead = guard.ReadList(list);
  std::printf("started listening=%d too_many=%d count=%zu\n", bListening, bTooMany, bRead ? list.m_processIds.size() : 0);

  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char szBuffer[256];
    if (::read(STDIN_FILENO, szBuffer, sizeof szBuffer) <= 0) app.quit();
  });
  QTimer::singleShot(60000, &app, [&app] { app.exit(3); });  // never outlive a test that lost track of it
  return app.exec();
}
