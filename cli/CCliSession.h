#pragma once
// One run of korvex-cli over the module channel: open the port (the start-up exchange runs
// first), send the command, wait for its answer, the communication error or the port's
// disappearance, close with reception stopped. Every event is printed as LogEvent receives it
// and every received frame as the receive list shows it, one per line (or, with --format
// candump, as a candump line, the events then on standard error); stats prints no frames but
// its table at the end (the events on standard error). The log files are written as the
// window writes them. What went wrong beyond the events (why the port did
// not open, the port gone, the channel's counters, an output that cannot be written) goes to
// standard error. Runs on any message loop through CliPump.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CFramePrinter.h"
#include "cli/CliOptions.h"
#include "link/ArrivalTime.h"
#include "protocol/ChannelOwner.h"
#include "protocol/EventSink.h"
#include "protocol/FrameConsumer.h"
#include "protocol/MessageHost.h"
#include "receive/CRDataLogWriter.h"
#include "stats/CBusLoad.h"
#include "stats/CFrameStatistics.h"
#include "text/EventTranslator.h"

class CLogFiles;
class CModuleChannel;

// 4: no answer, the port went away or received frames were dropped; 5: the output or a log
// file failed;
// 6 and 7 are convert's: lines skipped, the file not read.
enum ECliExit : int {
  CLI_EXIT_ANSWERED = 0,
  CLI_EXIT_USAGE = 2,
  CLI_EXIT_NO_PORT = 3,
  CLI_EXIT_COMM_FAILED = 4,
  CLI_EXIT_OUTPUT_FAILED = 5,
  CLI_EXIT_LINES_SKIPPED = 6,
  CLI_EXIT_NO_INPUT = 7
};

// What the session needs from the message loop it runs on.
class CliPump {
public:
  virtual ~CliPump() = default;
  // Handles what is ready, waiting for something to happen when nothing is.
  virtual void Pump() = 0;
  // Handles what has already been posted, without waiting.
  virtual void Drain() = 0;
  // True once the user asked the program to stop (SIGINT, SIGTERM, SIGHUP).
  virtual bool Interrupted() const = 0;
  // The monotonic clock the received frames are stamped on, in ns.
  virtual int64_t SteadyNowNs() const { return ArrivalTime::Now().m_nSteadyNs; }
};

class CCliSession final : public MessageHandler, public ChannelOwner, public EventDisplay, public FrameConsumer {
public:
  static constexpr unsigned IDT_MONITOR = 300;  // the session's own timer for monitor --seconds
  static constexpr unsigned IDT_REPLAY = 301;   // replay: the next frame is due
  // The timer is armed for at most a day at a time: a message host may count milliseconds
  // in an int, and --seconds goes far beyond that.
  static constexpr unsigned MONITOR_CHUNK_MS = 86400000;

  CCliSession(const CliOptions& options, CModuleChannel& channel, CLogFiles& logs, std::FILE* pOut, std::FILE* pErr);

  // channelWindow delivers to the channel, sessionWindow to this session. Returns the exit
  // status. The channel is closed in order (":G10", then 500 ms on the pump) and destroyed
  // (window forgotten) when it returns.
  // monitor --format signals: the database its frames are decoded with.
  void SetDatabase(const CDbcDatabase* pDatabase) { m_printer.SetDatabase(pDatabase); }
  // Prints the events (and the port's open failure) and the frame lines' labels translated;
  // null: as they were composed. The log files keep them as composed either way.
  void SetEventTranslator(const CEventTranslator* pTranslator);
  int Run(MessageHost& channelWindow, MessageHost& sessionWindow, CliPump& pump);

  // The channel's owner: notifications are taken and ignored, the port-open flag is kept,
  // a port gone ends the run.
  MessageHost& OwnerWindow() override { return *m_pWindow; }
  void SetPortOpen(bool bOpen) override { m_bPortOpen = bOpen; }
  void OnPortGone() override { m_bPortGone = true; }
  bool IsPortOpen() const { return m_bPortOpen; }
  void OnMessage(unsigned nMsg, uintptr_t wParam, intptr_t lParam) override;
  void OnTimer(unsigned nId) override;
  // Output.
  void AppendEvent(std::string_view text, COLORREF colour) override;
  // The frames asked for go on to the printer or the statistics, and to the receive-data log.
  void OnFrames(std::span<const ReceivedFrame> frames) override;

private:
  void OpenLogs();
  void SendCommand();
  // replay: sends the log, then waits for the last echoes. False when the file could not be read.
  bool Replay(CliPump& pump);
  void ArmMonitorTimer();
  bool MonitorDone() const;
  bool ReceivesFrames() const {
    return m_options.m_eCommand == ECliCommand::MONITOR || m_options.m_eCommand == ECliCommand::STATS;
  }
  // Pumps while bWaiting() holds, until the communication error, the port gone or an
  // interrupt; with bForOutput also until the output cannot be written (nobody reads it).
  template <class TWaiting>
  void WaitWhile(CliPump& pump, bool bForOutput, TWaiting bWaiting);
  // False once the output or a log file failed; the first failure's reason is kept for the
  // report.
  bool FlushOutput();
  // Each log file that failed is put in the report once, with its path and the reason.
  void NoteLogFailures();
  // The line to pTo, after its time stamp when one is given.
  void Print(std::FILE* pTo, std::string_view stamp, std::string_view text);
  // Standard error's account of the run, and the exit status.
  int Finish(bool bOpened, bool bAnswered);

  const CliOptions& m_options;
  CModuleChannel& m_channel;
  CLogFiles& m_logs;
  std::FILE* m_pOut;
  std::FILE* m_pErr;
  MessageHost* m_pWindow = nullptr;
  bool m_bPortOpen = false;
  bool m_bTimeUp = false;
  bool m_bPortGone = false;
  bool m_bReplayDue = false;
  uint64_t m_qwReplaySkipped = 0;
  int m_nOutputError = 0;  // errno of the first failed write of the output, 0 while none failed
  int m_nLogsOpened = 0;    // the kinds (ELogKind bits) whose files opened
  int m_nLogsFailed = 0;    // the kinds whose failure is in m_logFailures
  std::string m_logFailures;
  uint64_t m_qwMonitorMsLeft = 0;
  bool m_bFramesClosed = false;  // after monitor's end no more frames are passed on
  uint64_t m_qwFrames = 0;
  CFramePrinter m_printer;
  const CEventTranslator* m_pTranslator = nullptr;
  CRDataLogWriter m_rdataLog;
  CFrameStatistics m_stats;
  CBusLoad m_busLoad;
  std::vector<FrameConsumer*> m_outputs;  // where the frames asked for go
};
