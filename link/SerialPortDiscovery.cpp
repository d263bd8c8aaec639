#include "link/SerialPortDiscovery.h"

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace {

// Device directories sit a handful of levels below the root; the bound only stops a looped
// fake tree.
constexpr int MAX_DEVICE_DEPTH = 64;

std::optional<std::string> RealPath(const std::string& path) {
  char szPath[PATH_MAX];
  if (!::realpath(path.c_str(), szPath)) return std::nullopt;
  return std::string(szPath);
}

// "ttyS10" -> ("ttyS", "10"): names compare by their text part, then by their trailing number.
bool PortNameLess(const std::string& a, const std::string& b) {
  auto split = [](std::string_view s) {
    std::size_t nDigits = s.size();
    while (nDigits > 0 && s[nDigits - 1] >= '0' && s[nDigits - 1] <= '9') --nDigits;
    std::string_view number = s.substr(nDigits);
    while (number.size() > 1 && number.front() == '0') number.remove_prefix(1);
    return std::pair{s.substr(0, nDigits), number};
  };
  const auto [textA, numberA] = split(a);
  const auto [textB, numberB] = split(b);
  if (textA != textB) return textA < textB;
  if (numberA.size() != numberB.size()) return numberA.size() < numberB.size();
  if (numberA != numberB) return numberA < numberB;
  return a < b;
}

// The 8250 driver registers a fixed number of ttyS lines whether or not a UART answers at
// their address; the serial core publishes the UART type it probed in "type", and 0
// (PORT_UNKNOWN) means nothing is there, the same answer TIOCGSERIAL would give without
// opening the port. Ports of other drivers have no "type" and are kept.
bool IsPhantomUart(const std::string& ttyDir) {
  const auto type = ReadSysfsAttr(ttyDir, "type");
  return type && *type == "0";
}

// The USB device above a tty's device: the nearest ancestor that holds the descriptors
// (idVendor). ttyUSB ports hang below a usb-serial port below the interface, ttyACM ports
// below the interface itself, so the distance varies.
std::optional<std::string> FindUsbDeviceDir(std::string dir, const std::string& root) {
  const std::string rootPrefix = root == "/" ? root : root + "/";
  for (int nDepth = 0; nDepth < MAX_DEVICE_DEPTH && dir.starts_with(rootPrefix); ++nDepth) {
    if (ReadSysfsAttr(dir, "idVendor")) return dir;
    dir.erase(dir.rfind('/'));
  }
  return std::nullopt;
}

std::string Trimmed(std::string_view text) {
  const auto nFirst = text.find_first_not_of(" \t");
  if (nFirst == std::string_view::npos) return {};
  return std::string(text.substr(nFirst, text.find_last_not_of(" \t") - nFirst + 1));
}

void CompleteNames(PortEntry& entry) {
  if (entry.m_strFriendlyName.empty()) entry.m_strFriendlyName = entry.m_strPortName;
  if (!entry.m_strDescription.empty()) return;
  const auto nParen = entry.m_strFriendlyName.find('(');
  entry.m_strDescription = (nParen != std::string::npos && nParen > 0)
                               ? Trimmed(std::string_view(entry.m_strFriendlyName).substr(0, nParen))
                               : entry.m_strFriendlyName;
}

std::string ReadError(const std::string& path, int nError) {
  return "Could not read " + path + " (" + std::strerror(nError) + ")";
}

}  // namespace

CPortEnumeration EnumeratePorts(const std::string& sysfsRoot) {
  CPortEnumeration result;
  const std::string classDir = sysfsRoot + "/class/tty";
  std::unique_ptr<DIR, int (*)(DIR*)> pDir(::opendir(classDir.c_str()), &::closedir);
  if (!pDir) {
    result.m_strError = ReadError(classDir, errno);
    return result;
  }
  const auto rootReal = RealPath(sysfsRoot);
  if (!rootReal) {
    result.m_strError = ReadError(sysfsRoot, errno);
    return result;
  }

  std::vector<std::string> names;
  errno = 0;
  while (const dirent* pEntry = ::readdir(pDir.get())) {
    if (pEntry->d_name[0] != '.') names.emplace_back(pEntry->d_name);
    errno = 0;
  }
  if (errno != 0) {
    result.m_strError = ReadError(classDir, errno);
    return result;
  }
  std::sort(names.begin(), names.end(), PortNameLess);

  for (const std::string& name : names) {
    const std::string ttyDir = classDir + "/" + name;
    // Virtual terminals, the console and pseudo-terminals have no device behind them.
    const auto deviceDir = RealPath(ttyDir + "/device");
    if (!deviceDir || IsPhantomUart(ttyDir)) continue;

    PortEntry entry;
    entry.m_strDevicePath = "/dev/" + name;
    entry.m_strPortName = name;
    if (const auto usbDir = FindUsbDeviceDir(*deviceDir, *rootReal)) {
      entry.m_bUsb = true;
      entry.m_strFriendlyName = ReadSysfsAttr(*usbDir, "manufacturer").value_or("") + " USB " +
                                ReadSysfsAttr(*usbDir, "product").value_or("") + " Device (" +
                                name + ")";
      entry.m_strUsbSerial = ReadSysfsAttr(*usbDir, "serial").value_or("");
    }
    CompleteNames(entry);
    result.m_entries.push_back(std::move(entry));
  }
  return result;
}

bool IsModulePortName(std::string_view friendlyName) {
  return friendlyName.starts_with(MODULE_PORT_PREFIX);
}

std::vector<CSerialPortItem> SelectSerialPorts(const std::vector<PortEntry>& entries) {
  std::vector<CSerialPortItem> ports;
  for (const PortEntry& entry : entries) {
    const bool bModule = IsModulePortName(entry.m_strFriendlyName);
    if (entry.m_bUsb && !bModule) continue;  // another maker's USB adapter cannot be a module
    ports.push_back({entry.m_strPortName, entry.m_strDevicePath, entry.m_strFriendlyName,
                     static_cast<uint8_t>(bModule ? 1 : 0)});
  }
  return ports;
}

void BuildSerialPortList(CPortLists& lists, const std::string& sysfsRoot) {
  CPortEnumeration enumeration = EnumeratePorts(sysfsRoot);
  lists.m_serialPorts = SelectSerialPorts(enumeration.m_entries);
  lists.m_strError = std::move(enumeration.m_strError);
}
