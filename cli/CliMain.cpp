// korvex-cli: the module channel and the log files without a window, on a QtCore event loop.
#include <signal.h>

#include <QCoreApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CCliSession.h"
#include "cli/CliOptions.h"
#include "cli/CliPorts.h"
#include "cli/SignalLine.h"
#include "cli/LogConvert.h"
#include "link/CD2xxLibrary.h"
#include "protocol/CModuleChannel.h"
#include "protocol/CQtMessageHost.h"
#include "receive/CLogFiles.h"
#include "uisupport/CStopSignals.h"
#include "uisupport/Translations.h"

namespace {

// SIGINT, SIGTERM and SIGHUP end a run in order (monitor stops reception first, the log files
// are flushed) instead of killing it.
class CQtCliPump final : public CliPump {
public:
  CQtCliPump() {
    ::signal(SIGPIPE, SIG_IGN);  // a closed output ends the run through the failed write instead
  }
  void Pump() override { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); }
  void Drain() override { QCoreApplication::processEvents(QEventLoop::AllEvents); }
  bool Interrupted() const override { return m_bInterrupted; }

private:
  bool m_bInterrupted = false;
  CStopSignals m_stopSignals{[this] { m_bInterrupted = true; }};
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
      return ConvertLog(parsed.m_options.m_inputPath,
                        parsed.m_options.m_bConvertToAsc ? EConvertTarget::ASC : EConvertTarget::CANDUMP, stdout, stderr);
    default:
      break;
  }
  CDbcDatabase database;
  if (!parsed.m_options.m_dbcPath.empty() && !LoadDatabase(parsed.m_options.m_dbcPath, database, stderr))
    return CLI_EXIT_NO_INPUT;
  if (parsed.m_options.m_eCommand == ECliCommand::DECODE)
    return ConvertLog(parsed.m_options.m_inputPath, EConvertTarget::SIGNALS, stdout, stderr, &database);
  // USB modules are reached through the D2XX library, loaded once as at the analyzer's start;
  // without it the open fails like that of an absent module.
  if (parsed.m_options.m_bUsb) CD2xxLibrary::Shared().Load();
  QCoreApplication app(argc, argv);
  CQtCliPump pump;
  CLogFiles logs;
  CModuleChannel channel;
  CCliSession session(parsed.m_options, channel, logs, stdout, stderr);
  session.SetDatabase(&database);
  // The events stay Korean by default: scripts parse them as the analyzer's log holds them.
  CEventTranslator translator;
  if (parsed.m_options.m_bEnglish) {
    if (!InstallTranslations(ELanguage::ENGLISH)) std::fputs("korvex-cli: the English translation could not be loaded\n", stderr);
    translator = MakeEventTranslator();
    session.SetEventTranslator(&translator);
  }
  CQtMessageHost channelWindow(channel);
  CQtMessageHost sessionWindow(session);
  return session.Run(channelWindow, sessionWindow, pump);
}
