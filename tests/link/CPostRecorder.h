#pragma once
// A MessageHost for tests and benchmarks with a real reader thread: counts the posts, lets
// the test wait for them with a deadline, and can hold the poster inside Post until released
// (so input can pile up while the reader is busy).
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "link/MessageHost.h"

class CPostRecorder : public MessageHost {
public:
  void Post(unsigned nMsg, uintptr_t wParam, intptr_t lParam) override {
    std::unique_lock<std::mutex> lock(m_mutex);
    ++m_nPosts;
    m_nLastMsg = nMsg;
    m_bNonZeroParam = m_bNonZeroParam || wParam != 0 || lParam != 0;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return !m_bHolding; });
  }
  void SetTimer(unsigned, unsigned) override {}
  void KillTimer(unsigned) override {}

  // Waits until at least nCount posts arrived; false after the deadline.
  bool WaitForPosts(unsigned nCount, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_nPosts >= nCount; });
  }
  unsigned Posts() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nPosts;
  }
  unsigned LastMessage() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nLastMsg;
  }
  bool SawNonZeroParameter() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bNonZeroParam;
  }
  // While held, a poster stays inside Post.
  void Hold(bool bHold) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bHolding = bHold;
    m_changed.notify_all();
  }

private:
  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  unsigned m_nPosts = 0;
  unsigned m_nLastMsg = 0;
  bool m_bNonZeroParam = false;
  bool m_bHolding = false;
};
