#pragma once
// The posted-message and timer interface that stands between the core objects and the
// window (or test loop) behind them. Handlers always run on the one UI thread; only
// Post may be called from another thread (the channel posts for the transports' reader
// threads).
#include <cstdint>
#include <ctime>

constexpr unsigned WM_USER = 0x0400;
constexpr unsigned WM_RX_NOTIFY = WM_USER + 101;       // reader thread -> channel: bytes queued
constexpr unsigned WM_CONFIG_REPORT = WM_USER + 102;   // channel -> frame: configuration reported
constexpr unsigned WM_FRAME_ACTIVITY = WM_USER + 103;  // channel -> frame: wParam 1 sent, 2 received
constexpr unsigned WM_PORT_GONE = WM_USER + 104;       // reader thread -> channel: device gone
constexpr unsigned WM_SENDER_NEWS = WM_USER + 105;     // sending thread -> channel: lines written, failures

constexpr unsigned IDT_LAMP = 200;      // frame's activity-lamp timer
constexpr unsigned IDT_RESPONSE = 201;  // channel's one-second response timer
constexpr unsigned IDT_CLOSE_WAIT = 204;  // channel's wait for ":G10" to reach the module before a close

// What a window gives the object behind it.
class MessageHost {
public:
  virtual ~MessageHost() = default;
  virtual void Post(unsigned nMsg, uintptr_t wParam, intptr_t lParam) = 0;  // any thread
  virtual void SetTimer(unsigned nId, unsigned nMilliseconds) = 0;         // restarts if running
  virtual void KillTimer(unsigned nId) = 0;
  // The clock its timers run on, in milliseconds (monotonic).
  virtual uint64_t NowMs() const {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
  }
};

// What the host calls back, on the UI thread, for posted messages and timer expiries.
class MessageHandler {
public:
  virtual ~MessageHandler() = default;
  virtual void OnMessage(unsigned nMsg, uintptr_t wParam, intptr_t lParam) = 0;
  virtual void OnTimer(unsigned nId) = 0;
};
