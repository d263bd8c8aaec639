#pragma once
// The shape both transports share, as the module channel uses them. The channel owns one of
// each; tests give it scripted ones.
#include <cstdint>
#include <memory>
#include <string>

class CByteQueue;
class MessageHost;

class ByteTransport {
public:
  virtual ~ByteTransport() = default;
  virtual void SetNotifyTarget(MessageHost* pTarget, unsigned nMessage, CByteQueue* pQueue) = 0;
  // The name is a tty path or device name (serial) or a USB serial number; the USB link
  // ignores the rate.
  virtual bool Open(const std::string& name, uint32_t dwBaudRate) = 0;
  virtual int Close() = 0;
  virtual uint32_t Write(const uint8_t* pData, uint32_t nLength) = 0;
  virtual bool IsOpen() const = 0;
};

// The real transports: a CSerialPort and a CUsbPort behind the interface.
std::unique_ptr<ByteTransport> MakeSerialTransport();
std::unique_ptr<ByteTransport> MakeUsbTransport();
