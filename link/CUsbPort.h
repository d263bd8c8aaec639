#pragma once
// USB transport through the D2XX library (loaded at run time): the same shape and reader as
// CSerialPort, opened by USB serial number, always at 921,600 bit/s.
#include <cstdint>
#include <string>

class CByteQueue;
class MessageHost;

class CUsbPort {
public:
  static constexpr uint32_t READ_BLOCK_SIZE = 4096;
  static constexpr uint32_t USB_BAUD_RATE = 921600;

  CUsbPort();
  virtual ~CUsbPort();
  CUsbPort(const CUsbPort&) = delete;
  CUsbPort& operator=(const CUsbPort&) = delete;

  void SetNotifyTarget(MessageHost* pTarget, unsigned nMessage, CByteQueue* pQueue);
  bool Open(const std::string& serialNumber);
  int Close();
  uint32_t Write(const uint8_t* pData, uint32_t nLength);
  bool IsOpen() const;
  uint64_t DroppedBlocks() const;
};
