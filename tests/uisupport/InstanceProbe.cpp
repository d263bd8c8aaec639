// korvex_instance_probe RUNTIME_DIR
// Registers like the program does, then prints
//   "started listening=1 too_many=0 count=1"   after construction and TooManyInstances(true)
//   "activated"                               whenever another instance asks it to come forward
//   "count=N"                                 for every line read from its input
// End of input ends it cleanly.
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "uisupport/CInstanceActivation.h"
#include "uisupport/CInstanceGuard.h"

namespace {

void Say(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

std::string Count(CInstanceGuard& guard) {
  CInstanceList list;
  return "count=" + (guard.ReadList(list) ? std::to_string(list.m_processIds.size()) : "unreadable");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  QCoreApplication app(argc, argv);
  CInstanceGuard guard("Korvex", argv[1]);
  CInstanceActivation activation(guard);
  QObject::connect(&activation, &CInstanceActivation::ActivationRequested, [] { Say("activated"); });
  const bool bListening = activation.Listen();
  Say("started listening=" + std::to_string(bListening) + " too_many=" + std::to_string(guard.TooManyInstances(true)) +
      " " + Count(guard));

  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char szBuffer[256];
    const ssize_t nRead = ::read(STDIN_FILENO, szBuffer, sizeof szBuffer);
    if (nRead <= 0) return app.quit();
    for (ssize_t i = 0; i < nRead; ++i)
      if (szBuffer[i] == '\n') Say(Count(guard));
  });
  QTimer::singleShot(60000, &app, [&app] { app.exit(3); });  // never outlive a test that lost track of it
  return app.exec();
}
