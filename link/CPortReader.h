#pragma once
// The reader side that the serial and the USB transport share: one thread per open port that
// waits for input, drains everything waiting in blocks of at most READ_BLOCK_SIZE bytes into
// the receive queue, each block with the time it was read, and tells its listener once per
// drained burst, and once when the device has gone.
#include <atomic>
#include <cstdint>
#include <thread>

class CByteQueue;
class ReaderListener;

// What a transport gives its reader thread.
class PortInput {
public:
  virtual ~PortInput() = default;
  // Reader thread: blocks until input may be waiting (true) or until StopWaiting() was
  // called (false). A spurious true is harmless: the drain then simply reads nothing.
  virtual bool WaitForInput() = 0;
  // Reader thread: reads what is waiting, at most CPortReader::READ_BLOCK_SIZE bytes into
  // pBuffer; 0 when nothing is waiting or the read failed.
  virtual uint32_t ReadAvailable(uint8_t* pBuffer) = 0;
  // Any thread: makes the pending and every later WaitForInput return false until the
  // transport opens again.
  virtual void StopWaiting() = 0;
  // Reader thread: the device hung up or failed for good (checked after each burst).
  virtual bool IsGone() const { return false; }
};

class CPortReader {
public:
  static constexpr uint32_t READ_BLOCK_SIZE = 4096;

  CPortReader() = default;
  ~CPortReader() { Stop(); }
  CPortReader(const CPortReader&) = delete;
  CPortReader& operator=(const CPortReader&) = delete;

  // Only while no reader runs; the reader reads these without a lock.
  void SetNotifyTarget(ReaderListener* pListener, CByteQueue* pQueue);
  // Starts the thread on pInput; false when it cannot be started (or one already runs).
  bool Start(PortInput& input);
  // Wakes the reader and joins it: afterwards no reader touches the input, queue or target.
  void Stop();
  bool IsRunning() const { return m_thread.joinable(); }
  uint64_t DroppedBlocks() const { return m_nDroppedBlocks.load(std::memory_order_relaxed); }

private:
  void Run(PortInput& input);
  void DrainBurst(PortInput& input);

  ReaderListener* m_pListener = nullptr;
  CByteQueue* m_pQueue = nullptr;
  PortInput* m_pInput = nullptr;
  std::thread m_thread;
  std::atomic<uint64_t> m_nDroppedBlocks{0};
  uint8_t m_abyBuffer[READ_BLOCK_SIZE] = {};  // reader thread only
};
