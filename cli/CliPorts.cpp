#include "cli/CliPorts.h"

#include "cli/CCliSession.h"
#include "link/PortDiscovery.h"

void PrintPortLists(const CPortLists& lists, std::FILE* pOut, std::FILE* pErr) {
  for (const CSerialPortItem& port : lists.m_serialPorts)
    std::fprintf(pOut, "serial  %s  %s  %d  %s\n", port.m_strName.c_str(), port.m_strDevicePath.c_str(),
                 port.m_byModulePort, port.m_strFriendlyName.c_str());
  for (const std::string& serial : lists.m_usbSerialNumbers) std::fprintf(pOut, "usb  %s\n", serial.c_str());
  if (!lists.m_strError.empty()) std::fprintf(pErr, "%s\n", lists.m_strError.c_str());
}

int RunPortsCommand(const CliOptions& options, std::FILE* pOut, std::FILE* pErr) {
  PrintPortLists(DiscoverPorts(options.m_commandLinePorts), pOut, pErr);
  return CLI_EXIT_ANSWERED;
}
