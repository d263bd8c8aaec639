// The fake D2XX library: emulated devices behind the library's calls; every call logged, any made to fail.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <set>

#include "FakeD2xxControl.h"
#include "link/D2xxApi.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr FT_STATUS FT_IO_ERROR = 4;
constexpr size_t TEXT_SIZE = 64;

struct Device {
  std::string description, serial;
  uint8_t byLatency = 16;
  bool bRemoved = false, bOpen = false;
  FTDCB dcb{};
  std::deque<uint8_t> rx{};
  std::vector<uint8_t> written{};
  FT_EVENT_HANDLE* pEvent = nullptr;
};

std::mutex g_mutex;
std::deque<Device> g_devices;  // a handle is index + 1; entries are never erased
std::vector<std::string> g_log;
std::set<std::string> g_failing;
long g_nListedCount = -1;

template <typename Action> auto Locked(Action action) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return action();
}

Device* FindBySerial(const std::string& serial) {
  const auto it = std::find_if(g_devices.begin(), g_devices.end(), [&](const Device& d) { return d.serial == serial; });
  return it == g_devices.end() ? nullptr : &*it;
}

// One call, logged, under the fake's lock; m_pDevice is the open, attached device unless the call is to fail.
class Entry {
public:
  __attribute__((format(printf, 4, 5))) Entry(FT_HANDLE h, const char* pszName, const char* pszFormat = nullptr, ...) {
    std::string entry = pszName;
    if (pszFormat != nullptr) {
      char szArguments[160];
      va_list args;
      va_start(args, pszFormat);
      std::vsnprintf(szArguments, sizeof szArguments, pszFormat, args);
      va_end(args);
      entry += std::string("(") + szArguments + ")";
    }
    g_log.push_back(entry);
    m_bFail = g_failing.count(pszName) != 0 || g_failing.count(entry) != 0;
    const uintptr_t nIndex = reinterpret_cast<uintptr_t>(h);
    m_pHandleDevice = nIndex == 0 || nIndex > g_devices.size() ? nullptr : &g_devices[nIndex - 1];
    const bool bUsable = !m_bFail && m_pHandleDevice != nullptr && m_pHandleDevice->bOpen && !m_pHandleDevice->bRemoved;
    m_pDevice = bUsable ? m_pHandleDevice : nullptr;
  }

  std::lock_guard<std::mutex> m_lock{g_mutex};  // first member: taken before the log is touched
  bool m_bFail = false;
  Device* m_pHandleDevice = nullptr;  // whatever the handle names, open or not
  Device* m_pDevice = nullptr;
};

}  // namespace

FAKE_EXPORT FT_STATUS FT_ListDevices(void* pArg1, void* pArg2, D2XX_DWORD dwFlags) {
  const uintptr_t nIndex = reinterpret_cast<uintptr_t>(pArg1);
  const bool bSerial = (dwFlags & FT_OPEN_BY_SERIAL_NUMBER) != 0, bCount = (dwFlags & FT_LIST_NUMBER_ONLY) != 0;
  const Entry call = bCount ? Entry(nullptr, "FT_ListDevices", "count")
                            : Entry(nullptr, "FT_ListDevices", "%zu,%s", size_t{nIndex},
                                    bSerial ? "serial" : "description");
  if (call.m_bFail) return FT_IO_ERROR;
  std::vector<Device*> attached;
  for (Device& device : g_devices)
    if (!device.bRemoved) attached.push_back(&device);
  if (bCount) {
    *static_cast<D2XX_DWORD*>(pArg1) = static_cast<D2XX_DWORD>(g_nListedCount >= 0 ? g_nListedCount : attached.size());
    return FT_OK;
  }
  if (!(dwFlags & FT_LIST_BY_INDEX) || nIndex >= attached.size()) return FT_IO_ERROR;
  // Filled the way the library fills its 64-byte buffers: a terminating NUL only if it fits.
  const std::string& text = bSerial ? attached[nIndex]->serial : attached[nIndex]->description;
  const size_t n = std::min(text.size(), TEXT_SIZE);
  std::memcpy(pArg2, text.data(), n);
  if (n < TEXT_SIZE) static_cast<char*>(pArg2)[n] = '\0';
  return FT_OK;
}

FAKE_EXPORT FT_HANDLE FT_W32_CreateFile(const char* pszName, D2XX_DWORD dwAccess, D2XX_DWORD dwShareMode,
                                        void*, D2XX_DWORD dwCreate, D2XX_DWORD dwAttrsAndFlags, void*) {
  const Entry call(nullptr, "FT_W32_CreateFile", "%s,0x%x,%u,%u,0x%x", pszName, dwAccess, dwShareMode, dwCreate,
                   dwAttrsAndFlags);
  Device* pDevice = FindBySerial(pszName);
  if (call.m_bFail || !(dwAttrsAndFlags & FT_OPEN_BY_SERIAL_NUMBER) || pDevice == nullptr || pDevice->bRemoved ||
      pDevice->bOpen)
    return FT_INVALID_HANDLE;
  pDevice->bOpen = true;
  pDevice->dcb = FTDCB{.DCBlength = sizeof(FTDCB), .BaudRate = 38400, .fBinary = 1, .ByteSize = 7, .Parity = 2,
                       .StopBits = 2, .XonChar = 0x11, .XoffChar = 0x13};  // the driver starts at 7E2, XON/XOFF set
  pDevice->rx.clear();
  return reinterpret_cast<FT_HANDLE>(static_cast<uintptr_t>(pDevice - &g_devices[0] + 1));
}

FAKE_EXPORT D2XX_BOOL FT_W32_CloseHandle(FT_HANDLE h) {
  const Entry call(h, "FT_W32_CloseHandle");
  Device* pDevice = call.m_pHandleDevice;  // closing works for an unplugged device too
  if (call.m_bFail || pDevice == nullptr || !pDevice->bOpen) return 0;
  pDevice->bOpen = false;
  pDevice->pEvent = nullptr;
  return 1;
}

FAKE_EXPORT FT_STATUS FT_ResetDevice(FT_HANDLE h) { return Entry(h, "FT_ResetDevice").m_pDevice ? FT_OK : FT_IO_ERROR; }

FAKE_EXPORT FT_STATUS FT_GetLatencyTimer(FT_HANDLE h, uint8_t* pbyTimer) {
  const Entry call(h, "FT_GetLatencyTimer");
  return call.m_pDevice ? (*pbyTimer = call.m_pDevice->byLatency, FT_OK) : FT_IO_ERROR;
}

FAKE_EXPORT FT_STATUS FT_SetLatencyTimer(FT_HANDLE h, uint8_t byTimer) {
  const Entry call(h, "FT_SetLatencyTimer", "%d", byTimer);
  return call.m_pDevice ? (call.m_pDevice->byLatency = byTimer, FT_OK) : FT_IO_ERROR;
}

FAKE_EXPORT D2XX_BOOL FT_W32_SetCommMask(FT_HANDLE h, unsigned long ulEventMask) {
  return Entry(h, "FT_W32_SetCommMask", "%lu", ulEventMask).m_pDevice != nullptr;
}

FAKE_EXPORT D2XX_BOOL FT_W32_SetupComm(FT_HANDLE h, D2XX_DWORD dwRead, D2XX_DWORD dwWrite) {
  return Entry(h, "FT_W32_SetupComm", "%u,%u", dwRead, dwWrite).m_pDevice != nullptr;
}

FAKE_EXPORT D2XX_BOOL FT_W32_PurgeComm(FT_HANDLE h, D2XX_DWORD dwMask) {
  const Entry call(h, "FT_W32_PurgeComm", "%u", dwMask);
  if (call.m_pDevice != nullptr) call.m_pDevice->rx.clear();
  return call.m_pDevice != nullptr;
}

FAKE_EXPORT D2XX_BOOL FT_W32_SetCommTimeouts(FT_HANDLE h, FTTIMEOUTS* pTimeouts) {
  return Entry(h, "FT_W32_SetCommTimeouts", "%u,%u,%u,%u,%u", pTimeouts->ReadIntervalTimeout,
               pTimeouts->ReadTotalTimeoutMultiplier, pTimeouts->ReadTotalTimeoutConstant,
               pTimeouts->WriteTotalTimeoutMultiplier, pTimeouts->WriteTotalTimeoutConstant)
             .m_pDevice != nullptr;
}

FAKE_EXPORT D2XX_BOOL FT_W32_GetCommState(FT_HANDLE h, FTDCB* pDcb) {
  const Entry call(h, "FT_W32_GetCommState");
  if (call.m_pDevice == nullptr || pDcb->DCBlength != sizeof(FTDCB)) return 0;
  *pDcb = call.m_pDevice->dcb;
  return 1;
}

FAKE_EXPORT D2XX_BOOL FT_W32_SetCommState(FT_HANDLE h, FTDCB* pDcb) {
  const Entry call(h, "FT_W32_SetCommState", "%u,%u,%u,%u,xon=%d", pDcb->BaudRate, pDcb->ByteSize, pDcb->Parity,
                   pDcb->StopBits, pDcb->XonChar);
  if (call.m_pDevice != nullptr) call.m_pDevice->dcb = *pDcb;
  return call.m_pDevice != nullptr;
}

FAKE_EXPORT FT_STATUS FT_SetEventNotification(FT_HANDLE h, D2XX_DWORD dwMask, void* pParam) {
  const Entry call(h, "FT_SetEventNotification", "%u", dwMask);
  if (call.m_pDevice == nullptr) return FT_IO_ERROR;
  call.m_pDevice->pEvent = (dwMask & FT_EVENT_RXCHAR) ? static_cast<FT_EVENT_HANDLE*>(pParam) : nullptr;
  return FT_OK;
}

FAKE_EXPORT D2XX_BOOL FT_W32_ClearCommError(FT_HANDLE h, D2XX_DWORD* pdwErrors, FTCOMSTAT* pComstat) {
  const Entry call(h, "FT_W32_ClearCommError");
  if (call.m_pDevice == nullptr) return 0;
  *pdwErrors = 0;
  *pComstat = FTCOMSTAT{0, static_cast<D2XX_DWORD>(call.m_pDevice->rx.size()), 0};
  return 1;
}

FAKE_EXPORT D2XX_BOOL FT_W32_ReadFile(FT_HANDLE h, void* pBuffer, D2XX_DWORD dwToRead, D2XX_DWORD* pdwRead,
                                      void* pOverlapped) {
  const Entry call(h, "FT_W32_ReadFile", "%u", dwToRead);
  *pdwRead = 0;
  if (call.m_pDevice == nullptr || pOverlapped != nullptr) return 0;
  std::deque<uint8_t>& rx = call.m_pDevice->rx;
  const size_t n = std::min<size_t>(dwToRead, rx.size());
  std::copy_n(rx.begin(), n, static_cast<uint8_t*>(pBuffer));
  rx.erase(rx.begin(), rx.begin() + static_cast<long>(n));
  *pdwRead = static_cast<D2XX_DWORD>(n);
  return 1;
}

FAKE_EXPORT D2XX_BOOL FT_W32_WriteFile(FT_HANDLE h, void* pBuffer, D2XX_DWORD dwToWrite, D2XX_DWORD* pdwWritten,
                                       void* pOverlapped) {
  const Entry call(h, "FT_W32_WriteFile", "%u", dwToWrite);
  *pdwWritten = 0;
  if (call.m_pDevice == nullptr || pOverlapped != nullptr) return 0;
  const uint8_t* pBytes = static_cast<const uint8_t*>(pBuffer);
  call.m_pDevice->written.insert(call.m_pDevice->written.end(), pBytes, pBytes + dwToWrite);
  *pdwWritten = dwToWrite;
  return 1;
}

void CFakeD2xx::Reset() {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_devices.clear();
  g_log.clear();
  g_failing.clear();
  g_nListedCount = -1;
}

void CFakeD2xx::AddDevice(const std::string& description, const std::string& serial, uint8_t byLatency) {
  Locked([&] { g_devices.push_back(Device{.description = description, .serial = serial, .byLatency = byLatency}); });
}

void CFakeD2xx::FailCall(const std::string& name) { Locked([&] { g_failing.insert(name); }); }
void CFakeD2xx::SetListedCount(long nCount) { Locked([&] { g_nListedCount = nCount; }); }
std::vector<std::string> CFakeD2xx::Calls() { return Locked([] { return g_log; }); }

void CFakeD2xx::RemoveDevice(const std::string& serial) {
  Locked([&] { if (Device* pDevice = FindBySerial(serial)) pDevice->bRemoved = true; });
}
bool CFakeD2xx::IsOpen(const std::string& serial) {
  return Locked([&] { const Device* pDevice = FindBySerial(serial); return pDevice != nullptr && pDevice->bOpen; });
}
std::vector<uint8_t> CFakeD2xx::Written(const std::string& serial) {
  return Locked([&] { const Device* pDevice = FindBySerial(serial); return pDevice ? pDevice->written : std::vector<uint8_t>{}; });
}

void CFakeD2xx::Feed(const std::string& serial, const std::vector<uint8_t>& data) {
  FT_EVENT_HANDLE* pEvent = Locked([&]() -> FT_EVENT_HANDLE* {
    Device* pDevice = FindBySerial(serial);
    if (pDevice == nullptr || pDevice->bRemoved) return nullptr;
    pDevice->rx.insert(pDevice->rx.end(), data.begin(), data.end());
    return pDevice->bOpen ? pDevice->pEvent : nullptr;
  });
  // Signalled outside the fake's own lock, as the reader holds eMutex while it calls in.
  if (pEvent != nullptr) {
    pthread_mutex_lock(&pEvent->eMutex);
    pthread_cond_signal(&pEvent->eCondVar);
    pthread_mutex_unlock(&pEvent->eMutex);
  }
}
