#include "uisupport/CStopSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

namespace {

// The pipe's write end for the handler, which can reach no object.
volatile sig_atomic_t g_nSignalWriteFd = -1;
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
  [[maybe_unused]] const ssize_t n = ::write(g_nSignalWriteFd, &by, 1);
  SetStopSignalHandler(SIG_DFL);  // the next one ends the program at once
  errno = nSavedErrno;
}

}  // namespace

CStopSignals::CStopSignals(std::function<void()> fnOnStop) : m_fnOnStop(std::move(fnOnStop)) {
  int anPipe[2];
  if (::pipe2(anPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;  // signals keep their default
  m_readEnd.Reset(anPipe[0]);
  m_writeEnd.Reset(anPipe[1]);
  m_pNotifier = std::make_unique<QSocketNotifier>(m_readEnd.Get(), QSocketNotifier::Read);
  QObject::connect(m_pNotifier.get(), &QSocketNotifier::activated, m_pNotifier.get(), [this] {
    char by;
    bool bStop = false;
    while (::read(m_readEnd.Get(), &by, 1) > 0) bStop = true;
    if (bStop && m_fnOnStop) m_fnOnStop();
  });
  g_nSignalWriteFd = m_writeEnd.Get();
  SetStopSignalHandler(&OnStopSignal);
}

CStopSignals::~CStopSignals() {
  if (!m_pNotifier) return;
  SetStopSignalHandler(SIG_DFL);
  g_nSignalWriteFd = -1;
  m_pNotifier.reset();
}
