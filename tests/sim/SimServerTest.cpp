// The pseudo-terminal server run on a thread of the test, as end-to-end tests use it: a
// client on the terminal, the module driven through Post(), the run ended by Stop().
#include <gtest/gtest.h>

#include <thread>

#include "sim/CSimPtyServer.h"
#include "SimTestClient.h"

namespace {

class SimServer : public testing::Test {
protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(m_server.Open(error)) << error;
    m_thread = std::thread([this] { m_bServed = m_server.Run(-1, CSimPtyServer::NO_TIME_LIMIT, m_error); });
  }
  void TearDown() override {
    m_server.Stop();
    if (m_thread.joinable()) m_thread.join();
    EXPECT_TRUE(m_bServed) << m_error;
  }

  CSimModule m_module;
  CSimPtyServer m_server{m_module};
  std::thread m_thread;
  bool m_bServed = false;
  std::string m_error;
};

}  // namespace

TEST_F(SimServer, PostedErrorStatesReachTheClient) {
  CTerminalClient client(m_server.SlavePath());
  ASSERT_TRUE(client.IsOpen());
  ASSERT_TRUE(client.Send(":Z0F0F34000000002D\r"));  // 2.0A, automatic reset, every report on
  std::vector<SLine> lines = client.Receive(1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].m_cLetter, 'Z');

  m_server.Post([](CSimModule& module) { module.RaiseErrorState(CSimModule::ERROR_ALL); });
  lines = client.Receive(2);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].m_cLetter, 'I');
  EXPECT_EQ(lines[0].m_abyFields, std::vector<uint8_t>{0x1F});
  EXPECT_EQ(lines[1].m_cLetter, 'R');
  EXPECT_EQ(lines[1].m_abyFields, std::vector<uint8_t>{0x01});
}

TEST_F(SimServer, KeepsServingAfterAClientHasClosedTheTerminal) {
  {
    CTerminalClient first(m_server.SlavePath());
    ASSERT_TRUE(first.IsOpen());
    ASSERT_TRUE(first.Send(":V56\r"));
    ASSERT_EQ(first.Receive(1).size(), 1u);
  }
  CTerminalClient second(m_server.SlavePath());
  ASSERT_TRUE(second.IsOpen());
  ASSERT_TRUE(second.Send(":G11A9\r"));
  const std::vector<SLine> lines = second.Receive(3);  // the answer and at least two frames
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0].m_cLetter, 'G');
  EXPECT_EQ(lines[2].m_cLetter, 'U');
}
