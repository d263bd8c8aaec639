#include "config/ModuleConfigRules.h"

#include <algorithm>

#include "protocol/BitTiming.h"
#include "protocol/ModuleFormat.h"
#include "resources/StringTable.h"

namespace {

int FitIndex(int nIndex, int nCount) { return nCount <= 0 ? -1 : std::min(nIndex, nCount - 1); }

}  // namespace

void FitPortIndexes(ModuleSettings& settings, const CPortLists& ports) {
  if (ports.UsbModuleCount() == 0) settings.m_nPortMode = PORT_MODE_SERIAL;
  settings.m_nUsbPortIndex = FitIndex(settings.m_nUsbPortIndex, ports.UsbModuleCount());
  settings.m_nSerialPortIndex = FitIndex(settings.m_nSerialPortIndex, ports.SerialPortCount());
}

int BaudRateForPort(const CPortLists& ports, int nIndex) {
  if (nIndex < 0 || nIndex >= ports.SerialPortCount()) return BAUD_RATE_STANDARD;
  return ports.m_serialPorts[static_cast<size_t>(nIndex)].m_byModulePort ? BAUD_RATE_FAST : BAUD_RATE_STANDARD;
}

CBitTimingChoice ChooseBitTiming(uint16_t wBitTiming) {
  const auto wMeaningful = static_cast<uint16_t>(wBitTiming & ~BT_RESERVED_MASK);
  CBitTimingChoice choice;
  choice.m_nPreset = FindPresetIndex(wMeaningful);
  // The lists start above 0, so fields below their first entry show that entry.
  choice.m_nBrp = std::max<int>((wMeaningful >> BT_BRP_SHIFT) & BT_BRP_MASK, BRP_LIST_FIRST);
  choice.m_nTseg1 = std::max<int>(wMeaningful & BT_TSEG1_MASK, TSEG1_LIST_FIRST);
  choice.m_nTseg2 = std::max<int>((wMeaningful >> BT_TSEG2_SHIFT) & BT_TSEG2_MASK, TSEG2_LIST_FIRST);
  return choice;
}

uint16_t MakeBitTiming(int nBrp, int nTseg1, int nTseg2) {
  return static_cast<uint16_t>(((nBrp & BT_BRP_MASK) << BT_BRP_SHIFT) | ((nTseg2 & BT_TSEG2_MASK) << BT_TSEG2_SHIFT) |
                               (nTseg1 & BT_TSEG1_MASK));
}

unsigned CheckConfigInput(const CIdentifierEditor& maskEditor, const CIdentifierEditor& idEditor,
                          uint16_t wBitTiming) {
  if (!maskEditor.Check()) return IDS_MASK_ID_WRONG;
  if (!idEditor.Check()) return IDS_ID_WRONG;
  if (!IsValidBitTiming(wBitTiming)) return IDS_BIT_TIME_WRONG;
  return 0;
}
