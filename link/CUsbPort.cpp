#include "link/CUsbPort.h"

#include <time.h>

#include "link/CD2xxLibrary.h"

namespace {
constexpr D2XX_DWORD QUEUE_SIZE = 4096;
constexpr D2XX_DWORD NO_INTERVAL = 0xFFFFFFFF;  // MAXDWORD: a read returns what is waiting
constexpr D2XX_DWORD TIMEOUT_MS = 1000;
}  // namespace

CUsbPort::CUsbPort() : CUsbPort(CD2xxLibrary::Shared()) {}

CUsbPort::CUsbPort(CD2xxLibrary& library) : m_library(library), m_event{} {
  pthread_mutex_init(&m_event.eMutex, nullptr);
  pthread_cond_init(&m_event.eCondVar, nullptr);
}

CUsbPort::~CUsbPort() {
  Close();  // the library forgets m_event when the device is closed
  pthread_cond_destroy(&m_event.eCondVar);
  pthread_mutex_destroy(&m_event.eMutex);
}

void CUsbPort::SetNotifyTarget(ReaderListener* pListener, CByteQueue* pQueue) {
  m_reader.SetNotifyTarget(pListener, pQueue);
}

bool CUsbPort::Open(const std::string& serialNumber, uint32_t /*dwBaudRate*/) {
  Close();
  m_lastError.clear();
  if (!m_library.IsLoaded()) {
    m_lastError = "D2XX library (libftd2xx.so) not loaded";
    return false;
  }
  if (serialNumber.empty() || serialNumber.find('\0') != std::string::npos) {
    m_lastError = "device not found";
    return false;
  }
  // Transfers are synchronous: a read asks only for what is waiting, and the library's write
  // timeout bounds a write, so neither blocks for long and no completion records are needed.
  const FT_HANDLE hDevice = m_library.Calls().FT_W32_CreateFile(
      serialNumber.c_str(), FT_GENERIC_READ | FT_GENERIC_WRITE, 0, nullptr, FT_OPEN_EXISTING,
      FT_FILE_ATTRIBUTE_NORMAL | FT_OPEN_BY_SERIAL_NUMBER, nullptr);
  if (hDevice == FT_INVALID_HANDLE || hDevice == nullptr) {
    m_lastError = "device not found or in use by another program";
    return false;
  }
  m_hDevice = hDevice;
  m_library.AddOpenDevice();

  pthread_mutex_lock(&m_event.eMutex);
  m_bStopWaiting = false;
  pthread_mutex_unlock(&m_event.eMutex);
  m_bDeviceStalled = false;
  m_nFailedQueries = 0;
  if (!Configure() || !Step(m_reader.Start(*this), "starting the reader thread")) {
    Close();
    return false;
  }
  return true;
}

// One step of the open sequence; a failed one is named in LastError.
bool CUsbPort::Step(bool bDone, const char* pszCall) {
  if (!bDone) m_lastError = std::string(pszCall) + " failed";
  return bDone;
}

// The open sequence after the device handle exists; stops at the first failing step.
bool CUsbPort::Configure() {
  const D2xxCalls& ft = m_library.Calls();
  if (!Step(ft.FT_ResetDevice(m_hDevice) == FT_OK, "FT_ResetDevice")) return false;
  uint8_t byLatency = 0;
  if (!Step(ft.FT_GetLatencyTimer(m_hDevice, &byLatency) == FT_OK, "FT_GetLatencyTimer")) return false;
  // 1 ms hands short module lines over at once; skip the control transfer when already set.
  if (byLatency != 1 && !Step(ft.FT_SetLatencyTimer(m_hDevice, 1) == FT_OK, "FT_SetLatencyTimer")) return false;
  if (!Step(ft.FT_W32_SetCommMask(m_hDevice, FT_EV_RXCHAR), "FT_W32_SetCommMask")) return false;
  if (!Step(ft.FT_W32_SetupComm(m_hDevice, QUEUE_SIZE, QUEUE_SIZE), "FT_W32_SetupComm")) return false;
  if (!Step(ft.FT_W32_PurgeComm(m_hDevice, FT_PURGE_ALL), "FT_W32_PurgeComm")) return false;
  FTTIMEOUTS timeouts{NO_INTERVAL, NO_INTERVAL, TIMEOUT_MS, 0, TIMEOUT_MS};
  if (!Step(ft.FT_W32_SetCommTimeouts(m_hDevice, &timeouts), "FT_W32_SetCommTimeouts")) return false;

  FTDCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!Step(ft.FT_W32_GetCommState(m_hDevice, &dcb), "FT_W32_GetCommState")) return false;
  dcb.BaudRate = USB_BAUD_RATE;
  dcb.ByteSize = 8;
  dcb.Parity = 0;
  dcb.StopBits = 0;
  if (!Step(ft.FT_W32_SetCommState(m_hDevice, &dcb), "FT_W32_SetCommState")) return false;
  return Step(ft.FT_SetEventNotification(m_hDevice, FT_EVENT_RXCHAR, &m_event) == FT_OK, "FT_SetEventNotification");
}

int CUsbPort::Close() {
  m_reader.Stop();
  if (m_hDevice == nullptr) return 0;
  const D2XX_BOOL bClosed = m_library.Calls().FT_W32_CloseHandle(m_hDevice);
  m_hDevice = nullptr;
  m_library.RemoveOpenDevice();  // the library may be unloaded from here on
  return bClosed ? 1 : 0;
}

bool CUsbPort::IsOpen() const { return m_hDevice != nullptr; }

uint64_t CUsbPort::DroppedBlocks() const { return m_reader.DroppedBlocks(); }

uint32_t CUsbPort::Write(const uint8_t* pData, uint32_t nLength) {
  if (m_hDevice == nullptr || pData == nullptr || nLength == 0) return 0;
  const D2xxCalls& ft = m_library.Calls();
  D2XX_DWORD dwWritten = 0;
  if (!ft.FT_W32_WriteFile(m_hDevice, const_cast<uint8_t*>(pData), nLength, &dwWritten, nullptr)) {
    D2XX_DWORD dwErrors = 0;
    FTCOMSTAT comstat{};
    ft.FT_W32_ClearCommError(m_hDevice, &dwErrors, &comstat);
    return 0;
  }
  return dwWritten < nLength ? dwWritten : nLength;
}

// Bytes waiting in the device's input queue (0 on failure); also clears its error state.
uint32_t CUsbPort::QueuedBytes() {
  D2XX_DWORD dwErrors = 0;
  FTCOMSTAT comstat{};
  if (!m_library.Calls().FT_W32_ClearCommError(m_hDevice, &dwErrors, &comstat)) {
    m_bDeviceStalled = true;
    ++m_nFailedQueries;
    return 0;
  }
  m_nFailedQueries = 0;
  return comstat.cbInQue;
}

bool CUsbPort::WaitForInput() {
  // The library is never called under the event mutex: its own thread takes that mutex to
  // signal, and may hold internal locks while doing so. Input that arrives between this check
  // and the wait can miss its signal, so the wait also ends after a second; a device that
  // reports input it cannot deliver is likewise tried again only then, never in a spin.
  // A device that has gone is not asked again: the wait lasts until the port is closed.
  const bool bInputWaiting = !m_bDeviceStalled && !IsGone() && QueuedBytes() > 0;
  pthread_mutex_lock(&m_event.eMutex);
  while (!m_bStopWaiting && IsGone()) pthread_cond_wait(&m_event.eCondVar, &m_event.eMutex);
  if (!m_bStopWaiting && !bInputWaiting) {
    // On the monotonic clock: a step of the wall clock must not change when a vanished device
    // is noticed. The library only signals the condition, so the clock is ours to choose.
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    const long lNs = deadline.tv_nsec + static_cast<long>(m_nRecheckMs % 1000) * 1000000L;
    deadline.tv_sec += m_nRecheckMs / 1000 + lNs / 1000000000L;
    deadline.tv_nsec = lNs % 1000000000L;
    pthread_cond_clockwait(&m_event.eCondVar, &m_event.eMutex, CLOCK_MONOTONIC, &deadline);
    m_bDeviceStalled = false;
  }
  const bool bStop = m_bStopWaiting;
  pthread_mutex_unlock(&m_event.eMutex);
  return !bStop;
}

uint32_t CUsbPort::ReadAvailable(uint8_t* pBuffer) {
  uint32_t nWaiting = QueuedBytes();
  if (nWaiting == 0) return 0;
  if (nWaiting > READ_BLOCK_SIZE) nWaiting = READ_BLOCK_SIZE;
  D2XX_DWORD dwRead = 0;
  if (!m_library.Calls().FT_W32_ReadFile(m_hDevice, pBuffer, nWaiting, &dwRead, nullptr) || dwRead == 0) {
    QueuedBytes();  // clears the error state
    m_bDeviceStalled = true;
    return 0;
  }
  m_bDeviceStalled = false;
  return dwRead < nWaiting ? dwRead : nWaiting;  // never trust a count beyond what was asked
}

void CUsbPort::StopWaiting() {
  pthread_mutex_lock(&m_event.eMutex);
  m_bStopWaiting = true;
  pthread_cond_broadcast(&m_event.eCondVar);
  pthread_mutex_unlock(&m_event.eMutex);
}
