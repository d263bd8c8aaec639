#include "config/ModuleSettings.h"

#include <sys/stat.h>

#include "protocol/BitTiming.h"

namespace {

int64_t ReadInt(const SettingsStore& store, std::string_view name, int64_t nDefault) {
  return store.GetInt(SETTINGS_SECTION, name).value_or(nDefault);
}

// An index into a list of nCount entries: 0 when the list is empty, else within 0..nCount-1
// (a negative index becomes 0, one at or past the end the last entry).
int RepairIndex(int64_t nIndex, int nCount) {
  if (nCount <= 0 || nIndex < 0) return 0;
  return nIndex >= nCount ? nCount - 1 : static_cast<int>(nIndex);
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A log file deleted while the program was not running falls back to its default path.
std::string RepairLogPath(const std::optional<std::string>& stored, std::string defaultPath) {
  return (stored && IsRegularFile(*stored)) ? *stored : std::move(defaultPath);
}

}  // namespace

std::string DefaultEventLogPath(const std::string& logDirectory) {
  return logDirectory + "/" + std::string(EVENT_LOG_FILE_NAME);
}

std::string DefaultRDataLogPath(const std::string& logDirectory) {
  return logDirectory + "/" + std::string(RDATA_LOG_FILE_NAME);
}

void LoadSettings(const SettingsStore& store, const CSettingsContext& context,
                  ModuleSettings& settings, CLogSettings& logs) {
  // Only 0 means serial; any other stored value is taken as the default, USB.
  const bool bSerial = ReadInt(store, SETTING_USB_MODE, PORT_MODE_USB) == PORT_MODE_SERIAL;
  settings.m_nPortMode = bSerial ? PORT_MODE_SERIAL : PORT_MODE_USB;
  if (context.m_nUsbModuleCount <= 0) settings.m_nPortMode = PORT_MODE_SERIAL;
  settings.m_nUsbPortIndex = RepairIndex(ReadInt(store, SETTING_USB_PORT_INDEX, 0), context.m_nUsbModuleCount);
  settings.m_nSerialPortIndex =
      RepairIndex(ReadInt(store, SETTING_SERIAL_PORT_INDEX, 0), context.m_nSerialPortCount);

  const int64_t nBaudRate = ReadInt(store, SETTING_BAUD_RATE, BAUD_RATE_STANDARD);
  settings.m_nBaudRate = (nBaudRate == BAUD_RATE_FAST) ? BAUD_RATE_FAST : BAUD_RATE_STANDARD;

  // The low byte is the mode byte; only its five defined bits are kept.
  constexpr auto byModeBits = static_cast<uint8_t>(~MODE_UNUSED_MASK);
  settings.m_byMode = static_cast<uint8_t>(ReadInt(store, SETTING_MODE, MODE_DEFAULT) & byModeBits);

  // The word is kept as stored when its rate, BRP, TSEG1 and TSEG2 pass. Reserved bits are
  // no reason to fall back to 250 kbit/s: a module may report them, and the word it reported
  // is what was saved. Only what a user types must have them clear.
  const auto wBitTime = static_cast<uint16_t>(ReadInt(store, SETTING_BIT_TIME, BIT_TIMING_DEFAULT) & 0xFFFF);
  const bool bTimingValid = IsValidBitTiming(static_cast<uint16_t>(wBitTime & ~BT_RESERVED_MASK));
  settings.m_wBitTime = bTimingValid ? wBitTime : BIT_TIMING_DEFAULT;

  const uint32_t dwIdMask = (settings.m_byMode & MODE_CAN20B) ? EXTENDED_ID_MASK : STANDARD_ID_MASK;
  settings.m_dwMaskId = static_cast<uint32_t>(ReadInt(store, SETTING_MASK_ID, 0)) & dwIdMask;
  settings.m_dwId = static_cast<uint32_t>(ReadInt(store, SETTING_ID, 0)) & dwIdMask;

  logs.m_bEventLog = ReadInt(store, SETTING_EVENT_LOG_FLAG, 0) != 0;
  logs.m_strEventLogPath = RepairLogPath(store.GetString(SETTINGS_SECTION, SETTING_EVENT_LOG_PATH),
                                         DefaultEventLogPath(context.m_strLogDirectory));
  logs.m_bRDataLog = ReadInt(store, SETTING_RDATA_LOG_FLAG, 0) != 0;
  logs.m_strRDataLogPath = RepairLogPath(store.GetString(SETTINGS_SECTION, SETTING_RDATA_LOG_PATH),
                                         DefaultRDataLogPath(context.m_strLogDirectory));
}

bool SaveSettings(SettingsStore& store, const ModuleSettings& settings, const CLogSettings& logs) {
  store.SetInt(SETTINGS_SECTION, SETTING_USB_MODE, settings.m_nPortMode);
  store.SetInt(SETTINGS_SECTION, SETTING_USB_PORT_INDEX, settings.m_nUsbPortIndex);
  store.SetInt(SETTINGS_SECTION, SETTING_SERIAL_PORT_INDEX, settings.m_nSerialPortIndex);
  store.SetInt(SETTINGS_SECTION, SETTING_BAUD_RATE, settings.m_nBaudRate);
  store.SetInt(SETTINGS_SECTION, SETTING_MODE, settings.m_byMode);
  store.SetInt(SETTINGS_SECTION, SETTING_BIT_TIME, settings.m_wBitTime);
  store.SetInt(SETTINGS_SECTION, SETTING_MASK_ID, settings.m_dwMaskId);
  store.SetInt(SETTINGS_SECTION, SETTING_ID, settings.m_dwId);
  store.SetInt(SETTINGS_SECTION, SETTING_EVENT_LOG_FLAG, logs.m_bEventLog ? 1 : 0);
  store.SetString(SETTINGS_SECTION, SETTING_EVENT_LOG_PATH, logs.m_strEventLogPath);
  store.SetInt(SETTINGS_SECTION, SETTING_RDATA_LOG_FLAG, logs.m_bRDataLog ? 1 : 0);
  store.SetString(SETTINGS_SECTION, SETTING_RDATA_LOG_PATH, logs.m_strRDataLogPath);
  return store.Flush();
}
