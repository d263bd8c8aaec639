#pragma once
// Shared pieces of the transport tests and benchmarks: the host and queue a transport reports
// to, and helpers that wait for real I/O from the reader thread with a deadline.
#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "link/CByteQueue.h"
#include "link/ReaderListener.h"

// Counts the reader's notifications; while held, the reader stays inside the call, so input
// can pile up behind a busy reader.
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
    ++m_nGone;
    m_nPostsBeforeGone = m_nPosts;
    m_changed.notify_all();
  }

  // Waits, woken by every notification, until bDone() holds; false after five seconds.
  template <typename Predicate> bool WaitUntil(Predicate bDone) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::seconds(5), bDone);
  }
  bool WaitForPosts(unsigned nCount) { return WaitUntil([&] { return m_nPosts >= nCount; }); }
  bool WaitForGone() { return WaitUntil([&] { return m_nGone > 0; }); }
  unsigned Posts() { return Read(m_nPosts); }
  unsigned Gone() { return Read(m_nGone); }
  unsigned PostsBeforeGone() { return Read(m_nPostsBeforeGone); }
  void Hold(bool bHold) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bHolding = bHold;
    m_changed.notify_all();
  }

private:
  unsigned Read(const unsigned& nValue) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return nValue;
  }

  std::mutex m_mutex;
  std::condition_variable m_changed;
  unsigned m_nPosts = 0;
  unsigned m_nGone = 0;
  unsigned m_nPostsBeforeGone = 0;
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

// Threads of this process, to show that Close leaves no reader behind.
inline long ThreadCount() {
  return std::distance(std::filesystem::directory_iterator("/proc/self/task"), std::filesystem::directory_iterator());
}

inline double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs fn in a forked child as user and group 65534 without supplementary groups, and gives
// back the text it returned (or why there is none). Call it while no reader thread runs.
inline std::string RunAsNobody(const std::function<std::string()>& fn) {
  int anPipe[2];
  if (pipe2(anPipe, O_CLOEXEC) != 0) return "pipe2 failed";
  const pid_t nPid = fork();
  if (nPid == 0) {
    const bool bNobody = setgroups(0, nullptr) == 0 && setresgid(65534, 65534, 65534) == 0 &&
                         setresuid(65534, 65534, 65534) == 0;
    const std::string text = bNobody ? fn() : "could not become user 65534";
    _exit(write(anPipe[1], text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 1);
  }
  close(anPipe[1]);
  std::string text;
  char achBuffer[256];
  for (ssize_t n; (n = read(anPipe[0], achBuffer, sizeof achBuffer)) > 0;)
    text.append(achBuffer, static_cast<size_t>(n));
  close(anPipe[0]);
  int nStatus = 0;
  const bool bReaped = nPid > 0 && waitpid(nPid, &nStatus, 0) == nPid;
  return bReaped && WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0 ? text : "the child failed: " + text;
}
