#pragma once
// The configuration dialog's rules that need no widgets: how it fits the stored port
// indexes to the ports found, how a port decides its baud rate, how the bit-timing word
// maps onto the preset list and the BRP / TSEG1 / TSEG2 lists, and what OK refuses.
//   serial port with the module flag -> 921600; any other port, or none -> 38400
//   0x8F34 (a reserved bit set, as a module may report it) -> preset "250K"
//   BRP 3, TSEG1 3, TSEG2 2 -> 0x0323, 1.25M BPS, refused with 61234
#include <cstdint>

#include "config/CIdentifierEditor.h"
#include "config/ModuleSettings.h"
#include "link/SerialPortDiscovery.h"

// The first entry of each list of the custom bit-rate part.
constexpr int BRP_LIST_FIRST = 3;    // "3".."63"
constexpr int TSEG1_LIST_FIRST = 3;  // "3".."15"
constexpr int TSEG2_LIST_FIRST = 2;  // "2".."7"

// No USB module: serial mode and USB index -1; no serial port: serial index -1; an index
// past the end of its list becomes the last entry.
void FitPortIndexes(ModuleSettings& settings, const CPortLists& ports);

// The rate the serial port at nIndex runs at. Without a port there is nothing the module
// could answer on faster, so the standard rate.
int BaudRateForPort(const CPortLists& ports, int nIndex);

// How a stored word shows in the dialog. Bits the module gives no meaning (7, 14, 15) are
// left out, so such a word still shows its preset and OK does not refuse it.
struct CBitTimingChoice {
  int m_nPreset = -1;  // index into kPresetBitTimings, -1: custom
  int m_nBrp = BRP_LIST_FIRST;
  int m_nTseg1 = TSEG1_LIST_FIRST;
  int m_nTseg2 = TSEG2_LIST_FIRST;
};
CBitTimingChoice ChooseBitTiming(uint16_t wBitTiming);
uint16_t MakeBitTiming(int nBrp, int nTseg1, int nTseg2);

// What OK says about the input, in order: 61232 (mask ID), 61233 (ID), 61234 (bit timing);
// 0 when all is well. The editors' stored texts must have been taken in.
unsigned CheckConfigInput(const CIdentifierEditor& maskEditor, const CIdentifierEditor& idEditor,
                          uint16_t wBitTiming);
