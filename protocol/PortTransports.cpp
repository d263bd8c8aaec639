// The channel on the real transports; kept apart from the channel so that code which gives it
// its own transports does not link the real ones.
#include "link/CSerialPort.h"
#include "link/CUsbPort.h"
#include "protocol/CModuleChannel.h"

CModuleChannel::CModuleChannel() : CModuleChannel(std::make_unique<CSerialPort>(), std::make_unique<CUsbPort>(), true) {}
