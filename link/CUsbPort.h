#pragma once
// USB transport through the D2XX library (loaded at run time): the same shape and reader as
// CSerialPort, opened by USB serial number, always at 921,600 bit/s.
#include <cstdint>
#include <string>

#include "link/ByteTransport.h"
#include "link/CPortReader.h"
#include "link/D2xxApi.h"

class CD2xxLibrary;

class CUsbPort final : public ByteTransport, private PortInput {
public:
  static constexpr uint32_t READ_BLOCK_SIZE = CPortReader::READ_BLOCK_SIZE;
  static constexpr uint32_t USB_BAUD_RATE = 921600;
  static constexpr int RECHECK_MS = 1000;  // longest wait for input without a signal
  // A device whose status query fails this many times in a row, a recheck apart, has gone
  // (unplugged): one failure alone may be a passing USB error.
  static constexpr int GONE_AFTER_FAILED_QUERIES = 2;

  CUsbPort();  // uses CD2xxLibrary::Shared()
  // The library outlives the port; it is not unloaded while the port holds a device open.
  explicit CUsbPort(CD2xxLibrary& library);
  ~CUsbPort() override;
  CUsbPort(const CUsbPort&) = delete;
  CUsbPort& operator=(const CUsbPort&) = delete;

  void SetNotifyTarget(ReaderListener* pListener, CByteQueue* pQueue) override;
  // Opens and configures the device with this USB serial number, always at 921,600 bit/s
  // whatever rate is given. False (and closed) when the library is not loaded or any step
  // fails.
  bool Open(const std::string& serialNumber, uint32_t dwBaudRate) override;
  int Close() override;
  // Bytes the library accepted within its 1000 ms write timeout; 0 on failure.
  uint32_t Write(const uint8_t* pData, uint32_t nLength) override;
  bool IsOpen() const override;
  uint64_t DroppedBlocks() const override;
  uint32_t LineRate() const override { return USB_BAUD_RATE; }  // the module's own link
  // "D2XX library (libftd2xx.so) not loaded", "FT_ResetDevice failed".
  std::string LastError() const override { return m_lastError; }
  // The recheck interval; only while closed (tests shorten it).
  void SetRecheckInterval(int nMilliseconds) { m_nRecheckMs = nMilliseconds; }

private:
  bool Configure();
  bool Step(bool bDone, const char* pszCall);
  uint32_t QueuedBytes();
  bool WaitForInput() override;
  uint32_t ReadAvailable(uint8_t* pBuffer) override;
  void StopWaiting() override;
  bool IsGone() const override { return m_nFailedQueries >= GONE_AFTER_FAILED_QUERIES; }

  CD2xxLibrary& m_library;
  FT_HANDLE m_hDevice = nullptr;
  // The library signals received characters through this; StopWaiting uses it too.
  FT_EVENT_HANDLE m_event;
  bool m_bStopWaiting = false;    // guarded by m_event.eMutex
  bool m_bDeviceStalled = false;  // reader thread only: input was reported but could not be read
  int m_nFailedQueries = 0;       // reader thread only: status queries failed in a row
  int m_nRecheckMs = RECHECK_MS;
  std::string m_lastError;
  CPortReader m_reader;
};
