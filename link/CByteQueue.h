#pragma once
// The 64 KiB receive ring between a transport's reader thread (the only producer) and the
// UI thread (the only consumer). No lock: each side owns one index, publishes it with
// release and reads the other side's with acquire.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>

class CByteQueue {
public:
  static constexpr uint32_t QUEUE_SIZE = 65536;

  // Bytes waiting; reading the head with acquire makes the bytes behind it visible.
  uint32_t Count() const {
    return (m_nHead.load(std::memory_order_acquire) - m_nTail.load(std::memory_order_acquire)) % QUEUE_SIZE;
  }
  uint32_t FreeSpace() const { return QUEUE_SIZE - Count(); }

  // Producer: stores n bytes at the head. The caller has checked FreeSpace() > n, so the
  // ring never reaches the full state (which would read as empty).
  uint32_t Push(const uint8_t* pBytes, uint32_t n) {
    uint32_t nHead = m_nHead.load(std::memory_order_relaxed);
    const uint32_t nFirst = n < QUEUE_SIZE - nHead ? n : QUEUE_SIZE - nHead;
    std::memcpy(m_abyData + nHead, pBytes, nFirst);
    std::memcpy(m_abyData, pBytes + nFirst, n - nFirst);
    nHead = (nHead + n) % QUEUE_SIZE;
    m_nHead.store(nHead, std::memory_order_release);
    return n;
  }

  // Consumer: the byte at the tail. Only call while Count() > 0.
  uint8_t Pop() {
    const uint32_t nTail = m_nTail.load(std::memory_order_relaxed);
    const uint8_t by = m_abyData[nTail];
    m_nTail.store((nTail + 1) % QUEUE_SIZE, std::memory_order_release);
    return by;
  }

  // Only while no reader thread runs (channel create and open).
  void Reset() {
    m_nHead.store(0, std::memory_order_relaxed);
    m_nTail.store(0, std::memory_order_relaxed);
    std::memset(m_abyData, 0, sizeof m_abyData);
  }

private:
  alignas(64) std::atomic<uint32_t> m_nHead{0};  // written by the producer only
  alignas(64) std::atomic<uint32_t> m_nTail{0};  // written by the consumer only
  alignas(64) uint8_t m_abyData[QUEUE_SIZE] = {};
};
