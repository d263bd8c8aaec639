#pragma once
// A deterministic message loop on a virtual clock: nothing runs until the test dispatches; Post from any thread.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <utility>

#include "protocol/MessageHost.h"

class CVirtualLoop final {
public:
  class CWindow final : public MessageHost {
  public:
    CWindow(CVirtualLoop& loop, MessageHandler& handler) : m_loop(loop), m_handler(handler) {}
    ~CWindow() override { m_loop.Forget(this); }  // its messages and timers go with it
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    void Post(unsigned nMsg, uintptr_t wParam, intptr_t lParam) override;
    // Periodic, like a window timer, until killed; setting it again restarts the period.
    void SetTimer(unsigned nId, unsigned nMilliseconds) override;
    void KillTimer(unsigned nId) override { m_loop.m_timers.erase({this, nId}); }
    uint64_t NowMs() const override { return m_loop.Now(); }

  private:
    friend class CVirtualLoop;
    CVirtualLoop& m_loop;
    MessageHandler& m_handler;
  };

  uint64_t Now() const { return m_qwNow; }
  // Dispatches posted messages, those posted meanwhile too, until none is left; how many.
  unsigned RunPending();
  // Moves the clock, firing due timers in order, dispatching posted messages before each and at the end.
  void Advance(uint64_t qwMilliseconds);
  // Runs pending messages, or else fires the next timer; false when there was nothing to do.
  bool Step();
  // Waits in real time (bounded) until a message is pending; for tests with reader threads.
  bool WaitForPost(unsigned nRealMilliseconds);
  size_t PendingCount() const { std::lock_guard lock(m_mutex); return m_queue.size(); }

private:
  struct Message { CWindow* pWindow; unsigned nMsg; uintptr_t wParam; intptr_t lParam; };
  struct Timer { uint64_t qwDue; unsigned nPeriod; };

  void Forget(CWindow* pWindow);
  bool FireNextTimerBy(uint64_t qwLimit);

  mutable std::mutex m_mutex;  // guards the queue only: Post comes from other threads
  std::condition_variable m_posted;
  std::deque<Message> m_queue;
  std::map<std::pair<CWindow*, unsigned>, Timer> m_timers;  // by window and id
  uint64_t m_qwNow = 0;
};
