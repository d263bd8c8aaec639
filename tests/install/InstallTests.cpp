// What installing adds: the udev rule must give the user the very module port discovery finds.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "link/SerialPortDiscovery.h"
#include "link/UsbDeviceList.h"
#include "link/discovery/FakeSysfs.h"
#include "support/ChildProcess.h"

namespace {

constexpr int WAIT_MS = 20000;

// One rule: its keys ("SUBSYSTEM", "ATTRS{product}", "TAG") with operator and value.
using Rule = std::map<std::string, std::pair<std::string, std::string>>;

// Every rule uses only keys udev knows, as udev allows.
std::vector<Rule> ReadRules(const std::string& path) {
  static const std::regex kKey(R"(\s*(SUBSYSTEM|ATTRS?\{[a-z_]+\}|ENV\{[A-Z_]+\}|TAG)(==|\+=)\"([^\"]*)\"\s*)");
  std::ifstream in(path);
  EXPECT_TRUE(in) << path;
  std::vector<Rule> rules;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    Rule rule;
    std::istringstream keys(line);
    for (std::string key; std::getline(keys, key, ',');) {
      std::smatch match;
      if (!std::regex_match(key, match, kKey) || (match[1] == "TAG") != (match[2] == "+=")) {
        ADD_FAILURE() << "not a key udev takes: '" << key << "' in " << line;
        continue;
      }
      rule[match[1]] = {match[2], match[3]};
    }
    rules.push_back(rule);
  }
  return rules;
}

std::string Value(const Rule& rule, const std::string& key) {
  const auto it = rule.find(key);
  return it == rule.end() ? "(missing)" : it->second.second;
}

}  // namespace

// The rules match the USB strings discovery takes as the module's and give the seat's user the device.
TEST(UdevRule, GivesTheUserTheModuleThatDiscoveryFinds) {
  const std::vector<Rule> rules = ReadRules(KORVEX_UDEV_RULE);
  ASSERT_EQ(rules.size(), 2u);
  const Rule& tty = rules[0];
  const Rule& usb = rules[1];
  // The USB rule takes the device, not each of its interfaces.
  EXPECT_EQ((std::vector{Value(tty, "SUBSYSTEM"), Value(usb, "SUBSYSTEM"), Value(usb, "ENV{DEVTYPE}"), Value(tty, "TAG"), Value(usb, "TAG")}),
            (std::vector<std::string>{"tty", "usb", "usb_device", "uaccess", "uaccess"}));

  const std::string manufacturer = Value(tty, "ATTRS{manufacturer}"), product = Value(tty, "ATTRS{product}");
  FakeSysfs sysfs;
  sysfs.AddUsb("ttyUSB0", "1-1", manufacturer, product, "KX000123");
  sysfs.AddUsb("ttyUSB1", "1-2", "FTDI", "FT232R USB UART", "A1");  // another adapter on the same chip
  const std::vector<CSerialPortItem> ports = SelectSerialPorts(EnumeratePorts(sysfs.Root()).m_entries);
  ASSERT_EQ(ports.size(), 1u);
  EXPECT_EQ(std::tuple(ports[0].m_strName, ports[0].m_byModulePort), std::tuple("ttyUSB0", 1));
  EXPECT_EQ(Value(usb, "ATTR{manufacturer}") + "|" + Value(usb, "ATTR{product}"), manufacturer + "|" + MODULE_USB_DESCRIPTION);
}

// udev's own check, where this machine's udev has one (systemd 254 and later).
TEST(UdevRule, PassesUdevsOwnCheck) {
  for (const char* pszUdevadm : {"/usr/bin/udevadm", "/bin/udevadm"}) {
    if (::access(pszUdevadm, X_OK) != 0) continue;
    CChildProcess probe;
    ASSERT_TRUE(probe.Start(pszUdevadm, {"verify", "--help"}));
    if (probe.Finish(WAIT_MS) != 0) break;
    CChildProcess verify;
    ASSERT_TRUE(verify.Start(pszUdevadm, {"verify", KORVEX_UDEV_RULE}));
    EXPECT_EQ(verify.Finish(WAIT_MS), 0) << verify.Out() << verify.Err();
    return;
  }
  GTEST_SKIP() << "udevadm verify is not available here: the rule was checked by its keys only";
}
