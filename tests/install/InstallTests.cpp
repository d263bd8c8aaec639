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

// Every line that is not a comment must be a rule whose every key is one udev knows and is
// used as udev allows ("==" to match, "+=" to add a tag).
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

// The serial port rule matches the USB strings under which discovery lists the port as the
// module's own, the USB rule the strings the D2XX discovery takes, and both give the seat's
// user the device.
TEST(UdevRule, GivesTheUserTheModuleThatDiscoveryFinds) {
  const std::vector<Rule> rules = ReadRules(KORVEX_UDEV_RULE);
  ASSERT_EQ(rules.size(), 2u);
  const Rule& tty = rules[0];
  const Rule& usb = rules[1];
  EXPECT_EQ(Value(tty, "SUBSYSTEM"), "tty");
  EXPECT_EQ(Value(usb, "SUBSYSTEM"), "usb");
  EXPECT_EQ(Value(usb, "ENV{DEVTYPE}"), "usb_device");  // not each of its interfaces
  for (const Rule* pRule : {&tty, &usb}) EXPECT_EQ(Value(*pRule, "TAG"), "uaccess");

  const std::string manufacturer = Value(tty, "ATTRS{manufacturer}"), product = Value(tty, "ATTRS{product}");
  FakeSysfs sysfs;
  sysfs.AddUsb("ttyUSB0", "1-1", manufacturer, product, "KX000123");
  sysfs.AddUsb("ttyUSB1", "1-2", "FTDI", "FT232R USB UART", "A1");  // another adapter on the same chip
  const std::vector<CSerialPortItem> ports = SelectSerialPorts(EnumeratePorts(sysfs.Root()).m_entries);
  ASSERT_EQ(ports.size(), 1u);
  EXPECT_EQ(ports[0].m_strName, "ttyUSB0");
  EXPECT_EQ(ports[0].m_byModulePort, 1);
  EXPECT_EQ(Value(usb, "ATTR{manufacturer}"), manufacturer);
  EXPECT_EQ(Value(usb, "ATTR{product}"), MODULE_USB_DESCRIPTION);
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
