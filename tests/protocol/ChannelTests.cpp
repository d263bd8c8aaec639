// The module channel on the virtual-time loop over scripted transports: commands, timer, open, close, receiving.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <array>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <thread>

#include "link/CPseudoTerminal.h"
#include "link/CSerialPort.h"
#include "protocol/CModuleChannel.h"
#include "protocol/ChannelOwner.h"
#include "protocol/FakeTransport.h"
#include "protocol/EventSink.h"
#include "protocol/FrameConsumer.h"
#include "protocol/ResponseText.h"
#include "transmit/CLogReplayer.h"
#include "receive/CLogFiles.h"
#include "receive/CRDataLogWriter.h"
#include "support/CVirtualLoop.h"
#include "support/ScratchDir.h"
#include "text/Cp949Text.h"

namespace {

using CEvents = std::vector<std::pair<std::string, COLORREF>>;  // text, colour
using CMessages = std::vector<std::pair<unsigned, uintptr_t>>;  // message, wParam

const std::pair<std::string, COLORREF> COMM_ERROR{
    "[Korvex 통신에러 발생]      : Korvex 모듈로 부터  1초동안 요청 명령에 대해 응답이 없읍니다", EVENT_RED};

// Stands in for the event log, the receive list and the owning frame; records what reaches them.
class ChannelTest : public ::testing::Test, public EventSink, public FrameConsumer, public ChannelOwner, public MessageHandler {
protected:
  ChannelTest() {
    auto pSerial = std::make_unique<CFakeTransport>(), pUsb = std::make_unique<CFakeTransport>();
    m_pSerial = pSerial.get(), m_pUsb = pUsb.get();
    m_pChannel = std::make_unique<CModuleChannel>(std::move(pSerial), std::move(pUsb));
    m_pWindow = std::make_unique<CVirtualLoop::CWindow>(m_loop, *m_pChannel);
    EXPECT_TRUE(m_pChannel->Create(m_pWindow.get(), this));
    m_pChannel->SetEventSink(this);
    m_pChannel->AddFrameConsumer(this);
    m_pSerial->m_fnOnWrite = [this](const std::string& line) {
      if (m_bEcho) m_pSerial->Deliver(line);  // the module echoes a sent frame as it came
    };
  }
  ~ChannelTest() override { m_pChannel->Destroy(); }

  void LogEvent(std::string_view text, COLORREF colour) override { m_events.emplace_back(text, colour); }
  void OnFrames(std::span<const ReceivedFrame> frames) override {
    std::string line;
    for (const ReceivedFrame& record : frames) {
      ReceivedFrameLine(record.m_frame, line);
      m_lines.push_back(line);
      m_records.push_back(record);
    }
    if (m_fnOnBatch) m_fnOnBatch();
  }
  void EndBatch() override { m_batchEnds.push_back(m_lines.size()); }
  MessageHost& OwnerWindow() override { return m_ownerWindow; }
  void SetPortOpen(bool bOpen) override { m_bPortOpen = bOpen; }
  void OnPortGone() override { ++m_nPortGoneCalls; }
  void OnClosed() override { m_qwOnClosedAt = m_loop.Now(); }
  void OnMessage(unsigned nMsg, uintptr_t wParam, intptr_t) override { m_messages.emplace_back(nMsg, wParam); }
  void OnTimer(unsigned) override {}

  void Receive(std::string_view bytes) {
    m_pSerial->Deliver(bytes);
    m_loop.RunPending();
  }
  // Opens the scripted serial port and answers the start-up exchange; forgets what it produced.
  void OpenReady() {
    ASSERT_TRUE(m_pChannel->Open(false, "ttyS1", 921600));
    Receive(Line(":Y1C0F340000000000000000") + Line(":G00"));
    ASSERT_FALSE(m_pChannel->IsStartupPending());
    Forget();
  }
  void Forget() {
    m_pSerial->m_writes.clear();
    m_events.clear(), m_lines.clear(), m_records.clear(), m_batchEnds.clear(), m_messages.clear();
  }
  long CommErrors() const { return std::count(m_events.begin(), m_events.end(), COMM_ERROR); }

  CVirtualLoop m_loop;
  CVirtualLoop::CWindow m_ownerWindow{m_loop, *this};
  CEvents m_events;
  std::vector<std::string> m_lines;   // the receive list's texts of the frames
  std::vector<ReceivedFrame> m_records;
  std::vector<size_t> m_batchEnds;    // frames received when each batch ended
  std::function<void()> m_fnOnBatch;  // runs inside the channel's handler, after each batch
  CMessages m_messages;               // posted to the owner
  bool m_bPortOpen = false;
  bool m_bEcho = false;
  unsigned m_nPortGoneCalls = 0;
  uint64_t m_qwOnClosedAt = 0;  // when the owner was told a close in order had ended
  CFakeTransport* m_pSerial = nullptr;
  CFakeTransport* m_pUsb = nullptr;
  std::unique_ptr<CModuleChannel> m_pChannel;
  std::unique_ptr<CVirtualLoop::CWindow> m_pWindow;
};

// Mode byte bits B, auto reset, bus-off, passive, warning; 2.0A ids cut to 11 bits, lengths to 8, remote has no data.
TEST_F(ChannelTest, EveryCommandGoesOutFramedThroughTheOpenPort) {
  OpenReady();
  const uint8_t aby[12] = {0x00, 0x11, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87, 0x98, 0xA9, 0xBA, 0xCB};
  const std::pair<const char*, std::function<void(CModuleChannel&)>> kCommands[] = {
      {":G00A7\r", [](auto& c) { c.SetReception(false, true); }},  // no change: the start flag is not sent
      {":Z1C0F340000000000000000AB\r", [](auto& c) { c.WriteConfig(false, true, true, false, false, 0x0F34, 0, 0); }},
      {":Z08033407FF000140\r", [](auto& c) { c.WriteConfig(true, true, false, false, false, 0x0334, 0xFFFF, 0x1801); }},
      {":Z133F7F1FFFFFFF00000ABC85\r", [](auto& c) { c.WriteConfig(false, false, false, true, true, 0x3F7F, 0x1FFFFFFF, 0xABC); }},
      {":W1007FFAB\r", [&](auto& c) { c.SendFrame(true, false, 8, 0x7FF, aby); }},
      {":W0001237D\r", [](auto& c) { c.SendFrame(true, true, 0, 0xF923, nullptr); }},
      {":W0807FF0011324354657687F0\r", [&](auto& c) { c.SendFrame(true, true, 12, 0x7FF, aby); }},
      {":W281FFFFFFF00113243546576871A\r", [&](auto& c) { c.SendFrame(false, true, 0xFF, 0x1FFFFFFF, aby); }},
  };
  for (const auto& [pszLine, fnSend] : kCommands) {
    fnSend(*m_pChannel);
    EXPECT_EQ(m_pSerial->m_writes, std::vector<std::string>{pszLine});
    m_pSerial->m_writes.clear();
  }
  EXPECT_TRUE(m_pUsb->m_writes.empty());
}

// The error comes a second after the oldest unanswered command, however many followed it.
TEST_F(ChannelTest, TheOldestUnansweredCommandTimesTheCommunicationError) {
  OpenReady();
  for (const bool bAnswered : {false, true}) {
    m_pChannel->ReadVersion();
    m_loop.Advance(600);
    m_pChannel->ResetNode();
    m_loop.Advance(300);
    if (bAnswered) Receive(Line(":V12"));  // answers the first; the second stays open
    std::vector<long> counts;  // just before and at 1000 ms after the first, then the second command, and long after
    for (const uint64_t qwMs : {99, 1, 599, 1}) counts.push_back((m_loop.Advance(qwMs), CommErrors()));
    EXPECT_FALSE(m_pChannel->IsAwaitingResponse());  // one report for both
    m_loop.Advance(2000);
    counts.push_back(CommErrors());
    EXPECT_EQ(counts, (bAnswered ? std::vector<long>{0, 0, 0, 1, 1} : std::vector<long>{0, 1, 1, 1, 1}));
    m_events.clear();
  }
  EXPECT_EQ(m_pChannel->CommErrorCount(), 2u);
}

// A 10 ms cycle never lets the timer restart a full second: once echoes stop, the error comes within 1.5 s and stops it.
TEST_F(ChannelTest, ModuleThatStopsEchoingDuringCyclesIsReportedAndTheCycleStops) {
  OpenReady();
  m_bEcho = true;
  const uint8_t aby[2] = {1, 2};
  auto Run = [&](uint64_t qwMs) {
    for (uint64_t i = 0; i < qwMs; ++i) {
      m_loop.Advance(1);
      m_pChannel->RunCyclesAt(static_cast<int64_t>(m_loop.Now()) * 1000000);
      m_loop.RunPending();
    }
  };
  m_pChannel->RunCyclesAt(static_cast<int64_t>(m_loop.Now()) * 1000000);
  ASSERT_TRUE(m_pChannel->StartCycle(7, 10, true, true, 2, 0x123, aby));
  EXPECT_FALSE(m_pChannel->StartCycle(8, 60001, true, true, 2, 0x123, aby));
  m_loop.RunPending();
  Run(2000);
  EXPECT_EQ(std::tuple(m_pSerial->m_writes.size(), CommErrors(), m_pChannel->IsCycling(7)), std::tuple(201u, 0, true));

  m_bEcho = false;
  const uint64_t qwSilentFrom = m_loop.Now();
  while (CommErrors() == 0 && m_loop.Now() - qwSilentFrom < 3000) Run(1);
  EXPECT_TRUE(m_loop.Now() - qwSilentFrom <= 1500 && !m_pChannel->AnyCycling()) << m_loop.Now() - qwSilentFrom;
  EXPECT_EQ(m_events.back(), std::make_pair(FormatEventText("[Korvex 주기 전송 정지]", "통신에러"), EVENT_BLUE));
  const size_t nWrites = m_pSerial->m_writes.size();
  Run(100);
  EXPECT_EQ(m_pSerial->m_writes.size(), nWrites);
}

// A partly taken write is a red event with its cause; the command still counts as unanswered.
TEST_F(ChannelTest, AShortWriteIsReportedWithItsCause) {
  OpenReady();
  m_pSerial->m_nWriteLimit = 3;
  m_pChannel->ReadVersion();
  m_loop.RunPending();
  EXPECT_EQ(m_events, (CEvents{{FormatEventText("[Korvex 통신포트 에러]", "write: 3 of 5 bytes sent"), EVENT_RED}}));
  m_loop.Advance(1000);
  EXPECT_EQ(CommErrors(), 1);
}

// A port that takes nothing holds up the sending thread, never the caller; the timed-out write is reported.
TEST(ChannelOverAStalledPort, CommandsReturnAtOnceAndTheTimeoutIsReported) {
  CPseudoTerminal pty;
  ASSERT_TRUE(pty.IsValid());
  auto pSerial = std::make_unique<CSerialPort>();
  pSerial->SetWriteTimeout(200);
  CModuleChannel channel(std::move(pSerial), std::make_unique<CFakeTransport>(), true);
  CVirtualLoop loop;
  CVirtualLoop::CWindow window(loop, channel);
  struct CEventList final : EventSink {
    void LogEvent(std::string_view text, COLORREF) override { m_texts.emplace_back(text); }
    std::vector<std::string> m_texts;
  } events;
  ASSERT_TRUE(channel.Create(&window, nullptr));
  channel.SetEventSink(&events);
  ASSERT_TRUE(channel.Open(false, pty.SlavePath(), 921600));
  {  // fill the terminal until no room comes back within 100 ms (the kernel frees some after a refusal)
    CUniqueFd fd(::open(pty.SlavePath().c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    const std::vector<char> block(4096, 'x');
    pollfd writable{fd.Get(), POLLOUT, 0};
    int nRounds = 0;
    do {
      while (::write(fd.Get(), block.data(), block.size()) > 0) {}
    } while (++nRounds < 50 && ::poll(&writable, 1, 100) > 0);
  }
  using Clock = std::chrono::steady_clock;
  Clock::duration worst{};
  const uint8_t aby[8] = {};
  for (int i = 0; i < 100; ++i) {
    const Clock::time_point start = Clock::now();
    channel.SendFrame(false, true, 8, 0x1234567, aby);
    loop.RunPending();
    worst = std::max(worst, Clock::now() - start);
  }
  EXPECT_LT(worst, std::chrono::milliseconds(50));
  while (events.m_texts.empty() && loop.WaitForPost(5000)) loop.RunPending();
  ASSERT_FALSE(events.m_texts.empty());
  // the stalled line may be the open's ":Y" (5 bytes) if the terminal filled before it went
  EXPECT_THAT(events.m_texts[0], testing::StartsWith(FormatEventText("[Korvex 통신포트 에러]", "write: ")));
  EXPECT_THAT(events.m_texts[0], testing::MatchesRegex(".* of (31|5) bytes sent in 200 ms"));
  channel.Destroy();  // while the window and the event list it reports to still exist
}

TEST_F(ChannelTest, StartupExchangeRunsOnceAfterASuccessfulOpenAndAnOpenReplacesTheOldPort) {
  ASSERT_TRUE(m_pChannel->Open(false, "ttyS1", 38400));
  ASSERT_TRUE(m_pChannel->Open(false, "ttyS1", 38400));  // cut short: the next open starts it again
  Receive(Line(":Y0C0F3401230000"));
  Receive(Line(":Y0C0F3401230000"));  // still pending: asks again
  EXPECT_EQ(m_pSerial->m_writes, (std::vector<std::string>{":Y59\r", ":Y59\r", ":G00A7\r", ":G00A7\r"}));
  Receive(Line(":G01"));
  EXPECT_EQ(std::tuple(m_pChannel->IsStartupPending(), m_pChannel->IsReceptionRunning()), std::tuple(false, true));
  m_loop.Advance(3000);
  EXPECT_EQ(CommErrors(), 0);

  // Opening while open closes the old port without stopping and drops what it queued.
  Forget();
  m_pSerial->Deliver(Line(":V12"));  // queued and notified, not yet handled
  ASSERT_TRUE(m_pChannel->Open(true, "KX000123", 38400));
  m_loop.RunPending();
  EXPECT_TRUE(m_events.empty() && m_pSerial->m_writes.empty() && !m_pSerial->IsOpen() && m_bPortOpen);
  EXPECT_EQ(m_pUsb->m_openedName, "KX000123");
  m_pChannel->ResetNode();
  EXPECT_EQ(m_pUsb->m_writes, (std::vector<std::string>{":R52\r"}));
}

// ":G10" at once, the close 500 ms later on the timer while answers are still handled; Close cuts the wait
// short; an owner going away closes at once.
TEST_F(ChannelTest, CloseInOrderSendsStopAndClosesHalfASecondLaterWithoutBlocking) {
  EXPECT_FALSE(m_pChannel->BeginClose());  // nothing open: no line, no wait
  EXPECT_TRUE(m_pSerial->m_writes.empty());
  const uint8_t aby[1] = {};
  uint64_t qwClosedAt = 0;  // outlives the loop: the port keeps the callback
  for (const uint64_t qwCutAfter : {0, 100}) {
    SCOPED_TRACE(qwCutAfter);
    OpenReady();
    m_pChannel->RunCyclesAt(0);
    ASSERT_TRUE(m_pChannel->StartCycle(1, 10, true, true, 1, 0x123, aby));
    m_pChannel->ReadVersion();  // never answered: the close silences its timer
    Forget();
    qwClosedAt = 0;
    m_pSerial->m_fnOnClose = [&] { qwClosedAt = m_loop.Now(); };
    const uint64_t qwStart = m_loop.Now();
    m_qwOnClosedAt = 0;
    ASSERT_TRUE(m_pChannel->BeginClose());
    EXPECT_EQ(std::tuple(m_pSerial->m_writes, m_pChannel->AnyCycling(), m_pSerial->IsOpen()),
              std::tuple(std::vector<std::string>{":G10A8\r"}, false, true));
    EXPECT_EQ(m_events, (CEvents{{FormatEventText("[Korvex 주기 전송 정지]", "포트를 닫았읍니다"), EVENT_BLUE}}));
    m_loop.Advance(qwCutAfter ? qwCutAfter : 499);
    Receive(Line(":G00"));
    EXPECT_EQ(std::tuple(m_events.back().first, m_pSerial->IsOpen()),
              std::tuple(std::string("[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 중지 중"), true));
    if (qwCutAfter) m_pChannel->Close();
    m_loop.Advance(1);
    const uint64_t qwClose = qwCutAfter ? qwCutAfter : 500, qwTold = qwCutAfter ? 0 : qwStart + 500;
    EXPECT_EQ(std::tuple(qwClosedAt, m_qwOnClosedAt, m_bPortOpen, m_pChannel->IsClosing()),
              std::tuple(qwStart + qwClose, qwTold, false, false));
    m_loop.Advance(3000);
    EXPECT_EQ(std::tuple(m_pSerial->m_writes.size(), CommErrors(), m_qwOnClosedAt), std::tuple(1u, 0, qwTold));
  }
  OpenReady();
  m_pChannel->Destroy();
  EXPECT_TRUE(m_pSerial->m_writes.empty() && !m_pSerial->IsOpen() && !m_bPortOpen);
  m_pChannel->ReadVersion();  // no window to arm a timer on
  m_loop.Advance(3000);
  EXPECT_EQ(CommErrors(), 0);
}

// A frame with a due time waits for it and holds back what was queued after it; lateness is measured at the
// write; cancelled frames are no longer awaited, and a close in order sends ":G10" ahead of them.
TEST_F(ChannelTest, TimedFramesWaitForTheirTimeInOrderAndCancelledOnesAreNotAwaited) {
  OpenReady();
  m_bEcho = true;
  const uint8_t aby[2] = {0x11, 0x22};
  constexpr int64_t MS = 1000000;
  m_pChannel->RunCyclesAt(0);
  m_pChannel->SendFrame(true, true, 2, 0x123, aby, 10 * MS);
  m_pChannel->SendFrame(true, true, 2, 0x123, aby);  // untimed, but queued behind it
  m_pChannel->RunCyclesAt(10 * MS - 1);
  EXPECT_TRUE(m_pSerial->m_writes.empty());
  m_pChannel->RunCyclesAt(10 * MS + MS / 2);
  EXPECT_EQ(m_pSerial->m_writes, std::vector<std::string>(2, ":W020123112245\r"));
  const CSendThread::Lateness lateness = m_pChannel->TakeSendLateness();
  EXPECT_EQ(std::tuple(lateness.m_qwLines, lateness.m_nWorstNs, lateness.m_nLastNs), std::tuple(1u, MS / 2, MS / 2));
  EXPECT_EQ(m_pChannel->TakeSendLateness().m_qwLines, 0u);
  m_loop.RunPending();
  EXPECT_FALSE(m_pChannel->IsAwaitingResponse());

  m_bEcho = false;
  m_pChannel->ReadVersion();
  m_pChannel->SendFrame(true, true, 2, 0x123, aby, 20 * MS);
  m_pChannel->SendFrame(true, true, 2, 0x123, aby, 30 * MS);
  Receive(Line(":V12"));
  EXPECT_EQ(m_pChannel->CancelTimedSends(), 2u);
  m_pChannel->RunCyclesAt(40 * MS);
  m_loop.Advance(2000);
  EXPECT_EQ(std::tuple(m_pSerial->m_writes.size(), CommErrors(), m_pChannel->IsSendQueueEmpty()), std::tuple(3u, 0, true));

  m_pChannel->SendFrame(true, true, 2, 0x123, aby, 50 * MS);
  Forget();
  ASSERT_TRUE(m_pChannel->BeginClose());
  m_pChannel->RunCyclesAt(60 * MS);
  EXPECT_EQ(m_pSerial->m_writes, std::vector<std::string>{":G10A8\r"});
}

// The replayer hands frames over up to its lookahead before they are due, is done only once they went out,
// takes its lateness from the writes, and a cancel drops (and uncounts) what was not sent.
TEST_F(ChannelTest, ReplayHandsFramesOverAheadAndEndsWhenTheyWentOut) {
  constexpr int64_t MS = 1000000, T0 = 1000 * MS;
  ScratchDir dir;
  const std::string log = dir.Write("trace.log", "(0.000000) can0 123#1122\n(0.010000) can0 123#1122\n(0.200000) can0 123#1122\n");
  for (const bool bCancel : {false, true}) {
    SCOPED_TRACE(bCancel);
    OpenReady();
    CLogReplayer replayer(*m_pChannel, nullptr, {});
    ASSERT_TRUE(replayer.Open(log));
    m_pChannel->RunCyclesAt(T0);
    // the first frame is due at once, the second within the lookahead, the third 150 ms before its time
    EXPECT_EQ(replayer.Step(T0), T0 + 200 * MS - CLogReplayer::LOOKAHEAD_NS);
    EXPECT_EQ(m_pSerial->m_writes.size(), 1u);
    if (bCancel) {
      replayer.Cancel();
      m_pChannel->RunCyclesAt(T0 + 20 * MS);
      EXPECT_EQ(std::tuple(m_pSerial->m_writes.size(), replayer.Summary().m_qwSent), std::tuple(1u, 1u));
      continue;
    }
    m_pChannel->RunCyclesAt(T0 + 12 * MS);
    EXPECT_EQ(m_pSerial->m_writes.size(), 2u);
    EXPECT_EQ(replayer.Step(T0 + 150 * MS), T0 + 200 * MS);  // the last is handed over; done once it is out
    m_pChannel->RunCyclesAt(T0 + 200 * MS);
    EXPECT_EQ(replayer.Step(T0 + 200 * MS), CLogReplayer::DONE);
    const ReplaySummary& summary = replayer.Summary();
    EXPECT_EQ(std::tuple(m_pSerial->m_writes.size(), summary.m_qwSent, summary.m_nWorstLateNs, summary.m_nLastLateNs),
              std::tuple(3u, 3u, 2 * MS, 0));
  }
}

const std::string FRAME = Line(":U0201230102");
const std::string FRAME_TEXT = "CAN2.0A  Data Frame    길이:2  ID:123       데이터:01 02";

// A consumer that notes each call it gets.
class CProbe final : public FrameConsumer {
public:
  CProbe(std::string name, std::vector<std::string>& calls) : m_name(std::move(name)), m_calls(calls) {}
  void OnFrames(std::span<const ReceivedFrame> frames) override {
    m_calls.push_back(m_name + " " + std::to_string(frames.size()) + " frames");
  }
  void EndBatch() override { m_calls.push_back(m_name + " end"); }

private:
  std::string m_name;
  std::vector<std::string>& m_calls;
};

// The CP949 bytes of a program text; "<none>" if it has no CP949 form.
std::string Cp949(std::string_view utf8) { return Utf8ToCp949(utf8).value_or("<none>"); }

constexpr COLORREF LISTED = 0xFFFFFFFF;  // not a colour: the line goes to the receive list

// A line, what it shows (event colour or LISTED; "" nothing) and what it stores (as Stored gives it).
struct CRow { std::string payload, text; COLORREF colour = EVENT_BLACK; std::string stores; };

std::string Format(const char* pszFormat, auto... values) {
  char sz[96];
  std::snprintf(sz, sizeof sz, pszFormat, values...);
  return sz;
}
// The channel's configuration and reception, and the newest frame record a consumer got.
std::array<std::string, 3> Stored(const CModuleChannel& channel, const std::vector<ReceivedFrame>& records) {
  const ModuleConfig& c = channel.Config();
  std::string frame = "frame none";
  if (!records.empty()) {
    const CanFrame& f = records.back().m_frame;
    frame = Format("frame %s %s %u/%u(%u) %X", f.m_bStandard ? "A" : "B", f.m_bRemote ? "remote" : "data",
                   f.m_byDataCount, f.m_byLength, f.m_byLengthCode, f.m_dwId);
    for (int i = 0; i < 8; ++i) frame += f.m_abyData[i] ? Format(" %d:%02X", i, f.m_abyData[i]) : "";
  }
  return {Format("config %02X %04X %X %X", c.m_byModeFlags, c.m_wBitTiming, c.m_dwId, c.m_dwMaskId), frame,
          Format("reception %d", channel.IsReceptionRunning())};
}

std::vector<CRow> Rows() {
  std::vector<CRow> rows = {
      {":Y1C0F34123456781FFFFFFF", "[Korvex 환경설정 읽기 응답] : CAN2.0B  250.00K BPS  수신 ID:12345678  수신 Mask ID:1FFFFFFF",
       EVENT_BLACK, "config 1C 0F34 12345678 1FFFFFFF"},
      // A 2.0A identifier is masked only where it is shown.
      {":Z0C0334F92307FF", "[Korvex 환경설정 쓰기 응답] : CAN2.0A  1.00M BPS  수신 ID:123  수신 Mask ID:7FF", EVENT_BLACK,
       "config 0C 0334 F923 7FF"},
      {":G01", "[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 동작 중", EVENT_BLACK, "reception 1"},
      {":G00", "[CAN 데이터 수신 여부 응답] : CAN 데이터 수신 중지 중", EVENT_BLACK, "reception 0"},
      {":R01", "[CAN 리셋 응답]             : Bus-Off Auto Reset", EVENT_BLUE},
      {":IFF", "[CAN 에러코드 응답]         : Bus-Off, 수신 Error-Passive, 송신 Error-Passive, 수신 Warning, 송신 Warning 에러 발생", EVENT_BLUE},
      {":I01", "[CAN 에러코드 응답]         : Bus-Off 에러 발생", EVENT_BLUE},
      {":I0A", "[CAN 에러코드 응답]         : 수신 Error-Passive, 수신 Warning 에러 발생", EVENT_BLUE},
      {":I14", "[CAN 에러코드 응답]         : 송신 Error-Passive, 송신 Warning 에러 발생", EVENT_BLUE},
      {":I20", ""}, {":IE0", ""},
      {":VA0", "[Korvex 버전 응답]          : 버전 10.0"},
      {":U0201230102", "CAN2.0A  Data Frame    길이:2  ID:123       데이터:01 02", LISTED, "frame A data 2/2(2) 123 0:01 1:02"},
      // Nothing is left of the frame before.
      {":U3000000123", "CAN2.0B  Remote Frame  길이:0  ID:00000123  ", LISTED, "frame B remote 0/0(0) 123"},
      // The identifier fields are wider than the bus's 11 and 29 bits; the record holds those.
      {":U01FFFFAB", "CAN2.0A  Data Frame    길이:1  ID:7FF       데이터:AB", LISTED, "frame A data 1/1(1) 7FF 0:AB"},
      {":U21FFFFFFFFAB", "CAN2.0B  Data Frame    길이:1  ID:1FFFFFFF  데이터:AB", LISTED, "frame B data 1/1(1) 1FFFFFFF 0:AB"},
      // Bytes past the layout are not read.
      {":U010123556677", "CAN2.0A  Data Frame    길이:1  ID:123       데이터:55", LISTED, "frame A data 1/1(1) 123 0:55"},
      // A frame cut short in its data shows what it carried; a remote frame carries none.
      {":U020123AA", "CAN2.0A  Data Frame    길이:2  ID:123       데이터:AA", LISTED, "frame A data 1/2(2) 123 0:AA"},
      {":U140123", "CAN2.0A  Remote Frame  길이:4  ID:123       ", LISTED, "frame A remote 0/4(4) 123"},
      // Shorter than the layout, or a letter the module never sends: refused whole.
      {":Y1C0334AAAAAAAABBBBBB", ""}, {":Z0C0334012300", ""},  // 2.0B needs 11 bytes, 2.0A 7
      {":U2F000001", ""}, {":Q01", ""},                          // a 2.0B identifier cut
  };
  for (const char cLetter : std::string("GRIVUY")) rows.push_back({std::string(":") + cLetter, ""});
  // Length nibbles above 8 stand for 8 (the record keeps the code); an echo is no received frame.
  for (const char cNibble : std::string("89ABCDEF")) {
    rows.push_back({std::string(":U2") + cNibble + "1FFFFFFF1011121314151617",
                    "CAN2.0B  Data Frame    길이:8  ID:1FFFFFFF  데이터:10 11 12 13 14 15 16 17", LISTED,
                    Format("frame B data 8/8(%d) 1FFFFFFF 0:10 1:11 2:12 3:13 4:14 5:15 6:16 7:17",
                           std::stoi(std::string(1, cNibble), nullptr, 16))});
    rows.push_back({std::string(":W0") + cNibble + "1FFF1011121314151617",
                    "[CAN 데이터 송신 응답]      : CAN2.0A  Data Frame  길이:8  ID:7FF  데이터:10 11 12 13 14 15 16 17"});
  }
  return rows;
}

// One burst is one batch: each consumer once, in order, then the batch end; log lines as listed; lamps once per kind.
TEST_F(ChannelTest, OneBurstReachesEveryConsumerOnceInOrderWithATimeOfItsOwn) {
  ::setenv("TZ", "UTC0", 1);
  ::tzset();
  ScratchDir dir;
  CLogFiles logs;
  logs.SetPath(LOG_RDATA, dir / "RDataLog.txt");
  logs.OpenLogFile(LOG_RDATA);
  logs.SetLogging(LOG_RDATA, true);
  CRDataLogWriter logWriter(logs);
  std::vector<std::string> calls;
  CProbe first("first", calls), last("last", calls);
  FrameConsumer* const apConsumers[] = {&first, &logWriter, &last, &first};  // the second first is ignored
  for (FrameConsumer* pConsumer : apConsumers) m_pChannel->AddFrameConsumer(pConsumer);
  OpenReady();

  constexpr int ROUNDS = 25;
  std::string burst;
  std::vector<std::string> texts;
  for (int n = 0; n < ROUNDS; ++n) {
    for (const CRow& row : Rows()) {  // every kind of frame line
      if (row.colour != LISTED) continue;
      burst += Line(row.payload);
      texts.push_back(row.text);
    }
    if (n == ROUNDS / 2) burst += Line(":W0201230011") + Line(":Y1C0F340000000000000000");
  }
  // 2024-05-01 13:45:07.5 UTC; the whole burst takes about 95 ms on the wire.
  m_pSerial->Deliver(burst, {5000000000, 1714571107500000000});
  m_loop.RunPending();

  const std::size_t nFrames = texts.size();
  const std::string batch = std::to_string(nFrames) + " frames";
  EXPECT_EQ(calls, (std::vector<std::string>{"first " + batch, "last " + batch, "first end", "last end"}));
  EXPECT_TRUE(m_lines == texts && m_batchEnds == std::vector<size_t>{nFrames});
  // The configuration report keeps its place; the lamps follow.
  EXPECT_EQ(m_messages, (CMessages{{WM_CONFIG_REPORT, 0}, {WM_FRAME_ACTIVITY, 1}, {WM_FRAME_ACTIVITY, 2}}));

  logs.CloseLogFiles();
  std::string expected;
  for (const std::string& text : texts) expected += "2024.05.01 13:45:07  " + Cp949(text) + "\r\n";
  EXPECT_EQ(ReadWholeFile(dir / "RDataLog.txt"), expected);
  for (FrameConsumer* pConsumer : apConsumers) m_pChannel->RemoveFrameConsumer(pConsumer);

  // A burst without frames ends no batch.
  Forget();
  Receive(Line(":W0201230011") + Line(":V12"));
  EXPECT_EQ(m_messages, (CMessages{{WM_FRAME_ACTIVITY, 1}}));
  EXPECT_TRUE(m_batchEnds.empty());
}

// A frame is stamped its burst's time less the wire time of the bytes after it, and 1 us after the frame before;
// the wall-clock time moves with it, and the frames are numbered in order.
TEST_F(ChannelTest, FramesArePlacedByTheWireTimeAfterThemAndNeverBeforeTheFrameBefore) {
  constexpr int64_t WALL = 1714571107500000000;
  for (const uint32_t dwRate : {38400u, 921600u}) {
    SCOPED_TRACE(dwRate);
    ASSERT_TRUE(m_pChannel->Open(false, "ttyS1", dwRate));
    Forget();
    const auto Wire = [&](int64_t nBytes) { return nBytes * 10 * 1000000000 / dwRate; };
    const int64_t T1 = (dwRate == 38400 ? 10 : 20) * int64_t{1000000000}, T2 = T1 + 10000000, T3 = T2 + 10000;
    const int64_t nFrame = static_cast<int64_t>(FRAME.size());
    m_pSerial->Deliver(FRAME + FRAME.substr(0, 5), {T1, WALL + T1});
    m_pSerial->Deliver(FRAME.substr(5) + FRAME, {T2, WALL + T2});
    m_pSerial->Deliver(FRAME + FRAME + FRAME, {T3, WALL + T3});  // its first two would fall before T2
    m_loop.RunPending();
    std::vector<int64_t> times, walls;
    std::vector<uint64_t> numbers;
    for (const ReceivedFrame& record : m_records) {
      times.push_back(record.m_arrival.m_nSteadyNs);
      walls.push_back(record.m_arrival.m_nWallNs - WALL);
      numbers.push_back(record.m_qwSequence - m_records[0].m_qwSequence);
    }
    EXPECT_EQ(times, (std::vector<int64_t>{T1 - Wire(5), T2 - Wire(nFrame), T2, T2 + 1000,
                                          std::max(T2 + 2000, T3 - Wire(nFrame)), T3}));
    EXPECT_EQ(std::tuple(walls, numbers), std::tuple(times, std::vector<uint64_t>{0, 1, 2, 3, 4, 5}));
  }
}

// While a notification waits the reader posts no other; what arrives during the handler posts a new one.
TEST_F(ChannelTest, NotificationsAreCoalescedAndNothingIsStranded) {
  OpenReady();
  m_pSerial->Deliver(FRAME + FRAME.substr(0, 5));
  m_pSerial->Deliver(FRAME.substr(5) + FRAME);
  EXPECT_EQ(m_loop.PendingCount(), 1u);
  m_loop.RunPending();
  EXPECT_EQ(m_batchEnds, std::vector<size_t>{3});

  int nLate = 0;
  m_fnOnBatch = [&] { if (nLate++ == 0) m_pSerial->Deliver(FRAME); };  // the reader, mid-batch
  m_pSerial->Deliver(FRAME);
  EXPECT_EQ(m_loop.PendingCount(), 1u);
  m_loop.RunPending();
  EXPECT_EQ(std::tuple(m_batchEnds, m_pChannel->ReceiveQueue().Count()), std::tuple(std::vector<size_t>{3, 4, 5}, 0u));
}

// A real reader thread racing the UI thread (run under ThreadSanitizer too): no line is lost.
TEST_F(ChannelTest, ReaderThreadLosesNoLineToTheCoalescing) {
  OpenReady();
  constexpr size_t BURSTS = 2000;
  std::thread reader([&] { for (size_t i = 0; i < BURSTS; ++i) m_pSerial->Deliver(FRAME + FRAME); });
  while (m_lines.size() < 2 * BURSTS && m_loop.WaitForPost(5000)) m_loop.RunPending();
  reader.join();
  m_loop.RunPending();
  EXPECT_EQ(m_lines.size(), 2 * BURSTS);
  EXPECT_FALSE(m_pChannel->Counters().AnyNonZero());
}

// The assembler keeps a line begun in one batch for the next.
TEST_F(ChannelTest, StreamSplitAtEveryOffsetGivesTheSameLines) {
  OpenReady();
  const std::string stream = FRAME + "\r\n" + Line(":I11") + "noise" + ":G11A8\r" + FRAME;
  for (std::size_t nSplit = 0; nSplit <= stream.size(); ++nSplit) {
    SCOPED_TRACE(nSplit);
    Forget();
    Receive(stream.substr(0, nSplit));
    Receive(stream.substr(nSplit));
    ASSERT_EQ(m_lines, std::vector<std::string>(2, FRAME_TEXT));
    ASSERT_EQ(m_events.size(), 1u);
  }
}

TEST_F(ChannelTest, CountersTellWhatWentWrong) {
  OpenReady();
  const struct {
    const char* pszName;
    std::vector<std::string> bursts;
    ChannelCounters added;  // dropped blocks, refused lines, refused responses, incomplete frames
  } kCases[] = {
      {"healthy", {Line(":V12") + Line(":U140123")}, {}},  // a remote frame carries no data
      {"bad lines", {":G11A8\r:G1 1A9\r"}, {0, 2, 0, 0}},
      {"short answer, unknown letter", {Line(":Y1C0334AAAAAAAABBBBBB") + Line(":Q01")}, {0, 0, 2, 0}},
      {"data cut short", {Line(":U020123AA") + Line(":W020123AA") + Line(":U1801230102")}, {0, 0, 0, 2}},
      // the block that does not fit is dropped whole; the line it cut is refused, the next read whole
      {"dropped block", {Line(":V12").substr(0, 3), std::string(CByteQueue::QUEUE_SIZE, '\n'), Line(":R00")},
       {1, 1, 0, 0}},
  };
  const auto Of = [](const ChannelCounters& n) {
    return std::array{n.m_qwDroppedBlocks, n.m_qwRefusedLines, n.m_qwRefusedResponses, n.m_qwIncompleteFrames};
  };
  std::array<uint64_t, 4> total{};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.pszName);
    for (const std::string& burst : c.bursts) Receive(burst);
    for (std::size_t i = 0; i < total.size(); ++i) total[i] += Of(c.added)[i];
    EXPECT_EQ(std::tuple(Of(m_pChannel->Counters()), m_pChannel->Counters().AnyNonZero()),
              std::tuple(total, total != std::array<uint64_t, 4>{}));
  }
  EXPECT_EQ(m_events.back().first, "[CAN 리셋 응답]             : Command Reset");
}

// Closed once without ":G10"; the next open asks for reception once; a notice from a port since reopened is stale.
TEST_F(ChannelTest, DeviceThatGoesAwayClosesThePortOnceAndTheNextOpenAsksForReception) {
  OpenReady();
  Receive(Line(":G01"));
  m_pSerial->HangUp();
  m_pSerial->HangUp();
  m_loop.RunPending();
  EXPECT_FALSE(m_pChannel->IsReceptionRunning());
  m_pChannel->ReadVersion();
  m_loop.Advance(1000);
  EXPECT_EQ(std::tuple(m_events.back(), m_pSerial->m_writes.size()), std::tuple(COMM_ERROR, 0u));
  for (const char* pszSent : {":G00A7\r", ""}) {
    ASSERT_TRUE(m_pChannel->Open(false, "ttyS1", 921600));
    EXPECT_EQ(m_pSerial->m_writes, pszSent[0] ? std::vector<std::string>{pszSent} : std::vector<std::string>{});
    m_pSerial->m_writes.clear();
  }
  m_pSerial->HangUp();
  ASSERT_TRUE(m_pChannel->Open(false, "ttyS1", 921600));  // reopened before the notice ran
  m_loop.RunPending();
  EXPECT_EQ(std::tuple(m_pSerial->IsOpen(), m_pChannel->PortGoneCount(), m_nPortGoneCalls), std::tuple(true, 1u, 1u));
}

// Only a decoded line other than "U" and "I" answers a command; without a frame consumer a frame is still posted.
TEST_F(ChannelTest, EveryLineShowsItsTextInCp949PostsItsNotificationAndStoresItsValues) {
  OpenReady();
  const std::map<char, CMessages> kPosts = {{'Y', {{WM_CONFIG_REPORT, 0}}}, {'Z', {{WM_CONFIG_REPORT, 0}}},
                                            {'U', {{WM_FRAME_ACTIVITY, 2}}}, {'W', {{WM_FRAME_ACTIVITY, 1}}}};
  for (const bool bList : {true, false}) {
    if (!bList) m_pChannel->RemoveFrameConsumer(this);
    for (const CRow& row : Rows()) {
      SCOPED_TRACE(row.payload + (bList ? "" : ", no receive list"));
      m_loop.Advance(1000);  // the last row's command, if unanswered, is reported and forgotten
      Forget();
      m_pChannel->ReadVersion();
      const std::array<std::string, 3> before = Stored(*m_pChannel, m_records);
      Receive(Line(row.payload));
      const bool bShows = !row.text.empty(), bShown = bShows && (bList || row.colour != LISTED);
      const char cLetter = row.payload[1];
      CEvents shown;
      for (const auto& [text, colour] : m_events) shown.emplace_back(Cp949(text), colour);
      for (const std::string& line : m_lines) shown.emplace_back(Cp949(line), LISTED);
      EXPECT_EQ(shown, (bShown ? CEvents{{Cp949(row.text), row.colour}} : CEvents{}));
      EXPECT_EQ(m_messages, bShows && kPosts.count(cLetter) ? kPosts.at(cLetter) : CMessages{});
      EXPECT_EQ(m_pChannel->IsAwaitingResponse(), !bShows || cLetter == 'U' || cLetter == 'I');
      const std::array<std::string, 3> after = Stored(*m_pChannel, m_records);
      for (std::size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(after[i], after[i].substr(0, 6) == row.stores.substr(0, 6) && bShown ? row.stores : before[i]);
    }
  }
}

}  // namespace
