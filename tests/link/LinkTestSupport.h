#pragma once
// Shared pieces of the transport tests: the queue and recorder a transport reports to, and
// helpers that wait for real I/O from the reader thread with a deadline.
#include <dirent.h>

#include <chrono>
#include <memory>
#include <vector>

#include "CPostRecorder.h"
#include "link/CByteQueue.h"

struct LinkReceiver {
  CPostRecorder host;
  std::unique_ptr<CByteQueue> pQueue = std::make_unique<CByteQueue>();

  // Waits until at least nBytes are queued, following the reader's notifications.
  bool WaitForQueued(uint32_t nBytes, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      const unsigned nPosts = host.Posts();
      if (pQueue->Count() >= nBytes) return true;
      const auto remaining =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (remaining.count() <= 0 || !host.WaitForPosts(nPosts + 1, remaining)) return pQueue->Count() >= nBytes;
    }
  }
  std::vector<uint8_t> PopAll() {
    std::vector<uint8_t> data;
    while (pQueue->Count() > 0) data.push_back(pQueue->Pop());
    return data;
  }
  // Leaves exactly nFree bytes of free space (before any reader runs).
  void FillLeaving(uint32_t nFree) {
    const std::vector<uint8_t> filler(CByteQueue::QUEUE_SIZE - nFree, 0xEE);
    pQueue->Push(filler.data(), static_cast<uint32_t>(filler.size()));
  }
};

inline std::vector<uint8_t> TestPattern(size_t n, uint8_t bySeed = 0) {
  std::vector<uint8_t> data(n);
  for (size_t i = 0; i < n; ++i) data[i] = static_cast<uint8_t>(bySeed + i * 13 + i / 256);
  return data;
}

// Threads of this process, to show that Close leaves no reader behind.
inline int ThreadCount() {
  int nThreads = 0;
  if (DIR* pDir = opendir("/proc/self/task")) {
    while (const dirent* pEntry = readdir(pDir))
      if (pEntry->d_name[0] != '.') ++nThreads;
    closedir(pDir);
  }
  return nThreads;
}

inline double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
