#pragma once
// What the serial and the USB transport share, as the module channel uses them. The channel
// owns one of each; tests give it scripted ones.
#include <cstdint>
#include <string>

class CByteQueue;
class ReaderListener;

class ByteTransport {
public:
  virtual ~ByteTransport() = default;
  // Where the reader thread puts received bytes and whom it tells; only while closed.
  virtual void SetNotifyTarget(ReaderListener* pListener, CByteQueue* pQueue) = 0;
  // Closes whatever was open first. The name is a tty path or device name (serial) or a USB
  // serial number; the USB link ignores the rate.
  virtual bool Open(const std::string& name, uint32_t dwBaudRate) = 0;
  // Nonzero when an open port was closed, 0 when none was open. When it returns, no reader
  // thread can touch the port, the queue or the target any more.
  virtual int Close() = 0;
  // Bytes written: all of them, or fewer (0 if none) when the device failed or vanished, or
  // when the write timeout passed. Never blocks longer than that.
  virtual uint32_t Write(const uint8_t* pData, uint32_t nLength) = 0;
  // Why the last Write sent fewer bytes than asked ("Input/output error", "12 of 31 bytes sent
  // in 1 s"); asked on the thread that wrote, right after the write.
  virtual std::string WriteError(uint32_t nWritten, uint32_t nLength) const {
    return std::to_string(nWritten) + " of " + std::to_string(nLength) + " bytes sent";
  }
  virtual bool IsOpen() const = 0;
  // The open port's line rate in bit/s: the serial rate asked for, or the USB link's own.
  virtual uint32_t LineRate() const = 0;
  // Why the last Open failed ("open: Permission denied"); empty after a successful one.
  virtual std::string LastError() const = 0;
  // Received blocks the reader dropped because the queue had no room, over the object's life.
  virtual uint64_t DroppedBlocks() const = 0;
};
