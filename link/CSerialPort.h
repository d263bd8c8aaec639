#pragma once
// Serial transport over a tty device: raw 8N1 at the given rate, no flow control, a
// reader thread that drains the port into the channel's receive queue and posts one
// notification per drained burst.
#include <termios.h>

#include <cstdint>
#include <string>

#include "link/CPortReader.h"
#include "link/CUniqueFd.h"

class CByteQueue;
class ReaderListener;

class CSerialPort : private PortInput {
public:
  static constexpr uint32_t READ_BLOCK_SIZE = CPortReader::READ_BLOCK_SIZE;
  static constexpr int WRITE_TIMEOUT_MS = 1000;

  CSerialPort();
  virtual ~CSerialPort();  // closes the port
  CSerialPort(const CSerialPort&) = delete;
  CSerialPort& operator=(const CSerialPort&) = delete;

  // Only while the port is closed (the channel calls it once, before the first Open).
  void SetNotifyTarget(ReaderListener* pListener, CByteQueue* pQueue);
  // A port name without "/" is a device under /dev ("ttyUSB0"); a path is used as given.
  // Closes whatever was open first. Fails for a rate that termios cannot express, for a
  // device that is not a tty and for a port that another program holds.
  bool Open(const std::string& portName, uint32_t dwBaudRate);
  // Nonzero when an open port was closed, 0 when none was open. When it returns, no reader
  // thread can touch the port, the queue or the target any more, and the tty is left as Open
  // found it (line settings, except HUPCL, and not exclusive).
  int Close();
  // Bytes written: all of them, or fewer (0 if none) when the device failed or vanished, or
  // when 1000 ms passed before the last byte was accepted. Never blocks longer than that.
  uint32_t Write(const uint8_t* pData, uint32_t nLength);
  bool IsOpen() const;
  // Blocks dropped because the receive queue had no room (for diagnostics).
  uint64_t DroppedBlocks() const;
  // Why the last Open failed, as "call: reason" ("open: Permission denied"); empty after a
  // successful one.
  const std::string& LastError() const { return m_lastError; }

private:
  bool WaitForInput() override;
  uint32_t ReadAvailable(uint8_t* pBuffer) override;
  void StopWaiting() override;
  bool IsGone() const override { return m_bPortGone; }
  bool Fail(const char* pszCall, int nError);

  CUniqueFd m_fdPort;
  CUniqueFd m_fdWake;        // eventfd that ends the reader's wait
  termios m_foundLine{};     // the line settings before Open changed them
  bool m_bPortGone = false;  // reader thread only: hung up, stop watching the port
  std::string m_lastError;
  CPortReader m_reader;
};
