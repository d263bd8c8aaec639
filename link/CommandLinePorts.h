#pragma once
// Ports named on the command line, shared by the analyzer and korvex-cli:
//   --port /dev/ttyUSB4          a plain serial port (module-port flag 0)
//   --port=/tmp/sim.tty=module   listed as the module's port (flag 1)
//   --port ttyS1                 a name without "/" is a device under /dev
// Such ports join the serial list even when discovery left them out (another maker's adapter,
// a pseudo-terminal of the simulated module).
#include <string>
#include <string_view>
#include <vector>

#include "link/SerialPortDiscovery.h"

struct CCommandLinePort {
  std::string m_strPath;
  bool m_bModule = false;
};

struct CPortArguments {
  std::vector<CCommandLinePort> m_ports;
  std::vector<std::string> m_rest;  // every other argument, in order
  std::string m_strError;           // the first malformed --port; empty when all were fine
};

// One --port value: "PATH" or "PATH=module". A text after the last "=" that holds no "/" is
// a port kind, and "module" is the only kind; an empty path is refused.
bool ParsePortValue(std::string_view value, CCommandLinePort& port, std::string& strError);

// Takes every "--port VALUE" and "--port=VALUE" out of the arguments (without the program name).
CPortArguments ExtractPortArguments(const std::vector<std::string>& args);

// Adds the ports to the serial list. A port whose device path is already listed keeps its
// place and its module flag, which "=module" may raise but a plain path never lowers; the
// others are appended in order.
void AddCommandLinePorts(CPortLists& lists, const std::vector<CCommandLinePort>& ports);
