// korvex-cli: the module channel and the log files without a window, on a QtCore event loop.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CCliSession.h"
#include "cli/CliOptions.h"
#include "cli/CliPorts.h"
#include "cli/RDataLogConvert.h"
#include "link/CD2xxLibrary.h"
#include "protocol/CModuleChannel.h"
#include "protocol/CQtMessageHost.h"
#include "receive/CLogFiles.h"

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

// The first stop signal asks for the end in order; the next one ends the program at once,
// even while it is blocked writing an output nobody reads.
void OnStopSignal(int) {
  const int nSavedErrno = errno;
  const char by = 1;
  [[maybe_unused]] const ssize_t n = ::write(g_anSignalPipe[1], &by, 1);
  SetStopSignalHandler(SIG_DFL);
  errno = nSavedErrno;
}

// SIGINT, SIGTERM and SIGHUP end a run in order (monitor stops reception first, the log files
// are flushed) instead of killing it.
class CQtCliPump final : public CliPump {
public:
  CQtCliPump() {
    if (::pipe2(g_anSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    m_pNotifier = new QSocketNotifier(g_anSignalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(m_pNotifier, &QSocketNotifier::activated, m_pNotifier, [this] {
      char by;
      while (::read(g_anSignalPipe[0], &by, 1) > 0) m_bInterrupted = true;
    });
    SetStopSignalHandler(&OnStopSignal);
    ::signal(SIGPIPE, SIG_IGN);  // a closed output ends the run through the failed write instead
  }
  void Pump() override { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); }
  void Drain() override { QCoreApplication::processEvents(QEventLoop::AllEvents); }
  bool Interrupted() const override { return m_bInterrupted; }

private:
  QSocketNotifier* m_pNotifier = nullptr;
  bool m_bInterrupted = false;
};

}  // namespace

int main(int argc, char* argv[]) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const CliParseResult parsed = ParseCommandLine(args);
  if (!parsed.m_bOk) {
    std::fprintf(stderr, "korvex-cli: %s\nTry 'korvex-cli --help' for more information.\n", parsed.m_error.c_str());
    return CLI_EXIT_USAGE;
  }
  // What needs no port is done without the event loop.
  switch (parsed.m_options.m_eCommand) {
    case ECliCommand::SHOW_HELP:
    case ECliCommand::SHOW_VERSION: {
      const std::string text =
          parsed.m_options.m_eCommand == ECliCommand::SHOW_HELP ? CliUsage() : CliVersion() + "\n";
      std::fputs(text.c_str(), stdout);
      return std::fflush(stdout) == 0 ? CLI_EXIT_ANSWERED : CLI_EXIT_OUTPUT_FAILED;
    }
    case ECliCommand::PORTS:
      return RunPortsCommand(parsed.m_options, stdout, stderr);
    case ECliCommand::CONVERT:
      return ConvertRDataLog(parsed.m_options.m_inputPath, stdout, stderr);
    default:
      break;
  }
  // USB modules are reached through the D2XX library, loaded once as at the analyzer's start;
  // without it the open fails like that of an absent module.
  if (parsed.m_options.m_bUsb) CD2xxLibrary::Shared().Load();
  QCoreApplication app(argc, argv);
  CQtCliPump pump;
  CLogFiles logs;
  CModuleChannel channel;
  CCliSession session(parsed.m_options, channel, logs, stdout, stderr);
  CQtMessageHost channelWindow(channel);
  CQtMessageHost sessionWindow(session);
  return session.Run(channelWindow, sessionWindow, pump);
}
