#include "app/StatusPaneTexts.h"

#include <cstdio>

#include "protocol/BitTiming.h"
#include "protocol/CModuleChannel.h"
#include "stats/CBusLoad.h"
#include "text/EventTranslator.h"

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

std::string CountersPaneText(const ChannelCounters& counters, std::string_view text) {
  const std::string dropped = std::to_string(counters.m_qwDroppedBlocks);
  const std::string refused = std::to_string(counters.m_qwRefusedLines + counters.m_qwRefusedResponses);
  const std::string incomplete = std::to_string(counters.m_qwIncompleteFrames);
  const std::string_view values[] = {dropped, refused, incomplete};
  std::string out;
  AppendFilled(text, values, out);
  return out;
}

std::string BusPaneText(bool bPortOpen, const BusFigures& figures, double dBitRate, std::string_view text) {
  if (!bPortOpen) return {};
  char szFrames[32], szLoad[32] = "-";
  std::snprintf(szFrames, sizeof szFrames, "%.0f", figures.m_dFramesPerSecond);
  if (dBitRate > 0.0) std::snprintf(szLoad, sizeof szLoad, "%.1f%%", figures.m_dLoadPercent);
  const std::string_view values[] = {szFrames, szLoad};
  std::string out;
  AppendFilled(text, values, out);
  return out;
}

double ConfiguredBitRate(const ModuleSettings& settings) {
  return IsValidBitTiming(settings.m_wBitTime) ? BitRateOf(settings.m_wBitTime) : 0.0;
}
