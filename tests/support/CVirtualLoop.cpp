#include "support/CVirtualLoop.h"

#include <chrono>
#include <limits>

void CVirtualLoop::CWindow::Post(unsigned nMsg, uintptr_t wParam, intptr_t lParam) {
  {
    std::lock_guard lock(m_loop.m_mutex);
    m_loop.m_queue.push_back({this, nMsg, wParam, lParam});
  }
  m_loop.m_posted.notify_all();
}

void CVirtualLoop::CWindow::SetTimer(unsigned nId, unsigned nMilliseconds) {
  const unsigned nPeriod = nMilliseconds > 0 ? nMilliseconds : 1;  // a zero period would never let time move
  m_loop.m_timers[{this, nId}] = {m_loop.m_qwNow + nPeriod, nPeriod};
}

void CVirtualLoop::Forget(CWindow* pWindow) {
  std::erase_if(m_timers, [pWindow](const auto& entry) { return entry.first.first == pWindow; });
  std::lock_guard lock(m_mutex);
  std::erase_if(m_queue, [pWindow](const Message& m) { return m.pWindow == pWindow; });
}

unsigned CVirtualLoop::RunPending() {
  for (unsigned nDispatched = 0;; ++nDispatched) {
    Message m;
    {
      std::lock_guard lock(m_mutex);
      if (m_queue.empty()) return nDispatched;
      m = m_queue.front();
      m_queue.pop_front();
    }
    m.pWindow->m_handler.OnMessage(m.nMsg, m.wParam, m.lParam);
  }
}

// Fires the earliest timer due at or before qwLimit (ties: the one set first by key order).
bool CVirtualLoop::FireNextTimerBy(uint64_t qwLimit) {
  auto next = m_timers.end();
  for (auto it = m_timers.begin(); it != m_timers.end(); ++it)
    if (it->second.qwDue <= qwLimit && (next == m_timers.end() || it->second.qwDue < next->second.qwDue))
      next = it;
  if (next == m_timers.end()) return false;
  const auto [pWindow, nId] = next->first;
  if (m_qwNow < next->second.qwDue) m_qwNow = next->second.qwDue;
  next->second.qwDue = m_qwNow + next->second.nPeriod;  // periodic until killed
  pWindow->m_handler.OnTimer(nId);
  return true;
}

void CVirtualLoop::Advance(uint64_t qwMilliseconds) {
  const uint64_t qwEnd = m_qwNow + qwMilliseconds;
  do {
    RunPending();
  } while (FireNextTimerBy(qwEnd));
  m_qwNow = qwEnd;
  RunPending();
}

bool CVirtualLoop::Step() { return RunPending() > 0 || FireNextTimerBy(std::numeric_limits<uint64_t>::max()); }

bool CVirtualLoop::WaitForPost(unsigned nRealMilliseconds) {
  std::unique_lock lock(m_mutex);
  return m_posted.wait_for(lock, std::chrono::milliseconds(nRealMilliseconds), [this] { return !m_queue.empty(); });
}
