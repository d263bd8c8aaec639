#pragma once
// A sysfs tree in a scratch directory, laid out as the kernel lays out /sys/class/tty.
#include <string>

#include "support/ScratchDir.h"

class FakeSysfs {
public:
  const std::string& Root() const { return m_dir.Path(); }

  // ttyUSB* sits below its own directory under the interface, ttyACM* directly below it.
  void AddUsb(const std::string& tty, const std::string& busPort, const std::string& manufacturer,
              const std::string& product, const std::string& serial) const {
    const std::string usb = "devices/pci0000:00/0000:00:14.0/usb1/" + busPort;
    const std::string iface = busPort + ":1.0";
    for (const auto& [name, value] : {std::pair<std::string, std::string>{"idVendor", "0403"},
                                      {"manufacturer", manufacturer}, {"product", product}, {"serial", serial}})
      if (!value.empty()) m_dir.Write(usb + "/" + name, value + "\n");
    const bool bAcm = tty.rfind("ttyACM", 0) == 0;
    AddTty(tty, usb + "/" + iface + (bAcm ? "" : "/" + tty) + "/tty/" + tty, "../../../" + (bAcm ? iface : tty));
  }
  // A serial-core port of the 8250 driver; type "4" is a 16550A, "0" means no UART answered.
  void AddUart(const std::string& tty, const std::string& type) const {
    AddTty(tty, "devices/platform/serial8250/tty/" + tty, "../../../serial8250");
    m_dir.Write("devices/platform/serial8250/tty/" + tty + "/type", type + "\n");
  }
  // A virtual terminal: no device behind it.
  void AddVirtual(const std::string& tty) const {
    m_dir.MakeDir("devices/virtual/tty/" + tty);
    m_dir.Link("../../devices/virtual/tty/" + tty, "class/tty/" + tty);
  }

private:
  void AddTty(const std::string& tty, const std::string& ttyDir, const std::string& deviceTarget) const {
    m_dir.Write(ttyDir + "/dev", "188:0\n");
    m_dir.Link(deviceTarget, ttyDir + "/device");
    m_dir.Link("../../" + ttyDir, "class/tty/" + tty);
  }

  ScratchDir m_dir;
};
