// The channel's receive side: bursts decoded as batches, coalesced notifications, arrival
// times, the counters of what went wrong, and a device that goes away.
#include <thread>

#include "protocol/ChannelTestBed.h"

namespace {

using ReceiveTest = CChannelTestBed;

const std::string FRAME = "CAN2.0A  Data Frame    길이:2  ID:123       데이터:01 02";
const std::string PORT_GONE = "[Korvex 통신포트 에러]      : 통신 포트가 끊어졌읍니다 (장치가 분리됨)";

TEST_F(ReceiveTest, BurstIsOneBatchWithOneLampNoticePerKind) {
  OpenReady();
  std::string burst;
  for (int i = 0; i < 50; ++i) burst += Line(":U0201230102");
  Receive(burst);
  EXPECT_EQ(m_lines, std::vector<std::string>(50, FRAME));
  EXPECT_EQ(m_batchEnds, std::vector<size_t>{50});
  EXPECT_EQ(m_messages, (CMessages{{WM_FRAME_ACTIVITY, 2}}));

  // A configuration report keeps its place; the lamps follow at the end, sent before received.
  Forget();
  Receive(Line(":U0201230102") + Line(":W0201230011") + Line(":Y1C0F340000000000000000") + Line(":W0201230011"));
  EXPECT_EQ(m_messages, (CMessages{{WM_CONFIG_REPORT, 0}, {WM_FRAME_ACTIVITY, 1}, {WM_FRAME_ACTIVITY, 2}}));
  EXPECT_EQ(m_batchEnds, std::vector<size_t>{1});
  Forget();
  Receive(Line(":W0201230011") + Line(":V12"));  // nothing listed: the list's batch is not ended
  EXPECT_EQ(m_messages, (CMessages{{WM_FRAME_ACTIVITY, 1}}));
  EXPECT_TRUE(m_batchEnds.empty());
}

// While a notification waits, the reader posts no other; what arrives while the handler runs
// posts a new one, so nothing is left in the queue.
TEST_F(ReceiveTest, NotificationsAreCoalescedAndNothingIsStranded) {
  OpenReady();
  m_pSerial->Deliver(Line(":U0201230102"));
  m_pSerial->Deliver(Line(":U0201230102"));
  EXPECT_EQ(m_loop.PendingCount(), 1u);
  m_loop.RunPending();
  EXPECT_EQ(m_batchEnds, std::vector<size_t>{2});

  int nLate = 0;
  m_fnOnLine = [&] {
    if (nLate++ == 0) m_pSerial->Deliver(Line(":U0201230102"));  // the reader, mid-batch
  };
  m_pSerial->Deliver(Line(":U0201230102"));
  EXPECT_EQ(m_loop.PendingCount(), 1u);
  m_loop.RunPending();
  EXPECT_EQ(m_batchEnds, (std::vector<size_t>{2, 3, 4}));
  EXPECT_EQ(m_pChannel->ReceiveQueue().Count(), 0u);
}

// A real reader thread racing the UI thread: every line arrives, in batches no more numerous
// than the bursts.
TEST_F(ReceiveTest, ReaderThreadLosesNoLineToTheCoalescing) {
  OpenReady();
  constexpr int BURSTS = 2000;
  std::thread reader([&] {
    for (int i = 0; i < BURSTS; ++i) m_pSerial->Deliver(Line(":U0201230102") + Line(":U0201230102"));
  });
  while (m_lines.size() < 2 * BURSTS && m_loop.WaitForPost(5000)) m_loop.RunPending();
  reader.join();
  m_loop.RunPending();
  EXPECT_EQ(m_lines.size(), 2u * BURSTS);
  EXPECT_LE(m_batchEnds.size(), size_t{BURSTS});
  EXPECT_EQ(m_pChannel->Counters().AnyNonZero(), false);
}

// A line takes the time of the burst that completed it.
TEST_F(ReceiveTest, ArrivalTimeTravelsWithTheFrame) {
  OpenReady();
  const std::string second = Line(":U0201230102");
  m_pSerial->Deliver(Line(":U0201230102") + second.substr(0, 5), {1, 1000});
  m_pSerial->Deliver(second.substr(5) + Line(":U0201230102"), {2, 2000});
  m_pSerial->Deliver(Line(":U0201230102"), {3, 3000});
  m_loop.RunPending();
  EXPECT_EQ(m_arrivals, (std::vector<int64_t>{1000, 2000, 2000, 3000}));
}

// The assembler keeps a line begun in one batch for the next.
TEST_F(ReceiveTest, StreamSplitAtEveryOffsetGivesTheSameLines) {
  OpenReady();
  const std::string stream = Line(":U28123456780000000111223344") + "\n" + Line(":I11") + "noise" + Line(":U02012301") +
                             ":G11A8\r" + Line(":U0001FF") + "\r\n" + Line(":W020123AABB");
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

TEST_F(ReceiveTest, CountersTellWhatWentWrong) {
  OpenReady();
  const std::string tooLong = Line(":U2812345678" "0011223344556677").insert(29, "0");
  const struct {
    const char* pszName;
    std::vector<std::string> bursts;
    ChannelCounters added;  // dropped blocks, refused lines, refused responses, incomplete frames
  } kCases[] = {
      {"healthy", {Line(":V12") + Line(":U140123")}, {}},  // a remote frame carries no data
      {"bad checksum", {":G11A8\r"}, {0, 1, 0, 0}},
      {"too long", {tooLong}, {0, 1, 0, 0}},
      {"bad character", {":G1 1A9\r" + Line(":G1g")}, {0, 2, 0, 0}},
      {"short answers", {Line(":G") + Line(":Y1C0334AAAAAAAABBBBBB") + Line(":U2F000001")}, {0, 0, 3, 0}},
      {"unknown letter", {Line(":Q01")}, {0, 0, 1, 0}},
      {"data cut short", {Line(":U020123AA") + Line(":W020123AA") + Line(":U1801230102")}, {0, 0, 0, 2}},
      // The block that does not fit is dropped whole; the line it cut off is refused when the
      // next one starts inside it, and that one is lost with it.
      {"dropped block", {Line(":V12").substr(0, 3), std::string(CByteQueue::QUEUE_SIZE, '\n'), Line(":R00"), Line(":R01")},
       {1, 1, 0, 0}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.pszName);
    const ChannelCounters before = m_pChannel->Counters();
    for (const std::string& burst : c.bursts) Receive(burst);
    const ChannelCounters after = m_pChannel->Counters();
    EXPECT_EQ(after.m_qwDroppedBlocks - before.m_qwDroppedBlocks, c.added.m_qwDroppedBlocks);
    EXPECT_EQ(after.m_qwRefusedLines - before.m_qwRefusedLines, c.added.m_qwRefusedLines);
    EXPECT_EQ(after.m_qwRefusedResponses - before.m_qwRefusedResponses, c.added.m_qwRefusedResponses);
    EXPECT_EQ(after.m_qwIncompleteFrames - before.m_qwIncompleteFrames, c.added.m_qwIncompleteFrames);
    EXPECT_EQ(after.AnyNonZero(), before.AnyNonZero() || c.added.AnyNonZero());
  }
  EXPECT_EQ(m_events.back().first, "[CAN 리셋 응답]             : Bus-Off Auto Reset");
}

// What came before the hang-up is shown first; the port is closed without ":G10", and only
// the owner may open it again. A notice from a port since reopened is stale.
TEST_F(ReceiveTest, DeviceThatGoesAwayClosesThePortOnce) {
  OpenReady();
  m_pChannel->ReadVersion();
  m_pSerial->m_writes.clear();
  const std::string version = Line(":V12");
  m_pChannel->ReceiveQueue().Push(reinterpret_cast<const uint8_t*>(version.data()), static_cast<uint32_t>(version.size()));
  m_pSerial->HangUp();
  m_pSerial->HangUp();
  m_loop.RunPending();
  EXPECT_EQ(m_events, (CEvents{{"[Korvex 버전 응답]          : 버전 1.2", EVENT_BLACK}, {PORT_GONE, EVENT_RED}}));
  EXPECT_FALSE(m_pSerial->IsOpen());
  EXPECT_FALSE(m_bPortOpen);
  EXPECT_EQ(m_pChannel->PortGoneCount(), 1u);
  EXPECT_EQ(m_nPortGoneCalls, 1u);
  EXPECT_TRUE(m_pSerial->m_writes.empty());

  m_events.clear();
  m_pChannel->ReadVersion();  // nothing to send it through: the communication error follows
  m_loop.Advance(1000);
  EXPECT_FALSE(m_pSerial->IsOpen());
  EXPECT_TRUE(m_pSerial->m_writes.empty());
  EXPECT_EQ(m_events, CEvents{COMM_ERROR});

  ASSERT_TRUE(m_pChannel->Open(false, "ttyS1", 921600));
  m_pSerial->HangUp();
  ASSERT_TRUE(m_pChannel->Open(false, "ttyS1", 921600));  // reopened before the notice ran
  m_loop.RunPending();
  EXPECT_TRUE(m_pSerial->IsOpen());
  EXPECT_EQ(m_pChannel->PortGoneCount(), 1u);
  EXPECT_EQ(m_nPortGoneCalls, 1u);
}

}  // namespace
