#pragma once
// The communication and CAN settings and the log-file state, loaded once when the main window
// is created and saved once when it closes. Values live in section "Main Setting" of the
// settings store; the load repairs what does not fit the ports found at start-up or the CAN
// rules, so every field of a loaded record is in range:
//   "Serial Port Index" 5 with three serial ports   -> 2
//   "Serial Port BaudRate" 115200                   -> 38400
//   "Korvex Mode" 0x13C                             -> 0x1C (low byte, defined bits only)
//   "CAN Mask ID" 0xFFFF under CAN 2.0A             -> 0x7FF
//   "CAN Bit Time" 0x0234 (BRP 2)                   -> 0x0F34; 0x8F34 (bit 15 set) stays
#include <cstdint>
#include <string>
#include <string_view>

#include "config/SettingsStore.h"
#include "protocol/ModuleFormat.h"

inline constexpr std::string_view SETTINGS_SECTION = "Main Setting";
inline constexpr std::string_view SETTING_USB_MODE = "USB Mode";
inline constexpr std::string_view SETTING_USB_PORT_INDEX = "USB Port Index";
inline constexpr std::string_view SETTING_SERIAL_PORT_INDEX = "Serial Port Index";
inline constexpr std::string_view SETTING_BAUD_RATE = "Serial Port BaudRate";
inline constexpr std::string_view SETTING_MODE = "Korvex Mode";
inline constexpr std::string_view SETTING_BIT_TIME = "CAN Bit Time";
inline constexpr std::string_view SETTING_MASK_ID = "CAN Mask ID";
inline constexpr std::string_view SETTING_ID = "CAN ID";
inline constexpr std::string_view SETTING_EVENT_LOG_FLAG = "Event Log Flag";
inline constexpr std::string_view SETTING_EVENT_LOG_PATH = "Event Log Path";
inline constexpr std::string_view SETTING_RDATA_LOG_FLAG = "RData Log Flag";
inline constexpr std::string_view SETTING_RDATA_LOG_PATH = "RData Log Path";
// Read and written directly by the transmit file dialogs, not through ModuleSettings.
inline constexpr std::string_view SETTING_TDATA_FILE_DIR = "TData File Dir";

constexpr int PORT_MODE_SERIAL = 0;
constexpr int PORT_MODE_USB = 1;
constexpr int BAUD_RATE_STANDARD = 38400;
constexpr int BAUD_RATE_FAST = 921600;  // only the module's own virtual COM port runs this fast

inline constexpr std::string_view EVENT_LOG_FILE_NAME = "EventLog.txt";
inline constexpr std::string_view RDATA_LOG_FILE_NAME = "RDataLog.txt";

struct ModuleSettings {
  int m_nPortMode = PORT_MODE_USB;
  int m_nUsbPortIndex = 0;
  int m_nSerialPortIndex = 0;
  int m_nBaudRate = BAUD_RATE_STANDARD;
  uint8_t m_byMode = MODE_DEFAULT;           // ModeFlags
  uint16_t m_wBitTime = BIT_TIMING_DEFAULT;  // BitTiming, 250 kbit/s
  uint32_t m_dwMaskId = 0;
  uint32_t m_dwId = 0;

  bool operator==(const ModuleSettings&) const = default;
};

// The state of the two log files that the settings carry. The flags are taken as stored; the
// main window switches one off when its file cannot be opened.
struct CLogSettings {
  bool m_bEventLog = false;
  std::string m_strEventLogPath;
  bool m_bRDataLog = false;
  std::string m_strRDataLogPath;

  bool operator==(const CLogSettings&) const = default;
};

// What the load repairs against: the port counts found at start-up and the log directory
// (working directory + "/Log").
struct CSettingsContext {
  int m_nSerialPortCount = 0;
  int m_nUsbModuleCount = 0;
  std::string m_strLogDirectory;
};

std::string DefaultEventLogPath(const std::string& logDirectory);
std::string DefaultRDataLogPath(const std::string& logDirectory);

// Reads every value with its default and repairs it. Missing, unreadable or malformed values
// give the defaults; nothing here fails.
void LoadSettings(const SettingsStore& store, const CSettingsContext& context,
                  ModuleSettings& settings, CLogSettings& logs);

// Writes the twelve values back; false when the store could not be written.
bool SaveSettings(SettingsStore& store, const ModuleSettings& settings, const CLogSettings& logs);
