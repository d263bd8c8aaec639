// The module channel on the virtual-time loop: send path, response timer, routing,
// start-up exchange, open and close; and once over the real USB transport.
#include <algorithm>
#include <cstdlib>

#include "FakeD2xxControl.h"
#include "link/CD2xxLibrary.h"
#include "protocol/ChannelTestBed.h"

namespace {

const std::pair<std::string, COLORREF> COMM_ERROR{
    "[Korvex 통신에러 발생]      : Korvex 모듈로 부터  1초동안 요청 명령에 대해 응답이 없읍니다", EVENT_RED};
long CommErrors(const CEvents& events) { return std::count(events.begin(), events.end(), COMM_ERROR); }

using ChannelTest = CChannelTestBed;

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

TEST_F(ChannelTest, WithoutPortCommandsSendNothingAndReportTheErrorOnceOneSecondLater) {
  m_pChannel->Close(true);  // nothing to stop: no line, no wait
  EXPECT_EQ(m_loop.Now(), 0u);
  m_pChannel->ReadVersion();
  EXPECT_TRUE(m_pSerial->m_writes.empty());
  m_loop.Advance(999);
  EXPECT_EQ(CommErrors(m_events), 0);
  m_loop.Advance(1);
  EXPECT_EQ(m_events, CEvents{COMM_ERROR});
  EXPECT_EQ(m_pChannel->CommErrorCount(), 1u);
  EXPECT_FALSE(m_pWindow->IsTimerRunning(IDT_RESPONSE));
}

TEST_F(ChannelTest, QuickCommandsShareOneRestartedTimerThatAnAnswerSilencesButDoesNotStop) {
  OpenReady();
  for (const bool bAnswered : {false, true}) {
    m_pChannel->ReadVersion();
    m_loop.Advance(600);
    m_pChannel->ResetNode();
    m_loop.Advance(300);
    if (bAnswered) Receive(Line(":R00"));  // one answer clears the flag for both
    m_loop.Advance(699);                   // 1599 ms after the first command
    EXPECT_TRUE(m_pWindow->IsTimerRunning(IDT_RESPONSE));
    EXPECT_EQ(CommErrors(m_events), 0);
    m_loop.Advance(1);
    EXPECT_FALSE(m_pWindow->IsTimerRunning(IDT_RESPONSE));
    EXPECT_EQ(CommErrors(m_events), bAnswered ? 0 : 1);  // one report for both
    m_events.clear();
  }
}

TEST_F(ChannelTest, ReceivedFramesAndErrorReportsNeverCountAsAnswersButLateAnswersDecode) {
  OpenReady();
  m_pChannel->ReadVersion();
  Receive(Line(":U0201230102") + Line(":I01"));
  EXPECT_TRUE(m_pChannel->IsAwaitingResponse());
  m_loop.Advance(1500);
  Receive(Line(":VA0"));
  ASSERT_EQ(m_events.size(), 3u);
  EXPECT_EQ(m_events[1], COMM_ERROR);
  EXPECT_EQ(m_events[2].first, "[Korvex 버전 응답]          : 버전 10.0");
  EXPECT_EQ(m_lines.size(), 1u);
}

TEST_F(ChannelTest, StartupExchangeRunsOnceAfterASuccessfulOpen) {
  m_pSerial->m_bOpenSucceeds = false;
  EXPECT_FALSE(m_pChannel->Open(false, "ttyS1", 38400));
  EXPECT_FALSE(m_bPortOpen);
  EXPECT_TRUE(m_pSerial->m_writes.empty());
  m_pSerial->m_bOpenSucceeds = true;
  ASSERT_TRUE(m_pChannel->Open(false, "ttyS1", 38400));
  ASSERT_TRUE(m_pChannel->Open(false, "ttyS1", 38400));  // cut short: the next open starts it again
  Receive(Line(":Y0C0F3401230000"));
  Receive(Line(":Y0C0F3401230000"));  // still pending: asks again
  EXPECT_EQ(m_pSerial->m_writes, (std::vector<std::string>{":Y59\r", ":Y59\r", ":G00A7\r", ":G00A7\r"}));
  Receive(Line(":G01"));
  EXPECT_FALSE(m_pChannel->IsStartupPending());
  EXPECT_TRUE(m_pChannel->IsReceptionRunning());

  m_pChannel->Close(false);
  m_pSerial->m_writes.clear();
  ASSERT_TRUE(m_pChannel->Open(false, "ttyS1", 38400));
  Receive(Line(":Y0C0F3401230000"));  // a later "Y" answer asks nothing more
  EXPECT_TRUE(m_pSerial->m_writes.empty());
  m_loop.Advance(3000);
  EXPECT_EQ(CommErrors(m_events), 0);
}

TEST_F(ChannelTest, OpeningWhileOpenClosesTheOldPortWithoutStoppingAndDropsWhatItQueued) {
  OpenReady();
  m_pSerial->Deliver(Line(":V12"));  // queued and notified, not yet handled
  ASSERT_TRUE(m_pChannel->Open(true, "KX000123", 38400));
  m_loop.RunPending();
  EXPECT_TRUE(m_events.empty());
  EXPECT_TRUE(m_pSerial->m_writes.empty());
  EXPECT_FALSE(m_pSerial->IsOpen());
  EXPECT_EQ(m_pUsb->m_openedName, "KX000123");
  EXPECT_TRUE(m_bPortOpen);
  m_pChannel->ResetNode();
  EXPECT_EQ(m_pUsb->m_writes, (std::vector<std::string>{":R52\r"}));
}

TEST_F(ChannelTest, CloseAndDestroySendStopWaitHalfASecondAndSilenceTheirTimer) {
  for (const bool bDestroy : {false, true}) {
    SCOPED_TRACE(bDestroy);
    OpenReady();
    uint64_t qwClosedAt = 0;
    m_pSerial->m_fnOnClose = [&] { qwClosedAt = m_loop.Now(); };
    const uint64_t qwStart = m_loop.Now();
    bDestroy ? m_pChannel->Destroy() : m_pChannel->Close(true);
    EXPECT_EQ(m_pSerial->m_writes, std::vector<std::string>{":G10A8\r"});
    EXPECT_EQ(qwClosedAt, qwStart + 500);
    EXPECT_FALSE(m_bPortOpen);
    EXPECT_FALSE(m_pWindow->IsTimerRunning(IDT_RESPONSE));
    m_loop.Advance(3000);
    EXPECT_TRUE(m_events.empty());
  }
  m_pChannel->ReadVersion();  // destroyed: no window to arm a timer on
  EXPECT_FALSE(m_pChannel->IsAwaitingResponse());
}

TEST_F(ChannelTest, BlockThatDoesNotFitTheQueueIsDroppedWhole) {
  OpenReady();
  // Nothing drains until the loop runs: a block as large as the free space is refused, one
  // byte smaller fits.
  const uint32_t nFree = m_pChannel->ReceiveQueue().FreeSpace();
  EXPECT_FALSE(m_pSerial->Deliver(std::string(nFree, '\n')));
  const std::string reset = Line(":R00");
  EXPECT_TRUE(m_pSerial->Deliver(std::string(nFree - 1 - reset.size(), '\n') + reset));
  m_loop.RunPending();
  EXPECT_EQ(m_events, (CEvents{{"[CAN 리셋 응답]             : Command Reset", EVENT_BLUE}}));

  // A line whose end was dropped is lost with the line that interrupts it; the next one counts.
  m_events.clear();
  const std::string version = Line(":V12");
  EXPECT_TRUE(m_pSerial->Deliver(version.substr(0, 3)));
  EXPECT_FALSE(m_pSerial->Deliver(version.substr(3) + std::string(m_pChannel->ReceiveQueue().FreeSpace(), '\n')));
  Receive(Line(":R00") + Line(":R01"));
  EXPECT_EQ(m_events, (CEvents{{"[CAN 리셋 응답]             : Bus-Off Auto Reset", EVENT_BLUE}}));
}

// The assembler keeps a line begun in one notification for the next.
TEST_F(ChannelTest, StreamSplitAtEveryOffsetGivesTheSameLines) {
  OpenReady();
  const std::string stream = Line(":U28123456780000000111223344") + "\n" + Line(":I11") + "noise" + Line(":U02012301") +
                             Line(":U0001FF") + "\r\n" + Line(":W020123AABB");
  for (std::size_t nSplit = 0; nSplit <= stream.size(); ++nSplit) {
    Forget();
    Receive(stream.substr(0, nSplit));
    Receive(stream.substr(nSplit));
    ASSERT_EQ(m_lines,
              (std::vector<std::string>{"CAN2.0B  Data Frame    길이:8  ID:12345678  데이터:00 00 00 01 11 22 33 44",
                                        "CAN2.0A  Data Frame    길이:2  ID:123       데이터:01",
                                        "CAN2.0A  Data Frame    길이:0  ID:1FF       "}))
        << "split at " << nSplit;
    ASSERT_EQ(m_events.size(), 2u) << "split at " << nSplit;
  }
}

// The real USB transport over the fake D2XX library: its reader thread posts into the loop.
TEST_F(ChannelTest, UsbModuleCarriesCommandsAndAnswers) {
  CModuleChannel channel;
  CVirtualLoop::CWindow window(m_loop, channel);
  channel.Create(&window, this, &m_loop);
  channel.SetEventSink(this);
  CFakeD2xx fake;
  ASSERT_TRUE(fake.IsLoaded());
  fake.Reset();
  fake.AddDevice("Korvex Analyzer", "KX0001", 16);
  ::setenv(CD2xxLibrary::FILE_VARIABLE, KORVEX_FAKE_D2XX_PATH, 1);
  ASSERT_TRUE(CD2xxLibrary::Shared().Load());
  ::unsetenv(CD2xxLibrary::FILE_VARIABLE);

  EXPECT_FALSE(channel.Open(true, "KX0002", 0));  // no such module
  ASSERT_TRUE(channel.Open(true, "KX0001", 0));
  channel.ReadVersion();
  char szWritten[64] = {};
  ASSERT_EQ(fake.Written("KX0001", reinterpret_cast<uint8_t*>(szWritten), sizeof szWritten - 1), 10u);
  EXPECT_STREQ(szWritten, ":Y59\r:V56\r");
  const std::string answers = Line(":Y1C0F340000000000000000") + Line(":V12");
  fake.Feed("KX0001", reinterpret_cast<const uint8_t*>(answers.data()), static_cast<uint32_t>(answers.size()));
  while (m_events.size() < 2 && m_loop.WaitForPost(5000)) m_loop.RunPending();
  ASSERT_EQ(m_events.size(), 2u);
  EXPECT_EQ(m_events[1].first, "[Korvex 버전 응답]          : 버전 1.2");
  channel.Destroy();
  EXPECT_FALSE(fake.IsOpen("KX0001"));
  CD2xxLibrary::Shared().Unload();
}

}  // namespace
