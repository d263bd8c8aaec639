#pragma once
// A blocking wait on the UI thread (the channel's pause before closing a port with
// reception stopped). Injectable so that tests move a virtual clock instead of sleeping.
#include <chrono>
#include <thread>

class Sleeper {
public:
  virtual ~Sleeper() = default;
  virtual void Sleep(unsigned nMilliseconds) = 0;
};

// The real wait: the UI thread blocks, as a window thread would; posted messages and
// timers wait until it returns.
class CRealSleeper final : public Sleeper {
public:
  void Sleep(unsigned nMilliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(nMilliseconds));
  }
};
