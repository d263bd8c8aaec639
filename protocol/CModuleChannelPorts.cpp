// The channel with the real transports, in its own file so that code which supplies its
// own transports links without them.
#include "protocol/CModuleChannel.h"

CModuleChannel::CModuleChannel() : CModuleChannel(MakeSerialTransport(), MakeUsbTransport()) {}
