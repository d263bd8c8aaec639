// korvex-cli's session on the virtual-time loop against a scripted module: what it writes to
// the module and prints, and when; what goes wrong on the way in. (Every command's answers,
// monitor, the log files, the exit statuses, output errors and the signals are checked
// against the simulated module in the end-to-end tests.)
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <sstream>

#include "cli/CCliSession.h"
#include "protocol/CModuleChannel.h"
#include "protocol/FakeTransport.h"
#include "receive/CLogFiles.h"
#include "support/CVirtualLoop.h"

namespace {

constexpr std::time_t T_NOW = 1700000000;  // the wall clock the log files see
std::time_t FixedNow() { return T_NOW; }

class CVirtualPump final : public CliPump {
public:
  explicit CVirtualPump(CVirtualLoop& loop) : m_loop(loop) {}
  void Pump() override {
    if (m_fnOnPump) m_fnOnPump();
    if (!m_loop.Step()) {
      ADD_FAILURE() << "the session waits with nothing left to happen";
      m_bInterrupted = true;
    }
  }
  void Drain() override { m_loop.RunPending(); }
  bool Interrupted() const override { return m_bInterrupted; }

  bool m_bInterrupted = false;
  std::function<void()> m_fnOnPump;

private:
  CVirtualLoop& m_loop;
};

const std::string EV_CONFIG =
    "[Korvex 환경설정 읽기 응답] : CAN2.0B  250.00K BPS  수신 ID:00000000  수신 Mask ID:00000000";
const std::string EV_STARTED = "[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 동작 중";
const std::string EV_STOPPED = "[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 중지 중";
const std::string FRAME = Line(":U28000000010000000000000001");
const std::string FRAME_TEXT = "CAN2.0B  Data Frame    길이:8  ID:00000001  데이터:00 00 00 00 00 00 00 01";

// The session's window as the Qt message host gives it: timers count milliseconds in an int.
class CIntTimerWindow final : public MessageHost {
public:
  CIntTimerWindow(CVirtualLoop& loop, MessageHandler& handler) : m_window(loop, handler) {}
  void Post(unsigned nMsg, uintptr_t wParam, intptr_t lParam) override { m_window.Post(nMsg, wParam, lParam); }
  void SetTimer(unsigned nId, unsigned nMilliseconds) override {
    EXPECT_LE(nMilliseconds, unsigned{INT_MAX}) << "a timer the Qt message host cannot count";
    m_window.SetTimer(nId, nMilliseconds);
  }
  void KillTimer(unsigned nId) override { m_window.KillTimer(nId); }

private:
  CVirtualLoop::CWindow m_window;
};

// One run against a module that answers each command whose letter is not silenced.
class CSessionRig {
public:
  CSessionRig() { m_pSerial->m_fnOnWrite = [this](const std::string& line) { Answer(line); }; }
  ~CSessionRig() {
    std::fclose(m_pOut);
    std::free(m_pszOut);
  }
  void Answer(const std::string& line) {
    if (m_silent.count(line[1])) return;
    if (line == ":Y59\r") m_pSerial->Deliver(Line(":Y1C0F340000000000000000"));
    if (line == ":G00A7\r" || line == ":G10A8\r") m_pSerial->Deliver(Line(":G00"));
    if (line == ":G11A9\r") m_pSerial->Deliver(Line(":G01"));
    if (line == ":V56\r") m_pSerial->Deliver(Line(":V12"));
  }
  // Once reception runs, fnSend plays the module's part, once.
  void WhileMonitoring(std::function<void(CFakeTransport&)> fnSend) {
    m_pump.m_fnOnPump = [this, fnSend] {
      if (m_channel.IsReceptionRunning() && !std::exchange(m_bSent, true)) fnSend(*m_pSerial);
    };
  }
  // Runs a command line. Standard error goes with the captured output, so that any text on
  // it shows in what a test compares.
  int Run(const std::vector<std::string>& args) {
    const CliParseResult parsed = ParseCommandLine(args);
    EXPECT_TRUE(parsed.m_bOk) << parsed.m_error;
    CCliSession session(parsed.m_options, m_channel, m_logs, m_pOut, m_pOut);
    CVirtualLoop::CWindow channelWindow(m_loop, m_channel);
    CIntTimerWindow sessionWindow(m_loop, session);
    const int nExit = session.Run(channelWindow, sessionWindow, m_pump, &m_loop);
    EXPECT_FALSE(session.IsPortOpen());
    EXPECT_FALSE(m_pSerial->IsOpen());
    return nExit;
  }
  std::vector<std::string> Printed() {
    std::fflush(m_pOut);
    std::istringstream in(std::string(m_pszOut, m_nOut));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  CVirtualLoop m_loop;
  CVirtualPump m_pump{m_loop};
  CLogFiles m_logs{&FixedNow};
  char* m_pszOut = nullptr;
  std::size_t m_nOut = 0;
  std::FILE* m_pOut = open_memstream(&m_pszOut, &m_nOut);
  CFakeTransport* m_pSerial = new CFakeTransport;  // owned by the channel
  CModuleChannel m_channel{std::unique_ptr<CFakeTransport>(m_pSerial), std::make_unique<CFakeTransport>()};
  std::set<char> m_silent;
  bool m_bSent = false;
};

TEST(CliSession, UnansweredCommandGivesTheCommunicationErrorOneSecondLater) {
  CSessionRig rig;
  rig.m_silent = {'V'};
  EXPECT_EQ(rig.Run({"--port", "/dev/pts/9", "--baud", "921600", "version"}), CLI_EXIT_COMM_FAILED);
  EXPECT_EQ(rig.m_pSerial->m_openedName, "/dev/pts/9");
  EXPECT_EQ(rig.m_pSerial->m_dwOpenedRate, 921600u);
  EXPECT_EQ(rig.m_pSerial->m_writes, (std::vector<std::string>{":Y59\r", ":G00A7\r", ":V56\r", ":G10A8\r"}));
  EXPECT_EQ(rig.Printed(), (std::vector<std::string>{EV_CONFIG, EV_STOPPED,
                                                     "[Korvex 통신에러 발생]      : Korvex 모듈로 부터  1초동안 요청 "
                                                     "명령에 대해 응답이 없읍니다",
                                                     EV_STOPPED}));
  EXPECT_EQ(rig.m_loop.Now(), 1500u);  // the second of the answer timer, the wait before the close
}

// What the module sends during monitor beside good frames, and what the end reports: the
// counters only when one is not 0; frames lost and a vanished port are failures.
TEST(CliSession, MonitorReportsWhatWentWrongOnTheWayIn) {
  const std::string COUNTERS = "korvex-cli: dropped blocks ";
  const struct {
    const char* pszCase;
    std::function<void(CFakeTransport&)> fnSend;
    int nExit;
    std::vector<std::string> tail;  // the last lines of the output and standard error
  } kCases[] = {
      {"garbage between frames",
       [](CFakeTransport& t) { t.Deliver(FRAME + ":ZZ\r" + Line(":Q00") + FRAME + Line(":U2800000001AABB")); },
       CLI_EXIT_ANSWERED,
       {FRAME_TEXT, FRAME_TEXT, "CAN2.0B  Data Frame    길이:8  ID:00000001  데이터:AA BB", EV_STOPPED,
        COUNTERS + "0, refused lines 1, refused responses 1, incomplete frames 1"}},
      {"a block dropped",
       [](CFakeTransport& t) {
         t.Deliver(FRAME);
         t.Deliver(std::string(CByteQueue::QUEUE_SIZE, ':'));
         t.Deliver(FRAME + FRAME);
       },
       CLI_EXIT_COMM_FAILED,
       {FRAME_TEXT, FRAME_TEXT, FRAME_TEXT, EV_STOPPED,
        COUNTERS + "1, refused lines 0, refused responses 0, incomplete frames 0"}},
      {"hang-up",  // nothing is sent to a port that is gone
       [](CFakeTransport& t) {
         t.Deliver(FRAME);
         t.HangUp();
       },
       CLI_EXIT_COMM_FAILED,
       {EV_STARTED, FRAME_TEXT, "[Korvex 통신포트 에러]      : 통신 포트가 끊어졌읍니다 (장치가 분리됨)",
        "korvex-cli: the port went away (the device was unplugged or hung up)"}},
  };
  for (const auto& c : kCases) {
    CSessionRig rig;
    rig.WhileMonitoring(c.fnSend);
    EXPECT_EQ(rig.Run({"--port", "p", "monitor", "--count", "3"}), c.nExit) << c.pszCase;
    const std::vector<std::string> printed = rig.Printed();
    ASSERT_GE(printed.size(), c.tail.size()) << c.pszCase;
    EXPECT_EQ(std::vector<std::string>(printed.end() - c.tail.size(), printed.end()), c.tail) << c.pszCase;
  }
}

// --seconds ends the run however long it is: beyond the milliseconds an int holds as well.
TEST(CliSession, MonitorEndsAfterItsSecondsAtAnyLength) {
  for (const uint64_t qwSeconds : {1ull, 2147484ull, 4294967295ull}) {
    CSessionRig rig;
    EXPECT_EQ(rig.Run({"--port", "p", "monitor", "--seconds", std::to_string(qwSeconds)}), CLI_EXIT_ANSWERED);
    EXPECT_EQ(rig.m_loop.Now(), qwSeconds * 1000 + CModuleChannel::CLOSE_WAIT_MS) << qwSeconds;
    EXPECT_EQ(rig.m_pSerial->m_writes.back(), ":G10A8\r");
  }
}

// A frame is stamped with the second its bytes arrived, an event with the clock's.
TEST(CliSession, FramesAreStampedWithTheirArrival) {
  CSessionRig rig;
  const std::time_t T_ARRIVED = T_NOW - 3600;
  rig.WhileMonitoring([&](CFakeTransport& t) {
    t.Deliver(FRAME, ArrivalTime{1, T_ARRIVED * 1000000000LL + 999999999});
  });
  EXPECT_EQ(rig.Run({"--port", "p", "--timestamps", "monitor", "--count", "1"}), CLI_EXIT_ANSWERED);
  CLogFiles clock;
  const std::string now(clock.TimeStamp(T_NOW)), arrived(clock.TimeStamp(T_ARRIVED));
  EXPECT_EQ(rig.Printed(), (std::vector<std::string>{now + "  " + EV_CONFIG, now + "  " + EV_STOPPED,
                                                     now + "  " + EV_STARTED, arrived + "  " + FRAME_TEXT,
                                                     now + "  " + EV_STOPPED}));
}

}  // namespace
