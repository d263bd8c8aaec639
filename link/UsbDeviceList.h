#pragma once
// The USB serial numbers of the attached modules that the D2XX library can open directly.
#include <string>
#include <vector>

#include "link/CD2xxLibrary.h"

// Device description of the module, compared whole.
constexpr const char* MODULE_USB_DESCRIPTION = "Korvex Analyzer";
// More devices than any bus could carry means a confused library; the rest are ignored.
constexpr unsigned MAX_USB_DEVICES = 128;

// Serial numbers of the devices described exactly as the module, in the library's order;
// devices without a serial number are left out. Empty when the library is not loaded; a
// failing query ends the list (or skips that device) and is never reported.
std::vector<std::string> BuildUsbDeviceList(const CD2xxLibrary& library = CD2xxLibrary::Shared());
