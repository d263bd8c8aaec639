#include <gtest/gtest.h>

#include "LinkTestSupport.h"

namespace {

ArrivalTime At(int64_t n) { return {n, n + 1000}; }

// Each popped byte reports its burst's mark and how many bytes of that burst follow, across both wraps.
TEST(ByteQueue, FullAndEmptyStayDistinctAndMarksAreAdoptedAtTheFirstByteOfTheirBurst) {
  CByteQueue queue;
  // A full ring would read as empty: at most QUEUE_SIZE - 1 bytes.
  const std::vector<uint8_t> block = TestPattern(CByteQueue::QUEUE_SIZE - 1);
  queue.Push(block.data(), 100);
  for (int i = 0; i < 100; ++i) queue.Pop();  // head and tail now sit 100 bytes in
  queue.Push(block.data(), static_cast<uint32_t>(block.size()));
  EXPECT_EQ(queue.FreeSpace(), 1u);
  uint32_t nWrong = 0;
  for (const uint8_t by : block) nWrong += queue.Count() == 0 || queue.Pop() != by;

  const uint8_t abyBurst[3] = {1, 2, 3};
  queue.Push(abyBurst, 1);  // before any mark: no time
  queue.MarkBurst(At(10));
  queue.Push(abyBurst, 3);
  queue.MarkBurst(At(20));
  queue.Push(abyBurst, 2);
  std::vector<int64_t> times;
  std::vector<uint32_t> left;
  const auto take = [&] {  // one byte, and what the queue reports for it
    queue.Pop();
    times.push_back(queue.LastArrival().m_nSteadyNs);
    left.push_back(queue.BytesLeftInBurst());
  };
  while (queue.Count() > 0) take();
  queue.MarkBurst(At(30));
  queue.Push(abyBurst, 3);
  take();  // the rest of its burst is not queued yet when this byte is taken
  queue.MarkBurst(At(40));
  queue.Push(abyBurst, 2);
  while (queue.Count() > 0) take();
  EXPECT_EQ(times, (std::vector<int64_t>{0, 10, 10, 10, 20, 20, 30, 30, 30, 40, 40}));
  EXPECT_EQ(left, (std::vector<uint32_t>{0, 2, 1, 0, 1, 0, 2, 1, 0, 1, 0}));
  EXPECT_EQ(queue.LastArrival().m_nWallNs, 1040);

  // MARK_COUNT - 1 marks fill the ring; the next is refused and its byte keeps the older time.
  for (uint32_t i = 1; i <= CByteQueue::MARK_COUNT; ++i) {
    queue.MarkBurst(At(100 + i));
    queue.Push(abyBurst, 1);
  }
  for (uint32_t i = 1; i <= CByteQueue::MARK_COUNT; ++i) queue.Pop();
  EXPECT_EQ(queue.LastArrival().m_nSteadyNs, 100 + CByteQueue::MARK_COUNT - 1);

  // Three times round the mark ring, every byte with its own burst's time.
  const std::vector<uint8_t> burst(1000, 0x5A);
  for (int64_t n = 1; n <= 3 * CByteQueue::MARK_COUNT; ++n) {
    queue.MarkBurst(At(n));
    queue.Push(burst.data(), 1000);
    while (queue.Count() > 0) nWrong += queue.Pop() != 0x5A || queue.LastArrival().m_nSteadyNs != n;
  }
  EXPECT_EQ(nWrong, 0u);
}

}  // namespace
