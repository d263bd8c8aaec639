#pragma once
// The control side of the fake D2XX library. The fake is loaded with dlopen (the same file the
// code under test loads through KORVEX_D2XX_LIBRARY, so both share one instance); a test
// resolves these functions from it with CFakeD2xx below.
//
// Call log: one entry per D2XX call, in order, as "Name" or "Name(arguments)", for example
//   FT_W32_CreateFile(KX0001,0xc0000000,0,3,0x81)   FT_ResetDevice   FT_GetLatencyTimer
//   FT_SetLatencyTimer(1)   FT_W32_SetCommMask(1)   FT_W32_SetupComm(4096,4096)
//   FT_W32_PurgeComm(15)   FT_W32_SetCommTimeouts(4294967295,4294967295,1000,0,1000)
//   FT_W32_GetCommState   FT_W32_SetCommState(921600,8,0,0,xon=17)   FT_SetEventNotification(1)
//   FT_W32_ClearCommError   FT_W32_ReadFile(4096)   FT_W32_WriteFile(5)   FT_W32_CloseHandle
//   FT_ListDevices(count)   FT_ListDevices(0,description)   FT_ListDevices(0,serial)
#include <dlfcn.h>

#include <cstdint>
#include <string>
#include <vector>

extern "C" {
using PFN_FakeD2xx_Reset = void (*)();  // no devices, empty log, no failures
// Attaches a device; its driver reports 38,400 bit/s 7E2 until the line settings change.
using PFN_FakeD2xx_AddDevice = void (*)(const char* pszDescription, const char* pszSerial,
                                        uint8_t byLatency);
// Every later call of that name fails (FT_W32_CreateFile returns the invalid handle).
using PFN_FakeD2xx_FailCall = void (*)(const char* pszName);
// The number FT_ListDevices reports instead of the real count (negative: the real count).
using PFN_FakeD2xx_SetListedCount = void (*)(long nCount);
// Unplugs a device: calls on its open handle fail from now on; it is no longer listed.
using PFN_FakeD2xx_RemoveDevice = void (*)(const char* pszSerial);
// Bytes the device "receives"; signals the registered event. Call on the thread that closes.
using PFN_FakeD2xx_Feed = void (*)(const char* pszSerial, const uint8_t* pData, uint32_t nLength);
// Copies up to nCapacity written bytes, returns how many were written in all.
using PFN_FakeD2xx_Written = uint32_t (*)(const char* pszSerial, uint8_t* pBuffer, uint32_t nCapacity);
using PFN_FakeD2xx_Latency = uint8_t (*)(const char* pszSerial);
using PFN_FakeD2xx_IsOpen = int (*)(const char* pszSerial);
// Copies the "\n"-separated log (NUL-terminated, cut to fit), returns its full length.
using PFN_FakeD2xx_CallLog = uint32_t (*)(char* pszBuffer, uint32_t nCapacity);
}

// The fake, loaded and resolved; unloads it again when destroyed.
class CFakeD2xx {
public:
  CFakeD2xx() {
    m_hModule = dlopen(KORVEX_FAKE_D2XX_PATH, RTLD_NOW | RTLD_LOCAL);
    if (m_hModule == nullptr) return;
    Resolve("FakeD2xx_Reset", Reset);
    Resolve("FakeD2xx_AddDevice", AddDevice);
    Resolve("FakeD2xx_FailCall", FailCall);
    Resolve("FakeD2xx_SetListedCount", SetListedCount);
    Resolve("FakeD2xx_RemoveDevice", RemoveDevice);
    Resolve("FakeD2xx_Feed", Feed);
    Resolve("FakeD2xx_Written", Written);
    Resolve("FakeD2xx_Latency", Latency);
    Resolve("FakeD2xx_IsOpen", IsOpen);
    Resolve("FakeD2xx_CallLog", CallLog);
  }
  ~CFakeD2xx() {
    if (m_hModule != nullptr) dlclose(m_hModule);
  }
  CFakeD2xx(const CFakeD2xx&) = delete;
  CFakeD2xx& operator=(const CFakeD2xx&) = delete;

  bool IsLoaded() const { return m_bComplete && m_hModule != nullptr; }

  std::vector<std::string> Calls() const {
    std::vector<char> text(CallLog(nullptr, 0) + 1);
    CallLog(text.data(), static_cast<uint32_t>(text.size()));
    std::vector<std::string> calls;
    std::string line;
    for (const char* p = text.data(); *p != '\0'; ++p) {
      if (*p == '\n') {
        calls.push_back(line);
        line.clear();
      } else {
        line += *p;
      }
    }
    if (!line.empty()) calls.push_back(line);
    return calls;
  }

  PFN_FakeD2xx_Reset Reset = nullptr;
  PFN_FakeD2xx_AddDevice AddDevice = nullptr;
  PFN_FakeD2xx_FailCall FailCall = nullptr;
  PFN_FakeD2xx_SetListedCount SetListedCount = nullptr;
  PFN_FakeD2xx_RemoveDevice RemoveDevice = nullptr;
  PFN_FakeD2xx_Feed Feed = nullptr;
  PFN_FakeD2xx_Written Written = nullptr;
  PFN_FakeD2xx_Latency Latency = nullptr;
  PFN_FakeD2xx_IsOpen IsOpen = nullptr;
  PFN_FakeD2xx_CallLog CallLog = nullptr;

private:
  template <typename Function>
  void Resolve(const char* pszName, Function& pfn) {
    pfn = reinterpret_cast<Function>(dlsym(m_hModule, pszName));
    if (pfn == nullptr) m_bComplete = false;
  }

  void* m_hModule = nullptr;
  bool m_bComplete = true;
};
