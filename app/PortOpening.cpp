#include "app/PortOpening.h"

#include "protocol/CModuleChannel.h"
#include "resources/StringTable.h"

namespace {

constexpr uint32_t USB_RATE_UNUSED = 38400;

bool InRange(int nIndex, int nCount) { return nIndex >= 0 && nIndex < nCount; }

COpenResult Open(CModuleChannel& channel, const CPortChoice& port) {
  const bool bOpen = channel.Open(port.m_bUsb, port.m_strName, port.m_dwBaudRate);
  return {bOpen, bOpen ? std::string() : channel.LastOpenError()};
}

}  // namespace

std::optional<CPortChoice> ConfiguredPort(const ModuleSettings& settings, const CPortLists& ports) {
  if (settings.m_nPortMode == PORT_MODE_USB) {
    if (!InRange(settings.m_nUsbPortIndex, ports.UsbModuleCount())) return std::nullopt;
    return CPortChoice{true, ports.m_usbSerialNumbers[static_cast<size_t>(settings.m_nUsbPortIndex)], USB_RATE_UNUSED};
  }
  if (settings.m_nPortMode != PORT_MODE_SERIAL || !InRange(settings.m_nSerialPortIndex, ports.SerialPortCount()))
    return std::nullopt;
  return CPortChoice{false, ports.m_serialPorts[static_cast<size_t>(settings.m_nSerialPortIndex)].m_strName,
                     static_cast<uint32_t>(settings.m_nBaudRate)};
}

COpenResult OpenConfiguredPort(CModuleChannel& channel, const ModuleSettings& settings, const CPortLists& ports) {
  const auto port = ConfiguredPort(settings, ports);
  return port ? Open(channel, *port) : COpenResult{};
}

COpenResult EnsurePortOpen(CModuleChannel& channel, bool bPortOpen, const ModuleSettings& settings,
                           const CPortLists& ports) {
  if (bPortOpen) return {true, {}};
  if (ports.m_nPortsAvailable <= 0) return {};
  return OpenConfiguredPort(channel, settings, ports);
}

CStartupOpen OpenAtStartup(CModuleChannel& channel, ModuleSettings& settings, const CPortLists& ports,
                           bool bSecondaryInstance) {
  if (ports.m_nPortsAvailable <= 0) return {IDS_NO_PORT, false, {}};
  if (bSecondaryInstance) return {};
  const auto port = ConfiguredPort(settings, ports);
  if (!port) return {};
  const COpenResult result = Open(channel, *port);
  if (result.m_bOpen) return {};
  if (port->m_bUsb) {
    settings.m_nPortMode = PORT_MODE_SERIAL;
    return {IDS_USB_OPEN_FAILED, true, result.m_strReason};
  }
  return {IDS_SERIAL_OPEN_FAILED, true, result.m_strReason};
}
