#pragma once
// Which port the settings name and how the frame opens it: at start-up (with its own message
// for each way it can fail) and on demand before a module command (EnsurePortOpen).
//   USB mode, 1 module, USB index 0     -> Open(true, "KX000123", 38400)
//   serial mode, serial index 2, 921600 -> Open(false, ports[2].m_strName, 921600)
#include <cstdint>
#include <optional>
#include <string>

#include "config/ModuleSettings.h"
#include "link/SerialPortDiscovery.h"

class CModuleChannel;

struct CPortChoice {
  bool m_bUsb = false;
  std::string m_strName;  // USB serial number or serial port name
  uint32_t m_dwBaudRate = 0;
};

// The USB module at the USB index in USB mode, the serial port at the serial index in serial
// mode; nothing when that list is empty or the index is outside it.
std::optional<CPortChoice> ConfiguredPort(const ModuleSettings& settings, const CPortLists& ports);

struct COpenResult {
  bool m_bOpen = false;
  std::string m_strReason;  // why the open failed; empty when none was tried
};

// Opens the port the settings name (closing any open one first); nothing is tried when the
// settings name no port in the lists.
COpenResult OpenConfiguredPort(CModuleChannel& channel, const ModuleSettings& settings, const CPortLists& ports);

// True at once with a port open; otherwise opens the configured port.
COpenResult EnsurePortOpen(CModuleChannel& channel, bool bPortOpen, const ModuleSettings& settings,
                           const CPortLists& ports);

// What start-up has to tell the user: a string id (0: nothing) and the failure's reason.
struct CStartupOpen {
  unsigned m_nStringId = 0;
  bool m_bError = false;  // error box; otherwise information
  std::string m_strReason;
};

// No port at all: 61231. A secondary instance opens nothing. A failed USB open switches the
// settings to serial mode (the next EnsurePortOpen tries the serial port): 61220. A failed
// serial open: 61221.
CStartupOpen OpenAtStartup(CModuleChannel& channel, ModuleSettings& settings, const CPortLists& ports,
                           bool bSecondaryInstance);
