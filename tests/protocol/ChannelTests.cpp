// The module channel on the virtual-time loop: send path, response timer, routing,
// start-up exchange, open and close.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>

#include "protocol/CModuleChannel.h"
#include "protocol/FakeTransport.h"
#include "protocol/TestSinks.h"

namespace {

const std::string COMM_ERROR =
    "[Korvex 통신에러 발생]      : Korvex 모듈로 부터  1초동안 요청 명령에 대해 응답이 없읍니다";

class ChannelTest : public ::testing::Test {
protected:
  ChannelTest() {
    auto pSerial = std::make_unique<CFakeTransport>();
    auto pUsb = std::make_unique<CFakeTransport>();
    m_pSerial = pSerial.get();
    m_pUsb = pUsb.get();
    m_pChannel = std::make_unique<CModuleChannel>(std::move(pSerial), std::move(pUsb));
    m_pWindow = std::make_unique<CVirtualLoop::CWindow>(m_loop, *m_pChannel);
    EXPECT_TRUE(m_pChannel->Create(m_pWindow.get(), &m_owner, &m_loop));
    m_pChannel->SetEventSink(&m_events);
    m_pChannel->SetReceiveSink(&m_list);
  }
  ~ChannelTest() override { m_pChannel->Destroy(); }

  void Receive(std::string_view bytes, CFakeTransport* pPort = nullptr) {
    (pPort ? pPort : m_pSerial)->Deliver(bytes);
    m_loop.RunPending();
  }
  // Opens the serial port and answers the start-up exchange; forgets what it produced.
  void OpenReady() {
    ASSERT_TRUE(m_pChannel->Open(false, "ttyS1", 921600));
    Receive(Line(":Y1C0F340000000000000000"));
    Receive(Line(":G00"));
    ASSERT_FALSE(m_pChannel->IsStartupPending());
    m_pSerial->m_writes.clear();
    m_events.m_events.clear();
  }
  unsigned CommErrors() const {
    unsigned n = 0;
    for (const auto& e : m_events.m_events) n += e == CRecordedEvent{COMM_ERROR, EVENT_RED};
    return n;
  }

  CVirtualLoop m_loop;
  CRecordingOwner m_owner{m_loop};
  CRecordingEvents m_events;
  CRecordingReceiveList m_list;
  CFakeTransport* m_pSerial = nullptr;
  CFakeTransport* m_pUsb = nullptr;
  std::unique_ptr<CModuleChannel> m_pChannel;
  std::unique_ptr<CVirtualLoop::CWindow> m_pWindow;
};

TEST_F(ChannelTest, EveryCommandGoesOutFramedThroughTheOpenPort) {
  OpenReady();
  const uint8_t abyData[] = {0x00, 0x11};
  m_pChannel->ReadConfig();
  m_pChannel->WriteConfig(false, true, true, false, false, 0x0F34, 0, 0);
  m_pChannel->SetReception(true, true);
  m_pChannel->SendFrame(true, true, 2, 0x123, abyData);
  m_pChannel->ResetNode();
  m_pChannel->ReadVersion();
  EXPECT_EQ(m_pSerial->m_writes, (std::vector<std::string>{":Y59\r", ":Z1C0F340000000000000000AB\r", ":G11A9\r",
                                                          ":W020123001141\r", ":R52\r", ":V56\r"}));
  EXPECT_TRUE(m_pUsb->m_writes.empty());
}

TEST_F(ChannelTest, CommandWithoutPortReportsTheCommunicationErrorOneSecondLater) {
  m_pChannel->ReadVersion();
  EXPECT_TRUE(m_pSerial->m_writes.empty());
  EXPECT_TRUE(m_pChannel->IsAwaitingResponse());
  m_loop.Advance(999);
  EXPECT_EQ(CommErrors(), 0u);
  m_loop.Advance(1);
  EXPECT_EQ(m_events.m_events, (std::vector<CRecordedEvent>{{COMM_ERROR, EVENT_RED}}));
  EXPECT_EQ(m_pChannel->CommErrorCount(), 1u);
  EXPECT_FALSE(m_pWindow->IsTimerRunning(IDT_RESPONSE));  // stopped after firing once
  m_loop.Advance(5000);
  EXPECT_EQ(CommErrors(), 1u);
}

TEST_F(ChannelTest, AnswerWithinTheSecondSilencesTheTimerThatStillFires) {
  OpenReady();
  m_pChannel->ReadVersion();
  m_loop.Advance(300);
  Receive(Line(":V12"));
  EXPECT_FALSE(m_pChannel->IsAwaitingResponse());
  EXPECT_TRUE(m_pWindow->IsTimerRunning(IDT_RESPONSE));
  m_loop.Advance(700);
  EXPECT_FALSE(m_pWindow->IsTimerRunning(IDT_RESPONSE));
  EXPECT_EQ(m_events.m_events, (std::vector<CRecordedEvent>{{"[Korvex 버전 응답]          : 버전 1.2", EVENT_BLACK}}));
}

TEST_F(ChannelTest, TwoQuickCommandsShareOneRestartedTimer) {
  OpenReady();
  m_pChannel->ReadVersion();
  m_loop.Advance(600);
  m_pChannel->ResetNode();
  m_loop.Advance(999);  // 1599 ms after the first command
  EXPECT_EQ(CommErrors(), 0u);
  m_loop.Advance(1);
  EXPECT_EQ(CommErrors(), 1u);  // one report for both

  m_pChannel->ReadVersion();
  m_loop.Advance(600);
  m_pChannel->ResetNode();
  m_loop.Advance(300);
  Receive(Line(":R00"));  // one answer clears the flag for both
  m_loop.Advance(2000);
  EXPECT_EQ(CommErrors(), 1u);
}

TEST_F(ChannelTest, ReceivedFramesAndErrorReportsNeverCountAsAnswers) {
  OpenReady();
  m_pChannel->ReadVersion();
  Receive(Line(":U0201230102") + Line(":I01"));
  EXPECT_TRUE(m_pChannel->IsAwaitingResponse());
  m_loop.Advance(1000);
  EXPECT_EQ(CommErrors(), 1u);
  EXPECT_EQ(m_list.m_lines.size(), 1u);
}

TEST_F(ChannelTest, ShortAnswerIsDroppedAndEndsInTheCommunicationError) {
  OpenReady();
  m_pChannel->ReadVersion();
  Receive(":V56\r");  // a valid checksum but no version byte
  EXPECT_TRUE(m_pChannel->IsAwaitingResponse());
  m_loop.Advance(1000);
  EXPECT_EQ(m_events.m_events, (std::vector<CRecordedEvent>{{COMM_ERROR, EVENT_RED}}));
}

TEST_F(ChannelTest, LateAnswerIsStillDecoded) {
  OpenReady();
  m_pChannel->ReadVersion();
  m_loop.Advance(1500);
  Receive(Line(":VA0"));
  ASSERT_EQ(m_events.m_events.size(), 2u);
  EXPECT_EQ(m_events.m_events[0].m_text, COMM_ERROR);
  EXPECT_EQ(m_events.m_events[1].m_text, "[Korvex 버전 응답]          : 버전 10.0");
}

TEST_F(ChannelTest, StartupExchangeRunsOnceAndOnlyAfterASuccessfulOpen) {
  m_pSerial->m_bOpenSucceeds = false;
  EXPECT_FALSE(m_pChannel->Open(false, "ttyS1", 38400));
  EXPECT_FALSE(m_owner.m_bPortOpen);
  EXPECT_TRUE(m_pSerial->m_writes.empty());
  m_pSerial->m_bOpenSucceeds = true;

  ASSERT_TRUE(m_pChannel->Open(false, "ttyS1", 38400));
  EXPECT_EQ(m_pSerial->m_dwOpenedRate, 38400u);
  EXPECT_EQ(m_pSerial->m_writes, (std::vector<std::string>{":Y59\r"}));
  // Cut short: the next open starts it again.
  ASSERT_TRUE(m_pChannel->Open(false, "ttyS1", 38400));
  EXPECT_EQ(m_pSerial->m_writes, (std::vector<std::string>{":Y59\r", ":Y59\r"}));
  Receive(Line(":Y0C0F3401230000"));
  EXPECT_EQ(m_pSerial->m_writes.back(), ":G00A7\r");
  EXPECT_TRUE(m_pChannel->IsStartupPending());
  Receive(Line(":Y0C0F3401230000"));  // still pending: asks again
  EXPECT_EQ(m_pSerial->m_writes.size(), 4u);
  Receive(Line(":G01"));
  EXPECT_FALSE(m_pChannel->IsStartupPending());
  EXPECT_TRUE(m_pChannel->IsReceptionRunning());
  EXPECT_EQ(m_pChannel->Config().m_dwId, 0x123u);
  EXPECT_EQ(std::count(m_owner.m_messages.begin(), m_owner.m_messages.end(),
                       std::pair<unsigned, uintptr_t>{WM_CONFIG_REPORT, 0}),
            2);

  m_pChannel->Close(false);
  m_pSerial->m_writes.clear();
  ASSERT_TRUE(m_pChannel->Open(false, "ttyS1", 38400));
  Receive(Line(":Y0C0F3401230000"));  // a later "Y" answer asks nothing more
  EXPECT_TRUE(m_pSerial->m_writes.empty());
  m_loop.Advance(3000);
  EXPECT_EQ(CommErrors(), 0u);
}

TEST_F(ChannelTest, OpeningWhileOpenClosesTheOldPortWithoutStopping) {
  OpenReady();
  ASSERT_TRUE(m_pChannel->Open(true, "KX000123", 38400));
  EXPECT_TRUE(m_pSerial->m_writes.empty());  // no ":G10"
  EXPECT_FALSE(m_pSerial->IsOpen());
  EXPECT_TRUE(m_pUsb->IsOpen());
  EXPECT_EQ(m_pUsb->m_openedName, "KX000123");
  EXPECT_TRUE(m_pChannel->IsUsbMode());
  EXPECT_EQ(m_pChannel->PortName(), "KX000123");
  EXPECT_TRUE(m_owner.m_bPortOpen);
  m_pChannel->ResetNode();
  EXPECT_EQ(m_pUsb->m_writes, (std::vector<std::string>{":R52\r"}));
}

TEST_F(ChannelTest, CloseWithStopSendsStopWaitsHalfASecondAndSilencesItsTimer) {
  OpenReady();
  uint64_t qwClosedAt = 0;
  m_pSerial->m_fnOnClose = [&] { qwClosedAt = m_loop.Now(); };
  const uint64_t qwStart = m_loop.Now();
  m_pChannel->Close(true);
  EXPECT_EQ(m_pSerial->m_writes, (std::vector<std::string>{":G10A8\r"}));
  EXPECT_EQ(qwClosedAt, qwStart + 500);
  EXPECT_FALSE(m_pSerial->IsOpen());
  EXPECT_FALSE(m_owner.m_bPortOpen);
  EXPECT_FALSE(m_pChannel->IsAwaitingResponse());
  EXPECT_FALSE(m_pWindow->IsTimerRunning(IDT_RESPONSE));
  m_loop.Advance(3000);
  EXPECT_TRUE(m_events.m_events.empty());
}

TEST_F(ChannelTest, CloseWithoutPortSendsNothing) {
  m_pChannel->Close(true);
  EXPECT_TRUE(m_pSerial->m_writes.empty());
  EXPECT_EQ(m_loop.Now(), 0u);
  EXPECT_FALSE(m_owner.m_bPortOpen);
}

TEST_F(ChannelTest, BlockThatDoesNotFitTheQueueIsDroppedWhole) {
  OpenReady();
  // Nothing drains until the loop runs: a block as large as the free space is refused...
  EXPECT_TRUE(m_pSerial->Deliver(Line(":V12")));
  const uint32_t nFree = m_pChannel->ReceiveQueue().FreeSpace();
  EXPECT_FALSE(m_pSerial->Deliver(std::string(nFree, '\n')));
  // ... one byte smaller fits, and so does what follows once the queue drains.
  const std::string reset = Line(":R00");
  EXPECT_TRUE(m_pSerial->Deliver(std::string(nFree - 1 - reset.size(), '\n') + reset));
  m_loop.RunPending();
  EXPECT_TRUE(m_pSerial->Deliver(Line(":G01")));
  m_loop.RunPending();
  ASSERT_EQ(m_events.m_events.size(), 3u);
  EXPECT_EQ(m_events.m_events[1].m_text, "[CAN 리셋 응답]             : Command Reset");

  // A line whose end was dropped is lost, with the line that interrupts it; the assembler
  // picks up at the next line.
  m_events.m_events.clear();
  const std::string version = Line(":V12");
  EXPECT_TRUE(m_pSerial->Deliver(version.substr(0, 3)));
  EXPECT_FALSE(m_pSerial->Deliver(version.substr(3) + std::string(m_pChannel->ReceiveQueue().FreeSpace(), '\n')));
  EXPECT_TRUE(m_pSerial->Deliver(Line(":R00")));
  EXPECT_TRUE(m_pSerial->Deliver(Line(":R01")));
  m_loop.RunPending();
  EXPECT_EQ(m_events.m_events, (std::vector<CRecordedEvent>{
                                   {"[CAN 리셋 응답]             : Bus-Off Auto Reset", EVENT_BLUE}}));
}

TEST_F(ChannelTest, NotificationAfterCloseDecodesWhatWasQueuedButNotAfterReopen) {
  OpenReady();
  m_pSerial->Deliver(Line(":V12"));  // queued and notified, not yet handled
  m_pChannel->Close(false);
  m_loop.RunPending();
  EXPECT_EQ(m_events.m_events.size(), 1u);

  m_pSerial->Deliver(Line(":V34"));
  ASSERT_TRUE(m_pChannel->Open(false, "ttyS1", 921600));
  m_loop.RunPending();
  EXPECT_EQ(m_events.m_events.size(), 1u);  // the queue started empty
}

TEST_F(ChannelTest, StreamSplitAtEveryOffsetGivesTheSameLines) {
  OpenReady();
  const std::string stream = Line(":U28123456780000000111223344") + "\n" + Line(":I11") + "noise" +
                             Line(":U02012301") + Line(":U0001FF") + "\r\n" + Line(":W020123AABB");
  for (std::size_t nSplit = 0; nSplit <= stream.size(); ++nSplit) {
    m_list.m_lines.clear();
    m_events.m_events.clear();
    m_pSerial->Deliver(stream.substr(0, nSplit));
    m_pSerial->Deliver(stream.substr(nSplit));
    m_loop.RunPending();
    ASSERT_EQ(m_list.m_lines, (std::vector<std::string>{
                                  "CAN2.0B  Data Frame    길이:8  ID:12345678  데이터:00 00 00 01 11 22 33 44",
                                  "CAN2.0A  Data Frame    길이:0  ID:1FF       "}))
        << "split at " << nSplit;
    ASSERT_EQ(m_events.m_events.size(), 2u) << "split at " << nSplit;
  }
}

TEST_F(ChannelTest, DestroyClosesWithStop) {
  OpenReady();
  m_pChannel->Destroy();
  EXPECT_EQ(m_pSerial->m_writes, (std::vector<std::string>{":G10A8\r"}));
  EXPECT_FALSE(m_pSerial->IsOpen());
  m_pChannel->ReadVersion();  // no window any more: nothing is armed
  EXPECT_FALSE(m_pChannel->IsAwaitingResponse());
}

TEST(ChannelCreate, FailsWithoutAWindow) {
  CVirtualLoop loop;
  CRecordingOwner owner(loop);
  CModuleChannel channel(std::make_unique<CFakeTransport>(), std::make_unique<CFakeTransport>());
  EXPECT_FALSE(channel.Create(nullptr, &owner, &loop));
  ASSERT_TRUE(channel.Open(false, "ttyS0", 38400));
  EXPECT_FALSE(owner.m_bPortOpen);  // no owner after a failed create
  channel.Close(false);
}

TEST(VirtualLoop, PeriodicTimersFireInOrderAndRestart) {
  struct CTicks final : MessageHandler {
    void OnMessage(unsigned, uintptr_t, intptr_t) override {}
    void OnTimer(unsigned nId) override { m_fired.emplace_back(nId, m_pLoop->Now()); }
    CVirtualLoop* m_pLoop = nullptr;
    std::vector<std::pair<unsigned, uint64_t>> m_fired;
  } ticks;
  CVirtualLoop loop;
  ticks.m_pLoop = &loop;
  CVirtualLoop::CWindow window(loop, ticks);
  window.SetTimer(200, 200);
  window.SetTimer(201, 500);
  loop.Advance(450);
  window.SetTimer(201, 500);  // restarted: due at 950 now
  loop.Advance(550);
  EXPECT_EQ(ticks.m_fired, (std::vector<std::pair<unsigned, uint64_t>>{
                               {200, 200}, {200, 400}, {200, 600}, {200, 800}, {201, 950}, {200, 1000}}));
  window.KillTimer(200);
  loop.Sleep(2000);  // a blocked thread: the clock moves, nothing fires
  EXPECT_EQ(ticks.m_fired.size(), 6u);
  EXPECT_TRUE(loop.Step());  // the overdue timer fires at once
  EXPECT_EQ(ticks.m_fired.back(), (std::pair<unsigned, uint64_t>{201, 3000}));
}

TEST(VirtualLoop, PostsFromAnotherThreadArriveInOrder) {
  struct CCollector final : MessageHandler {
    void OnMessage(unsigned nMsg, uintptr_t wParam, intptr_t) override { m_values.push_back(nMsg + wParam); }
    void OnTimer(unsigned) override {}
    std::vector<uintptr_t> m_values;
  } collector;
  CVirtualLoop loop;
  CVirtualLoop::CWindow window(loop, collector);
  constexpr unsigned COUNT = 5000;
  std::thread reader([&] {
    for (unsigned i = 0; i < COUNT; ++i) window.Post(WM_RX_NOTIFY, i, 0);
  });
  while (collector.m_values.size() < COUNT && loop.WaitForPost(5000)) loop.RunPending();
  reader.join();
  loop.RunPending();
  ASSERT_EQ(collector.m_values.size(), COUNT);
  for (unsigned i = 0; i < COUNT; ++i) ASSERT_EQ(collector.m_values[i], WM_RX_NOTIFY + i);
}

}  // namespace
