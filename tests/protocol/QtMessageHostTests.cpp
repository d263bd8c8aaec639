// The message interface on the Qt event loop: posts from another thread, timer ids.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <functional>
#include <thread>
#include <tuple>
#include <vector>

#include "protocol/CQtMessageHost.h"

namespace {

class QtMessageHostTest : public ::testing::Test, public MessageHandler {
protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char* argv[] = {const_cast<char*>("qt_host_tests"), nullptr};
    static QCoreApplication app(argc, argv);
  }
  void OnMessage(unsigned nMsg, uintptr_t wParam, intptr_t lParam) override {
    m_bOffThread |= std::this_thread::get_id() != m_uiThread;
    m_messages.emplace_back(nMsg, wParam, lParam);
  }
  void OnTimer(unsigned nId) override { m_fnOnTimer(nId); }
  // Runs the event loop until the condition holds or five seconds pass.
  static bool PumpUntil(const std::function<bool()>& fnDone) {
    const QDeadlineTimer deadline(5000);
    while (!fnDone() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return fnDone();
  }

  const std::thread::id m_uiThread = std::this_thread::get_id();
  bool m_bOffThread = false;
  std::vector<std::tuple<unsigned, uintptr_t, intptr_t>> m_messages;
  std::function<void(unsigned)> m_fnOnTimer;
};

TEST_F(QtMessageHostTest, PostsFromAReaderThreadReachTheUiThreadInOrderAndTimersKeepTheirIds) {
  CQtMessageHost(*this).Post(WM_RX_NOTIFY, 1, 0);
  CQtMessageHost host(*this);
  constexpr unsigned COUNT = 2000;
  std::thread([&] {
    for (unsigned i = 0; i < COUNT; ++i) host.Post(WM_RX_NOTIFY, i, -static_cast<intptr_t>(i));
  }).join();
  ASSERT_TRUE(PumpUntil([&] { return m_messages.size() >= COUNT; }));
  QCoreApplication::processEvents();
  EXPECT_FALSE(m_bOffThread);
  ASSERT_EQ(m_messages.size(), COUNT);  // nothing for the destroyed host
  for (unsigned i = 0; i < COUNT; ++i) ASSERT_EQ(m_messages[i], std::make_tuple(unsigned{WM_RX_NOTIFY}, uintptr_t{i}, -intptr_t(i)));

  // Timers keep their ids; one killed inside its own tick stops; unknown ids are ignored.
  unsigned nFast = 0, nSlow = 0;
  m_fnOnTimer = [&](unsigned nId) {
    ASSERT_TRUE(nId == IDT_RESPONSE || nId == IDT_LAMP) << nId;
    if (nId == IDT_RESPONSE && ++nFast == 2) host.KillTimer(IDT_RESPONSE);
    nSlow += nId == IDT_LAMP;
  };
  host.SetTimer(IDT_RESPONSE, 1);
  host.SetTimer(IDT_LAMP, 5);
  host.KillTimer(999);
  ASSERT_TRUE(PumpUntil([&] { return nSlow >= 4; }));  // long after the fast one would have ticked on
  host.KillTimer(IDT_LAMP);
  EXPECT_EQ(nFast, 2u);
}

}  // namespace
