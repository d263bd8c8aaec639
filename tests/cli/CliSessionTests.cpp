// korvex-cli's session on the virtual-time loop against a scripted module: what it writes and prints, and when.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <map>

#include "cli/CCliSession.h"
#include "protocol/CModuleChannel.h"
#include "protocol/FakeTransport.h"
#include "receive/CLogFiles.h"
#include "support/CVirtualLoop.h"
#include "support/MemoryFile.h"
#include "support/ScratchDir.h"
#include "text/EventTranslator.h"

namespace {

constexpr std::time_t T_NOW = 1700000000;  // the wall clock the log files see
std::time_t FixedNow() { return T_NOW; }

const std::string EV_CONFIG = "[Korvex 환경설정 읽기 응답] : CAN2.0B  250.00K BPS  수신 ID:00000000  수신 Mask ID:00000000";
const std::string EV_STARTED = "[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 동작 중";
const std::string EV_STOPPED = "[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 중지 중";
const std::string FRAME = Line(":U28000000010000000000000001");
const std::string FRAME_TEXT = "CAN2.0B  Data Frame    길이:8  ID:00000001  데이터:00 00 00 00 00 00 00 01";

// The session's window as the Qt message host gives it: timers count milliseconds in an int.
struct CIntTimerWindow final : MessageHost {
  CIntTimerWindow(CVirtualLoop& loop, MessageHandler& handler) : m_window(loop, handler) {}
  void Post(unsigned nMsg, uintptr_t wParam, intptr_t lParam) override { m_window.Post(nMsg, wParam, lParam); }
  void SetTimer(unsigned nId, unsigned nMilliseconds) override {
    EXPECT_LE(nMilliseconds, unsigned{INT_MAX}) << "a timer the Qt message host cannot count";
    m_window.SetTimer(nId, nMilliseconds);
  }
  void KillTimer(unsigned nId) override { m_window.KillTimer(nId); }
  CVirtualLoop::CWindow m_window;
};

// One run against a module that answers the commands in m_answers; also the session's pump.
class CSessionRig final : public CliPump {
public:
  CSessionRig() {
    m_pSerial->m_fnOnWrite = [this](const std::string& line) {
      if (m_answers.count(line)) m_pSerial->Deliver(Line(m_answers[line]));
    };
  }
  void Pump() override {
    if (m_fnSend && m_channel.IsReceptionRunning()) std::exchange(m_fnSend, nullptr)(*m_pSerial);
    m_bInterrupted = !m_loop.Step();
    EXPECT_FALSE(m_bInterrupted) << "the session waits with nothing left to happen";
  }
  void Drain() override { m_loop.RunPending(); }
  bool Interrupted() const override { return m_bInterrupted; }
  int64_t SteadyNowNs() const override { return static_cast<int64_t>(m_loop.Now()) * 1000000; }

  // Runs a command line; standard error goes with the captured output, so any text on it is compared.
  int Run(const std::vector<std::string>& args) {
    const CliParseResult parsed = ParseCommandLine(args);
    EXPECT_TRUE(parsed.m_bOk) << parsed.m_error;
    CCliSession session(parsed.m_options, m_channel, m_logs, m_out.File(), m_out.File());
    session.SetEventTranslator(m_pTranslator);
    CVirtualLoop::CWindow channelWindow(m_loop, m_channel);
    CIntTimerWindow sessionWindow(m_loop, session);
    const int nExit = session.Run(channelWindow, sessionWindow, *this);
    EXPECT_FALSE(session.IsPortOpen() || m_pSerial->IsOpen());
    return nExit;
  }
  std::vector<std::string> Printed() { return Lines(m_out.Text()); }

  // The version command ":V56" is never answered.
  std::map<std::string, std::string> m_answers = {{":Y59\r", ":Y1C0F340000000000000000"}, {":G00A7\r", ":G00"},
                                                  {":G10A8\r", ":G00"}, {":G11A9\r", ":G01"}};
  std::function<void(CFakeTransport&)> m_fnSend;  // the module's part once reception runs
  const CEventTranslator* m_pTranslator = nullptr;
  bool m_bInterrupted = false;
  CVirtualLoop m_loop;
  CLogFiles m_logs{&FixedNow};
  CMemoryFile m_out;
  CFakeTransport* m_pSerial = new CFakeTransport;  // owned by the channel
  CModuleChannel m_channel{std::unique_ptr<CFakeTransport>(m_pSerial), std::make_unique<CFakeTransport>()};
};

// A run ends on an unanswered command (1 s), after --seconds (past an int's milliseconds), or at once on a log failure.
TEST(CliSession, WhenAndHowARunEnds) {
  ScratchDir dir;
  const std::string missing = dir / "missing/rd.txt";
  const struct { std::vector<std::string> command; int nExit; uint64_t qwEndMs; std::string last = {}; } kCases[] = {
      {{"version"}, CLI_EXIT_COMM_FAILED, 1000},
      {{"monitor", "--seconds", "1"}, CLI_EXIT_ANSWERED, 1000},
      {{"monitor", "--seconds", "2147484"}, CLI_EXIT_ANSWERED, 2147484000},
      {{"monitor", "--seconds", "4294967295"}, CLI_EXIT_ANSWERED, 4294967295000},
      {{"--rdata-log", missing, "monitor", "--seconds", "1"}, CLI_EXIT_OUTPUT_FAILED, 0,
       "korvex-cli: the receive-data log cannot be opened: " + missing + ": No such file or directory"},
      {{"--event-log", "/dev/full", "read-config"}, CLI_EXIT_OUTPUT_FAILED, 0,
       "korvex-cli: the event log cannot be written: /dev/full: No space left on device"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.command.back());
    CSessionRig rig;
    std::vector<std::string> args = {"--port", "p"};
    args.insert(args.end(), c.command.begin(), c.command.end());
    EXPECT_EQ(rig.Run(args), c.nExit);
    EXPECT_EQ(std::tuple(rig.m_loop.Now(), rig.m_pSerial->m_writes.back()), std::tuple(c.qwEndMs + CModuleChannel::CLOSE_WAIT_MS, ":G10A8\r"));
    EXPECT_TRUE(c.last.empty() || rig.Printed().back() == c.last) << rig.Printed().back();
  }
}

// Monitor counts garbage between frames and reports it; frames carry their arrival second, events the clock's.
TEST(CliSession, MonitorStampsFramesWithTheirArrivalAndReportsWhatWentWrongOnTheWayIn) {
  CSessionRig rig;
  const std::time_t T_ARRIVED = T_NOW - 3600;
  rig.m_fnSend = [&](CFakeTransport& t) {
    t.Deliver(FRAME + ":ZZ\r" + Line(":Q00") + FRAME + Line(":U2800000001AABB"),
              ArrivalTime{1, T_ARRIVED * 1000000000LL + 999999999});
  };
  EXPECT_EQ(rig.Run({"--port", "p", "--timestamps", "monitor", "--count", "3"}), CLI_EXIT_ANSWERED);
  CLogFiles clock;
  const std::string now = std::string(clock.TimeStamp(T_NOW)) + "  ", arrived = std::string(clock.TimeStamp(T_ARRIVED)) + "  ";
  EXPECT_EQ(rig.Printed(),
            (std::vector<std::string>{now + EV_CONFIG, now + EV_STOPPED, now + EV_STARTED, arrived + FRAME_TEXT,
                                      arrived + FRAME_TEXT, arrived + "CAN2.0B  Data Frame    길이:8  ID:00000001  데이터:AA BB",
                                      now + EV_STOPPED,
                                      "korvex-cli: dropped blocks 0, refused lines 1, refused responses 1, "
                                      "incomplete frames 1"}));
}

// In another language the frame lines carry its labels, their columns kept.
TEST(CliSession, MonitorPrintsFrameLabelsInTheChosenLanguage) {
  const std::map<std::string, std::string> kEnglish = {{"길이:", "DLC:"}, {"데이터:", "Data:"}};
  const CEventTranslator translator([&](const char* pszPhrase) {
    const auto it = kEnglish.find(pszPhrase);
    return it != kEnglish.end() ? it->second : std::string(pszPhrase);
  });
  CSessionRig rig;
  rig.m_pTranslator = &translator;
  rig.m_fnSend = [](CFakeTransport& t) { t.Deliver(FRAME); };
  EXPECT_EQ(rig.Run({"--port", "p", "monitor", "--count", "1"}), CLI_EXIT_ANSWERED);
  EXPECT_EQ(rig.Printed().at(3), "CAN2.0B  Data Frame    DLC:8   ID:00000001  Data:00 00 00 00 00 00 00 01");
}

// stats over one virtual second as text or CSV; the load is 3 x 67 + 71 + 50 bits at 250 kbit/s.
TEST(CliSession, StatsTabulatesTheFramesOfTheRunAsTextOrCsv) {
  const std::vector<std::string> kEvents = {EV_CONFIG, EV_STOPPED, EV_STARTED, EV_STOPPED};
  const struct { const char* pszFormat; std::vector<std::string> table; } kCases[] = {
      {"text",
       {"Protocol  ID        Kind      Count   Mean ms    Min ms    Max ms  Frames/s",
        "CAN2.0A   123       data          3     12.50     10.00     15.00      3.00",
        "CAN2.0B   00000123  remote        1         -         -         -      1.00",
        "CAN2.0A   7FF       remote        1         -         -         -      1.00",
        "Total                             5                                    5.00  bus load 0.13 %"}},
      {"csv",
       {"protocol,id,kind,count,mean_ms,min_ms,max_ms,frames_per_s,bus_load_percent",
        "CAN2.0A,123,data,3,12.500,10.000,15.000,3.00,", "CAN2.0B,00000123,remote,1,,,,1.00,",
        "CAN2.0A,7FF,remote,1,,,,1.00,", "total,,,5,,,,5.00,0.13"}},
  };
  for (const auto& c : kCases) {
    CSessionRig rig;
    rig.m_fnSend = [](CFakeTransport& t) {
      const std::pair<const char*, int64_t> kArrivals[] = {{":U3000000123", 40}, {":U0201230102", 100}, {":U0201230102", 110},
                                                           {":U1007FF", 120}, {":U0201230102", 125}};
      for (const auto& [pszLine, nMs] : kArrivals) t.Deliver(Line(pszLine), {nMs * 1000000, T_NOW * 1000000000LL});
    };
    EXPECT_EQ(rig.Run({"--port", "p", "stats", "--seconds", "1", "--format", c.pszFormat}), CLI_EXIT_ANSWERED);
    std::vector<std::string> expected = kEvents;
    expected.insert(expected.end(), c.table.begin(), c.table.end());
    EXPECT_EQ(rig.Printed(), expected) << c.pszFormat;
  }
}

}  // namespace
