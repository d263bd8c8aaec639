#include "cli/CliPorts.h"

#include "cli/CCliSession.h"
#include "link/PortDiscovery.h"

void PrintPortLists(const CPortLists& lists, std::FILE* pOut, std::FILE* pErr) {
  for (const CSerialPortItem& port : lists.m_serialPorts)
    std::fprintf(pOut, "serial  %s  %s  %s\n", port.m_strName.c_str(), port.m_byModulePort ? "module" : "-",
                 port.m_strFriendlyName.c_str());
  for (const std::string& serial : lists.m_usbSerialNumbers) std::fprintf(pOut, "usb  %s\n", serial.c_str());
  if (!lists.m_strError.empty()) std::fprintf(pErr, "%s\n", lists.m_strError.c_str());
}

int RunPortsCommand(const CliOptions& options, std::FILE* pOut, std::FILE* pErr) {
  std::vector<CCommandLinePort> commandLinePorts;
  if (!options.m_bUsb && !options.m_portName.empty()) commandLinePorts.push_back({options.m_portName, false});
  PrintPortLists(DiscoverPorts(commandLinePorts), pOut, pErr);
  return CLI_EXIT_ANSWERED;
}
