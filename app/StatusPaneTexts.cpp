#include "app/StatusPaneTexts.h"

#include <cstdio>

#include "protocol/BitTiming.h"
#include "protocol/CModuleChannel.h"
#include "stats/CBusLoad.h"

namespace {

std::string Format(const char* pszFormat, unsigned long nValue) {
  char sz[48];
  std::snprintf(sz, sizeof sz, pszFormat, nValue);
  return sz;
}

// The settings' index may be stale for a list that changed; the pane then stays empty.
bool InRange(int nIndex, int nCount) { return nIndex >= 0 && nIndex < nCount; }

}  // namespace

CStatusPaneTexts StatusPaneTexts(bool bPortOpen, const ModuleSettings& settings, const CPortLists& ports) {
  CStatusPaneTexts texts;
  if (!bPortOpen) return texts;
  const bool bUsb = settings.m_nPortMode == PORT_MODE_USB;
  const bool bExtended = (settings.m_byMode & MODE_CAN20B) != 0;
  texts[0] = bUsb ? "USB Port" : "Serial Port";
  if (bUsb && InRange(settings.m_nUsbPortIndex, ports.UsbModuleCount())) {
    texts[1] = ports.m_usbSerialNumbers[static_cast<size_t>(settings.m_nUsbPortIndex)];
  } else if (!bUsb && InRange(settings.m_nSerialPortIndex, ports.SerialPortCount())) {
    texts[1] = ports.m_serialPorts[static_cast<size_t>(settings.m_nSerialPortIndex)].m_strName;
  }
  texts[2] = bExtended ? "CAN2.0B" : "CAN2.0A";
  texts[3] = FormatBitRate(settings.m_wBitTime);
  texts[4] = Format(bExtended ? "Mask ID:%08lX" : "Mask ID:%03lX", settings.m_dwMaskId);
  texts[5] = Format(bExtended ? "ID:%08lX" : "ID:%03lX", settings.m_dwId);
  return texts;
}

std::string CountersPaneText(const ChannelCounters& counters) {
  char sz[128];
  std::snprintf(sz, sizeof sz, "버린 블록 %llu / 거부한 줄 %llu / 모자란 프레임 %llu",
                static_cast<unsigned long long>(counters.m_qwDroppedBlocks),
                static_cast<unsigned long long>(counters.m_qwRefusedLines + counters.m_qwRefusedResponses),
                static_cast<unsigned long long>(counters.m_qwIncompleteFrames));
  return sz;
}

std::string BusPaneText(bool bPortOpen, const BusFigures& figures, double dBitRate) {
  if (!bPortOpen) return {};
  char sz[64];
  if (dBitRate > 0.0)
    std::snprintf(sz, sizeof sz, "%.0f 프레임/초  부하 %.1f%%", figures.m_dFramesPerSecond, figures.m_dLoadPercent);
  else
    std::snprintf(sz, sizeof sz, "%.0f 프레임/초  부하 -", figures.m_dFramesPerSecond);
  return sz;
}

double ConfiguredBitRate(const ModuleSettings& settings) {
  return IsValidBitTiming(settings.m_wBitTime) ? BitRateOf(settings.m_wBitTime) : 0.0;
}
