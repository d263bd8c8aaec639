#pragma once
// Reading the kernel's sysfs tree. The root is /sys, or the directory that the environment
// variable KORVEX_SYSFS_ROOT names, so tests can walk a fake tree built in a temporary directory.
#include <optional>
#include <string>

// A sysfs attribute never holds more than one page.
constexpr unsigned SYSFS_ATTR_MAX = 4096;

std::string SysfsRoot();

// The first line of the attribute file dir/name without trailing blanks, or nullopt when it
// cannot be read. At most SYSFS_ATTR_MAX bytes are read; control characters become "?",
// because descriptor strings come from the device and end up on screen.
//   "Ostwind\n" -> "Ostwind"     missing file or a directory -> nullopt
std::optional<std::string> ReadSysfsAttr(const std::string& dir, const std::string& name);
