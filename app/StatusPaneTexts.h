#pragma once
// The texts of the status panes 61213 to 61218. Disconnected, every pane is empty; connected:
//   "Serial Port"  "ttyUSB0"  "CAN2.0B"  "250.00K BPS"  "Mask ID:1FFFFFFF"  "ID:00000123"
// (a CAN 2.0A mode byte gives "CAN2.0A", "Mask ID:7FF" and "ID:123").
#include <array>
#include <string>
#include <string_view>

#include "config/ModuleSettings.h"
#include "link/SerialPortDiscovery.h"
#include "text/Translatable.h"

constexpr unsigned STATUS_TEXT_PANE_COUNT = 6;  // 61213 ... 61218, in that order
using CStatusPaneTexts = std::array<std::string, STATUS_TEXT_PANE_COUNT>;

CStatusPaneTexts StatusPaneTexts(bool bPortOpen, const ModuleSettings& settings, const CPortLists& ports);

// "버린 블록 3 / 거부한 줄 12 / 모자란 프레임 1": received blocks dropped for want of room, lines refused
// (bad checksum or character, unknown or short responses) and data frames cut short. The window
// passes the text translated; %1 to %3 stand for the three counts.
inline constexpr std::string_view COUNTERS_PANE_TEXT =
    KX_TRANSLATE_NOOP("StatusPaneTexts", "버린 블록 %1 / 거부한 줄 %2 / 모자란 프레임 %3");
struct ChannelCounters;
std::string CountersPaneText(const ChannelCounters& counters, std::string_view text = COUNTERS_PANE_TEXT);

// The bus statistics pane after the lamp, from the last second's figures: frames per second
// and the share of the configured bit rate they took on the wire.
//   "2973 프레임/초  부하 63.2%"   "12 프레임/초  부하 -" (bit rate unknown)   "" (no port open)
// %1 stands for the frames, %2 for the load.
inline constexpr std::string_view BUS_PANE_TEXT = KX_TRANSLATE_NOOP("StatusPaneTexts", "%1 프레임/초  부하 %2");
struct BusFigures;
std::string BusPaneText(bool bPortOpen, const BusFigures& figures, double dBitRate, std::string_view text = BUS_PANE_TEXT);
// The bit rate the module's bit timing gives; 0 for a timing the module does not take.
double ConfiguredBitRate(const ModuleSettings& settings);
