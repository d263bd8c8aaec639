#include "app/ConfigWriting.h"

#include "protocol/CModuleChannel.h"
#include "protocol/ModuleFormat.h"

namespace {

bool SameCanValues(const ModuleSettings& a, const ModuleSettings& b) {
  const auto meaningful = [](uint16_t w) { return static_cast<uint16_t>(w & ~BT_RESERVED_MASK); };
  return a.m_byMode == b.m_byMode && meaningful(a.m_wBitTime) == meaningful(b.m_wBitTime) &&
         a.m_dwMaskId == b.m_dwMaskId && a.m_dwId == b.m_dwId;
}

}  // namespace

bool IsSamePort(const ModuleSettings& current, const ModuleSettings& chosen) {
  if (current.m_nPortMode != chosen.m_nPortMode) return false;
  if (chosen.m_nPortMode == PORT_MODE_USB) return current.m_nUsbPortIndex == chosen.m_nUsbPortIndex;
  return current.m_nSerialPortIndex == chosen.m_nSerialPortIndex && current.m_nBaudRate == chosen.m_nBaudRate;
}

EConfigWrite ConfigWriteStep(const ModuleSettings& current, const ModuleSettings& chosen, bool bConnected) {
  if (!bConnected || !IsSamePort(current, chosen)) return EConfigWrite::OPEN_AND_SEND;
  return SameCanValues(current, chosen) ? EConfigWrite::NOTHING : EConfigWrite::SEND;
}

void StoreChosenPort(ModuleSettings& settings, const ModuleSettings& chosen) {
  settings.m_nPortMode = chosen.m_nPortMode;
  if (chosen.m_nPortMode == PORT_MODE_USB) {
    settings.m_nUsbPortIndex = chosen.m_nUsbPortIndex;
  } else {
    settings.m_nSerialPortIndex = chosen.m_nSerialPortIndex;
    settings.m_nBaudRate = chosen.m_nBaudRate;
  }
}

void StoreChosenConfig(ModuleSettings& settings, const ModuleSettings& chosen) {
  StoreChosenPort(settings, chosen);
  settings.m_byMode = chosen.m_byMode;
  settings.m_wBitTime = chosen.m_wBitTime;
  settings.m_dwMaskId = chosen.m_dwMaskId;
  settings.m_dwId = chosen.m_dwId;
}

void KeepUserPort(ModuleSettings& userPort, const ModuleSettings& chosen, int nSimulatedPort) {
  if (chosen.m_nPortMode == PORT_MODE_SERIAL && chosen.m_nSerialPortIndex == nSimulatedPort) return;
  StoreChosenPort(userPort, chosen);
}

void SendConfig(CModuleChannel& channel, const ModuleSettings& settings) {
  const uint8_t byMode = settings.m_byMode;
  channel.WriteConfig(!(byMode & MODE_CAN20B), byMode & MODE_AUTO_RESET, byMode & MODE_REPORT_BUSOFF,
                      byMode & MODE_REPORT_PASSIVE, byMode & MODE_REPORT_WARNING, settings.m_wBitTime, settings.m_dwId,
                      settings.m_dwMaskId);
}
