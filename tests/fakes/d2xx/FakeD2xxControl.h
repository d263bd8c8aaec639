#pragma once
// The control side of the fake D2XX library. Tests link the fake, and the code under test loads
// the same file through KORVEX_D2XX_LIBRARY, so both reach one set of emulated devices.
//
// Call log: one entry per D2XX call, in order, as "Name" or "Name(arguments)", for example
//   FT_W32_CreateFile(KX0001,0xc0000000,0,3,0x81)   FT_ResetDevice   FT_SetLatencyTimer(1)
//   FT_W32_SetCommState(921600,8,0,0,xon=17)   FT_W32_ReadFile(4096)   FT_W32_CloseHandle
//   FT_ListDevices(count)   FT_ListDevices(0,description)   FT_ListDevices(0,serial)
#include <dlfcn.h>

#include <cstdint>
#include <string>
#include <vector>

class __attribute__((visibility("default"))) CFakeD2xx {
public:
  // True when the file the code under test loads is the fake this test is linked with.
  bool IsLoaded() const {
    void* hModule = dlopen(KORVEX_FAKE_D2XX_PATH, RTLD_NOW | RTLD_NOLOAD);
    const bool bSame = hModule != nullptr && dlsym(hModule, "FT_W32_CreateFile") != nullptr;
    if (hModule != nullptr) dlclose(hModule);
    return bSame;
  }
  static void Reset();  // no devices, empty log, no failures
  // Attaches a device; its driver reports 38,400 bit/s 7E2 (XON 0x11) until the line settings change.
  static void AddDevice(const std::string& description, const std::string& serial, uint8_t byLatency);
  // Every later call of that name, or with exactly that log entry, fails.
  static void FailCall(const std::string& name);
  static void SetListedCount(long nCount);  // what FT_ListDevices reports (negative: the real count)
  // Unplugs a device: calls on its open handle fail from now on; it is no longer listed.
  static void RemoveDevice(const std::string& serial);
  // Bytes the device receives; signals the event the transport registered.
  static void Feed(const std::string& serial, const uint8_t* pData, uint32_t nLength);
  // Copies up to nCapacity written bytes, returns how many were written in all.
  static uint32_t Written(const std::string& serial, uint8_t* pBuffer, uint32_t nCapacity);
  static bool IsOpen(const std::string& serial);
  static std::vector<std::string> Calls();
};
