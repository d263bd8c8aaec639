#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "LinkTestSupport.h"
#include "link/CByteQueue.h"

namespace {

TEST(ByteQueue, FullRingReadsAsEmptySoOneByteMustStayFree) {
  auto pQueue = std::make_unique<CByteQueue>();
  const std::vector<uint8_t> data = TestPattern(CByteQueue::QUEUE_SIZE);

  pQueue->Push(data.data(), CByteQueue::QUEUE_SIZE - 1);
  EXPECT_EQ(pQueue->Count(), CByteQueue::QUEUE_SIZE - 1);
  EXPECT_EQ(pQueue->FreeSpace(), 1u);  // the last byte that may never be filled

  // Filling that byte too makes head == tail: the ring claims to be empty and the data is lost.
  pQueue->Push(data.data(), 1);
  EXPECT_EQ(pQueue->Count(), 0u);
  EXPECT_EQ(pQueue->FreeSpace(), CByteQueue::QUEUE_SIZE);
}

TEST(ByteQueue, KeepsOrderAcrossTheWrapAndResetEmpties) {
  auto pQueue = std::make_unique<CByteQueue>();
  const std::vector<uint8_t> filler = TestPattern(CByteQueue::QUEUE_SIZE - 10);
  pQueue->Push(filler.data(), static_cast<uint32_t>(filler.size()));
  for (size_t i = 0; i < filler.size(); ++i) ASSERT_EQ(pQueue->Pop(), filler[i]);
  ASSERT_EQ(pQueue->Count(), 0u);

  // Head is 10 bytes before the end: this block is split across the wrap.
  const std::vector<uint8_t> block = TestPattern(4096, 3);
  pQueue->Push(block.data(), static_cast<uint32_t>(block.size()));
  EXPECT_EQ(pQueue->Count(), 4096u);
  std::vector<uint8_t> out;
  while (pQueue->Count() > 0) out.push_back(pQueue->Pop());
  EXPECT_EQ(out, block);

  pQueue->Push(block.data(), 100);
  pQueue->Reset();
  EXPECT_EQ(pQueue->Count(), 0u);
  EXPECT_EQ(pQueue->FreeSpace(), CByteQueue::QUEUE_SIZE);
}

// One producer pushing blocks under the strict free-space rule, one consumer popping: every
// byte arrives once and in order (run under ThreadSanitizer to check the index publication).
TEST(ByteQueue, ProducerAndConsumerThreadsPassEveryByteInOrder) {
  auto pQueue = std::make_unique<CByteQueue>();
  constexpr uint32_t TOTAL = 4u * 1024 * 1024;
  const std::vector<uint8_t> stream = TestPattern(TOTAL, 1);

  std::thread producer([&] {
    uint32_t nDone = 0;
    uint32_t nBlock = 1;
    while (nDone < TOTAL) {
      const uint32_t n = std::min(nBlock, TOTAL - nDone);
      if (pQueue->FreeSpace() > n) {
        pQueue->Push(stream.data() + nDone, n);
        nDone += n;
        nBlock = nBlock % 5000 + 1;  // block sizes 1..5000, so pushes straddle the wrap
      } else {
        std::this_thread::yield();
      }
    }
  });

  uint32_t nReceived = 0;
  uint32_t nMismatches = 0;
  while (nReceived < TOTAL) {
    if (pQueue->Count() == 0) {
      std::this_thread::yield();
      continue;
    }
    if (pQueue->Pop() != stream[nReceived]) ++nMismatches;
    ++nReceived;
  }
  producer.join();
  EXPECT_EQ(nMismatches, 0u);
  EXPECT_EQ(pQueue->Count(), 0u);
}

}  // namespace
