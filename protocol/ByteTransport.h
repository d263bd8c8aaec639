#pragma once
// The shape both transports share, as the module channel uses them. The channel owns one of
// each; tests give it scripted ones.
#include <cstdint>
#include <memory>
#include <string>

class CByteQueue;
class ReaderListener;

class ByteTransport {
public:
  virtual ~ByteTransport() = default;
  // Where the reader thread puts received bytes and whom it tells; only while closed.
  virtual void SetNotifyTarget(ReaderListener* pListener, CByteQueue* pQueue) = 0;
  // The name is a tty path or device name (serial) or a USB serial number; the USB link
  // ignores the rate.
  virtual bool Open(const std::string& name, uint32_t dwBaudRate) = 0;
  virtual int Close() = 0;
  virtual uint32_t Write(const uint8_t* pData, uint32_t nLength) = 0;
  virtual bool IsOpen() const = 0;
  // The open port's line rate in bit/s: the serial rate asked for, or the USB link's own.
  virtual uint32_t LineRate() const = 0;
  // Why the last Open failed ("open: Permission denied"); empty after a successful one.
  virtual std::string LastError() const = 0;
  // Received blocks the reader dropped because the queue had no room, over the object's life.
  virtual uint64_t DroppedBlocks() const = 0;
};

// The real transports: a CSerialPort and a CUsbPort behind the interface.
std::unique_ptr<ByteTransport> MakeSerialTransport();
std::unique_ptr<ByteTransport> MakeUsbTransport();
