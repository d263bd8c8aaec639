#include "app/CActivityLamps.h"

void CActivityLamps::OnActivity(uintptr_t wParam) {
  if (wParam == LAMP_TRANSMIT) {
    m_nTransmitTicks = LIT_TICKS;
    m_nBits |= LAMP_TRANSMIT;
  } else if (wParam == LAMP_RECEIVE) {
    m_nReceiveTicks = LIT_TICKS;
    m_nBits |= LAMP_RECEIVE;
  }
}

void CActivityLamps::OnTick() {
  if (m_nTransmitTicks > 0 && --m_nTransmitTicks == 0) m_nBits &= ~LAMP_TRANSMIT;
  if (m_nReceiveTicks > 0 && --m_nReceiveTicks == 0) m_nBits &= ~LAMP_RECEIVE;
}

void CActivityLamps::PutOut() {
  m_nTransmitTicks = 0;
  m_nReceiveTicks = 0;
  m_nBits = 0;
}
