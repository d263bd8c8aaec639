#include <stdlib.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

#include "FakeD2xxControl.h"
#include "LinkTestSupport.h"
#include "link/CD2xxLibrary.h"
#include "link/CUsbPort.h"
#include "link/UsbDeviceList.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

const char* const MODULE = "Korvex Analyzer";
const char* const SERIAL = "KX0001";

const std::vector<std::string> OPEN_SEQUENCE = {
    "FT_W32_CreateFile(KX0001,0xc0000000,0,3,0x81)",
    "FT_ResetDevice",
    "FT_GetLatencyTimer",
    "FT_SetLatencyTimer(1)",
    "FT_W32_SetCommMask(1)",
    "FT_W32_SetupComm(4096,4096)",
    "FT_W32_PurgeComm(15)",
    "FT_W32_SetCommTimeouts(4294967295,4294967295,1000,0,1000)",
    "FT_W32_GetCommState",
    "FT_W32_SetCommState(921600,8,0,0,xon=17)",  // the driver reported 38,400 7E2, XON 0x11
    "FT_SetEventNotification(1)",
};

class D2xxTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_fake.IsLoaded());
    m_fake.Reset();
    setenv(CD2xxLibrary::FILE_VARIABLE, KORVEX_FAKE_D2XX_PATH, 1);
    ASSERT_TRUE(m_library.Load());
  }
  void TearDown() override { unsetenv(CD2xxLibrary::FILE_VARIABLE); }

  size_t CountCalls(const std::string& entry) const {
    const std::vector<std::string> calls = m_fake.Calls();
    return static_cast<size_t>(std::count(calls.begin(), calls.end(), entry));
  }

  CFakeD2xx m_fake;  // first in, last out: outlives the library and the port
  CD2xxLibrary m_library;
};

class UsbPortTest : public D2xxTest {
protected:
  void SetUp() override {
    D2xxTest::SetUp();
    m_fake.AddDevice(MODULE, SERIAL, 16);
    m_port.SetNotifyTarget(&m_rx.host, WM_RX_NOTIFY, m_rx.pQueue.get());
  }
  void TearDown() override {
    m_port.Close();
    D2xxTest::TearDown();
  }
  std::vector<std::string> OpenCalls() const {
    std::vector<std::string> calls = m_fake.Calls();
    if (calls.size() > OPEN_SEQUENCE.size()) calls.resize(OPEN_SEQUENCE.size());
    return calls;
  }
  void Feed(const std::vector<uint8_t>& data) {
    m_fake.Feed(SERIAL, data.data(), static_cast<uint32_t>(data.size()));
  }

  LinkReceiver m_rx;
  CUsbPort m_port{m_library};
};

TEST_F(UsbPortTest, OpensInOrderSettingLatencyAndAlways921600Baud) {
  ASSERT_TRUE(m_port.Open(SERIAL));
  EXPECT_TRUE(m_port.IsOpen());
  EXPECT_THAT(OpenCalls(), ElementsAreArray(OPEN_SEQUENCE));
  EXPECT_EQ(m_fake.Latency(SERIAL), 1);
  EXPECT_EQ(m_port.Close(), 1);
  EXPECT_FALSE(m_fake.IsOpen(SERIAL));
  EXPECT_EQ(m_fake.Calls().back(), "FT_W32_CloseHandle");
  EXPECT_EQ(m_port.Close(), 0);
}

TEST_F(UsbPortTest, LatencyAlreadyOneIsNotWritten) {
  m_fake.AddDevice(MODULE, "KX0002", 1);
  ASSERT_TRUE(m_port.Open("KX0002"));
  EXPECT_EQ(CountCalls("FT_GetLatencyTimer"), 1u);
  EXPECT_EQ(CountCalls("FT_SetLatencyTimer(1)"), 0u);
  EXPECT_EQ(CountCalls("FT_W32_SetCommState(921600,8,0,0,xon=17)"), 1u);
}

TEST_F(UsbPortTest, UnknownOrUnusableDeviceFailsClosed) {
  EXPECT_FALSE(m_port.Open("NO-SUCH-SERIAL"));
  EXPECT_FALSE(m_port.IsOpen());
  EXPECT_THAT(m_fake.Calls(), ElementsAre("FT_W32_CreateFile(NO-SUCH-SERIAL,0xc0000000,0,3,0x81)"));
  EXPECT_EQ(m_port.Close(), 0);

  EXPECT_FALSE(m_port.Open(""));
  EXPECT_FALSE(m_port.Open(std::string("KX0001\0X", 8)));  // would open KX0001 by mistake
  EXPECT_EQ(m_fake.Calls().size(), 1u);

  // An open device is closed by a later Open that fails.
  ASSERT_TRUE(m_port.Open(SERIAL));
  EXPECT_FALSE(m_port.Open("NO-SUCH-SERIAL"));
  EXPECT_FALSE(m_port.IsOpen());
  EXPECT_FALSE(m_fake.IsOpen(SERIAL));

  const CD2xxLibrary notLoaded;
  CUsbPort withoutLibrary{notLoaded};
  EXPECT_FALSE(withoutLibrary.Open(SERIAL));
}

class UsbOpenStepTest : public UsbPortTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(UsbOpenStepTest, FailingStepClosesTheDeviceAndStopsTheSequence) {
  const size_t nStep = GetParam();
  const std::string entry = OPEN_SEQUENCE[nStep];
  m_fake.FailCall(entry.substr(0, entry.find('(')).c_str());
  const int nThreadsBefore = ThreadCount();

  EXPECT_FALSE(m_port.Open(SERIAL));
  EXPECT_FALSE(m_port.IsOpen());
  EXPECT_FALSE(m_fake.IsOpen(SERIAL));
  EXPECT_EQ(ThreadCount(), nThreadsBefore);

  std::vector<std::string> expected(OPEN_SEQUENCE.begin(), OPEN_SEQUENCE.begin() + static_cast<long>(nStep) + 1);
  if (nStep > 0) expected.push_back("FT_W32_CloseHandle");  // a failed create has nothing to close
  EXPECT_THAT(m_fake.Calls(), ElementsAreArray(expected));
}

INSTANTIATE_TEST_SUITE_P(EveryStep, UsbOpenStepTest, ::testing::Range<size_t>(0, OPEN_SEQUENCE.size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                           const std::string& entry = OPEN_SEQUENCE[info.param];
                           return entry.substr(0, entry.find('('));
                         });

TEST_F(UsbPortTest, LongBurstIsReadInSeveralBlocksAndNotifiedOnce) {
  ASSERT_TRUE(m_port.Open(SERIAL));
  const std::vector<uint8_t> burst = TestPattern(2 * CUsbPort::READ_BLOCK_SIZE + 1808, 9);
  Feed(burst);
  ASSERT_TRUE(m_rx.host.WaitForPosts(1));
  EXPECT_EQ(m_rx.pQueue->Count(), burst.size());
  EXPECT_EQ(m_rx.PopAll(), burst);
  EXPECT_EQ(CountCalls("FT_W32_ReadFile(4096)"), 2u);
  EXPECT_EQ(CountCalls("FT_W32_ReadFile(1808)"), 1u);
  m_port.Close();
  EXPECT_EQ(m_rx.host.Posts(), 1u);
  EXPECT_EQ(m_rx.host.LastMessage(), WM_RX_NOTIFY);
}

TEST_F(UsbPortTest, BlockThatDoesNotFitIsDroppedWholeAndTheNextFittingOneIsQueued) {
  m_rx.FillLeaving(100);
  ASSERT_TRUE(m_port.Open(SERIAL));
  Feed(std::vector<uint8_t>(100, 'a'));
  ASSERT_TRUE(m_rx.host.WaitForPosts(1));
  EXPECT_EQ(m_port.DroppedBlocks(), 1u);
  EXPECT_EQ(m_rx.pQueue->FreeSpace(), 100u);

  Feed(std::vector<uint8_t>(99, 'b'));
  ASSERT_TRUE(m_rx.host.WaitForPosts(2));
  EXPECT_EQ(m_port.DroppedBlocks(), 1u);
  EXPECT_EQ(m_rx.pQueue->FreeSpace(), 1u);
}

TEST_F(UsbPortTest, WritesReachTheDeviceAndFailOnceItIsUnplugged) {
  ASSERT_TRUE(m_port.Open(SERIAL));
  const std::vector<uint8_t> line{':', 'G', '1', '1', 'A', '9', '\r'};
  EXPECT_EQ(m_port.Write(line.data(), static_cast<uint32_t>(line.size())), line.size());
  std::vector<uint8_t> written(16);
  written.resize(m_fake.Written(SERIAL, written.data(), static_cast<uint32_t>(written.size())));
  EXPECT_EQ(written, line);

  m_fake.RemoveDevice(SERIAL);
  EXPECT_EQ(m_port.Write(line.data(), static_cast<uint32_t>(line.size())), 0u);
  EXPECT_EQ(m_port.Close(), 1);  // closing an unplugged device still releases it
}

TEST_F(UsbPortTest, DeviceThatCannotDeliverReportedInputDoesNotMakeTheReaderSpin) {
  ASSERT_TRUE(m_port.Open(SERIAL));
  m_fake.FailCall("FT_W32_ReadFile");
  Feed({'x', 'y'});
  // The reader tries once; a spinning reader would try again and again without a new signal.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (CountCalls("FT_W32_ReadFile(2)") == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::yield();
  const auto settle = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
  while (CountCalls("FT_W32_ReadFile(2)") < 2 && std::chrono::steady_clock::now() < settle)
    std::this_thread::yield();
  EXPECT_EQ(CountCalls("FT_W32_ReadFile(2)"), 1u);
  // A new signal makes it try again.
  Feed({'z'});
  while (CountCalls("FT_W32_ReadFile(3)") == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::yield();
  EXPECT_EQ(CountCalls("FT_W32_ReadFile(3)"), 1u);
  EXPECT_EQ(m_rx.host.Posts(), 0u);
}

TEST_F(UsbPortTest, CloseWakesTheReaderWaitingOnTheLibraryAndLeavesNoThread) {
  const int nThreadsBefore = ThreadCount();
  ASSERT_TRUE(m_port.Open(SERIAL));
  EXPECT_EQ(ThreadCount(), nThreadsBefore + 1);
  Feed({'a'});
  ASSERT_TRUE(m_rx.WaitForQueued(1));  // the reader has drained and waits again

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(m_port.Close(), 1);
  EXPECT_LT(SecondsSince(start), 0.5);
  EXPECT_EQ(ThreadCount(), nThreadsBefore);
  EXPECT_FALSE(m_fake.IsOpen(SERIAL));
  Feed({'b'});  // the library has forgotten the closed device's event
  EXPECT_EQ(m_rx.host.Posts(), 1u);
}

TEST_F(D2xxTest, DeviceListKeepsModulesWithASerialNumberInLibraryOrder) {
  const std::string longText(64, 'K');  // fills the 64-byte buffer without a terminator
  m_fake.AddDevice(MODULE, "KX-A", 16);
  m_fake.AddDevice("FT232R USB UART", "A50285BI", 16);
  m_fake.AddDevice("Korvex Analyzer ", "KX-SPACE", 16);
  m_fake.AddDevice("korvex analyzer", "KX-CASE", 16);
  m_fake.AddDevice("Korvex", "KX-PREFIX", 16);
  m_fake.AddDevice(MODULE, "", 16);
  m_fake.AddDevice((std::string(MODULE) + longText).c_str(), "KX-LONG", 16);
  m_fake.AddDevice(MODULE, longText.c_str(), 16);
  m_fake.AddDevice(MODULE, "KX-UNPLUGGED", 16);
  m_fake.AddDevice(MODULE, "KX-B", 16);
  m_fake.RemoveDevice("KX-UNPLUGGED");

  EXPECT_THAT(BuildUsbDeviceList(m_library), ElementsAre("KX-A", longText, "KX-B"));
}

TEST_F(D2xxTest, DeviceListSkipsWhatTheLibraryRefusesAndBoundsItsCount) {
  m_fake.AddDevice(MODULE, "KX-A", 16);
  m_fake.AddDevice(MODULE, "KX-B", 16);
  m_fake.AddDevice(MODULE, "KX-C", 16);
  m_fake.FailCall("FT_ListDevices(0,description)");
  m_fake.FailCall("FT_ListDevices(1,serial)");
  EXPECT_THAT(BuildUsbDeviceList(m_library), ElementsAre("KX-C"));

  // A count beyond the devices present: the missing indexes fail and are skipped, and an
  // absurd count does not turn into billions of queries.
  m_fake.SetListedCount(5);
  EXPECT_THAT(BuildUsbDeviceList(m_library), ElementsAre("KX-C"));
  m_fake.SetListedCount(0x7FFFFFFF);
  const size_t nCallsBefore = m_fake.Calls().size();
  EXPECT_THAT(BuildUsbDeviceList(m_library), ElementsAre("KX-C"));
  EXPECT_LE(m_fake.Calls().size() - nCallsBefore, 1u + 2u * MAX_USB_DEVICES);

  m_fake.FailCall("FT_ListDevices(count)");
  EXPECT_TRUE(BuildUsbDeviceList(m_library).empty());
}

TEST_F(D2xxTest, ProcessWideLibraryServesDefaultTransportsAndTheDeviceList) {
  m_fake.AddDevice(MODULE, SERIAL, 16);
  CD2xxLibrary& shared = CD2xxLibrary::Shared();
  ASSERT_TRUE(shared.Load());  // KORVEX_D2XX_LIBRARY names the fake
  EXPECT_THAT(BuildUsbDeviceList(), ElementsAre(SERIAL));
  {
    CUsbPort port;
    EXPECT_TRUE(port.Open(SERIAL));
  }  // destroying an open transport closes the device
  EXPECT_FALSE(m_fake.IsOpen(SERIAL));
  shared.Unload();
  EXPECT_TRUE(BuildUsbDeviceList().empty());
}

TEST(D2xxLibrary, MissingOrForeignLibraryMeansNoUsbAndNoMessage) {
  CD2xxLibrary library;
  setenv(CD2xxLibrary::FILE_VARIABLE, "/nonexistent/libftd2xx.so", 1);
  EXPECT_FALSE(library.Load());
  EXPECT_FALSE(library.IsLoaded());
  EXPECT_TRUE(BuildUsbDeviceList(library).empty());
  CUsbPort port{library};
  EXPECT_FALSE(port.Open(SERIAL));

  // A library that exists but lacks the calls is no D2XX library.
  EXPECT_FALSE(library.LoadFile("libm.so.6"));
  EXPECT_FALSE(library.IsLoaded());

  // Loading the fake and then a missing file leaves nothing loaded.
  EXPECT_TRUE(library.LoadFile(KORVEX_FAKE_D2XX_PATH));
  EXPECT_FALSE(library.Load());
  EXPECT_FALSE(library.IsLoaded());
  unsetenv(CD2xxLibrary::FILE_VARIABLE);
}

}  // namespace
