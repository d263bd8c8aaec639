#pragma once
// Command line of korvex-sim:
//   korvex-sim [--link PATH] [--rate FRAMES_PER_SECOND [--ids N] | --bus] [--firmware 0xMN] [--seconds N]
//              [--record FILE]
//   korvex-sim --help | --version
//   --rate 0 sends no frames; --bus sends realistic bus traffic instead of numbered frames;
//   --firmware takes 0x12 or 18 alike; without --seconds the program serves until SIGINT or
//   SIGTERM.
#include <cstdint>
#include <string>

#include "sim/CSimModule.h"

struct CSimOptions {
  static constexpr uint32_t MAX_SECONDS = 31536000;  // a year
  static constexpr uint32_t MAX_IDS = 100000;

  std::string m_linkPath;                          // empty: no link
  std::string m_recordPath;                        // --record: each frame command taken, timed
  uint32_t m_nRate = CSimModule::DEFAULT_FRAME_RATE;
  uint8_t m_byVersion = CSimModule::DEFAULT_VERSION;
  uint32_t m_nSeconds = 0;                         // 0: until a signal
  uint32_t m_nIds = 0;                             // numbered frames with IDs 0..N-1; 0: the module's own
  bool m_bBus = false;                             // bus traffic instead of numbered frames
  bool m_bHelp = false;
  bool m_bVersion = false;                         // print the program's version

  // False on a bad argument, with error saying which.
  bool Parse(int argc, const char* const* argv, std::string& error);
  static const char* Usage();
  static std::string VersionText();  // "korvex-sim <version>"

};
