#pragma once
// A scripted transport that delivers bytes as a reader thread does; Deliver and HangUp may run on any thread.
#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/CByteQueue.h"
#include "link/ReaderListener.h"
#include "link/ByteTransport.h"
#include "protocol/LineFraming.h"

class CFakeTransport final : public ByteTransport {
public:
  void SetNotifyTarget(ReaderListener* pListener, CByteQueue* pQueue) override {
    m_pListener = pListener;
    m_pQueue = pQueue;
  }
  bool Open(const std::string& name, uint32_t dwBaudRate) override {
    m_openedName = name;
    m_dwOpenedRate = dwBaudRate;
    return m_bOpen = m_bOpenSucceeds;
  }
  int Close() override {
    if (m_bOpen && m_fnOnClose) m_fnOnClose();
    return std::exchange(m_bOpen, false) ? 1 : 0;
  }
  uint32_t Write(const uint8_t* pData, uint32_t nLength) override {
    m_writes.emplace_back(reinterpret_cast<const char*>(pData), nLength);
    if (m_fnOnWrite) m_fnOnWrite(m_writes.back());
    return nLength < m_nWriteLimit ? nLength : m_nWriteLimit;
  }
  bool IsOpen() const override { return m_bOpen; }
  uint32_t LineRate() const override { return m_dwOpenedRate; }
  std::string LastError() const override { return m_bOpenSucceeds ? "" : "open: No such file or directory"; }
  uint64_t DroppedBlocks() const override { return m_qwDropped; }

  void Deliver(std::string_view bytes, const ArrivalTime& arrival = {}) {
    m_pQueue->MarkBurst(arrival);
    if (m_pQueue->FreeSpace() > bytes.size())
      m_pQueue->Push(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()));
    else
      ++m_qwDropped;
    m_pListener->OnBytesQueued();
  }
  void HangUp() { m_pListener->OnPortGone(); }
  // Back to a fresh transport's script; the listener and queue stay until the next Create.
  void Forget() {
    m_bOpenSucceeds = true, m_bOpen = false, m_dwOpenedRate = 0, m_qwDropped = 0, m_nWriteLimit = UINT32_MAX;
    m_openedName.clear(), m_writes.clear();
    m_fnOnWrite = nullptr, m_fnOnClose = nullptr;
  }

  bool m_bOpenSucceeds = true;
  bool m_bOpen = false;
  std::string m_openedName;
  uint32_t m_dwOpenedRate = 0;
  uint32_t m_nWriteLimit = UINT32_MAX;  // a write sends at most this many bytes
  std::vector<std::string> m_writes;
  std::function<void(const std::string& line)> m_fnOnWrite;
  std::function<void()> m_fnOnClose;

private:
  ReaderListener* m_pListener = nullptr;
  CByteQueue* m_pQueue = nullptr;
  std::atomic<uint64_t> m_qwDropped{0};
};

// A complete line (checksum and CR) from a payload such as ":G01".
inline std::string Line(std::string_view payload) { return std::string(BuildLine(payload).View()); }
