#pragma once
// The transmit and receive lamps of the status bar. A report lights its lamp for two ticks
// of the 200 ms lamp timer, so a lamp stays lit 200 to 400 ms after the last report:
//   OnActivity(2) -> Bits() 2;  OnTick() -> 2;  OnTick() -> 0
#include <cstdint>

class CActivityLamps {
public:
  static constexpr unsigned LAMP_TRANSMIT = 1;  // bit 0: the module echoed a sent frame
  static constexpr unsigned LAMP_RECEIVE = 2;   // bit 1: a frame was received
  static constexpr int LIT_TICKS = 2;

  // wParam of WM_FRAME_ACTIVITY: 1 or 2; anything else changes nothing.
  void OnActivity(uintptr_t wParam);
  void OnTick();
  void PutOut();
  unsigned Bits() const { return m_nBits; }

private:
  int m_nTransmitTicks = 0;
  int m_nReceiveTicks = 0;
  unsigned m_nBits = 0;
};
