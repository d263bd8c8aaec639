// korvex-cli's session on the virtual-time loop against a scripted module: what it writes to
// the module and prints, and when. (Every command's answers, monitor, the log files, the exit
// statuses and SIGINT are checked against the simulated module in the end-to-end tests.)
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <sstream>

#include "cli/CCliSession.h"
#include "protocol/CModuleChannel.h"
#include "support/CVirtualLoop.h"
#include "protocol/FakeTransport.h"
#include "receive/CLogFiles.h"

namespace {

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
const std::string EV_STOPPED = "[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 중지 중";

class CliSessionTest : public ::testing::Test {
protected:
  CliSessionTest() { m_pSerial->m_fnOnWrite = [this](const std::string& line) { Answer(line); }; }
  ~CliSessionTest() override {
    std::fclose(m_pOut);
    std::free(m_pszOut);
  }
  // The module answers each command whose letter is not silenced.
  void Answer(const std::string& line) {
    if (m_silent.count(line[1])) return;
    if (line == ":Y59\r") m_pSerial->Deliver(Line(":Y1C0F340000000000000000"));
    if (line == ":G00A7\r" || line == ":G10A8\r") m_pSerial->Deliver(Line(":G00"));
    if (line == ":G11A9\r") m_pSerial->Deliver(Line(":G01"));
    if (line == ":V56\r") m_pSerial->Deliver(Line(":V12"));
  }
  // Runs a command line; pOut, when given, stands for standard output. Standard error goes
  // with the captured output, so that any text on it shows in what a test compares.
  int Run(const std::vector<std::string>& args, std::FILE* pOut = nullptr) {
    const CliParseResult parsed = ParseCommandLine(args);
    EXPECT_TRUE(parsed.m_bOk) << parsed.m_error;
    CCliSession session(parsed.m_options, m_channel, m_logs, pOut ? pOut : m_pOut, m_pOut);
    CVirtualLoop::CWindow channelWindow(m_loop, m_channel);
    CVirtualLoop::CWindow sessionWindow(m_loop, session);
    const int nExit = session.Run(channelWindow, sessionWindow, m_pump, &m_loop);
    EXPECT_FALSE(session.IsPortOpen());
    EXPECT_FALSE(m_pSerial->IsOpen());
    m_qwFramesPrinted = session.FramesPrinted();
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
  CLogFiles m_logs;
  char* m_pszOut = nullptr;
  std::size_t m_nOut = 0;
  std::FILE* m_pOut = open_memstream(&m_pszOut, &m_nOut);
  CFakeTransport* m_pSerial = new CFakeTransport;  // owned by the channel
  CModuleChannel m_channel{std::unique_ptr<CFakeTransport>(m_pSerial), std::make_unique<CFakeTransport>()};
  std::set<char> m_silent;
  uint64_t m_qwFramesPrinted = 0;
};

TEST_F(CliSessionTest, UnansweredCommandGivesTheCommunicationErrorOneSecondLater) {
  m_silent = {'V'};
  EXPECT_EQ(Run({"--port", "/dev/pts/9", "--baud", "921600", "version"}), CLI_EXIT_NO_ANSWER);
  EXPECT_EQ(m_pSerial->m_openedName, "/dev/pts/9");
  EXPECT_EQ(m_pSerial->m_dwOpenedRate, 921600u);
  EXPECT_EQ(m_pSerial->m_writes, (std::vector<std::string>{":Y59\r", ":G00A7\r", ":V56\r", ":G10A8\r"}));
  EXPECT_EQ(Printed(), (std::vector<std::string>{EV_CONFIG, EV_STOPPED,
                                                 "[Korvex 통신에러 발생]      : Korvex 모듈로 부터  1초동안 요청 "
                                                 "명령에 대해 응답이 없읍니다",
                                                 EV_STOPPED}));
  EXPECT_EQ(m_loop.Now(), 1500u);  // the second of the answer timer, the wait before the close
}

// An output that takes this many bytes and then fails, like a pipe whose reader has gone:
// monitor must still end in order, reception stopped.
TEST_F(CliSessionTest, MonitorEndsInOrderWhenItsOutputCannotBeWritten) {
  std::size_t nBudget = 2000;  // the start-up events and a few frames
  cookie_io_functions_t functions{};
  functions.write = [](void* pCookie, const char*, std::size_t nSize) -> ssize_t {
    auto* pnLeft = static_cast<std::size_t*>(pCookie);
    if (*pnLeft < nSize) return -1;
    *pnLeft -= nSize;
    return static_cast<ssize_t>(nSize);
  };
  std::FILE* pOut = fopencookie(&nBudget, "w", functions);
  ASSERT_NE(pOut, nullptr);
  unsigned nSent = 0;
  m_pump.m_fnOnPump = [&] {  // frames keep coming; a run that does not end is cut short
    m_pSerial->Deliver(Line(":U28000000010000000000000001"));
    m_pump.m_bInterrupted |= ++nSent > 10000;
  };
  EXPECT_EQ(Run({"--port", "p", "monitor"}, pOut), CLI_EXIT_ANSWERED);
  EXPECT_EQ(m_pSerial->m_writes.back(), ":G10A8\r");
  EXPECT_GT(m_qwFramesPrinted, 5u);
  EXPECT_LT(nSent, 10000u);
  std::fclose(pOut);
}

}  // namespace
