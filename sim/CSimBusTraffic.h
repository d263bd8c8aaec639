#pragma once
// Traffic that looks like a real bus: a fixed set of messages, each sent at its own cycle
// time, with both frame kinds, 11- and 29-bit identifiers and various lengths. The data
// change from frame to frame: byte 0 is a per-message rolling counter, bytes 1 and 2 a value
// that rises and falls slowly (a 20 s triangle, big-endian), the rest a fixed pattern.
// Remote frames carry no data bytes, only their length.
//
// Times are milliseconds on the caller's clock; the first frame of message i is due i + 1 ms
// after Restart (so messages of equal cycle do not all fall on the same millisecond), then
// every cycle.
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

struct SSimFrame {
  uint32_t m_dwId = 0;
  bool m_bExtended = false;  // 29-bit identifier
  bool m_bRemote = false;
  uint8_t m_byLength = 0;    // 0..8
  uint8_t m_abyData[8] = {};  // m_byLength bytes of a data frame
};

class CSimBusTraffic {
public:
  struct SMessage {
    uint32_t m_dwId;
    bool m_bExtended;
    bool m_bRemote;
    uint8_t m_byLength;
    uint32_t m_nCycleMs;
  };
  // A message more than this many cycles late (the caller stalled) skips the cycles beyond
  // them; the skipped frames are counted, not sent.
  static constexpr uint64_t MAX_LAG_CYCLES = 100;
  static constexpr uint64_t NO_DEADLINE = UINT64_MAX;
  static constexpr uint32_t SLOW_PERIOD_MS = 20000;

  static std::span<const SMessage> Messages();

  using Accept = std::function<bool(const SMessage&)>;
  // Starts the schedule at qwNowMs with the messages that fnAccept lets through.
  void Restart(uint64_t qwNowMs, const Accept& fnAccept);
  uint64_t NextDueMs() const;
  // Calls fnSend for every frame due by qwNowMs, in order of due time; returns how many
  // frames were skipped after a stall.
  uint64_t SendDue(uint64_t qwNowMs, const std::function<void(const SSimFrame&)>& fnSend);

private:
  struct SActive {
    const SMessage* m_pMessage;
    uint64_t m_qwDueMs;
    uint32_t m_dwCounter;
  };

  static SSimFrame MakeFrame(const SMessage& message, uint32_t dwCounter, uint64_t qwDueMs);

  std::vector<SActive> m_active;
};
