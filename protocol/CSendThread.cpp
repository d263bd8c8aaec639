#include "protocol/CSendThread.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <system_error>
#include <utility>

#include "link/ByteTransport.h"

namespace {
int64_t SteadyNowNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000000000LL + now.tv_nsec;
}
}  // namespace

bool CSendThread::Start(ByteTransport& transport, bool bThread) {
  Stop();
  m_pTransport = &transport;
  m_bThread = bThread;
  {
    std::lock_guard lock(m_mutex);
    m_bRunning = true;
  }
  if (!bThread) return true;
  try {
    m_thread = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    std::lock_guard lock(m_mutex);
    m_bRunning = false;
    return false;
  }
  pthread_setname_np(m_thread.native_handle(), "korvex-sender");
  return true;
}

void CSendThread::Stop() {
  {
    std::lock_guard lock(m_mutex);
    m_bRunning = false;
    m_queue.clear();
    m_schedule.StopAll();
  }
  m_wake.notify_all();
  if (m_thread.joinable()) m_thread.join();
  m_pTransport = nullptr;
}

bool CSendThread::Queue(const CLineText& line, int64_t nDueNs) {
  {
    std::lock_guard lock(m_mutex);
    if (!m_bRunning || line.IsEmpty() || m_queue.size() >= QUEUE_CAPACITY) return false;
    m_queue.push_back({line, nDueNs});
  }
  if (m_bThread)
    m_wake.notify_one();
  else
    WriteDueQueued(m_nManualNowNs);
  return true;
}

size_t CSendThread::DropTimed() {
  std::lock_guard lock(m_mutex);
  return std::erase_if(m_queue, [](const Pending& pending) { return pending.m_nDueNs != AT_ONCE; });
}

bool CSendThread::TakeQueued(int64_t nNowNs, CLineText& line) {
  if (m_queue.empty() || m_queue.front().m_nDueNs > nNowNs) return false;
  const Pending pending = m_queue.front();
  m_queue.pop_front();
  line = pending.m_line;
  if (pending.m_nDueNs != AT_ONCE) {
    // Noted before the write, so it is known by the time the module's answer is handled.
    ++m_lateness.m_qwLines;
    m_lateness.m_nLastNs = nNowNs - pending.m_nDueNs;
    m_lateness.m_nWorstNs = std::max(m_lateness.m_nWorstNs, m_lateness.m_nLastNs);
  }
  return true;
}

CSendThread::Lateness CSendThread::TakeLateness() {
  std::lock_guard lock(m_mutex);
  return std::exchange(m_lateness, Lateness{});
}

EWakeTiming CSendThread::WakeTiming() const {
  std::lock_guard lock(m_mutex);
  return m_eWakeTiming;
}

bool CSendThread::StartCycle(uint32_t dwKey, const CLineText& line, uint32_t dwPeriodMs) {
  {
    std::lock_guard lock(m_mutex);
    if (!m_bRunning || !m_schedule.Start(dwKey, line, dwPeriodMs, NowNs())) return false;
  }
  m_wake.notify_one();
  return true;
}

bool CSendThread::StopCycle(uint32_t dwKey) {
  std::lock_guard lock(m_mutex);
  return m_schedule.Stop(dwKey);
}

bool CSendThread::StopAllCycles() {
  std::lock_guard lock(m_mutex);
  const bool bAny = !m_schedule.IsEmpty();
  m_schedule.StopAll();
  return bAny;
}

bool CSendThread::IsCycling(uint32_t dwKey) const {
  std::lock_guard lock(m_mutex);
  return m_schedule.IsRunning(dwKey);
}

bool CSendThread::AnyCycling() const {
  std::lock_guard lock(m_mutex);
  return !m_schedule.IsEmpty();
}

size_t CSendThread::QueuedCount() const {
  std::lock_guard lock(m_mutex);
  return m_queue.size();
}

int64_t CSendThread::NowNs() const { return m_bThread ? SteadyNowNs() : m_nManualNowNs; }

void CSendThread::RunCyclesAt(int64_t nNowNs) {
  if (m_bThread) return;
  m_nManualNowNs = nNowNs;
  WriteDueQueued(nNowNs);
  std::vector<CLineText> due;
  {
    std::lock_guard lock(m_mutex);
    if (!m_bRunning) return;
    m_schedule.TakeDue(nNowNs, due);
  }
  for (const CLineText& line : due) Write(line, true);
}

void CSendThread::WriteDueQueued(int64_t nNowNs) {
  CLineText line;
  for (;;) {
    {
      std::lock_guard lock(m_mutex);
      if (!m_bRunning || !TakeQueued(nNowNs, line)) return;
    }
    Write(line, false);
  }
}

CSendThread::News CSendThread::TakeNews() {
  std::lock_guard lock(m_mutex);
  return std::exchange(m_news, News{});
}

void CSendThread::Write(const CLineText& line, bool bCyclic) {
  const uint32_t nWritten = m_pTransport->Write(reinterpret_cast<const uint8_t*>(line.m_szText), line.m_byLength);
  const bool bFailed = nWritten < line.m_byLength;
  if (!bCyclic && !bFailed) return;
  {
    std::lock_guard lock(m_mutex);
    if (bCyclic) ++m_news.m_nCyclicWritten;
    if (bFailed) {
      if (m_news.m_failures.size() < MAX_KEPT_FAILURES)
        m_news.m_failures.push_back("write: " + m_pTransport->WriteError(nWritten, line.m_byLength));
      else
        ++m_news.m_nUntoldFailures;
    }
  }
  m_listener.OnSenderNews();
}

void CSendThread::Run() {
  const EWakeTiming eWakeTiming = RequestPromptWakeups();
  std::vector<CLineText> due;
  CLineText line;
  std::unique_lock lock(m_mutex);
  m_eWakeTiming = eWakeTiming;
  while (m_bRunning) {
    const int64_t nNowNs = SteadyNowNs();
    if (TakeQueued(nNowNs, line)) {
      lock.unlock();
      Write(line, false);
      lock.lock();
      continue;
    }
    due.clear();
    m_schedule.TakeDue(nNowNs, due);
    if (!due.empty()) {
      lock.unlock();
      for (const CLineText& cyclic : due) Write(cyclic, true);
      lock.lock();
      continue;
    }
    int64_t nNext = m_schedule.NextDeadline();
    if (!m_queue.empty()) nNext = std::min(nNext, m_queue.front().m_nDueNs);
    if (nNext == CCyclicSchedule::NO_DEADLINE) {
      m_wake.wait(lock);
    } else {
      // An absolute deadline on the monotonic clock, as the deadlines are kept (the wait
      // rounds nothing to milliseconds).
      const auto deadline = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(nNext));
      m_wake.wait_until(lock, deadline);
    }
  }
}
