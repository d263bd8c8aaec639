#include "link/CPortReader.h"

#include <pthread.h>

#include <system_error>

#include "link/CByteQueue.h"
#include "link/ReaderListener.h"

void CPortReader::SetNotifyTarget(ReaderListener* pListener, CByteQueue* pQueue) {
  m_pListener = pListener;
  m_pQueue = pQueue;
}

bool CPortReader::Start(PortInput& input) {
  if (m_thread.joinable()) return false;
  m_pInput = &input;
  try {
    m_thread = std::thread([this, &input] { Run(input); });
  } catch (const std::system_error&) {
    m_pInput = nullptr;
    return false;
  }
  // A name makes the reader easy to find in top, gdb and crash reports; failing is harmless.
  pthread_setname_np(m_thread.native_handle(), "korvex-reader");
  return true;
}

void CPortReader::Stop() {
  if (!m_thread.joinable()) return;
  m_pInput->StopWaiting();
  m_thread.join();
  m_pInput = nullptr;
}

void CPortReader::Run(PortInput& input) {
  bool bGoneReported = false;
  while (input.WaitForInput()) {
    DrainBurst(input);
    if (!bGoneReported && input.IsGone()) {
      bGoneReported = true;
      if (m_pListener) m_pListener->OnPortGone();
    }
  }
}

void CPortReader::DrainBurst(PortInput& input) {
  uint32_t nBlocks = 0;
  for (;;) {
    const uint32_t n = input.ReadAvailable(m_abyBuffer);
    if (n == 0) break;
    ++nBlocks;
    // Strictly greater: a ring filled to the last byte would read as empty.
    if (m_pQueue && m_pQueue->FreeSpace() > n) {
      // Stamped as the block is taken off the port (the time the UI gets to it is later): its
      // last byte arrived by then, and the ones before it one wire time each earlier.
      m_pQueue->MarkBurst(ArrivalTime::Now());
      m_pQueue->Push(m_abyBuffer, n);
    } else {
      m_nDroppedBlocks.fetch_add(1, std::memory_order_relaxed);
    }
  }
  // One notification for the whole burst, none for a wake-up that found nothing.
  if (nBlocks > 0 && m_pListener) m_pListener->OnBytesQueued();
}
