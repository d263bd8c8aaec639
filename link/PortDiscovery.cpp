#include "link/PortDiscovery.h"

#include "link/UsbDeviceList.h"

CPortLists DiscoverPorts(const std::vector<CCommandLinePort>& commandLinePorts, CD2xxLibrary& library) {
  CPortLists lists;
  BuildSerialPortList(lists);
  AddCommandLinePorts(lists, commandLinePorts);
  if (library.IsLoaded() || library.Load()) lists.m_usbSerialNumbers = BuildUsbDeviceList(library);
  lists.FixPortsAvailable();
  return lists;
}
