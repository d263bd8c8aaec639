#include "cli/CCliSession.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "transmit/CLogReplayer.h"
#include "cli/StatsReport.h"
#include "protocol/BitTiming.h"
#include "protocol/CModuleChannel.h"
#include "receive/CLogFiles.h"

namespace {

// A replay that ended later than this behind its log says so.
constexpr int64_t LATE_REPORT_NS = 2'000'000;

}  // namespace

CCliSession::CCliSession(const CliOptions& options, CModuleChannel& channel, CLogFiles& logs, std::FILE* pOut,
                         std::FILE* pErr)
    : m_options(options),
      m_channel(channel),
      m_logs(logs),
      m_pOut(pOut),
      m_pErr(pErr),
      m_printer(pOut, options.m_eFormat, options.m_bTimestamps ? &logs : nullptr),
      m_rdataLog(logs) {
  if (options.m_eCommand == ECliCommand::STATS)
    m_outputs = {&m_stats, &m_busLoad, &m_rdataLog};
  else
    m_outputs = {&m_printer, &m_rdataLog};
}

template <class TWaiting>
void CCliSession::WaitWhile(CliPump& pump, bool bForOutput, TWaiting bWaiting) {
  // Whoever reads the output sees each batch as it is handled. When nobody can read it any
  // more (a closed pipe, a full disk) an answer is still awaited, but monitoring ends in
  // order as on a signal.
  while (bWaiting() && m_channel.CommErrorCount() == 0 && !m_bPortGone && !pump.Interrupted() &&
         (FlushOutput() || !bForOutput))
    pump.Pump();
}

void CCliSession::SetEventTranslator(const CEventTranslator* pTranslator) {
  m_pTranslator = pTranslator;
  if (!pTranslator) {
    m_printer.SetLabels(SystemFrameLabels());
    return;
  }
  m_printer.SetLabels(TranslatedFrameLabels([pTranslator](const char* pszLabel) { return pTranslator->Translate(pszLabel); }));
}

int CCliSession::Run(MessageHost& channelWindow, MessageHost& sessionWindow, CliPump& pump) {
  m_pWindow = &sessionWindow;
  m_logs.SetEventDisplay(this);
  m_channel.Create(&channelWindow, this);
  m_channel.SetEventSink(&m_logs);
  m_channel.AddFrameConsumer(this);
  OpenLogs();

  bool bAnswered = false;
  bool bReadFailed = false;
  const bool bOpened = m_channel.Open(m_options.m_bUsb, m_options.m_portName, m_options.m_dwBaudRate);
  if (bOpened) {
    WaitWhile(pump, false, [this] { return m_channel.IsStartupPending(); });
    if (m_options.m_eCommand == ECliCommand::REPLAY && !m_channel.IsStartupPending() && !m_bPortGone) {
      if (!Replay(pump)) bReadFailed = true;
      bAnswered = !m_channel.IsAwaitingResponse() && m_channel.CommErrorCount() == 0 && !m_bPortGone;
    } else if (!m_channel.IsStartupPending() && !m_bPortGone) {
      SendCommand();
      WaitWhile(pump, false, [this] { return m_channel.IsAwaitingResponse(); });
      bAnswered = !m_channel.IsAwaitingResponse() && m_channel.CommErrorCount() == 0 && !m_bPortGone;
      if (bAnswered && ReceivesFrames()) {
        m_stats.Clear(pump.SteadyNowNs());
        m_busLoad.Restart(pump.SteadyNowNs());
        m_busLoad.SetBitRate(BitRateOf(m_channel.Config().m_wBitTiming));
        m_qwMonitorMsLeft = uint64_t{m_options.m_nSeconds} * 1000;
        if (m_qwMonitorMsLeft > 0) ArmMonitorTimer();
        WaitWhile(pump, true, [this] { return !MonitorDone(); });
        m_pWindow->KillTimer(IDT_MONITOR);
      }
    }
  }
  // Frames that still arrive while reception stops are not the ones asked for.
  m_bFramesClosed = ReceivesFrames();
  const int64_t nEndNs = pump.SteadyNowNs();
  // ":G10", the wait on the channel's timer (answers are shown meanwhile), the close.
  if (m_channel.BeginClose())
    while (m_channel.IsClosing()) pump.Pump();
  pump.Drain();  // the answers queued before the close are still shown
  m_channel.Destroy();
  m_channel.SetEventSink(nullptr);
  m_channel.RemoveFrameConsumer(this);
  m_logs.CloseLogFiles();
  m_logs.SetEventDisplay(nullptr);
  if (bAnswered && m_options.m_eCommand == ECliCommand::STATS) {
    m_stats.SampleRates(nEndNs);
    const std::string report = StatsReport(m_stats.Entries(), m_busLoad.Total(nEndNs), m_options.m_eFormat == EFrameFormat::CSV);
    if (m_nOutputError == 0) std::fwrite(report.data(), 1, report.size(), m_pOut);
  }
  FlushOutput();
  const int nExit = Finish(bOpened, bAnswered);
  if (nExit != CLI_EXIT_ANSWERED) return nExit;
  if (bReadFailed) return CLI_EXIT_NO_INPUT;
  return m_qwReplaySkipped > 0 ? CLI_EXIT_LINES_SKIPPED : CLI_EXIT_ANSWERED;
}

bool CCliSession::Replay(CliPump& pump) {
  CLogReplayer replayer(m_channel, m_pErr,
                        {.m_nLoops = m_options.m_nLoops, .m_dSpeed = m_options.m_dSpeed, .m_ids = m_options.m_replayIds});
  if (!replayer.Open(m_options.m_inputPath)) {
    std::fprintf(m_pErr, "korvex-cli: %s\n", replayer.Error().c_str());
    return false;
  }
  auto stopped = [&] { return m_channel.CommErrorCount() != 0 || m_bPortGone || pump.Interrupted(); };
  for (;;) {
    const int64_t nNowNs = pump.SteadyNowNs();
    const int64_t nNextNs = replayer.Step(nNowNs);
    if (nNextNs == CLogReplayer::DONE) break;
    if (stopped()) {
      replayer.Cancel();
      break;
    }
    // The frames keep their time on the sending thread: this wait only has to end within the
    // replayer's lookahead, so whole milliseconds, rounded up, do.
    const int64_t nWaitMs = std::max<int64_t>((nNextNs - nNowNs + 999'999) / 1'000'000, 1);
    m_bReplayDue = false;
    m_pWindow->SetTimer(IDT_REPLAY, static_cast<unsigned>(std::min<int64_t>(nWaitMs, MONITOR_CHUNK_MS)));
    while (!m_bReplayDue && !stopped()) pump.Pump();
    m_pWindow->KillTimer(IDT_REPLAY);
  }
  WaitWhile(pump, false, [this] { return m_channel.IsAwaitingResponse(); });
  const ReplaySummary& summary = replayer.Summary();
  m_qwReplaySkipped = summary.m_qwSkipped;
  std::fprintf(m_pErr, "replay: %llu frames sent, %llu skipped, worst lateness %.3f ms\n",
               static_cast<unsigned long long>(summary.m_qwSent), static_cast<unsigned long long>(summary.m_qwSkipped),
               static_cast<double>(summary.m_nWorstLateNs) / 1e6);
  if (summary.m_nLastLateNs > LATE_REPORT_NS)
    std::fprintf(m_pErr, "replay: the link could not carry the log as recorded: it ended %.3f ms behind\n",
                 static_cast<double>(summary.m_nLastLateNs) / 1e6);
  if (!replayer.Error().empty()) {
    std::fprintf(m_pErr, "korvex-cli: %s\n", replayer.Error().c_str());
    return false;
  }
  return true;
}

int CCliSession::Finish(bool bOpened, bool bAnswered) {
  std::fputs(m_logFailures.c_str(), m_pErr);
  if (!bOpened) {
    const std::string_view failed =
        m_options.m_bUsb ? "지정한 USB 통신 포트를 여는데 실패했읍니다" : "지정한 시리얼 통신 포트를 여는데 실패했읍니다";
    std::fprintf(m_pErr, "%s\n", m_pTranslator ? m_pTranslator->Translate(failed).c_str() : std::string(failed).c_str());
    if (!m_channel.LastOpenError().empty()) std::fprintf(m_pErr, "korvex-cli: %s\n", m_channel.LastOpenError().c_str());
    return CLI_EXIT_NO_PORT;
  }
  if (m_bPortGone) std::fputs("korvex-cli: the port went away (the device was unplugged or hung up)\n", m_pErr);
  const ChannelCounters counters = m_channel.Counters();
  if (counters.AnyNonZero())
    std::fprintf(m_pErr, "korvex-cli: dropped blocks %llu, refused lines %llu, refused responses %llu, incomplete frames %llu\n",
                 static_cast<unsigned long long>(counters.m_qwDroppedBlocks),
                 static_cast<unsigned long long>(counters.m_qwRefusedLines),
                 static_cast<unsigned long long>(counters.m_qwRefusedResponses),
                 static_cast<unsigned long long>(counters.m_qwIncompleteFrames));
  if (m_nOutputError != 0)
    std::fprintf(m_pErr, "korvex-cli: the output cannot be written: %s\n", std::strerror(m_nOutputError));
  // A capture that did not reach its file is as lost as one that did not reach the screen.
  if (m_nOutputError != 0 || m_nLogsFailed != 0) return CLI_EXIT_OUTPUT_FAILED;
  // Received frames dropped because the program fell behind are lost: never a success.
  if (!bAnswered || m_bPortGone || counters.m_qwDroppedBlocks > 0) return CLI_EXIT_COMM_FAILED;
  return CLI_EXIT_ANSWERED;
}

void CCliSession::OpenLogs() {
  const struct {
    int nKind;
    const std::string& path;
  } kLogs[] = {{LOG_EVENT, m_options.m_eventLogPath}, {LOG_RDATA, m_options.m_rdataLogPath}};
  for (const auto& log : kLogs) {
    if (log.path.empty()) continue;
    m_logs.SetPath(log.nKind, log.path);
    m_logs.OpenLogFile(log.nKind);
    m_logs.SetLogging(log.nKind, m_logs.IsOpen(log.nKind));
    if (m_logs.IsOpen(log.nKind)) m_nLogsOpened |= log.nKind;
  }
  NoteLogFailures();
}

void CCliSession::NoteLogFailures() {
  for (const int nKind : {LOG_EVENT, LOG_RDATA}) {
    if (!m_logs.HasWriteError(nKind) || (m_nLogsFailed & nKind) != 0) continue;
    m_nLogsFailed |= nKind;
    const int nErrno = m_logs.FailureErrno(nKind);
    m_logFailures += std::string("korvex-cli: the ") + (nKind == LOG_EVENT ? "event" : "receive-data") + " log cannot be " +
                     ((m_nLogsOpened & nKind) != 0 ? "written: " : "opened: ") + m_logs.Path(nKind) + ": " +
                     (nErrno != 0 ? std::strerror(nErrno) : "error") + "\n";
  }
}

void CCliSession::SendCommand() {
  const CliOptions& o = m_options;
  switch (o.m_eCommand) {
    case ECliCommand::READ_CONFIG:
      m_channel.ReadConfig();
      break;
    case ECliCommand::WRITE_CONFIG:
      m_channel.WriteConfig((o.m_byModeFlags & MODE_CAN20B) == 0, (o.m_byModeFlags & MODE_AUTO_RESET) != 0,
                            (o.m_byModeFlags & MODE_REPORT_BUSOFF) != 0, (o.m_byModeFlags & MODE_REPORT_PASSIVE) != 0,
                            (o.m_byModeFlags & MODE_REPORT_WARNING) != 0, o.m_wBitTiming, o.m_dwId, o.m_dwMaskId);
      break;
    case ECliCommand::VERSION:
      m_channel.ReadVersion();
      break;
    case ECliCommand::RESET:
      m_channel.ResetNode();
      break;
    case ECliCommand::SEND:
      m_channel.SendFrame(o.m_bStandard, !o.m_bRemote, static_cast<uint8_t>(o.m_data.size()), o.m_dwFrameId,
                          o.m_data.data());
      break;
    case ECliCommand::MONITOR:
    case ECliCommand::STATS:
      m_channel.SetReception(true, true);
      break;
    case ECliCommand::PORTS:  // done without a session (CliMain)
    case ECliCommand::CONVERT:
    case ECliCommand::DECODE:
    case ECliCommand::REPLAY:  // Replay
    case ECliCommand::SHOW_HELP:
    case ECliCommand::SHOW_VERSION:
      break;
  }
}

void CCliSession::ArmMonitorTimer() {
  m_pWindow->SetTimer(IDT_MONITOR, static_cast<unsigned>(std::min<uint64_t>(m_qwMonitorMsLeft, MONITOR_CHUNK_MS)));
}

bool CCliSession::MonitorDone() const {
  return m_bTimeUp || (m_options.m_qwCount > 0 && m_qwFrames >= m_options.m_qwCount);
}

void CCliSession::OnMessage(unsigned /*nMsg*/, uintptr_t /*wParam*/, intptr_t /*lParam*/) {}

void CCliSession::OnTimer(unsigned nId) {
  if (nId == IDT_REPLAY) {
    m_bReplayDue = true;
    m_pWindow->KillTimer(IDT_REPLAY);
    return;
  }
  if (nId != IDT_MONITOR) return;
  m_qwMonitorMsLeft -= std::min<uint64_t>(m_qwMonitorMsLeft, MONITOR_CHUNK_MS);
  if (m_qwMonitorMsLeft > 0) {
    ArmMonitorTimer();
    return;
  }
  m_bTimeUp = true;
  m_pWindow->KillTimer(IDT_MONITOR);
}

bool CCliSession::FlushOutput() {
  if (m_nOutputError == 0) {
    errno = 0;
    if (std::fflush(m_pOut) != 0 || std::ferror(m_pOut)) m_nOutputError = errno != 0 ? errno : EIO;
  }
  NoteLogFailures();
  return m_nOutputError == 0 && m_nLogsFailed == 0;
}

void CCliSession::Print(std::FILE* pTo, std::string_view stamp, std::string_view text) {
  if (pTo == m_pOut && m_nOutputError != 0) return;  // nobody sees it any more
  if (!stamp.empty()) {
    std::fwrite(stamp.data(), 1, stamp.size(), pTo);
    std::fputs("  ", pTo);
  }
  std::fwrite(text.data(), 1, text.size(), pTo);
  std::fputc('\n', pTo);
}

// Standard output holds only frame lines (candump) or only the table (stats).
void CCliSession::AppendEvent(std::string_view text, COLORREF /*colour*/) {
  const bool bAside = m_options.m_eFormat == EFrameFormat::CANDUMP || m_options.m_eFormat == EFrameFormat::SIGNALS ||
                      m_options.m_eCommand == ECliCommand::STATS;
  const std::string_view stamp = m_options.m_bTimestamps ? m_logs.TimeStamp() : std::string_view();
  if (m_pTranslator)
    Print(bAside ? m_pErr : m_pOut, stamp, m_pTranslator->Translate(text));
  else
    Print(bAside ? m_pErr : m_pOut, stamp, text);
}

// A frame is stamped with the second it came off the port, on screen as in the log.
void CCliSession::OnFrames(std::span<const ReceivedFrame> frames) {
  if (m_bFramesClosed || MonitorDone()) return;
  if (m_options.m_qwCount > 0 && frames.size() > m_options.m_qwCount - m_qwFrames)
    frames = frames.first(m_options.m_qwCount - m_qwFrames);
  m_qwFrames += frames.size();
  for (FrameConsumer* pOutput : m_outputs) pOutput->OnFrames(frames);
}
