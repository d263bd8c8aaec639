// The real transports behind the channel's interface, and the channel constructor that uses
// them; kept apart from the channel so that code which gives it its own transports does not
// link the real ones.
#include "link/CSerialPort.h"
#include "link/CUsbPort.h"
#include "protocol/ByteTransport.h"
#include "protocol/CModuleChannel.h"

namespace {

bool OpenPort(CSerialPort& port, const std::string& name, uint32_t dwBaudRate) {
  return port.Open(name, dwBaudRate);
}
bool OpenPort(CUsbPort& port, const std::string& name, uint32_t /*dwBaudRate*/) {
  return port.Open(name);
}
uint32_t PortRate(const CSerialPort&, uint32_t dwBaudRate) { return dwBaudRate; }
uint32_t PortRate(const CUsbPort&, uint32_t /*dwBaudRate*/) { return CUsbPort::USB_BAUD_RATE; }

template <class TPort>
class CPortTransport final : public ByteTransport {
public:
  void SetNotifyTarget(ReaderListener* pListener, CByteQueue* pQueue) override {
    m_port.SetNotifyTarget(pListener, pQueue);
  }
  bool Open(const std::string& name, uint32_t dwBaudRate) override {
    m_dwRate = PortRate(m_port, dwBaudRate);
    return OpenPort(m_port, name, dwBaudRate);
  }
  int Close() override { return m_port.Close(); }
  uint32_t Write(const uint8_t* pData, uint32_t nLength) override { return m_port.Write(pData, nLength); }
  bool IsOpen() const override { return m_port.IsOpen(); }
  uint32_t LineRate() const override { return m_dwRate; }
  std::string LastError() const override { return m_port.LastError(); }
  uint64_t DroppedBlocks() const override { return m_port.DroppedBlocks(); }

private:
  TPort m_port;
  uint32_t m_dwRate = 0;
};

}  // namespace

std::unique_ptr<ByteTransport> MakeSerialTransport() { return std::make_unique<CPortTransport<CSerialPort>>(); }
std::unique_ptr<ByteTransport> MakeUsbTransport() { return std::make_unique<CPortTransport<CUsbPort>>(); }

CModuleChannel::CModuleChannel() : CModuleChannel(MakeSerialTransport(), MakeUsbTransport()) {}
