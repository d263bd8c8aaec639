#pragma once
// Command line of korvex-sim:
//   korvex-sim [--link PATH] [--rate FRAMES_PER_SECOND | --bus] [--version 0xMN] [--seconds N]
//   --rate 0 sends no frames; --bus sends realistic bus traffic instead of numbered frames; --version takes 0x12 or 18 alike; without --seconds the
//   program serves until SIGINT or SIGTERM.
#include <cstdint>
#include <string>

#include "sim/CSimModule.h"

struct CSimOptions {
  static constexpr uint32_t MAX_SECONDS = 31536000;  // a year

  std::string m_linkPath;                          // empty: no link
  uint32_t m_nRate = CSimModule::DEFAULT_FRAME_RATE;
  uint8_t m_byVersion = CSimModule::DEFAULT_VERSION;
  uint32_t m_nSeconds = 0;                         // 0: until a signal
  bool m_bBus = false;                             // bus traffic instead of numbered frames
  bool m_bHelp = false;

  // False on a bad argument, with error saying which.
  bool Parse(int argc, const char* const* argv, std::string& error);
  static const char* Usage();
};
