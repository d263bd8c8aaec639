#pragma once
// Shared pieces of the transport tests and benchmarks.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "link/CByteQueue.h"
#include "link/ReaderListener.h"

// Counts the reader's notifications; while held, the reader stays inside the call.
class CPostRecorder : public ReaderListener {
public:
  void OnBytesQueued() override {
    std::unique_lock<std::mutex> lock(m_mutex);
    ++m_nPosts;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return !m_bHolding; });
  }
  void OnPortGone() override {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nPostsBeforeGone = m_nPosts.load();
    ++m_nGone;
    m_changed.notify_all();
  }
  // Waits, woken by every notification, until bDone() holds; false after five seconds.
  template <typename Predicate> bool WaitUntil(Predicate bDone) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::seconds(5), bDone);
  }
  bool WaitForPosts(unsigned nCount) { return WaitUntil([&] { return m_nPosts >= nCount; }); }
  unsigned Posts() const { return m_nPosts; }
  void Hold(bool bHold) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bHolding = bHold;
    m_changed.notify_all();
  }

  std::atomic<unsigned> m_nPosts = 0, m_nGone = 0, m_nPostsBeforeGone = 0;

private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_bHolding = false;
};

struct LinkReceiver {
  CPostRecorder host;
  std::unique_ptr<CByteQueue> pQueue = std::make_unique<CByteQueue>();

  // The reader queues a burst before it posts, so each post is the moment to look again.
  bool WaitForQueued(uint32_t nBytes) { return host.WaitUntil([&] { return pQueue->Count() >= nBytes; }); }
  std::vector<uint8_t> PopAll() {
    std::vector<uint8_t> data;
    while (pQueue->Count() > 0) data.push_back(pQueue->Pop());
    return data;
  }
};

inline std::vector<uint8_t> TestPattern(size_t n, uint8_t bySeed = 0) {
  std::vector<uint8_t> data(n);
  for (size_t i = 0; i < n; ++i) data[i] = static_cast<uint8_t>(bySeed + i * 13 + i / 256);
  return data;
}

// Threads named "korvex-reader"; a count expected to drop is read again for up to 2 s.
inline long ReaderThreadCount(long nExpected = -1) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  for (;;) {
    long n = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
      std::ifstream comm(task.path() / "comm");
      std::string name;
      n += std::getline(comm, name) && name == "korvex-reader";
    }
    if (nExpected < 0 || n <= nExpected || std::chrono::steady_clock::now() > deadline) return n;
    std::this_thread::yield();
  }
}

inline double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
