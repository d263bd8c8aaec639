#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "CPseudoTerminal.h"
#include "LinkTestSupport.h"
#include "link/CSerialPort.h"

namespace {

class SerialPortTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_pty.IsValid());
    m_port.SetNotifyTarget(&m_rx.host, WM_RX_NOTIFY, m_rx.pQueue.get());
  }
  void TearDown() override { m_port.Close(); }

  CPseudoTerminal m_pty;
  LinkReceiver m_rx;
  CSerialPort m_port;
};

TEST_F(SerialPortTest, OpenFailsClosedForMissingPortsNonTtysAndUnknownRates) {
  char szDir[] = "/tmp/korvex-serial-XXXXXX";
  ASSERT_NE(mkdtemp(szDir), nullptr);
  const std::string plainFile = std::string(szDir) + "/plain";
  close(open(plainFile.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600));

  EXPECT_FALSE(m_port.Open(std::string(szDir) + "/ttyMissing", 38400));
  EXPECT_FALSE(m_port.Open("ttyKorvexNoSuchDevice", 38400));  // looked up under /dev
  EXPECT_FALSE(m_port.Open(plainFile, 38400));
  EXPECT_FALSE(m_port.Open("", 38400));
  EXPECT_FALSE(m_port.IsOpen());
  EXPECT_EQ(m_port.Close(), 0);
  EXPECT_EQ(m_port.Close(), 0);

  // A rate termios cannot express is refused, and the port that was open is closed first.
  ASSERT_TRUE(m_port.Open(m_pty.SlavePath(), 38400));
  EXPECT_FALSE(m_port.Open(m_pty.SlavePath(), 12345));
  EXPECT_FALSE(m_port.IsOpen());
  EXPECT_TRUE(m_pty.SlaveClosed());
  EXPECT_EQ(m_port.Write(reinterpret_cast<const uint8_t*>("x"), 1), 0u);

  unlink(plainFile.c_str());
  rmdir(szDir);
}

TEST_F(SerialPortTest, LineIsRaw8N1AtTheGivenRateWithoutFlowControl) {
  // Leave the line as another program might have: cooked, flow control on, hang-up on close.
  termios dirty{};
  ASSERT_EQ(tcgetattr(m_pty.MasterFd(), &dirty), 0);  // a pty master reaches its slave's settings
  dirty.c_cflag |= HUPCL | CRTSCTS | CSTOPB;
  dirty.c_iflag |= IXON | IXOFF | ICRNL;
  dirty.c_lflag |= ICANON | ECHO | ISIG;
  dirty.c_oflag |= OPOST;
  ASSERT_EQ(tcsetattr(m_pty.MasterFd(), TCSANOW, &dirty), 0);

  for (const auto& [dwRate, speed] : {std::pair{38400u, speed_t{B38400}}, std::pair{921600u, speed_t{B921600}}}) {
    ASSERT_TRUE(m_port.Open(m_pty.SlavePath(), dwRate));
    termios tio{};
    ASSERT_EQ(tcgetattr(m_pty.MasterFd(), &tio), 0);
    EXPECT_EQ(cfgetispeed(&tio), speed);
    EXPECT_EQ(cfgetospeed(&tio), speed);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS | HUPCL), 0u);
    EXPECT_EQ(tio.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
  }

  // Every byte value passes unchanged both ways: no CR/LF mapping, no XON/XOFF, no signals.
  std::vector<uint8_t> values(256);
  for (int i = 0; i < 256; ++i) values[i] = static_cast<uint8_t>(i);
  ASSERT_TRUE(m_pty.Send(values));
  ASSERT_TRUE(m_rx.WaitForQueued(256));
  EXPECT_EQ(m_rx.PopAll(), values);
  EXPECT_EQ(m_port.Write(values.data(), 256), 256u);
  EXPECT_EQ(m_pty.Receive(256), values);
  EXPECT_EQ(m_rx.host.LastMessage(), WM_RX_NOTIFY);
  EXPECT_FALSE(m_rx.host.SawNonZeroParameter());
}

TEST_F(SerialPortTest, OpeningAgainClosesTheFirstConnectionAndPortsAreExclusive) {
  CPseudoTerminal other;
  ASSERT_TRUE(other.IsValid());
  ASSERT_TRUE(m_port.Open(m_pty.SlavePath(), 921600));
  EXPECT_FALSE(m_pty.SlaveClosed(std::chrono::milliseconds(0)));

  ASSERT_TRUE(m_port.Open(other.SlavePath(), 921600));
  EXPECT_TRUE(m_pty.SlaveClosed());
  ASSERT_TRUE(other.Send({'o', 'k'}));
  ASSERT_TRUE(m_rx.WaitForQueued(2));
  EXPECT_EQ(m_rx.PopAll(), (std::vector<uint8_t>{'o', 'k'}));

  // Reopening the same port on the same transport works; a second transport is kept out.
  ASSERT_TRUE(m_port.Open(other.SlavePath(), 38400));
  CSerialPort second;
  EXPECT_FALSE(second.Open(other.SlavePath(), 38400));
  EXPECT_NE(m_port.Close(), 0);
  EXPECT_TRUE(second.Open(other.SlavePath(), 38400));
}

TEST_F(SerialPortTest, LongBurstIsReadInSeveralBlocksAndNotifiedOnce) {
  ASSERT_TRUE(m_port.Open(m_pty.SlavePath(), 921600));
  // Keep the reader inside its first notification while the burst piles up behind it.
  m_rx.host.Hold(true);
  ASSERT_TRUE(m_pty.Send({'#'}));
  ASSERT_TRUE(m_rx.host.WaitForPosts(1));
  const std::vector<uint8_t> burst = TestPattern(3 * CSerialPort::READ_BLOCK_SIZE + 500, 5);
  ASSERT_TRUE(m_pty.Send(burst));
  m_rx.host.Hold(false);

  ASSERT_TRUE(m_rx.host.WaitForPosts(2));
  // The second notification came only after the whole burst was queued.
  EXPECT_EQ(m_rx.pQueue->Count(), burst.size() + 1);
  EXPECT_EQ(m_rx.host.Posts(), 2u);
  std::vector<uint8_t> expected{'#'};
  expected.insert(expected.end(), burst.begin(), burst.end());
  EXPECT_EQ(m_rx.PopAll(), expected);
  EXPECT_EQ(m_port.DroppedBlocks(), 0u);
}

TEST_F(SerialPortTest, BlockThatDoesNotFitIsDroppedWholeAndTheNextFittingOneIsQueued) {
  m_rx.FillLeaving(100);
  ASSERT_TRUE(m_port.Open(m_pty.SlavePath(), 38400));

  ASSERT_TRUE(m_pty.Send(std::vector<uint8_t>(100, 'a')));  // not strictly smaller than 100
  ASSERT_TRUE(m_rx.host.WaitForPosts(1));
  EXPECT_EQ(m_port.DroppedBlocks(), 1u);
  EXPECT_EQ(m_rx.pQueue->FreeSpace(), 100u);

  ASSERT_TRUE(m_pty.Send(std::vector<uint8_t>(99, 'b')));
  ASSERT_TRUE(m_rx.host.WaitForPosts(2));
  EXPECT_EQ(m_port.DroppedBlocks(), 1u);
  EXPECT_EQ(m_rx.pQueue->FreeSpace(), 1u);
  const std::vector<uint8_t> queued = m_rx.PopAll();
  ASSERT_EQ(queued.size(), CByteQueue::QUEUE_SIZE - 1);
  EXPECT_EQ(queued[CByteQueue::QUEUE_SIZE - 101], 0xEE);
  EXPECT_EQ(std::vector<uint8_t>(queued.end() - 99, queued.end()), std::vector<uint8_t>(99, 'b'));
}

TEST_F(SerialPortTest, WriteToVanishedDeviceReturnsZeroAtOnce) {
  ASSERT_TRUE(m_port.Open(m_pty.SlavePath(), 38400));
  m_pty.CloseMaster();
  const auto start = std::chrono::steady_clock::now();
  const std::vector<uint8_t> line{':', 'Y', '5', '9', '\r'};
  EXPECT_EQ(m_port.Write(line.data(), static_cast<uint32_t>(line.size())), 0u);
  EXPECT_LT(SecondsSince(start), 1.5);
  EXPECT_NE(m_port.Close(), 0);
  EXPECT_FALSE(m_port.IsOpen());
}

TEST_F(SerialPortTest, WriteToStalledDeviceGivesUpAfterOneSecond) {
  ASSERT_TRUE(m_port.Open(m_pty.SlavePath(), 921600));
  // Nobody reads the master: the pty's buffers fill and the write stops making progress.
  const std::vector<uint8_t> flood = TestPattern(1024 * 1024);
  auto start = std::chrono::steady_clock::now();
  const uint32_t nWritten = m_port.Write(flood.data(), static_cast<uint32_t>(flood.size()));
  double dSeconds = SecondsSince(start);
  EXPECT_GT(nWritten, 0u);
  EXPECT_LT(nWritten, flood.size());
  EXPECT_GE(dSeconds, 0.9);
  EXPECT_LT(dSeconds, 3.0);

  start = std::chrono::steady_clock::now();
  EXPECT_EQ(m_port.Write(flood.data(), 1), 0u);
  dSeconds = SecondsSince(start);
  EXPECT_GE(dSeconds, 0.9);
  EXPECT_LT(dSeconds, 3.0);
}

TEST_F(SerialPortTest, CloseWakesABlockedReaderPromptlyAndLeavesNoThread) {
  const int nThreadsBefore = ThreadCount();
  ASSERT_TRUE(m_port.Open(m_pty.SlavePath(), 38400));
  EXPECT_EQ(ThreadCount(), nThreadsBefore + 1);
  ASSERT_TRUE(m_pty.Send({'a'}));
  ASSERT_TRUE(m_rx.WaitForQueued(1));  // the reader has run and is back in its wait

  const auto start = std::chrono::steady_clock::now();
  EXPECT_NE(m_port.Close(), 0);
  EXPECT_LT(SecondsSince(start), 0.5);
  EXPECT_EQ(ThreadCount(), nThreadsBefore);
  EXPECT_TRUE(m_pty.SlaveClosed());
  EXPECT_EQ(m_rx.host.Posts(), 1u);
  EXPECT_EQ(m_port.Close(), 0);
}

}  // namespace
