#pragma once
// The FTDI D2XX library, loaded at run time. It is optional: when it is missing (or lacks a
// call this program needs) there simply are no USB modules, and nothing is reported.
#include <atomic>
#include <string>

#include "link/D2xxApi.h"

// The resolved entry points; all set while the library is loaded.
struct D2xxCalls {
  PFN_FT_ListDevices FT_ListDevices;
  PFN_FT_W32_CreateFile FT_W32_CreateFile;
  PFN_FT_W32_CloseHandle FT_W32_CloseHandle;
  PFN_FT_ResetDevice FT_ResetDevice;
  PFN_FT_GetLatencyTimer FT_GetLatencyTimer;
  PFN_FT_SetLatencyTimer FT_SetLatencyTimer;
  PFN_FT_W32_SetCommMask FT_W32_SetCommMask;
  PFN_FT_W32_SetupComm FT_W32_SetupComm;
  PFN_FT_W32_PurgeComm FT_W32_PurgeComm;
  PFN_FT_W32_SetCommTimeouts FT_W32_SetCommTimeouts;
  PFN_FT_W32_GetCommState FT_W32_GetCommState;
  PFN_FT_W32_SetCommState FT_W32_SetCommState;
  PFN_FT_SetEventNotification FT_SetEventNotification;
  PFN_FT_W32_ClearCommError FT_W32_ClearCommError;
  PFN_FT_W32_ReadFile FT_W32_ReadFile;
  PFN_FT_W32_WriteFile FT_W32_WriteFile;
};

class CD2xxLibrary {
public:
  static constexpr const char* DEFAULT_FILE = "libftd2xx.so";
  static constexpr const char* FILE_VARIABLE = "KORVEX_D2XX_LIBRARY";  // names another file

  CD2xxLibrary() = default;
  ~CD2xxLibrary() { Unload(); }
  CD2xxLibrary(const CD2xxLibrary&) = delete;
  CD2xxLibrary& operator=(const CD2xxLibrary&) = delete;

  // The process-wide instance: loaded at start-up, unloaded at shutdown, used by CUsbPort()
  // and BuildUsbDeviceList().
  static CD2xxLibrary& Shared();

  // Unloads whatever was loaded, then loads the file that KORVEX_D2XX_LIBRARY names (when
  // set and not empty) or libftd2xx.so. False when it is missing or lacks a needed call, and
  // when a device is still open (what was loaded then stays).
  bool Load();
  bool LoadFile(const std::string& path);
  // The channel closes its ports before the program unloads the library. An unload while a
  // device opened through it is still open is refused (false, the library stays loaded):
  // that port's next call, and its reader thread, would otherwise run into unmapped code or
  // a null entry point. At process exit such a library simply stays mapped.
  bool Unload();
  bool IsLoaded() const { return m_hModule != nullptr; }
  const D2xxCalls& Calls() const { return m_calls; }

  // CUsbPort, around the life of a device handle: while any is open the library stays.
  void AddOpenDevice() { m_nOpenDevices.fetch_add(1, std::memory_order_relaxed); }
  void RemoveOpenDevice() { m_nOpenDevices.fetch_sub(1, std::memory_order_relaxed); }
  int OpenDevices() const { return m_nOpenDevices.load(std::memory_order_relaxed); }

private:
  void* m_hModule = nullptr;
  D2xxCalls m_calls{};
  std::atomic<int> m_nOpenDevices{0};
};
