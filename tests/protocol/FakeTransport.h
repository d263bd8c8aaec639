#pragma once
// A scripted transport: records what the channel writes, opens or fails on demand, and
// delivers received bytes the way a reader thread does (a block goes into the queue only if
// the queue has more free space than the block, then one WM_RX_NOTIFY).
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/CByteQueue.h"
#include "link/MessageHost.h"
#include "protocol/ByteTransport.h"
#include "protocol/LineFraming.h"

class CFakeTransport final : public ByteTransport {
public:
  void SetNotifyTarget(MessageHost* pTarget, unsigned nMessage, CByteQueue* pQueue) override {
    m_pTarget = pTarget;
    m_nMessage = nMessage;
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
    return nLength;
  }
  bool IsOpen() const override { return m_bOpen; }

  // False when the block was dropped for want of room.
  bool Deliver(std::string_view bytes) {
    const bool bFits = m_pQueue->FreeSpace() > bytes.size();
    if (bFits) m_pQueue->Push(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()));
    m_pTarget->Post(m_nMessage, 0, 0);
    return bFits;
  }

  bool m_bOpenSucceeds = true;
  bool m_bOpen = false;
  std::string m_openedName;
  uint32_t m_dwOpenedRate = 0;
  std::vector<std::string> m_writes;
  std::function<void(const std::string& line)> m_fnOnWrite;
  std::function<void()> m_fnOnClose;

private:
  MessageHost* m_pTarget = nullptr;
  unsigned m_nMessage = 0;
  CByteQueue* m_pQueue = nullptr;
};

// A complete line (checksum and CR) from a payload such as ":G01".
inline std::string Line(std::string_view payload) { return std::string(BuildLine(payload).View()); }
