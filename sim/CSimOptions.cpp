#include "sim/CSimOptions.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "KorvexVersion.h"

namespace {

// A whole unsigned number within [nMin, nMax]: decimal, or hexadecimal with "0x".
bool ParseNumber(const char* pszText, uint32_t nMin, uint32_t nMax, uint32_t& nValue) {
  if (pszText == nullptr || *pszText == '\0' || *pszText == '-' || *pszText == '+' || *pszText == ' ')
    return false;
  const bool bHex = pszText[0] == '0' && (pszText[1] == 'x' || pszText[1] == 'X');
  if (bHex && pszText[2] == '\0') return false;
  errno = 0;
  char* pEnd = nullptr;
  const unsigned long long qwValue = std::strtoull(pszText, &pEnd, bHex ? 16 : 10);
  if (errno != 0 || *pEnd != '\0' || qwValue < nMin || qwValue > nMax) return false;
  nValue = static_cast<uint32_t>(qwValue);
  return true;
}

}  // namespace

const char* CSimOptions::Usage() {
  return "usage: korvex-sim [--link PATH] [--rate FRAMES_PER_SECOND [--ids N] | --bus] [--firmware 0xMN]\n"
         "                  [--seconds N]\n"
         "\n"
         "Serves a simulated Korvex module on a new pseudo-terminal and prints its path, so the\n"
         "analyzer and korvex-cli can be tried without hardware (korvex-cli --port PATH).\n"
         "\n"
         "Options:\n"
         "  --link PATH      also make PATH a symbolic link to the pseudo-terminal\n"
         "  --rate N         received frames per second while reception runs (0 to 100000, default 10);\n"
         "                   each frame carries a sequence number\n"
         "  --ids N          the numbered frames take the identifiers 0 to N-1 in turn (1 to 100000;\n"
         "                   under CAN 2.0A only those below 0x800)\n"
         "  --bus            received frames look like a real bus instead: several identifiers\n"
         "                   (11-bit, and 29-bit under CAN 2.0B) at cycle times of 10 ms to 1 s,\n"
         "                   data and remote frames of various lengths, changing data\n"
         "  --firmware 0xMN  firmware version the module reports (default 0x12, version 1.2)\n"
         "  --record FILE    write each frame command taken to FILE as a line \"SECONDS LINE\", the\n"
         "                   seconds on the monotonic clock (for timing what a sender sent)\n"
         "  --seconds N      stop after N seconds (default: run until SIGINT, SIGTERM or SIGHUP)\n"
         "  --help           print this help and exit\n"
         "  --version        print the program's version and exit\n"
         "\n"
         "Exit status: 0 after serving, 1 when the terminal or the link cannot be made, 2 on bad\n"
         "usage.\n";
}

std::string CSimOptions::VersionText() { return std::string("korvex-sim ") + KORVEX_VERSION; }

bool CSimOptions::Parse(int argc, const char* const* argv, std::string& error) {
  bool bRate = false;
  for (int i = 1; i < argc; ++i) {
    const char* pszName = argv[i];
    if (std::strcmp(pszName, "--help") == 0 || std::strcmp(pszName, "-h") == 0) {
      m_bHelp = true;
      continue;
    }
    if (std::strcmp(pszName, "--version") == 0) {
      m_bVersion = true;
      continue;
    }
    if (std::strcmp(pszName, "--bus") == 0) {
      m_bBus = true;
      continue;
    }
    const bool bKnown = std::strcmp(pszName, "--link") == 0 || std::strcmp(pszName, "--rate") == 0 ||
                        std::strcmp(pszName, "--ids") == 0 || std::strcmp(pszName, "--firmware") == 0 ||
                        std::strcmp(pszName, "--seconds") == 0 || std::strcmp(pszName, "--record") == 0;
    if (!bKnown) {
      error = std::string("unknown argument: ") + pszName;
      return false;
    }
    if (i + 1 >= argc) {
      error = std::string(pszName) + " needs a value";
      return false;
    }
    const char* pszValue = argv[++i];
    uint32_t nValue = 0;
    bool bGood = true;
    if (std::strcmp(pszName, "--link") == 0 || std::strcmp(pszName, "--record") == 0) {
      bGood = *pszValue != '\0';
      (std::strcmp(pszName, "--link") == 0 ? m_linkPath : m_recordPath) = pszValue;
    } else if (std::strcmp(pszName, "--rate") == 0) {
      bRate = true;
      bGood = ParseNumber(pszValue, 0, CSimModule::MAX_FRAME_RATE, m_nRate);
    } else if (std::strcmp(pszName, "--ids") == 0) {
      bGood = ParseNumber(pszValue, 1, MAX_IDS, m_nIds);
    } else if (std::strcmp(pszName, "--firmware") == 0) {
      bGood = ParseNumber(pszValue, 0, 0xFF, nValue);
      m_byVersion = static_cast<uint8_t>(nValue);
    } else {
      bGood = ParseNumber(pszValue, 1, MAX_SECONDS, m_nSeconds);
    }
    if (!bGood) {
      error = std::string("bad value for ") + pszName + ": \"" + pszValue + "\"";
      return false;
    }
  }
  if (m_bBus && m_nIds > 0) {
    error = "--ids does not apply to --bus traffic";
    return false;
  }
  if (m_bBus && bRate) {
    error = "--rate does not apply to --bus traffic (each message has its own cycle time)";
    return false;
  }
  return true;
}
