#pragma once
// A sysfs tree in a scratch directory, laid out (symlinks included) the way the kernel lays out
// /sys/class/tty and /sys/devices for the kinds of serial port the discovery meets.
#include <string>

#include "support/ScratchDir.h"

class FakeSysfs {
public:
  const std::string& Root() const { return m_dir.Path(); }
  const ScratchDir& Dir() const { return m_dir; }

  // A usb-serial port (ttyUSB*): tty below the port below the interface of USB device busPort.
  void AddUsbSerial(const std::string& tty, const std::string& busPort, const std::string& manufacturer,
                    const std::string& product, const std::string& serial) const {
    const std::string usb = AddUsbDevice(busPort, manufacturer, product, serial);
    const std::string port = usb + "/" + busPort + ":1.0/" + tty;
    AddTty(tty, port + "/tty/" + tty, "../../../" + tty);
  }
  // A CDC ACM port (ttyACM*): tty directly below the interface.
  void AddAcm(const std::string& tty, const std::string& busPort, const std::string& manufacturer,
              const std::string& product) const {
    const std::string usb = AddUsbDevice(busPort, manufacturer, product, "");
    const std::string iface = busPort + ":1.0";
    AddTty(tty, usb + "/" + iface + "/tty/" + tty, "../../../" + iface);
  }
  // A serial-core port of the 8250 driver; type "4" is a 16550A, "0" means no UART answered.
  void AddUart(const std::string& tty, const std::string& type) const {
    const std::string ttyDir = "devices/platform/serial8250/tty/" + tty;
    AddTty(tty, ttyDir, "../../../serial8250");
    m_dir.Write(ttyDir + "/type", type + "\n");
  }
  // A virtual terminal: no device behind it.
  void AddVirtual(const std::string& tty) const {
    m_dir.MakeDir("devices/virtual/tty/" + tty);
    m_dir.Link("../../devices/virtual/tty/" + tty, "class/tty/" + tty);
  }

private:
  std::string AddUsbDevice(const std::string& busPort, const std::string& manufacturer,
                           const std::string& product, const std::string& serial) const {
    const std::string usb = "devices/pci0000:00/0000:00:14.0/usb1/" + busPort;
    m_dir.Write(usb + "/idVendor", "0403\n");
    m_dir.Write(usb + "/idProduct", "6001\n");
    if (!manufacturer.empty()) m_dir.Write(usb + "/manufacturer", manufacturer + "\n");
    if (!product.empty()) m_dir.Write(usb + "/product", product + "\n");
    if (!serial.empty()) m_dir.Write(usb + "/serial", serial + "\n");
    m_dir.Write(usb + "/" + busPort + ":1.0/bInterfaceNumber", "00\n");
    return usb;
  }
  void AddTty(const std::string& tty, const std::string& ttyDir, const std::string& deviceTarget) const {
    m_dir.Write(ttyDir + "/dev", "188:0\n");
    m_dir.Link(deviceTarget, ttyDir + "/device");
    m_dir.Link("../../" + ttyDir, "class/tty/" + tty);
  }

  ScratchDir m_dir;
};
