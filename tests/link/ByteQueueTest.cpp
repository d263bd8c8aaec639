#include <gtest/gtest.h>

#include <thread>

#include "LinkTestSupport.h"

namespace {

// The ring holds at most 65,535 bytes: a full ring would read as empty, which is why the reader
// queues a block only when the free space is strictly greater than its length.
TEST(ByteQueue, FullAndEmptyStayDistinctAcrossTheWrap) {
  LinkReceiver rx;
  CByteQueue& queue = *rx.pQueue;
  const std::vector<uint8_t> block(CByteQueue::QUEUE_SIZE - 1, 0xA5);
  queue.Push(block.data(), 100);
  for (int i = 0; i < 100; ++i) queue.Pop();  // head and tail now sit 100 bytes in
  queue.Push(block.data(), static_cast<uint32_t>(block.size()));
  EXPECT_EQ(queue.Count(), CByteQueue::QUEUE_SIZE - 1);
  EXPECT_EQ(queue.FreeSpace(), 1u);
  uint32_t nPopped = 0;
  while (queue.Count() > 0 && queue.Pop() == 0xA5) ++nPopped;
  EXPECT_EQ(nPopped, CByteQueue::QUEUE_SIZE - 1);
  EXPECT_EQ(queue.FreeSpace(), CByteQueue::QUEUE_SIZE);
}

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
