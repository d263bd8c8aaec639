// The message interface on the Qt event loop: posts from another thread, timer ids.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <functional>
#include <thread>
#include <vector>

#include "protocol/CQtMessageHost.h"

namespace {

class CRecorder final : public MessageHandler {
public:
  void OnMessage(unsigned nMsg, uintptr_t wParam, intptr_t lParam) override {
    m_bOffThread |= std::this_thread::get_id() != m_uiThread;
    m_messages.push_back({nMsg, wParam, lParam});
  }
  void OnTimer(unsigned nId) override {
    m_timers.push_back(nId);
    if (m_fnOnTimer) m_fnOnTimer(nId);
  }
  struct Message {
    unsigned nMsg;
    uintptr_t wParam;
    intptr_t lParam;
  };
  std::thread::id m_uiThread = std::this_thread::get_id();
  bool m_bOffThread = false;
  std::vector<Message> m_messages;
  std::vector<unsigned> m_timers;
  std::function<void(unsigned)> m_fnOnTimer;
};

// Runs the event loop until the condition holds or five seconds pass.
bool PumpUntil(const std::function<bool()>& fnDone) {
  QDeadlineTimer deadline(5000);
  while (!fnDone() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  return fnDone();
}

class QtMessageHostTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "qt_host_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
  }
};

TEST_F(QtMessageHostTest, PostsFromAReaderThreadReachTheHandlerOnTheUiThreadInOrder) {
  CRecorder recorder;
  CQtMessageHost host(recorder);
  constexpr unsigned COUNT = 2000;
  std::thread reader([&] {
    for (unsigned i = 0; i < COUNT; ++i) host.Post(WM_RX_NOTIFY, i, -static_cast<intptr_t>(i));
  });
  reader.join();
  ASSERT_TRUE(PumpUntil([&] { return recorder.m_messages.size() == COUNT; }));
  EXPECT_FALSE(recorder.m_bOffThread);
  for (unsigned i = 0; i < COUNT; ++i) {
    ASSERT_EQ(recorder.m_messages[i].nMsg, WM_RX_NOTIFY);
    ASSERT_EQ(recorder.m_messages[i].wParam, i);
    ASSERT_EQ(recorder.m_messages[i].lParam, -static_cast<intptr_t>(i));
  }
}

TEST_F(QtMessageHostTest, TimersKeepTheirIdsRepeatAndStopWhenKilled) {
  CRecorder recorder;
  CQtMessageHost host(recorder);
  unsigned nFast = 0;
  unsigned nSlow = 0;
  recorder.m_fnOnTimer = [&](unsigned nId) {
    if (nId == IDT_RESPONSE && ++nFast == 2) host.KillTimer(IDT_RESPONSE);  // from inside its own tick
    if (nId == IDT_LAMP) ++nSlow;
  };
  host.SetTimer(IDT_RESPONSE, 1);
  host.SetTimer(IDT_LAMP, 5);
  ASSERT_TRUE(PumpUntil([&] { return nSlow >= 4; }));  // long after the fast one would have ticked on
  host.KillTimer(IDT_LAMP);
  EXPECT_EQ(nFast, 2u);
  for (const unsigned nId : recorder.m_timers) EXPECT_TRUE(nId == IDT_RESPONSE || nId == IDT_LAMP);
  host.KillTimer(999);  // unknown ids are ignored
}

TEST_F(QtMessageHostTest, PostsToADestroyedHostAreDiscarded) {
  CRecorder recorder;
  {
    CQtMessageHost host(recorder);
    host.Post(WM_RX_NOTIFY, 1, 0);
  }
  QCoreApplication::processEvents();
  EXPECT_TRUE(recorder.m_messages.empty());
}

}  // namespace
