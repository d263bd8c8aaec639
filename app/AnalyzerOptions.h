#pragma once
// The analyzer's command line, read before the window system is touched, so --help, --version,
// a refused option and a missing display are answered without one:
//   korvex-analyzer [--port PATH[=module]]... [--simulate] [--lang ko|en] [FILE.ctd]
// The toolkit's own options (-platform NAME, -style NAME, -reverse ...) are let through for the
// toolkit to take; -platform and -display also decide whether a display is needed.
#include <string>
#include <vector>

#include "link/CommandLinePorts.h"

struct CAnalyzerOptions {
  bool m_bHelp = false;
  bool m_bVersion = false;
  bool m_bSimulate = false;
  std::string m_strLanguage;      // --lang's value, "ko" or "en"; empty: not given
  std::vector<CCommandLinePort> m_ports;
  std::string m_strTransmitFile;  // opened into the transmit list at start-up; empty: none
  std::string m_strPlatform;      // -platform's value; empty: not given
  bool m_bDisplayOption = false;  // -display was given
  std::string m_strError;         // the first refused argument; empty when all were taken
};

CAnalyzerOptions ParseAnalyzerArguments(const std::vector<std::string>& args);

// What the program's environment says about reaching a display (null: the variable is not set).
struct CDisplayEnvironment {
  const char* pszDisplay = nullptr;         // DISPLAY
  const char* pszWaylandDisplay = nullptr;  // WAYLAND_DISPLAY
  const char* pszPlatform = nullptr;        // QT_QPA_PLATFORM
};

// Empty when the window can be shown, else one line saying why not. -platform overrides
// QT_QPA_PLATFORM; either may list several platforms ("wayland;xcb"), any one that can start
// will do. xcb needs DISPLAY (or -display), wayland WAYLAND_DISPLAY, the default either of
// them; other platforms (offscreen, vnc, linuxfb ...) need no display server.
std::string MissingDisplay(const CAnalyzerOptions& options, const CDisplayEnvironment& environment);

std::string AnalyzerUsage();
std::string AnalyzerVersion();  // "korvex-analyzer 1.0.0"
