// korvex-cli's session on the virtual-time loop against a scripted module.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>

#include "cli/CCliSession.h"
#include "protocol/CModuleChannel.h"
#include "protocol/CVirtualLoop.h"
#include "protocol/FakeTransport.h"
#include "receive/CLogFiles.h"
#include "receive/TempDir.h"
#include "uisupport/Cp949Text.h"

namespace {

std::time_t FixedTime() { return 1714571107; }  // 2024-05-01 13:45:07 UTC

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

// Collects a FILE*'s output in memory.
class CCapture {
public:
  CCapture() : m_pFile(open_memstream(&m_pBuffer, &m_nSize)) {}
  ~CCapture() {
    std::fclose(m_pFile);
    std::free(m_pBuffer);
  }
  std::FILE* File() const { return m_pFile; }
  std::vector<std::string> Lines() {
    std::fflush(m_pFile);
    std::istringstream in(std::string(m_pBuffer, m_nSize));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

private:
  char* m_pBuffer = nullptr;
  std::size_t m_nSize = 0;
  std::FILE* m_pFile;
};

const std::string EV_CONFIG =
    "[Korvex 환경설정 읽기 응답] : CAN2.0B  250.00K BPS  수신 ID:00000000  수신 Mask ID:00000000";
const std::string EV_STOPPED = "[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 중지 중";
const std::string EV_RUNNING = "[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 동작 중";
const std::string EV_COMM_ERROR =
    "[Korvex 통신에러 발생]      : Korvex 모듈로 부터  1초동안 요청 명령에 대해 응답이 없읍니다";

class CliSessionTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
  }
  CliSessionTest() {
    auto pSerial = std::make_unique<CFakeTransport>();
    m_pSerial = pSerial.get();
    auto pUsb = std::make_unique<CFakeTransport>();
    m_pUsb = pUsb.get();
    m_pChannel = std::make_unique<CModuleChannel>(std::move(pSerial), std::move(pUsb));
    m_pSerial->m_fnOnWrite = [this](const std::string& line) { Answer(line); };
  }
  // The module: answers each command unless its letter is silenced; reception start also
  // sends the queued frames.
  void Answer(const std::string& line) {
    if (m_silent.count(line[1])) return;
    std::string reply;
    if (line == ":Y59\r") reply = Line(":Y1C0F340000000000000000");
    else if (line == ":G00A7\r" || line == ":G10A8\r") reply = Line(":G00");
    else if (line == ":G11A9\r") reply = Line(":G01");
    else if (line == ":V56\r") reply = Line(":V12");
    else if (line == ":R52\r") reply = Line(":R00");
    else if (line[1] == 'Z' || line[1] == 'W') reply = Line(line.substr(0, line.size() - 3));  // echo
    if (line == ":G11A9\r")
      for (const std::string& frame : m_frames) reply += frame;
    m_pSerial->Deliver(reply);
  }
  int Run(const std::string& args) {
    const CliParseResult parsed = ParseCommandLine(Split(args));
    EXPECT_TRUE(parsed.m_bOk) << parsed.m_error;
    m_options = parsed.m_options;
    CCliSession session(m_options, *m_pChannel, m_logs, m_out.File(), m_err.File());
    CVirtualLoop::CWindow channelWindow(m_loop, *m_pChannel);
    CVirtualLoop::CWindow sessionWindow(m_loop, session);
    const int nExit = session.Run(channelWindow, sessionWindow, m_pump, &m_loop);
    EXPECT_FALSE(session.IsPortOpen());
    return nExit;
  }
  static std::vector<std::string> Split(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
  }
  static std::string FrameLine(unsigned n) {
    char sz[32];
    std::snprintf(sz, sizeof sz, ":U08%08X%016X", n, n);
    return Line(std::string(sz).replace(2, 2, "28"));
  }

  CVirtualLoop m_loop;
  CVirtualPump m_pump{m_loop};
  CLogFiles m_logs{&FixedTime};
  CCapture m_out;
  CCapture m_err;
  CliOptions m_options;
  CFakeTransport* m_pSerial = nullptr;
  CFakeTransport* m_pUsb = nullptr;
  std::unique_ptr<CModuleChannel> m_pChannel;
  std::set<char> m_silent;
  std::vector<std::string> m_frames;
};

TEST_F(CliSessionTest, ReadConfigRunsTheStartupExchangeThenTheCommandThenStops) {
  EXPECT_EQ(Run("--port /dev/pts/9 --baud 921600 read-config"), CLI_EXIT_ANSWERED);
  EXPECT_EQ(m_pSerial->m_openedName, "/dev/pts/9");
  EXPECT_EQ(m_pSerial->m_dwOpenedRate, 921600u);
  EXPECT_EQ(m_pSerial->m_writes, (std::vector<std::string>{":Y59\r", ":G00A7\r", ":Y59\r", ":G10A8\r"}));
  EXPECT_EQ(m_out.Lines(), (std::vector<std::string>{EV_CONFIG, EV_STOPPED, EV_CONFIG, EV_STOPPED}));
  EXPECT_TRUE(m_err.Lines().empty());
  EXPECT_EQ(m_loop.Now(), 500u);  // only the wait before the close; no second had to pass
  EXPECT_FALSE(m_pSerial->IsOpen());
}

struct CommandCase {
  const char* pszArgs;
  std::string line;
  std::string event;
};

class CliCommandTest : public CliSessionTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CliCommandTest, SendsItsLineAndPrintsItsAnswer) {
  EXPECT_EQ(Run(std::string("--port p ") + GetParam().pszArgs), CLI_EXIT_ANSWERED);
  ASSERT_EQ(m_pSerial->m_writes.size(), 4u);
  EXPECT_EQ(m_pSerial->m_writes[2], GetParam().line);
  EXPECT_EQ(m_out.Lines(), (std::vector<std::string>{EV_CONFIG, EV_STOPPED, GetParam().event, EV_STOPPED}));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliCommandTest,
    ::testing::Values(
        CommandCase{"write-config --std --bitrate 500K --report passive,warning --id 123", Line(":Z03073401230000"),
                    "[Korvex 환경설정 쓰기 응답] : CAN2.0A  500.00K BPS  수신 ID:123  수신 Mask ID:000"},
        CommandCase{"write-config", Line(":Z1C0F340000000000000000"),
                    "[Korvex 환경설정 쓰기 응답] : CAN2.0B  250.00K BPS  수신 ID:00000000  수신 Mask ID:00000000"},
        CommandCase{"send --std 123 11 22", Line(":W0201231122"),
                    "[CAN 데이터 송신 응답]      : CAN2.0A  Data Frame  길이:2  ID:123  데이터:11 22"}));

TEST_F(CliSessionTest, SilentModuleEndsInTheCommunicationErrorOneSecondLater) {
  m_silent = {'Y', 'G'};
  EXPECT_EQ(Run("--port p version"), CLI_EXIT_NO_ANSWER);
  EXPECT_EQ(m_out.Lines(), (std::vector<std::string>{EV_COMM_ERROR}));
  EXPECT_EQ(m_pSerial->m_writes, (std::vector<std::string>{":Y59\r", ":G10A8\r"}));  // the command never went out
  EXPECT_EQ(m_loop.Now(), 1500u);
}

TEST_F(CliSessionTest, UnansweredCommandGivesExitFour) {
  m_silent = {'V'};
  EXPECT_EQ(Run("--port p version"), CLI_EXIT_NO_ANSWER);
  EXPECT_EQ(m_out.Lines(), (std::vector<std::string>{EV_CONFIG, EV_STOPPED, EV_COMM_ERROR, EV_STOPPED}));
}

TEST_F(CliSessionTest, PortThatCannotBeOpenedGivesExitThreeAndTheMessage) {
  m_pSerial->m_bOpenSucceeds = false;
  m_pUsb->m_bOpenSucceeds = false;
  EXPECT_EQ(Run("--port /nonexistent version"), CLI_EXIT_NO_PORT);
  EXPECT_EQ(Run("--usb KX1 version"), CLI_EXIT_NO_PORT);
  EXPECT_EQ(m_pUsb->m_openedName, "KX1");
  EXPECT_EQ(m_err.Lines(), (std::vector<std::string>{"지정한 시리얼 통신 포트를 여는데 실패했읍니다",
                                                     "지정한 USB 통신 포트를 여는데 실패했읍니다"}));
  EXPECT_TRUE(m_out.Lines().empty());
  EXPECT_TRUE(m_pSerial->m_writes.empty());
}

TEST_F(CliSessionTest, MonitorStopsAtItsCountWithoutPrintingLaterFrames) {
  for (unsigned n = 0; n < 5; ++n) m_frames.push_back(FrameLine(n));
  EXPECT_EQ(Run("--port p monitor --count 3"), CLI_EXIT_ANSWERED);
  EXPECT_EQ(m_pSerial->m_writes, (std::vector<std::string>{":Y59\r", ":G00A7\r", ":G11A9\r", ":G10A8\r"}));
  EXPECT_EQ(m_out.Lines(),
            (std::vector<std::string>{EV_CONFIG, EV_STOPPED, EV_RUNNING,
                                      "CAN2.0B  Data Frame    길이:8  ID:00000000  데이터:00 00 00 00 00 00 00 00",
                                      "CAN2.0B  Data Frame    길이:8  ID:00000001  데이터:00 00 00 00 00 00 00 01",
                                      "CAN2.0B  Data Frame    길이:8  ID:00000002  데이터:00 00 00 00 00 00 00 02",
                                      EV_STOPPED}));
}

TEST_F(CliSessionTest, MonitorRunsForItsSecondsOnTheVirtualClock) {
  EXPECT_EQ(Run("--port p monitor --seconds 2"), CLI_EXIT_ANSWERED);
  EXPECT_EQ(m_loop.Now(), 2500u);
  EXPECT_EQ(m_out.Lines(), (std::vector<std::string>{EV_CONFIG, EV_STOPPED, EV_RUNNING, EV_STOPPED}));
}

TEST_F(CliSessionTest, MonitorWithoutLimitRunsUntilInterrupted) {
  unsigned nSent = 0;
  m_pump.m_fnOnPump = [&] {  // the module keeps sending until the signal arrives
    if (m_pChannel->IsReceptionRunning() && nSent < 30)
      m_pSerial->Deliver(FrameLine(nSent++));
    else if (nSent == 30)
      m_pump.m_bInterrupted = true;
  };
  EXPECT_EQ(Run("--port p monitor"), CLI_EXIT_ANSWERED);
  const auto lines = m_out.Lines();
  ASSERT_EQ(lines.size(), 3u + 30u + 1u);
  for (unsigned n = 0; n < 30; ++n) {
    char szId[16];
    std::snprintf(szId, sizeof szId, "ID:%08X", n);
    EXPECT_NE(lines[3 + n].find(szId), std::string::npos) << lines[3 + n];
  }
  EXPECT_EQ(lines.back(), EV_STOPPED);
  EXPECT_EQ(m_pSerial->m_writes.back(), ":G10A8\r");
}

// An output that takes this many bytes and then fails, like a pipe whose reader has gone.
std::FILE* OutputFailingAfter(std::size_t* pnBudget) {
  cookie_io_functions_t functions{};
  functions.write = [](void* pCookie, const char*, std::size_t nSize) -> ssize_t {
    auto* pnLeft = static_cast<std::size_t*>(pCookie);
    if (*pnLeft < nSize) return -1;
    *pnLeft -= nSize;
    return static_cast<ssize_t>(nSize);
  };
  return fopencookie(pnBudget, "w", functions);
}

TEST_F(CliSessionTest, MonitorEndsInOrderWhenItsOutputCannotBeWritten) {
  std::size_t nBudget = 2000;  // the start-up events and a few frames
  std::FILE* pOut = OutputFailingAfter(&nBudget);
  ASSERT_NE(pOut, nullptr);
  m_pump.m_fnOnPump = [&] { m_pSerial->Deliver(FrameLine(1)); };  // frames keep coming
  m_options = ParseCommandLine({"--port", "p", "monitor"}).m_options;
  CCliSession session(m_options, *m_pChannel, m_logs, pOut, m_err.File());
  CVirtualLoop::CWindow channelWindow(m_loop, *m_pChannel);
  CVirtualLoop::CWindow sessionWindow(m_loop, session);
  EXPECT_EQ(session.Run(channelWindow, sessionWindow, m_pump, &m_loop), CLI_EXIT_ANSWERED);
  EXPECT_EQ(m_pSerial->m_writes.back(), ":G10A8\r");
  EXPECT_GT(session.FramesPrinted(), 5u);
  std::fclose(pOut);
}

TEST_F(CliSessionTest, TimestampsAndLogFilesCarryTheSameLines) {
  CTempDir dir;
  m_frames.push_back(FrameLine(7));
  EXPECT_EQ(Run("--port p --timestamps --event-log " + dir.File("ev.txt") + " --rdata-log " + dir.File("rd.txt") +
                " monitor --count 1"),
            CLI_EXIT_ANSWERED);
  const std::string frame = "CAN2.0B  Data Frame    길이:8  ID:00000007  데이터:00 00 00 00 00 00 00 07";
  const std::string stamp = "2024.05.01 13:45:07  ";
  EXPECT_EQ(m_out.Lines(), (std::vector<std::string>{stamp + EV_CONFIG, stamp + EV_STOPPED, stamp + EV_RUNNING,
                                                     stamp + frame, stamp + EV_STOPPED}));
  std::ifstream events(dir.File("ev.txt"), std::ios::binary);
  std::ostringstream eventText;
  eventText << events.rdbuf();
  std::string expected;
  for (const auto& e : {EV_CONFIG, EV_STOPPED, EV_RUNNING, EV_STOPPED})
    expected += Utf8ToCp949(stamp + e).value() + "\r\n";
  EXPECT_EQ(eventText.str(), expected);
  std::ifstream frames(dir.File("rd.txt"), std::ios::binary);
  std::ostringstream frameText;
  frameText << frames.rdbuf();
  EXPECT_EQ(frameText.str(), Utf8ToCp949(stamp + frame).value() + "\r\n");
}

}  // namespace
