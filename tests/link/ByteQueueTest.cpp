#include <gtest/gtest.h>

#include <thread>

#include "LinkTestSupport.h"

namespace {

// One producer pushing blocks of 1..5000 bytes under the strict free-space rule (so they straddle
// the wrap and leave the last byte free), one consumer popping: every byte arrives once and in
// order. ThreadSanitizer checks the index publication.
TEST(ByteQueue, ProducerAndConsumerThreadsPassEveryByteInOrder) {
  LinkReceiver rx;
  constexpr uint32_t TOTAL = 4u * 1024 * 1024;
  const std::vector<uint8_t> stream = TestPattern(TOTAL, 1);
  std::thread producer([&] {
    for (uint32_t nDone = 0, nBlock = 1; nDone < TOTAL;) {
      const uint32_t n = std::min(nBlock, TOTAL - nDone);
      if (rx.pQueue->FreeSpace() <= n) {
        std::this_thread::yield();
        continue;
      }
      rx.pQueue->Push(stream.data() + nDone, n);
      nDone += n;
      nBlock = nBlock % 5000 + 1;
    }
  });
  uint32_t nMismatches = 0;
  for (uint32_t nReceived = 0; nReceived < TOTAL;) {
    if (rx.pQueue->Count() == 0) std::this_thread::yield();
    else nMismatches += rx.pQueue->Pop() != stream[nReceived++];
  }
  producer.join();
  EXPECT_EQ(nMismatches, 0u);
  EXPECT_EQ(rx.pQueue->Count(), 0u);
}

}  // namespace
