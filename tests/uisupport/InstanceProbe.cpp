// korvex_instance_probe RUNTIME_DIR
// Registers like the program does, then reports on its output:
//   "started listening=1 too_many=0 count=1"   after construction and TooManyInstances(true)
//   "activated"                               whenever another instance asks it to come forward
// and answers the commands "count" ("count=N") and "ask" ("too_many=B", asking again with
// bActivateOther) read from its input. End of input ends it cleanly.
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

std::string CountText(CInstanceGuard& guard) {
  CInstanceList list;
  return guard.ReadList(list) ? std::to_string(list.m_processIds.size()) : "unreadable";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  QCoreApplication app(argc, argv);
  CInstanceGuard guard("Korvex", argv[1]);
  CInstanceActivation activation(guard);
  QObject::connect(&activation, &CInstanceActivation::ActivationRequested, [] { Say("activated"); });
  const bool bListening = activation.Listen();
  const bool bTooMany = guard.TooManyInstances(true);
  Say("started listening=" + std::to_string(bListening) + " too_many=" + std::to_string(bTooMany) +
      " count=" + CountText(guard));

  std::string pending;
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char szBuffer[256];
    const ssize_t nRead = ::read(STDIN_FILENO, szBuffer, sizeof szBuffer);
    if (nRead <= 0) {
      input.setEnabled(false);
      app.quit();
      return;
    }
    pending.append(szBuffer, static_cast<std::size_t>(nRead));
    for (std::size_t nEnd; (nEnd = pending.find('\n')) != std::string::npos; pending.erase(0, nEnd + 1)) {
      const std::string command = pending.substr(0, nEnd);
      if (command == "count") Say("count=" + CountText(guard));
      if (command == "ask") Say("too_many=" + std::to_string(guard.TooManyInstances(true)));
    }
  });
  // Never outlive a test run that lost track of this process.
  QTimer::singleShot(60000, &app, [&app] { app.exit(3); });
  return app.exec();
}
