// The module channel on the virtual-time loop: send path, response timer, routing,
// start-up exchange, open and close.
#include <algorithm>

#include "protocol/ChannelTestBed.h"

namespace {

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
  EXPECT_EQ(m_pChannel->CommErrorCount(), 1u);
}

TEST_F(ChannelTest, StartupExchangeRunsOnceAfterASuccessfulOpen) {
  m_pSerial->m_bOpenSucceeds = false;
  EXPECT_FALSE(m_pChannel->Open(false, "ttyS1", 38400));
  EXPECT_EQ(m_pChannel->LastOpenError(), "open: No such file or directory");
  EXPECT_FALSE(m_bPortOpen);
  EXPECT_TRUE(m_pSerial->m_writes.empty());
  m_pSerial->m_bOpenSucceeds = true;
  ASSERT_TRUE(m_pChannel->Open(false, "ttyS1", 38400));
  EXPECT_EQ(m_pChannel->LastOpenError(), "");
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
  m_pChannel->Close(true);  // nothing open, nothing to stop: no line, no wait
  EXPECT_EQ(m_loop.Now(), 0u);
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

}  // namespace
