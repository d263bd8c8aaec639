#include "link/CSerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

struct BaudEntry {
  uint32_t dwRate;
  speed_t speed;
};

// Every rate that Linux termios names; anything else is refused rather than rounded.
constexpr BaudEntry BAUD_TABLE[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool FindSpeed(uint32_t dwRate, speed_t& speed) {
  for (const BaudEntry& entry : BAUD_TABLE) {
    if (entry.dwRate == dwRate) {
      speed = entry.speed;
      return true;
    }
  }
  return false;
}

// HUPCL off: the module does not use the modem lines, and dropping DTR/RTS at every close
// resets some USB adapters (and the module behind them) each time the port is reopened.
void KeepModemLinesUp(termios& tio) { tio.c_cflag &= ~HUPCL; }

// Raw 8N1 at the given speed, no flow control of either kind, receiver on, modem lines ignored.
bool ConfigureLine(int nFd, termios tio, speed_t speed) {
  cfmakeraw(&tio);
  tio.c_iflag &= ~(IXOFF | IXANY);
  tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
  KeepModemLinesUp(tio);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  // The reader waits in poll() and reads without blocking; a read takes what is there.
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0) return false;
  return tcsetattr(nFd, TCSANOW, &tio) == 0;
}

// Gives queued output (the stop command sent just before a close) up to the write timeout to
// leave, then discards what is left: a stalled device must not hold Close for the tty's
// closing wait (30 s by default), and a flush right away would throw away the last command.
void DrainOutput(int nFd, int nTimeoutMs) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(nTimeoutMs);
  int nQueued = 0;
  while (ioctl(nFd, TIOCOUTQ, &nQueued) == 0 && nQueued > 0) {
    if (Clock::now() >= deadline) {
      tcflush(nFd, TCOFLUSH);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

}  // namespace

CSerialPort::CSerialPort() = default;

CSerialPort::~CSerialPort() { Close(); }

void CSerialPort::SetNotifyTarget(ReaderListener* pListener, CByteQueue* pQueue) {
  m_reader.SetNotifyTarget(pListener, pQueue);
}

// Records why Open failed, in the words a user can act on.
bool CSerialPort::Fail(const char* pszCall, int nError) {
  m_lastError = std::string(pszCall) + ": ";
  if (nError == EWOULDBLOCK || nError == EBUSY) {
    m_lastError += "port is in use by another program";
  } else if (nError == ENOENT || nError == ENXIO || nError == ENODEV) {
    m_lastError += "device not found";
  } else if (nError == ENOTTY) {
    m_lastError += "not a serial port";
  } else {
    // The untranslated text, and unlike strerror safe beside the reader thread.
    const char* pszText = strerrordesc_np(nError);
    m_lastError += pszText != nullptr ? pszText : "error " + std::to_string(nError);
  }
  if (nError == EACCES)
    m_lastError += " (the user may not use this port: on most systems a member of the \"dialout\" group may)";
  return false;
}

bool CSerialPort::Open(const std::string& portName, uint32_t dwBaudRate) {
  Close();
  m_lastError.clear();
  speed_t speed = B0;
  if (portName.empty() || portName.find('\0') != std::string::npos) return Fail("open", ENOENT);
  if (!FindSpeed(dwBaudRate, speed)) {
    m_lastError = "cfsetspeed: " + std::to_string(dwBaudRate) + " bit/s is not a rate a serial port can run at";
    return false;
  }
  const std::string path = portName.find('/') == std::string::npos ? "/dev/" + portName : portName;

  CUniqueFd fdWake(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (!fdWake.IsValid()) return Fail("eventfd", errno);
  CUniqueFd fdPort(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fdPort.IsValid()) return Fail("open", errno);
  // Checked before the lock, so a plain file is named for what it is.
  termios found{};
  if (tcgetattr(fdPort.Get(), &found) != 0) return Fail("open", errno);
  // The port is ours through a lock on the device, which the kernel drops with the last
  // descriptor of its holder, however that ends; other serial programs that lock take the
  // same one. The tty's exclusive flag (TIOCEXCL) is not used: it belongs to the tty, not to
  // this descriptor, so a process killed before Close would leave it set for as long as
  // anyone else holds the tty (a pty's other side, a getty), keeping every user but root out.
  if (flock(fdPort.Get(), LOCK_EX | LOCK_NB) != 0) return Fail("flock", errno);

  // From here on Close gives the tty back as it was found, except HUPCL, which the last close
  // of the tty would act on.
  m_foundLine = found;
  KeepModemLinesUp(m_foundLine);
  m_fdPort = std::move(fdPort);
  m_fdWake = std::move(fdWake);
  m_bPortGone = false;
  if (!ConfigureLine(m_fdPort.Get(), found, speed)) {
    const int nError = errno;
    Close();
    return Fail("tcsetattr", nError);
  }
  tcflush(m_fdPort.Get(), TCIOFLUSH);  // nothing from an earlier session reaches the channel
  if (!m_reader.Start(*this)) {
    Close();
    return Fail("pthread_create", EAGAIN);
  }
  m_dwBaudRate = dwBaudRate;
  return true;
}

int CSerialPort::Close() {
  m_reader.Stop();
  m_fdWake.Reset();
  if (!m_fdPort.IsValid()) return 0;
  DrainOutput(m_fdPort.Get(), m_nWriteTimeoutMs);
  tcflush(m_fdPort.Get(), TCIFLUSH);
  tcsetattr(m_fdPort.Get(), TCSANOW, &m_foundLine);  // fails harmlessly on a device that has gone
  return m_fdPort.Close() ? 1 : 0;
}

bool CSerialPort::IsOpen() const { return m_fdPort.IsValid(); }

uint64_t CSerialPort::DroppedBlocks() const { return m_reader.DroppedBlocks(); }

uint32_t CSerialPort::Write(const uint8_t* pData, uint32_t nLength) {
  m_nWriteErrno = 0;
  if (!m_fdPort.IsValid() || pData == nullptr) {
    m_nWriteErrno = EBADF;
    return 0;
  }
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(m_nWriteTimeoutMs);
  uint32_t nDone = 0;
  while (nDone < nLength) {
    const ssize_t n = ::write(m_fdPort.Get(), pData + nDone, nLength - nDone);
    if (n > 0) {
      nDone += static_cast<uint32_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) {  // EIO: the device is gone
      m_nWriteErrno = errno;
      return nDone;
    }
    const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (remaining.count() <= 0) return nDone;
    pollfd pfd{m_fdPort.Get(), POLLOUT, 0};
    const int nReady = poll(&pfd, 1, static_cast<int>(remaining.count()));
    if (nReady < 0 && errno != EINTR) {
      m_nWriteErrno = errno;
      return nDone;
    }
    if (nReady > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL))) {
      m_nWriteErrno = EIO;
      return nDone;
    }
  }
  return nDone;
}

std::string CSerialPort::WriteError(uint32_t nWritten, uint32_t nLength) const {
  if (m_nWriteErrno != 0) {
    const char* pszText = strerrordesc_np(m_nWriteErrno);
    return pszText != nullptr ? pszText : "error " + std::to_string(m_nWriteErrno);
  }
  const std::string wait = m_nWriteTimeoutMs % 1000 == 0 ? std::to_string(m_nWriteTimeoutMs / 1000) + " s"
                                                         : std::to_string(m_nWriteTimeoutMs) + " ms";
  return std::to_string(nWritten) + " of " + std::to_string(nLength) + " bytes sent in " + wait;
}

bool CSerialPort::WaitForInput() {
  for (;;) {
    // A hung-up tty reports POLLHUP for good; watching it further would spin.
    pollfd afd[2] = {{m_bPortGone ? -1 : m_fdPort.Get(), POLLIN, 0}, {m_fdWake.Get(), POLLIN, 0}};
    if (poll(afd, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return false;  // poll itself broke: end the reader rather than spin
    }
    if (afd[1].revents != 0) return false;
    if (afd[0].revents & (POLLHUP | POLLERR | POLLNVAL)) m_bPortGone = true;
    if (afd[0].revents != 0) return true;  // also after a hang-up: drain what is left once
  }
}

uint32_t CSerialPort::ReadAvailable(uint8_t* pBuffer) {
  for (;;) {
    const ssize_t n = ::read(m_fdPort.Get(), pBuffer, READ_BLOCK_SIZE);
    if (n > 0) return static_cast<uint32_t>(n);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) m_bPortGone = true;
    return 0;
  }
}

void CSerialPort::StopWaiting() {
  const uint64_t qwOne = 1;
  // The counter never reaches its limit here, so the write cannot fail for want of room.
  [[maybe_unused]] const ssize_t n = ::write(m_fdWake.Get(), &qwOne, sizeof qwOne);
}
