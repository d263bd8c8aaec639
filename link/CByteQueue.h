#pragma once
// The 64 KiB receive ring between a transport's reader thread (the only producer) and the
// UI thread (the only consumer). No lock: each side owns one index, publishes it with
// release and reads the other side's with acquire.
//
// Beside the bytes runs a small ring of arrival marks: the reader stamps each block it reads
// (MarkBurst), and the consumer learns, byte by byte, when the burst of the byte it popped
// arrived (LastArrival) and how many bytes of that burst came after it (BytesLeftInBurst), so
// a frame that ended early in a burst can be placed earlier. A mark is published before the
// bytes it covers, so the consumer always sees it in time. When the mark ring is full the
// burst is not stamped and its bytes count as part of the previous burst; the bytes
// themselves are never refused for want of a mark.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "link/ArrivalTime.h"

class CByteQueue {
public:
  static constexpr uint32_t QUEUE_SIZE = 65536;
  static constexpr uint32_t MARK_COUNT = 1024;

  // Bytes waiting; reading the head with acquire makes the bytes behind it visible.
  uint32_t Count() const {
    return (m_nHead.load(std::memory_order_acquire) - m_nTail.load(std::memory_order_acquire)) % QUEUE_SIZE;
  }
  uint32_t FreeSpace() const { return QUEUE_SIZE - Count(); }

  // Producer: the next pushed byte starts a burst that arrived at `time`.
  void MarkBurst(const ArrivalTime& time) {
    const uint32_t nHead = m_nMarkHead.load(std::memory_order_relaxed);
    const uint32_t nNext = (nHead + 1) % MARK_COUNT;
    if (nNext == m_nMarkTail.load(std::memory_order_acquire)) return;  // full: keep the older time
    m_aMarks[nHead] = {m_qwPushed, time};
    m_nMarkHead.store(nNext, std::memory_order_release);
  }

  // Producer: stores n bytes at the head. The caller has checked FreeSpace() > n, so the
  // ring never reaches the full state (which would read as empty).
  uint32_t Push(const uint8_t* pBytes, uint32_t n) {
    uint32_t nHead = m_nHead.load(std::memory_order_relaxed);
    const uint32_t nFirst = n < QUEUE_SIZE - nHead ? n : QUEUE_SIZE - nHead;
    std::memcpy(m_abyData + nHead, pBytes, nFirst);
    std::memcpy(m_abyData, pBytes + nFirst, n - nFirst);
    nHead = (nHead + n) % QUEUE_SIZE;
    m_qwPushed += n;
    m_nHead.store(nHead, std::memory_order_release);
    return n;
  }

  // Consumer: hands the next n bytes (n at most what Count() said) to fnByte in order, with
  // LastArrival() and BytesLeftInBurst() telling when each one came. The marks are looked up
  // once for the whole run, after the count: those of bytes already counted were published
  // before the bytes. A burst ends where the next mark begins; without one, the bytes seen so
  // far are all of it, since the reader publishes a block's bytes at once.
  template <class TFn>
  void PopInto(uint32_t n, TFn&& fnByte) {
    const uint64_t qwVisibleEnd = m_qwPopped + Count();
    const uint32_t nMarkHead = m_nMarkHead.load(std::memory_order_acquire);
    uint32_t nMarkTail = m_nMarkTail.load(std::memory_order_relaxed);
    uint32_t nTail = m_nTail.load(std::memory_order_relaxed);
    const auto burstEnd = [&] { return nMarkTail != nMarkHead ? m_aMarks[nMarkTail].qwFirstByte : qwVisibleEnd; };
    m_qwBurstEnd = burstEnd();
    for (; n > 0; --n) {
      while (nMarkTail != nMarkHead && m_aMarks[nMarkTail].qwFirstByte <= m_qwPopped) {
        m_lastArrival = m_aMarks[nMarkTail].time;
        nMarkTail = (nMarkTail + 1) % MARK_COUNT;
        m_nMarkTail.store(nMarkTail, std::memory_order_release);
        m_qwBurstEnd = burstEnd();
      }
      const uint8_t by = m_abyData[nTail];
      nTail = (nTail + 1) % QUEUE_SIZE;
      ++m_qwPopped;
      m_nTail.store(nTail, std::memory_order_release);  // the room is the reader's again at once
      fnByte(by);
    }
  }

  // Consumer: the byte at the tail. Only call while Count() > 0.
  uint8_t Pop() {
    uint8_t byResult = 0;
    PopInto(1, [&byResult](uint8_t by) { byResult = by; });
    return byResult;
  }

  // Consumer: when the burst of the byte last popped arrived (zero before the first mark),
  // and how many bytes of that burst follow it.
  const ArrivalTime& LastArrival() const { return m_lastArrival; }
  uint32_t BytesLeftInBurst() const {
    return m_qwBurstEnd > m_qwPopped ? static_cast<uint32_t>(m_qwBurstEnd - m_qwPopped) : 0;
  }

  // Only while no reader thread runs (channel create and open).
  void Reset() {
    m_nHead.store(0, std::memory_order_relaxed);
    m_nTail.store(0, std::memory_order_relaxed);
    m_nMarkHead.store(0, std::memory_order_relaxed);
    m_nMarkTail.store(0, std::memory_order_relaxed);
    m_qwPushed = 0;
    m_qwPopped = 0;
    m_qwBurstEnd = 0;
    m_lastArrival = {};
    std::memset(m_abyData, 0, sizeof m_abyData);
  }

private:
  struct Mark {
    uint64_t qwFirstByte;  // producer's byte count when the burst began
    ArrivalTime time;
  };

  alignas(64) std::atomic<uint32_t> m_nHead{0};      // written by the producer only
  std::atomic<uint32_t> m_nMarkHead{0};              // written by the producer only
  uint64_t m_qwPushed = 0;                           // producer only
  alignas(64) std::atomic<uint32_t> m_nTail{0};      // written by the consumer only
  std::atomic<uint32_t> m_nMarkTail{0};              // written by the consumer only
  uint64_t m_qwPopped = 0;                           // consumer only
  uint64_t m_qwBurstEnd = 0;                         // consumer only: the current burst's end
  ArrivalTime m_lastArrival;                         // consumer only
  alignas(64) Mark m_aMarks[MARK_COUNT] = {};
  alignas(64) uint8_t m_abyData[QUEUE_SIZE] = {};
};
