// The configuration dialog's rules, without its widgets.
#include <gtest/gtest.h>

#include <tuple>

#include "config/ModuleConfigRules.h"
#include "resources/StringTable.h"

namespace {

CPortLists Ports(int nSerial, int nUsb) {
  CPortLists ports;
  for (int n = 0; n < nSerial; ++n) ports.m_serialPorts.push_back({"tty" + std::to_string(n), "", "", n == 1});
  for (int n = 0; n < nUsb; ++n) ports.m_usbSerialNumbers.push_back("KX" + std::to_string(n));
  ports.FixPortsAvailable();
  return ports;
}

TEST(ModuleConfigRules, PortIndexesAndRates) {
  // Stored mode, USB index, serial index; ports found; what the dialog opens with.
  const std::tuple<const char*, ModuleSettings, int, int, ModuleSettings> kFits[] = {
      {"USB with no module: serial, no USB index", {.m_nPortMode = 1, .m_nUsbPortIndex = 0}, 2, 0,
       {.m_nPortMode = 0, .m_nUsbPortIndex = -1}},
      {"no serial port: no serial index", {.m_nPortMode = 1, .m_nSerialPortIndex = 0}, 0, 1,
       {.m_nPortMode = 1, .m_nSerialPortIndex = -1}},
      {"past the end: the last entry", {.m_nPortMode = 1, .m_nUsbPortIndex = 5, .m_nSerialPortIndex = 9}, 3, 2,
       {.m_nPortMode = 1, .m_nUsbPortIndex = 1, .m_nSerialPortIndex = 2}}};
  for (auto [pszName, settings, nSerial, nUsb, expected] : kFits) {
    FitPortIndexes(settings, Ports(nSerial, nUsb));
    EXPECT_EQ(settings, expected) << pszName;
  }
  // Only the module's own port (index 1 here) runs fast; no port at all runs at the standard rate.
  const CPortLists ports = Ports(2, 0);
  for (const auto& [nIndex, nRate] : {std::pair{0, 38400}, {1, 921600}, {2, 38400}, {-1, 38400}})
    EXPECT_EQ(BaudRateForPort(ports, nIndex), nRate) << nIndex;
}

TEST(ModuleConfigRules, BitTimingChoices) {
  // Word -> preset (-1: custom) and the BRP, TSEG1, TSEG2 lists' values.
  const std::tuple<uint16_t, int, int, int, int> kChoices[] = {
      {0x0F34, 2, 15, 4, 3},
      {0x8F34, 2, 15, 4, 3},  // reserved bits, as a module may report them: still the 250K preset
      {0x0745, -1, 7, 5, 4},
      {0x0000, -1, 3, 3, 2}};  // fields below their lists show the first entry
  for (const auto& [wWord, nPreset, nBrp, nTseg1, nTseg2] : kChoices) {
    const CBitTimingChoice choice = ChooseBitTiming(wWord);
    EXPECT_EQ(std::tuple(choice.m_nPreset, choice.m_nBrp, choice.m_nTseg1, choice.m_nTseg2),
              std::tuple(nPreset, nBrp, nTseg1, nTseg2)) << wWord;
  }
  EXPECT_EQ(std::tuple(MakeBitTiming(7, 5, 4), MakeBitTiming(63, 15, 7)), std::tuple(0x0745, 0x3F7F));
}

TEST(ModuleConfigRules, OkChecksTheMaskIdThenTheIdThenTheBitTiming) {
  const auto Editor = [](const char* pszLowBox) {
    CIdentifierEditor editor;
    editor.Load(0, CIdentifierEditor::CAN_20B);
    editor.OnBoxChanged(4, pszLowBox);  // pasted text is not filtered
    editor.TakeBoxTexts();
    return editor;
  };
  const CIdentifierEditor good = Editor("12"), bad = Editor("ZZ");
  const std::tuple<const char*, const CIdentifierEditor*, const CIdentifierEditor*, uint16_t, unsigned> kChecks[] = {
      {"all good", &good, &good, 0x0F34, 0},
      {"TSEG1 equal to TSEG2 passes", &good, &good, 0x0755, 0},
      {"both identifiers bad: the mask ID is named", &bad, &bad, 0x0323, IDS_MASK_ID_WRONG},
      {"the receive ID", &good, &bad, 0x0323, IDS_ID_WRONG},
      {"1.25M BPS", &good, &good, 0x0323, IDS_BIT_TIME_WRONG}};
  for (const auto& [pszName, pMask, pId, wBitTiming, nRefusal] : kChecks)
    EXPECT_EQ(CheckConfigInput(*pMask, *pId, wBitTiming), nRefusal) << pszName;
}

}  // namespace
