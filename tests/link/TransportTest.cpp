// The serial transport on real pseudo-terminals and the USB transport on the fake D2XX library.
#include <sys/ioctl.h>
#include <termios.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <tuple>

#include "CPseudoTerminal.h"
#include "FakeD2xxControl.h"
#include "LinkTestSupport.h"
#include "link/CD2xxLibrary.h"
#include "link/CSerialPort.h"
#include "link/CUsbPort.h"
#include "link/UsbDeviceList.h"
#include "support/ScratchDir.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

const char* const MODULE = "Korvex Analyzer";
const char* const SERIAL = "KX0001";
constexpr int RECHECK_MS = 50;

struct SerialRig {
  bool Ready() const { return pty.IsValid(); }
  std::string Name() const { return pty.SlavePath(); }
  void Feed(const std::vector<uint8_t>& data) { EXPECT_TRUE(pty.Send(data)); }
  std::vector<uint8_t> Written(size_t nCount) { return pty.Receive(nCount); }
  bool DeviceClosed() { return pty.SlaveClosed(); }
  void Unplug() { pty.CloseMaster(); }

  CPseudoTerminal pty;
  CSerialPort port, other;
};

struct UsbRig {
  UsbRig() {
    Attach(16);
    setenv(CD2xxLibrary::FILE_VARIABLE, KORVEX_FAKE_D2XX_PATH, 1);
    library.Load();
    port.SetRecheckInterval(RECHECK_MS);  // a vanished device is noticed two rechecks on
  }
  ~UsbRig() { unsetenv(CD2xxLibrary::FILE_VARIABLE); }
  void Attach(uint8_t byLatency) {  // the module alone, a fresh log
    fake.Reset();
    fake.AddDevice(MODULE, SERIAL, byLatency);
  }
  bool Ready() const { return library.IsLoaded(); }
  std::string Name() const { return SERIAL; }
  void Feed(const std::vector<uint8_t>& data) { fake.Feed(SERIAL, data); }
  std::vector<uint8_t> Written(size_t) { return fake.Written(SERIAL); }
  bool DeviceClosed() { return !fake.IsOpen(SERIAL); }
  void Unplug() { fake.RemoveDevice(SERIAL); }
  size_t CountCalls(const std::string& entry) const { return std::ranges::count(fake.Calls(), entry); }

  CFakeD2xx fake;  // outlives the library and the ports
  CD2xxLibrary library;
  CUsbPort port{library}, other{library};
};

template <typename Rig>
class TransportTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_rig.Ready());
    m_rig.port.SetNotifyTarget(&m_rx.host, m_rx.pQueue.get());
  }
  bool Open() { return m_rig.port.Open(m_rig.Name(), 921600); }

  LinkReceiver m_rx;  // outlives the port's reader
  Rig m_rig;
};

using Transports = ::testing::Types<SerialRig, UsbRig>;
TYPED_TEST_SUITE(TransportTest, Transports);

TYPED_TEST(TransportTest, OpenCloseTheReaderBetweenAndAVanishingDevice) {
  TypeParam& rig = this->m_rig;
  LinkReceiver& rx = this->m_rx;
  const long nThreadsBefore = ReaderThreadCount();
  EXPECT_TRUE(!rig.port.Open("no-such-device", 921600) && rig.port.Close() == 0);

  // The device is exclusive: a second Open works only because it closed the first.
  ASSERT_TRUE(this->Open() && this->Open());
  EXPECT_EQ(ReaderThreadCount(), nThreadsBefore + 1);
  EXPECT_FALSE(rig.other.Open(rig.Name(), 921600));

  // A burst carries the time the reader took it off the port.
  const ArrivalTime before = ArrivalTime::Now();
  rig.Feed({'a'});
  ASSERT_TRUE(rx.WaitForQueued(1));  // the reader has drained and waits again
  const ArrivalTime after = ArrivalTime::Now();
  rx.pQueue->Pop();
  const ArrivalTime arrival = rx.pQueue->LastArrival();
  EXPECT_TRUE(before.m_nSteadyNs <= arrival.m_nSteadyNs && arrival.m_nSteadyNs <= after.m_nSteadyNs &&
              before.m_nWallNs <= arrival.m_nWallNs && arrival.m_nWallNs <= after.m_nWallNs);

  const auto start = std::chrono::steady_clock::now();
  EXPECT_NE(rig.port.Close(), 0);
  EXPECT_LT(SecondsSince(start), 0.5);  // the waiting reader is woken, not waited out
  EXPECT_EQ(ReaderThreadCount(nThreadsBefore), nThreadsBefore);
  EXPECT_EQ(std::tuple(rig.DeviceClosed(), rx.host.Posts()), std::tuple(true, 1u));
  EXPECT_TRUE(rig.other.Open(rig.Name(), 921600) && rig.other.Close() != 0);

  ASSERT_TRUE(this->Open());  // an Open that fails closes what was open
  EXPECT_FALSE(rig.port.Open("no-such-device", 921600) || rig.port.IsOpen());
  EXPECT_TRUE(rig.DeviceClosed());

  // A vanished device fails writes at once and is reported once, after its last burst.
  ASSERT_TRUE(this->Open());
  const std::vector<uint8_t> line{':', 'G', '1', '1', 'A', '9', '\r'};
  EXPECT_EQ(rig.port.Write(line.data(), 7), 7u);
  EXPECT_EQ(rig.Written(7), line);
  rig.Feed(line);
  ASSERT_TRUE(rx.WaitForQueued(7));
  rig.Unplug();
  const auto unplugged = std::chrono::steady_clock::now();
  EXPECT_EQ(rig.port.Write(line.data(), 7), 0u);
  EXPECT_LT(SecondsSince(unplugged), 1.5);
  ASSERT_TRUE(rx.host.WaitUntil([&] { return rx.host.m_nGone > 0; }));
  EXPECT_NE(rig.port.Close(), 0);  // closing a vanished device still releases it
  EXPECT_EQ(std::tuple(rx.host.m_nGone.load(), rx.host.m_nPostsBeforeGone.load(), rx.host.Posts()), std::tuple(1u, 2u, 2u));
}

TYPED_TEST(TransportTest, LongBurstIsReadInSeveralBlocksAndNotifiedOnce) {
  LinkReceiver& rx = this->m_rx;
  ASSERT_TRUE(this->Open());
  // The reader is held in its first notification while the burst (small enough for a pty) piles up.
  rx.host.Hold(true);
  this->m_rig.Feed({'#'});
  ASSERT_TRUE(rx.host.WaitForPosts(1));
  std::vector<uint8_t> burst = TestPattern(2 * CPortReader::READ_BLOCK_SIZE + 500, 5);
  this->m_rig.Feed(burst);
  rx.host.Hold(false);

  ASSERT_TRUE(rx.host.WaitForPosts(2));
  EXPECT_EQ(rx.pQueue->Count(), burst.size() + 1);  // the second notification came after the whole burst
  EXPECT_EQ(rx.host.Posts(), 2u);
  burst.insert(burst.begin(), '#');
  EXPECT_EQ(rx.PopAll(), burst);
  if constexpr (std::is_same_v<TypeParam, UsbRig>) {
    EXPECT_EQ(this->m_rig.CountCalls("FT_W32_ReadFile(4096)") * 10 + this->m_rig.CountCalls("FT_W32_ReadFile(500)"), 21u);
  }
}

TYPED_TEST(TransportTest, BlockThatDoesNotFitIsDroppedWholeAndTheNextFittingOneIsQueued) {
  LinkReceiver& rx = this->m_rx;
  const std::vector<uint8_t> filler(CByteQueue::QUEUE_SIZE - 100, 0xEE);
  rx.pQueue->Push(filler.data(), static_cast<uint32_t>(filler.size()));  // 100 bytes free
  ASSERT_TRUE(this->Open());

  // 100 bytes are not strictly fewer than the free space; 99 are.
  for (const auto& [nLength, nFreeAfter] : std::initializer_list<std::pair<unsigned, unsigned>>{{100, 100}, {99, 1}}) {
    this->m_rig.Feed(std::vector<uint8_t>(nLength, 'a'));
    ASSERT_TRUE(rx.host.WaitForPosts(101 - nLength));
    EXPECT_EQ(std::tuple(this->m_rig.port.DroppedBlocks(), rx.pQueue->FreeSpace()), std::tuple(1u, nFreeAfter));
  }
}

using SerialPortTest = TransportTest<SerialRig>;

TEST_F(SerialPortTest, LineIsRawAndLockedUntilCloseRestoresItAndFailedOpensSayWhy) {
  // A line left cooked, with flow control, two stop bits and parity, as another program might.
  termios found{}, tio{};
  ASSERT_EQ(tcgetattr(m_rig.pty.MasterFd(), &found), 0);  // a pty master reaches its slave's settings
  found.c_cflag |= CRTSCTS | CSTOPB | PARENB | HUPCL;
  ASSERT_EQ(tcsetattr(m_rig.pty.MasterFd(), TCSANOW, &found), 0);
  ASSERT_EQ(tcgetattr(m_rig.pty.MasterFd(), &found), 0);  // as the pty took them
  for (const auto& [dwRate, speed] : {std::pair{38400u, speed_t{B38400}}, std::pair{921600u, speed_t{B921600}}}) {
    ASSERT_TRUE(m_rig.port.Open(m_rig.Name(), dwRate));
    ASSERT_EQ(tcgetattr(m_rig.pty.MasterFd(), &tio), 0);
    EXPECT_TRUE(cfgetispeed(&tio) == speed && cfgetospeed(&tio) == speed);
    EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL | CLOCAL | CREAD), CS8 | CLOCAL | CREAD);
  }
  // Every byte value passes unchanged both ways: no echo, line editing, CR/LF mapping, XON/XOFF, signals.
  const std::vector<uint8_t> values = TestPattern(256);  // each value once
  m_rig.Feed(values);
  ASSERT_TRUE(m_rx.WaitForQueued(256));
  EXPECT_EQ(m_rx.PopAll(), values);
  EXPECT_EQ(m_rig.port.Write(values.data(), 256), 256u);
  EXPECT_EQ(m_rig.Written(256), values);

  // Why an Open failed. Only a lock keeps others out: the tty's exclusive flag would outlive a killed holder.
  const auto Outcome = [this](const std::string& name, uint32_t dwRate = 38400) {
    return m_rig.other.Open(name, dwRate) ? std::string("opened") : m_rig.other.LastError();
  };
  ScratchDir dir;
  for (const auto& [outcome, expected] : std::vector<std::pair<std::string, std::string>>{
           {Outcome(""), "open: device not found"}, {Outcome(dir.Path()), "open: Is a directory"},
           {Outcome(dir.Write("plain", "")), "open: not a serial port"},
           {Outcome(m_rig.Name(), 12345), "cfsetspeed: 12345 bit/s is not a rate a serial port can run at"},
           {Outcome(m_rig.Name()), "flock: port is in use by another program"}})
    EXPECT_EQ(outcome, expected);
  CUniqueFd fdSlave(open(m_rig.Name().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  int nExclusive = -1;
  EXPECT_TRUE(fdSlave.IsValid() && ioctl(fdSlave.Get(), TIOCGEXCL, &nExclusive) == 0 && nExclusive == 0);

  // Close gives the line back as found, except HUPCL, which would drop the modem lines.
  EXPECT_NE(m_rig.port.Close(), 0);
  ASSERT_EQ(tcgetattr(m_rig.pty.MasterFd(), &tio), 0);
  found.c_cflag &= ~HUPCL;
  EXPECT_EQ(std::tie(tio.c_iflag, tio.c_oflag, tio.c_cflag, tio.c_lflag),
            std::tie(found.c_iflag, found.c_oflag, found.c_cflag, found.c_lflag));
  EXPECT_EQ(cfgetospeed(&tio), cfgetospeed(&found));
  EXPECT_TRUE(std::equal(std::begin(tio.c_cc), std::end(tio.c_cc), std::begin(found.c_cc)));
}

TEST_F(SerialPortTest, WriteToStalledDeviceGivesUpAfterItsTimeout) {
  m_rig.port.SetWriteTimeout(100);
  ASSERT_TRUE(Open());
  const std::vector<uint8_t> flood = TestPattern(1024 * 1024);
  for (const uint32_t nLength : {static_cast<uint32_t>(flood.size()), 1u}) {
    const auto start = std::chrono::steady_clock::now();
    const uint32_t nWritten = m_rig.port.Write(flood.data(), nLength);
    EXPECT_TRUE(nWritten < nLength && (nWritten > 0) == (nLength > 1)) << nWritten;
    EXPECT_TRUE(SecondsSince(start) >= 0.09 && SecondsSince(start) < 1.0) << SecondsSince(start);
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_NE(m_rig.port.Close(), 0);  // the output left behind holds Close no longer either
  EXPECT_LT(SecondsSince(start), 1.0);
}

const std::vector<std::string> OPEN_SEQUENCE = {
    "FT_W32_CreateFile(KX0001,0xc0000000,0,3,0x81)", "FT_ResetDevice", "FT_GetLatencyTimer", "FT_SetLatencyTimer(1)",
    "FT_W32_SetCommMask(1)", "FT_W32_SetupComm(4096,4096)", "FT_W32_PurgeComm(15)",
    "FT_W32_SetCommTimeouts(4294967295,4294967295,1000,0,1000)", "FT_W32_GetCommState",
    "FT_W32_SetCommState(921600,8,0,0,xon=17)",  // the driver reported 38,400 7E2, XON 0x11
    "FT_SetEventNotification(1)"};

using UsbPortTest = TransportTest<UsbRig>;

// A failing step stops the sequence, is named, and closes the device; a 1 ms latency is left alone.
TEST_F(UsbPortTest, OpenRunsItsStepsInOrderAndAFailingOneClosesTheDevice) {
  EXPECT_FALSE(m_rig.port.Open("", 0) || m_rig.port.Open(std::string("KX0001\0X", 8), 0));  // not KX0001 by mistake
  EXPECT_THAT(m_rig.fake.Calls(), ::testing::IsEmpty());
  const long nThreadsBefore = ReaderThreadCount();
  for (size_t nStep = 0; nStep <= OPEN_SEQUENCE.size(); ++nStep) {  // the last round fails no step
    const bool bFails = nStep < OPEN_SEQUENCE.size();
    const std::string call = bFails ? OPEN_SEQUENCE[nStep].substr(0, OPEN_SEQUENCE[nStep].find('(')) : "";
    SCOPED_TRACE(call);
    m_rig.Attach(16);
    if (bFails) m_rig.fake.FailCall(call);
    EXPECT_EQ(Open(), !bFails);
    const std::string why = nStep == 0 ? "device not found or in use by another program" : call + " failed";
    EXPECT_EQ(m_rig.port.LastError(), bFails ? why : "");
    EXPECT_EQ(m_rig.port.Close(), bFails ? 0 : 1);
    EXPECT_EQ(ReaderThreadCount(nThreadsBefore), nThreadsBefore);
    const auto nSteps = static_cast<long>(std::min(nStep + 1, OPEN_SEQUENCE.size()));
    std::vector<std::string> expected(OPEN_SEQUENCE.begin(), OPEN_SEQUENCE.begin() + nSteps);
    if (nStep > 0) expected.push_back("FT_W32_CloseHandle");  // a failed create has nothing to close
    std::vector<std::string> calls = m_rig.fake.Calls();
    std::erase(calls, "FT_W32_ClearCommError");  // the reader asking for input
    EXPECT_THAT(calls, ElementsAreArray(expected));
  }
  m_rig.Attach(1);
  ASSERT_TRUE(Open());
  EXPECT_EQ(m_rig.CountCalls("FT_GetLatencyTimer") * 10 + m_rig.CountCalls("FT_SetLatencyTimer(1)"), 10u);
}

TEST_F(UsbPortTest, DeviceThatCannotDeliverReportedInputDoesNotMakeTheReaderSpin) {
  const auto WaitForCalls = [this](const std::string& entry, size_t nCount, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (m_rig.CountCalls(entry) < nCount && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    return m_rig.CountCalls(entry);
  };
  m_rig.port.SetRecheckInterval(CUsbPort::RECHECK_MS);  // far longer than the wait below
  ASSERT_TRUE(Open());
  m_rig.fake.FailCall("FT_W32_ReadFile");
  m_rig.Feed({'x', 'y'});
  EXPECT_EQ(WaitForCalls("FT_W32_ReadFile(2)", 1, std::chrono::seconds(5)), 1u);
  EXPECT_EQ(WaitForCalls("FT_W32_ReadFile(2)", 2, std::chrono::milliseconds(200)), 1u);
  m_rig.Feed({'z'});  // a new signal makes it try again
  EXPECT_EQ(WaitForCalls("FT_W32_ReadFile(3)", 1, std::chrono::seconds(5)), 1u);
  EXPECT_EQ(m_rx.host.Posts(), 0u);
}

// The device list keeps modules with a serial number; the library stays while a device is open.
TEST_F(UsbPortTest, DeviceListAndLibraryLifetime) {
  const std::string longText(64, 'K');  // fills the library's 64-byte buffer without a terminator
  for (const auto& [description, serial] : std::vector<std::pair<std::string, std::string>>{
           {"FT232R USB UART", "A50285BI"}, {"Korvex Analyzer ", "KX-SPACE"}, {"korvex analyzer", "KX-CASE"},
           {"Korvex", "KX-PREFIX"}, {MODULE, ""}, {MODULE + longText, "KX-LONG"}, {MODULE, longText},
           {MODULE, "KX-UNPLUGGED"}, {MODULE, "KX-B"}})
    m_rig.fake.AddDevice(description, serial, 16);
  m_rig.fake.RemoveDevice("KX-UNPLUGGED");
  EXPECT_THAT(BuildUsbDeviceList(m_rig.library), ElementsAre(SERIAL, longText, "KX-B"));

  // Refused entries are skipped; an absurd count does not become billions of queries.
  m_rig.fake.FailCall("FT_ListDevices(0,description)");
  m_rig.fake.FailCall("FT_ListDevices(8,serial)");
  m_rig.fake.SetListedCount(0x7FFFFFFF);
  const size_t nCallsBefore = m_rig.fake.Calls().size();
  EXPECT_THAT(BuildUsbDeviceList(m_rig.library), ElementsAre(longText));
  EXPECT_LE(m_rig.fake.Calls().size() - nCallsBefore, 1u + 2u * MAX_USB_DEVICES);
  m_rig.fake.FailCall("FT_ListDevices(count)");
  EXPECT_TRUE(BuildUsbDeviceList(m_rig.library).empty());

  m_rig.Attach(16);  // the module alone again
  ASSERT_TRUE(Open());
  EXPECT_FALSE(m_rig.library.Unload());  // refused: the port and its reader still call in
  const uint8_t byStop = '\r';
  EXPECT_EQ(m_rig.port.Write(&byStop, 1), 1u);
  EXPECT_FALSE(m_rig.library.LoadFile(KORVEX_FAKE_D2XX_PATH));
  EXPECT_TRUE(m_rig.port.Close() == 1 && m_rig.library.Unload());
  EXPECT_FALSE(Open());
  EXPECT_EQ(m_rig.port.LastError(), "D2XX library (libftd2xx.so) not loaded");

  CD2xxLibrary& shared = CD2xxLibrary::Shared();
  ASSERT_TRUE(shared.Load());  // KORVEX_D2XX_LIBRARY names the fake
  EXPECT_THAT(BuildUsbDeviceList(), ElementsAre(SERIAL));
  EXPECT_TRUE(CUsbPort().Open(SERIAL, 0));  // destroying an open transport closes the device
  EXPECT_FALSE(m_rig.fake.IsOpen(SERIAL));
  EXPECT_FALSE(shared.LoadFile("libm.so.6"));  // no D2XX calls: and the fake loaded before is gone
  EXPECT_TRUE(BuildUsbDeviceList().empty() && !CUsbPort().Open(SERIAL, 0));
}

}  // namespace
