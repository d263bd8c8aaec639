#pragma once
// The pseudo-terminal korvex-sim serves on. The master side is the module's end; clients
// open the slave path as they would a serial port. The slave is opened here as well and
// kept open, so the master never reports a hang-up while no client is connected (which
// would make poll() return at once, over and over), and so the raw line settings stay.
#include <string>

#include "link/CUniqueFd.h"

class CSimPty {
public:
  // Opens the pair with the master non-blocking and the slave raw (no echo, no CR/LF
  // translation, no signals). On failure returns false and names the failed call.
  bool Open(std::string& error);
  int MasterFd() const { return m_master.Get(); }
  const std::string& SlavePath() const { return m_slavePath; }

private:
  CUniqueFd m_master;
  CUniqueFd m_slave;
  std::string m_slavePath;
};
