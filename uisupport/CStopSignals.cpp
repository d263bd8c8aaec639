#include "uisupport/CStopSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

namespace {

int g_anSignalPipe[2] = {-1, -1};
constexpr int STOP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

void SetStopSignalHandler(void (*pfnHandler)(int)) {
  struct sigaction action {};
  action.sa_handler = pfnHandler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int nSignal : STOP_SIGNALS) ::sigaction(nSignal, &action, nullptr);
}

void OnStopSignal(int) {
  const int nSavedErrno = errno;
  const char by = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_anSignalPipe[1], &by, 1);
  SetStopSignalHandler(SIG_DFL);  // the next one ends the program at once
  errno = nSavedErrno;
}

}  // namespace

CStopSignals::CStopSignals(std::function<void()> fnOnStop) : m_fnOnStop(std::move(fnOnStop)) {
  if (::pipe2(g_anSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;  // signals keep their default
  m_pNotifier = std::make_unique<QSocketNotifier>(g_anSignalPipe[0], QSocketNotifier::Read);
  QObject::connect(m_pNotifier.get(), &QSocketNotifier::activated, m_pNotifier.get(), [this] {
    char by;
    bool bStop = false;
    while (::read(g_anSignalPipe[0], &by, 1) > 0) bStop = true;
    if (bStop && m_fnOnStop) m_fnOnStop();
  });
  SetStopSignalHandler(&OnStopSignal);
}

CStopSignals::~CStopSignals() {
  if (!m_pNotifier) return;
  SetStopSignalHandler(SIG_DFL);
  m_pNotifier.reset();
  for (int& fd : g_anSignalPipe) {
    ::close(fd);
    fd = -1;
  }
}
