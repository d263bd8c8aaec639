// The pseudo-terminal server run on a thread of the test, as end-to-end tests use it: a
// client on the terminal, the module driven through Post() from another thread, the run
// ended by Stop().
#include <gtest/gtest.h>

#include <thread>

#include "sim/CSimPtyServer.h"
#include "SimTestClient.h"

TEST(SimServer, PostedErrorStatesReachTheClient) {
  CSimModule module;
  CSimPtyServer server(module);
  std::string error;
  ASSERT_TRUE(server.Open(error)) << error;
  bool bServed = false;
  std::thread thread([&] { bServed = server.Run(-1, CSimPtyServer::NO_TIME_LIMIT, error); });
  // The module's default configuration reports bus-off and resets automatically.
  server.Post([](CSimModule& sim) { sim.RaiseErrorState(CSimModule::ERROR_ALL); });
  const std::vector<SLine> lines = Exchange(server.SlavePath(), "", 2);
  server.Stop();
  thread.join();
  EXPECT_TRUE(bServed) << error;
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].m_cLetter, 'I');
  EXPECT_EQ(lines[0].m_abyFields, std::vector<uint8_t>{0x01});
  EXPECT_EQ(lines[1].m_cLetter, 'R');  // automatic reset after bus-off
  EXPECT_EQ(lines[1].m_abyFields, std::vector<uint8_t>{0x01});
}
