// The channel on its real transports: a serial port played on a pseudo-terminal, and a USB
// module of the fake D2XX library. The reader threads post into the virtual loop; every wait
// for them is bounded.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "FakeD2xxControl.h"
#include "link/CD2xxLibrary.h"
#include "link/CPseudoTerminal.h"
#include "protocol/CModuleChannel.h"
#include "protocol/FakeTransport.h"
#include "protocol/TestSinks.h"

namespace {

class ChannelTransportTest : public ::testing::Test {
protected:
  ChannelTransportTest() {
    m_channel.Create(&m_window, &m_owner, &m_loop);
    m_channel.SetEventSink(&m_events);
  }
  ~ChannelTransportTest() override { m_channel.Destroy(); }

  // Dispatches what the reader posts until there are n events or five seconds passed.
  void WaitForEvents(std::size_t n) {
    while (m_events.m_events.size() < n && m_loop.WaitForPost(5000)) m_loop.RunPending();
  }

  CVirtualLoop m_loop;
  CRecordingOwner m_owner{m_loop};
  CRecordingEvents m_events;
  CModuleChannel m_channel;  // with the real serial and USB transports
  CVirtualLoop::CWindow m_window{m_loop, m_channel};
};

std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }
std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST_F(ChannelTransportTest, SerialPortCarriesTheStartupExchangeAndTheStop) {
  CPseudoTerminal module;
  ASSERT_TRUE(module.IsValid());
  ASSERT_TRUE(m_channel.Open(false, module.SlavePath(), 921600));
  EXPECT_TRUE(m_owner.m_bPortOpen);
  EXPECT_EQ(Text(module.Receive(5)), ":Y59\r");
  // The answer split over two writes still makes one line.
  const std::string answer = Line(":Y1C0F340000000000000000");
  ASSERT_TRUE(module.Send(Bytes(answer.substr(0, 9))));
  ASSERT_TRUE(module.Send(Bytes(answer.substr(9))));
  WaitForEvents(1);
  EXPECT_EQ(Text(module.Receive(7)), ":G00A7\r");
  ASSERT_TRUE(module.Send(Bytes(Line(":G01"))));
  WaitForEvents(2);
  EXPECT_FALSE(m_channel.IsStartupPending());
  EXPECT_TRUE(m_channel.IsReceptionRunning());

  m_channel.Close(true);
  EXPECT_EQ(Text(module.Receive(7)), ":G10A8\r");
  EXPECT_TRUE(module.SlaveClosed());
  EXPECT_FALSE(m_owner.m_bPortOpen);
  EXPECT_EQ(m_loop.Now(), 500u);
}

TEST_F(ChannelTransportTest, UsbModuleCarriesCommandsAndAnswers) {
  CFakeD2xx fake;
  ASSERT_TRUE(fake.IsLoaded());
  fake.Reset();
  fake.AddDevice("Korvex Analyzer", "KX0001", 16);
  ::setenv(CD2xxLibrary::FILE_VARIABLE, KORVEX_FAKE_D2XX_PATH, 1);
  ASSERT_TRUE(CD2xxLibrary::Shared().Load());
  ::unsetenv(CD2xxLibrary::FILE_VARIABLE);

  EXPECT_FALSE(m_channel.Open(true, "KX0002", 0));  // no such module
  ASSERT_TRUE(m_channel.Open(true, "KX0001", 0));
  EXPECT_TRUE(m_channel.IsUsbMode());
  m_channel.ReadVersion();
  char szWritten[64] = {};
  ASSERT_EQ(fake.Written("KX0001", reinterpret_cast<uint8_t*>(szWritten), sizeof szWritten - 1), 10u);
  EXPECT_STREQ(szWritten, ":Y59\r:V56\r");

  const std::string answers = Line(":Y1C0F340000000000000000") + Line(":V12");
  fake.Feed("KX0001", reinterpret_cast<const uint8_t*>(answers.data()), static_cast<uint32_t>(answers.size()));
  WaitForEvents(2);
  ASSERT_EQ(m_events.m_events.size(), 2u);
  EXPECT_EQ(m_events.m_events[1].m_text, "[Korvex 버전 응답]          : 버전 1.2");
  m_channel.Close(false);
  EXPECT_FALSE(fake.IsOpen("KX0001"));
  CD2xxLibrary::Shared().Unload();
}

}  // namespace
