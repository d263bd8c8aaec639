#pragma once
// The port lists built at start-up: the serial ports found under <sysfs>/class/tty, each marked
// when it is the module's own virtual COM port, and (filled by the USB discovery) the serial
// numbers of the modules the D2XX library can open directly.
//   ttyUSB0 on a chip described "Ostwind" / "Korvex Analyzer"
//       -> "Ostwind USB Korvex Analyzer Device (ttyUSB0)", module port, listed with flag 1
//   ttyUSB1 on another maker's adapter -> not listed
//   ttyS0 with a UART behind it        -> "ttyS0", listed with flag 0
//   ttyS3 with no UART behind it       -> not listed
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/SysfsTree.h"

// The friendly name of the module's virtual COM port starts with these 34 characters.
inline constexpr std::string_view MODULE_PORT_PREFIX = "Ostwind USB Korvex Analyzer Device";

// One serial device found by the walk, in discovery order.
struct PortEntry {
  std::string m_strDevicePath;    // "/dev/ttyUSB0"
  std::string m_strPortName;      // "ttyUSB0"
  std::string m_strFriendlyName;  // "<manufacturer> USB <product> Device (ttyUSB0)", or the port name
  bool m_bUsb = false;            // the port belongs to a USB device
  std::string m_strDescription;   // the friendly name up to its "("
  std::string m_strUsbSerial;     // the USB device's serial number; tells two modules apart
};

struct CPortEnumeration {
  std::vector<PortEntry> m_entries;
  std::string m_strError;  // why the walk failed; the entries are empty then
};

// Walks <sysfsRoot>/class/tty. Ports are ordered by name with numbers compared as numbers
// (ttyS2 before ttyS10). Never throws: a tree that cannot be read gives an error text.
CPortEnumeration EnumeratePorts(const std::string& sysfsRoot);

struct CSerialPortItem {
  std::string m_strName;          // what the user sees and CSerialPort::Open takes
  std::string m_strDevicePath;
  std::string m_strFriendlyName;
  uint8_t m_byModulePort = 0;     // 1 = the module's virtual COM port
};

// The process-wide port lists. The serial part comes from BuildSerialPortList and the command
// line; the USB part from the USB discovery. m_nPortsAvailable is fixed once at start-up.
struct CPortLists {
  std::vector<CSerialPortItem> m_serialPorts;
  std::vector<std::string> m_usbSerialNumbers;
  int m_nPortsAvailable = 0;
  std::string m_strError;  // a discovery failure, for the user; empty when all went well

  int SerialPortCount() const { return static_cast<int>(m_serialPorts.size()); }
  int UsbModuleCount() const { return static_cast<int>(m_usbSerialNumbers.size()); }
  void FixPortsAvailable() { m_nPortsAvailable = SerialPortCount() + UsbModuleCount(); }
};

// The friendly name is at least 34 characters long and starts with MODULE_PORT_PREFIX.
bool IsModulePortName(std::string_view friendlyName);

// The serial list's rules: a USB port is listed only when it is a module port; every other
// port is listed. Order is kept.
std::vector<CSerialPortItem> SelectSerialPorts(const std::vector<PortEntry>& entries);

// Rebuilds the serial list (and the error text) from a walk of the tree; on failure the list
// is empty and m_strError says why. The USB list is left alone.
void BuildSerialPortList(CPortLists& lists, const std::string& sysfsRoot = SysfsRoot());
