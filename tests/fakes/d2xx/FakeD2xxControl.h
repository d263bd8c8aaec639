#pragma once
// The control side of the fake D2XX library, which the code under test loads through KORVEX_D2XX_LIBRARY.
#include <cstdint>
#include <string>
#include <vector>

class __attribute__((visibility("default"))) CFakeD2xx {
public:
  static void Reset();  // no devices, empty log, no failures
  // Attaches a device; its driver reports 38,400 bit/s 7E2 (XON 0x11) until the line settings change.
  static void AddDevice(const std::string& description, const std::string& serial, uint8_t byLatency);
  // Every later call of that name, or with exactly that log entry, fails.
  static void FailCall(const std::string& name);
  static void SetListedCount(long nCount);  // what FT_ListDevices reports (negative: the real count)
  // Unplugs a device: calls on its open handle fail from now on; it is no longer listed.
  static void RemoveDevice(const std::string& serial);
  // Bytes the device receives; signals the event the transport registered.
  static void Feed(const std::string& serial, const std::vector<uint8_t>& data);
  static std::vector<uint8_t> Written(const std::string& serial);  // every byte the device was sent
  static bool IsOpen(const std::string& serial);
  static std::vector<std::string> Calls();  // "Name" or "Name(arguments)" per call, in order
};
