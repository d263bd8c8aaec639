// The fake D2XX library: emulated devices behind the library's calls, plus the control
// functions of FakeD2xxControl.h. Every call is logged; any call can be made to fail.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "link/D2xxApi.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr FT_STATUS FT_DEVICE_NOT_FOUND = 2;
constexpr FT_STATUS FT_IO_ERROR = 4;
constexpr size_t TEXT_SIZE = 64;

struct Device {
  std::string description;
  std::string serial;
  uint8_t byLatency = 16;
  bool bRemoved = false;
  bool bOpen = false;
  FTDCB dcb{};
  std::deque<uint8_t> rx;
  std::vector<uint8_t> written;
  FT_EVENT_HANDLE* pEvent = nullptr;
  D2XX_DWORD dwEventMask = 0;
};

std::mutex g_mutex;
std::vector<Device> g_devices;  // a handle is index + 1; entries are never erased
std::vector<std::string> g_log;
std::set<std::string> g_failing;
long g_nListedCount = -1;

// Logs the call; true when the test asked it to fail (by name or by the whole entry).
bool LogCall(const std::string& name, const std::string& arguments = {}) {
  const std::string entry = arguments.empty() ? name : name + "(" + arguments + ")";
  g_log.push_back(entry);
  return g_failing.count(name) != 0 || g_failing.count(entry) != 0;
}

// The open, attached device behind a handle, or null.
Device* FindOpen(FT_HANDLE h) {
  const uintptr_t nIndex = reinterpret_cast<uintptr_t>(h);
  if (nIndex == 0 || nIndex > g_devices.size()) return nullptr;
  Device& device = g_devices[nIndex - 1];
  return device.bOpen && !device.bRemoved ? &device : nullptr;
}

Device* FindBySerial(const char* pszSerial) {
  for (Device& device : g_devices)
    if (device.serial == pszSerial) return &device;
  return nullptr;
}

std::vector<Device*> Attached() {
  std::vector<Device*> devices;
  for (Device& device : g_devices)
    if (!device.bRemoved) devices.push_back(&device);
  return devices;
}

FTDCB DriverLineSettings() {
  FTDCB dcb{};
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = 38400;
  dcb.fBinary = 1;
  dcb.ByteSize = 7;
  dcb.Parity = 2;
  dcb.StopBits = 2;
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  return dcb;
}

// Copies text the way the library fills its 64-byte buffers: a terminating NUL only if it fits.
void CopyText(const std::string& text, void* pBuffer) {
  const size_t n = std::min(text.size(), TEXT_SIZE);
  std::memcpy(pBuffer, text.data(), n);
  if (n < TEXT_SIZE) static_cast<char*>(pBuffer)[n] = '\0';
}

}  // namespace

// ---- the library's calls ----

FAKE_EXPORT FT_STATUS FT_ListDevices(void* pArg1, void* pArg2, D2XX_DWORD dwFlags) {
  std::lock_guard<std::mutex> lock(g_mutex);
  const std::vector<Device*> attached = Attached();
  if (dwFlags & FT_LIST_NUMBER_ONLY) {
    if (LogCall("FT_ListDevices", "count")) return FT_IO_ERROR;
    *static_cast<D2XX_DWORD*>(pArg1) =
        static_cast<D2XX_DWORD>(g_nListedCount >= 0 ? static_cast<size_t>(g_nListedCount) : attached.size());
    return FT_OK;
  }
  const uintptr_t nIndex = reinterpret_cast<uintptr_t>(pArg1);
  const bool bSerial = (dwFlags & FT_OPEN_BY_SERIAL_NUMBER) != 0;
  if (LogCall("FT_ListDevices", std::to_string(nIndex) + (bSerial ? ",serial" : ",description")))
    return FT_IO_ERROR;
  if (!(dwFlags & FT_LIST_BY_INDEX) || nIndex >= attached.size()) return FT_DEVICE_NOT_FOUND;
  CopyText(bSerial ? attached[nIndex]->serial : attached[nIndex]->description, pArg2);
  return FT_OK;
}

FAKE_EXPORT FT_HANDLE FT_W32_CreateFile(const char* pszName, D2XX_DWORD dwAccess, D2XX_DWORD dwShareMode,
                                        void*, D2XX_DWORD dwCreate, D2XX_DWORD dwAttrsAndFlags, void*) {
  std::lock_guard<std::mutex> lock(g_mutex);
  char szArguments[160];
  std::snprintf(szArguments, sizeof szArguments, "%s,0x%x,%u,%u,0x%x", pszName, dwAccess, dwShareMode,
                dwCreate, dwAttrsAndFlags);
  if (LogCall("FT_W32_CreateFile", szArguments)) return FT_INVALID_HANDLE;
  Device* pDevice = FindBySerial(pszName);
  if (!(dwAttrsAndFlags & FT_OPEN_BY_SERIAL_NUMBER) || pDevice == nullptr || pDevice->bRemoved ||
      pDevice->bOpen)
    return FT_INVALID_HANDLE;
  pDevice->bOpen = true;
  pDevice->dcb = DriverLineSettings();
  pDevice->rx.clear();
  return reinterpret_cast<FT_HANDLE>(static_cast<uintptr_t>(pDevice - g_devices.data() + 1));
}

FAKE_EXPORT D2XX_BOOL FT_W32_CloseHandle(FT_HANDLE h) {
  std::lock_guard<std::mutex> lock(g_mutex);
  const uintptr_t nIndex = reinterpret_cast<uintptr_t>(h);
  if (LogCall("FT_W32_CloseHandle") || nIndex == 0 || nIndex > g_devices.size()) return 0;
  Device& device = g_devices[nIndex - 1];
  if (!device.bOpen) return 0;
  device.bOpen = false;  // closing works for an unplugged device too
  device.pEvent = nullptr;
  device.dwEventMask = 0;
  return 1;
}

FAKE_EXPORT FT_STATUS FT_ResetDevice(FT_HANDLE h) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return LogCall("FT_ResetDevice") || FindOpen(h) == nullptr ? FT_IO_ERROR : FT_OK;
}

FAKE_EXPORT FT_STATUS FT_GetLatencyTimer(FT_HANDLE h, uint8_t* pbyTimer) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Device* pDevice = FindOpen(h);
  if (LogCall("FT_GetLatencyTimer") || pDevice == nullptr) return FT_IO_ERROR;
  *pbyTimer = pDevice->byLatency;
  return FT_OK;
}

FAKE_EXPORT FT_STATUS FT_SetLatencyTimer(FT_HANDLE h, uint8_t byTimer) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Device* pDevice = FindOpen(h);
  if (LogCall("FT_SetLatencyTimer", std::to_string(byTimer)) || pDevice == nullptr) return FT_IO_ERROR;
  pDevice->byLatency = byTimer;
  return FT_OK;
}

FAKE_EXPORT D2XX_BOOL FT_W32_SetCommMask(FT_HANDLE h, unsigned long ulEventMask) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return !LogCall("FT_W32_SetCommMask", std::to_string(ulEventMask)) && FindOpen(h) != nullptr;
}

FAKE_EXPORT D2XX_BOOL FT_W32_SetupComm(FT_HANDLE h, D2XX_DWORD dwRead, D2XX_DWORD dwWrite) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return !LogCall("FT_W32_SetupComm", std::to_string(dwRead) + "," + std::to_string(dwWrite)) &&
         FindOpen(h) != nullptr;
}

FAKE_EXPORT D2XX_BOOL FT_W32_PurgeComm(FT_HANDLE h, D2XX_DWORD dwMask) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Device* pDevice = FindOpen(h);
  if (LogCall("FT_W32_PurgeComm", std::to_string(dwMask)) || pDevice == nullptr) return 0;
  pDevice->rx.clear();
  return 1;
}

FAKE_EXPORT D2XX_BOOL FT_W32_SetCommTimeouts(FT_HANDLE h, FTTIMEOUTS* pTimeouts) {
  std::lock_guard<std::mutex> lock(g_mutex);
  char szArguments[80];
  std::snprintf(szArguments, sizeof szArguments, "%u,%u,%u,%u,%u", pTimeouts->ReadIntervalTimeout,
                pTimeouts->ReadTotalTimeoutMultiplier, pTimeouts->ReadTotalTimeoutConstant,
                pTimeouts->WriteTotalTimeoutMultiplier, pTimeouts->WriteTotalTimeoutConstant);
  return !LogCall("FT_W32_SetCommTimeouts", szArguments) && FindOpen(h) != nullptr;
}

FAKE_EXPORT D2XX_BOOL FT_W32_GetCommState(FT_HANDLE h, FTDCB* pDcb) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Device* pDevice = FindOpen(h);
  if (LogCall("FT_W32_GetCommState") || pDevice == nullptr || pDcb->DCBlength != sizeof(FTDCB)) return 0;
  *pDcb = pDevice->dcb;
  return 1;
}

FAKE_EXPORT D2XX_BOOL FT_W32_SetCommState(FT_HANDLE h, FTDCB* pDcb) {
  std::lock_guard<std::mutex> lock(g_mutex);
  char szArguments[80];
  std::snprintf(szArguments, sizeof szArguments, "%u,%u,%u,%u,xon=%d", pDcb->BaudRate, pDcb->ByteSize,
                pDcb->Parity, pDcb->StopBits, pDcb->XonChar);
  Device* pDevice = FindOpen(h);
  if (LogCall("FT_W32_SetCommState", szArguments) || pDevice == nullptr) return 0;
  pDevice->dcb = *pDcb;
  return 1;
}

FAKE_EXPORT FT_STATUS FT_SetEventNotification(FT_HANDLE h, D2XX_DWORD dwMask, void* pParam) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Device* pDevice = FindOpen(h);
  if (LogCall("FT_SetEventNotification", std::to_string(dwMask)) || pDevice == nullptr) return FT_IO_ERROR;
  pDevice->pEvent = static_cast<FT_EVENT_HANDLE*>(pParam);
  pDevice->dwEventMask = dwMask;
  return FT_OK;
}

FAKE_EXPORT D2XX_BOOL FT_W32_ClearCommError(FT_HANDLE h, D2XX_DWORD* pdwErrors, FTCOMSTAT* pComstat) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Device* pDevice = FindOpen(h);
  if (LogCall("FT_W32_ClearCommError") || pDevice == nullptr) return 0;
  *pdwErrors = 0;
  *pComstat = FTCOMSTAT{};
  pComstat->cbInQue = static_cast<D2XX_DWORD>(pDevice->rx.size());
  return 1;
}

FAKE_EXPORT D2XX_BOOL FT_W32_ReadFile(FT_HANDLE h, void* pBuffer, D2XX_DWORD dwToRead, D2XX_DWORD* pdwRead,
                                      void* pOverlapped) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Device* pDevice = FindOpen(h);
  *pdwRead = 0;
  if (LogCall("FT_W32_ReadFile", std::to_string(dwToRead)) || pDevice == nullptr || pOverlapped != nullptr)
    return 0;
  const size_t n = std::min<size_t>(dwToRead, pDevice->rx.size());
  std::copy_n(pDevice->rx.begin(), n, static_cast<uint8_t*>(pBuffer));
  pDevice->rx.erase(pDevice->rx.begin(), pDevice->rx.begin() + static_cast<long>(n));
  *pdwRead = static_cast<D2XX_DWORD>(n);
  return 1;
}

FAKE_EXPORT D2XX_BOOL FT_W32_WriteFile(FT_HANDLE h, void* pBuffer, D2XX_DWORD dwToWrite,
                                       D2XX_DWORD* pdwWritten, void* pOverlapped) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Device* pDevice = FindOpen(h);
  *pdwWritten = 0;
  if (LogCall("FT_W32_WriteFile", std::to_string(dwToWrite)) || pDevice == nullptr || pOverlapped != nullptr)
    return 0;
  const uint8_t* pBytes = static_cast<const uint8_t*>(pBuffer);
  pDevice->written.insert(pDevice->written.end(), pBytes, pBytes + dwToWrite);
  *pdwWritten = dwToWrite;
  return 1;
}

// ---- control ----

FAKE_EXPORT void FakeD2xx_Reset() {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_devices.clear();
  g_log.clear();
  g_failing.clear();
  g_nListedCount = -1;
}

FAKE_EXPORT void FakeD2xx_AddDevice(const char* pszDescription, const char* pszSerial, uint8_t byLatency) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Device device;
  device.description = pszDescription;
  device.serial = pszSerial;
  device.byLatency = byLatency;
  g_devices.push_back(std::move(device));
}

FAKE_EXPORT void FakeD2xx_FailCall(const char* pszName) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_failing.insert(pszName);
}

FAKE_EXPORT void FakeD2xx_SetListedCount(long nCount) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_nListedCount = nCount;
}

FAKE_EXPORT void FakeD2xx_RemoveDevice(const char* pszSerial) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (Device* pDevice = FindBySerial(pszSerial)) pDevice->bRemoved = true;
}

FAKE_EXPORT void FakeD2xx_Feed(const char* pszSerial, const uint8_t* pData, uint32_t nLength) {
  FT_EVENT_HANDLE* pEvent = nullptr;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    Device* pDevice = FindBySerial(pszSerial);
    if (pDevice == nullptr || pDevice->bRemoved) return;
    pDevice->rx.insert(pDevice->rx.end(), pData, pData + nLength);
    if (pDevice->bOpen && (pDevice->dwEventMask & FT_EVENT_RXCHAR)) pEvent = pDevice->pEvent;
  }
  // Signalled outside the fake's own lock, as the reader holds eMutex while it calls in.
  if (pEvent != nullptr) {
    pthread_mutex_lock(&pEvent->eMutex);
    pthread_cond_signal(&pEvent->eCondVar);
    pthread_mutex_unlock(&pEvent->eMutex);
  }
}

FAKE_EXPORT uint32_t FakeD2xx_Written(const char* pszSerial, uint8_t* pBuffer, uint32_t nCapacity) {
  std::lock_guard<std::mutex> lock(g_mutex);
  const Device* pDevice = FindBySerial(pszSerial);
  if (pDevice == nullptr) return 0;
  std::copy_n(pDevice->written.begin(), std::min<size_t>(nCapacity, pDevice->written.size()), pBuffer);
  return static_cast<uint32_t>(pDevice->written.size());
}

FAKE_EXPORT uint8_t FakeD2xx_Latency(const char* pszSerial) {
  std::lock_guard<std::mutex> lock(g_mutex);
  const Device* pDevice = FindBySerial(pszSerial);
  return pDevice != nullptr ? pDevice->byLatency : 0;
}

FAKE_EXPORT int FakeD2xx_IsOpen(const char* pszSerial) {
  std::lock_guard<std::mutex> lock(g_mutex);
  const Device* pDevice = FindBySerial(pszSerial);
  return pDevice != nullptr && pDevice->bOpen ? 1 : 0;
}

FAKE_EXPORT uint32_t FakeD2xx_CallLog(char* pszBuffer, uint32_t nCapacity) {
  std::lock_guard<std::mutex> lock(g_mutex);
  std::string text;
  for (const std::string& entry : g_log) text += entry + "\n";
  if (pszBuffer != nullptr && nCapacity > 0) {
    const size_t n = std::min<size_t>(text.size(), nCapacity - 1);
    std::memcpy(pszBuffer, text.data(), n);
    pszBuffer[n] = '\0';
  }
  return static_cast<uint32_t>(text.size());
}
