#pragma once
// The candump log the log benchmarks open: nFrames frames of 40 identifiers, both protocols,
// 250 us apart. Made once per size under the temporary directory and kept for the next run.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "logs/CandumpLine.h"

inline std::string MakeLog(int64_t nFrames) {
  const char* pszTmp = std::getenv("TMPDIR");
  const std::string path = std::string(pszTmp != nullptr ? pszTmp : "/tmp") + "/korvex-bench-" + std::to_string(nFrames) + ".log";
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && st.st_size > nFrames * 30) return path;
  std::FILE* pOut = std::fopen(path.c_str(), "we");
  std::string line;
  CanFrame frame;
  for (int64_t i = 0; i < nFrames; ++i) {
    frame.m_bStandard = i % 4 != 0;
    frame.m_dwId = static_cast<uint32_t>(0x100 + i % 40) | (frame.m_bStandard ? 0 : 0x18FE0000);
    frame.m_byLength = frame.m_byLengthCode = frame.m_byDataCount = 8;
    for (int b = 0; b < 8; ++b) frame.m_abyData[b] = static_cast<uint8_t>(i >> (b * 3));
    CandumpLine(frame, 1700000000LL * 1000000000 + i * 250000, line);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), pOut);
  }
  std::fclose(pOut);
  return path;
}
