#pragma once
// Serial transport over a tty device: raw 8N1 at the given rate, no flow control, a
// reader thread that drains the port into the channel's receive queue and posts one
// notification per drained burst.
#include <termios.h>

#include <cstdint>
#include <string>

#include "link/ByteTransport.h"
#include "link/CPortReader.h"
#include "link/CUniqueFd.h"

class CSerialPort final : public ByteTransport, private PortInput {
public:
  static constexpr uint32_t READ_BLOCK_SIZE = CPortReader::READ_BLOCK_SIZE;
  static constexpr int WRITE_TIMEOUT_MS = 1000;

  CSerialPort();
  ~CSerialPort() override;  // closes the port
  CSerialPort(const CSerialPort&) = delete;
  CSerialPort& operator=(const CSerialPort&) = delete;

  void SetNotifyTarget(ReaderListener* pListener, CByteQueue* pQueue) override;
  // A port name without "/" is a device under /dev ("ttyUSB0"); a path is used as given.
  // Fails for a rate that termios cannot express, for a device that is not a tty and for a
  // port that another program holds.
  bool Open(const std::string& portName, uint32_t dwBaudRate) override;
  // Also leaves the tty as Open found it (line settings, except HUPCL).
  int Close() override;
  uint32_t Write(const uint8_t* pData, uint32_t nLength) override;
  std::string WriteError(uint32_t nWritten, uint32_t nLength) const override;
  bool IsOpen() const override;
  uint64_t DroppedBlocks() const override;
  uint32_t LineRate() const override { return m_dwBaudRate; }
  // As "call: reason" ("open: Permission denied").
  std::string LastError() const override { return m_lastError; }
  // How long a write, and the output left at Close, may wait for a device that takes nothing
  // (tests shorten it).
  void SetWriteTimeout(int nMilliseconds) { m_nWriteTimeoutMs = nMilliseconds; }

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
  int m_nWriteTimeoutMs = WRITE_TIMEOUT_MS;
  int m_nWriteErrno = 0;  // the writing thread's: why the last write stopped short, 0 for the timeout
  uint32_t m_dwBaudRate = 0;  // the rate of the last successful Open
  std::string m_lastError;
  CPortReader m_reader;
};
