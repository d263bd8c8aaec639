#pragma once
// Serial transport over a tty device: raw 8N1 at the given rate, no flow control, a
// reader thread that drains the port into the channel's receive queue and posts one
// notification per drained burst.
#include <cstdint>
#include <string>

class CByteQueue;
class MessageHost;

class CSerialPort {
public:
  static constexpr uint32_t READ_BLOCK_SIZE = 4096;

  CSerialPort();
  virtual ~CSerialPort();  // closes the port
  CSerialPort(const CSerialPort&) = delete;
  CSerialPort& operator=(const CSerialPort&) = delete;

  void SetNotifyTarget(MessageHost* pTarget, unsigned nMessage, CByteQueue* pQueue);
  // A port name without "/" is a device under /dev ("ttyUSB0"); a path is used as given.
  bool Open(const std::string& portName, uint32_t dwBaudRate);
  // Nonzero when an open port was closed, 0 when none was open. When it returns, no reader
  // thread can touch the port, the queue or the target any more.
  int Close();
  // Bytes written; 0 on failure, on a vanished device, or after 1000 ms without progress.
  uint32_t Write(const uint8_t* pData, uint32_t nLength);
  bool IsOpen() const;
  // Blocks dropped because the receive queue had no room (for diagnostics).
  uint64_t DroppedBlocks() const;

  // (implementation members are private and belong to link/CSerialPort.cpp's owner)
};
