#pragma once
// The texts of the status panes 61213 to 61218. Disconnected, every pane is empty; connected:
//   "Serial Port"  "ttyUSB0"  "CAN2.0B"  "250.00K BPS"  "Mask ID:1FFFFFFF"  "ID:00000123"
// (a CAN 2.0A mode byte gives "CAN2.0A", "Mask ID:7FF" and "ID:123").
#include <array>
#include <string>

#include "config/ModuleSettings.h"
#include "link/SerialPortDiscovery.h"

constexpr unsigned STATUS_TEXT_PANE_COUNT = 6;  // 61213 ... 61218, in that order
using CStatusPaneTexts = std::array<std::string, STATUS_TEXT_PANE_COUNT>;

CStatusPaneTexts StatusPaneTexts(bool bPortOpen, const ModuleSettings& settings, const CPortLists& ports);

// "버린 블록 3 / 거부한 줄 12 / 모자란 프레임 1": received blocks dropped for want of room, lines refused
// (bad checksum or character, unknown or short responses) and data frames cut short.
struct ChannelCounters;
std::string CountersPaneText(const ChannelCounters& counters);
