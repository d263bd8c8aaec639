#pragma once
// The PC's side of the line protocol for the simulated module's tests, without the production assembler.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <regex>
#include <string>
#include <vector>

#include "link/CUniqueFd.h"
#include "protocol/LineFraming.h"
#include "sim/CSimModule.h"

inline constexpr int WAIT_MS = 10000;  // generous: the program may run under a sanitizer

struct SLine {
  char m_cLetter;
  std::vector<uint8_t> m_abyFields;

  // Big-endian number from nBytes fields starting at nFirst.
  uint32_t Number(unsigned nFirst, unsigned nBytes) const {
    uint32_t dwValue = 0;
    for (unsigned i = 0; i < nBytes; ++i) dwValue = (dwValue << 8) | m_abyFields.at(nFirst + i);
    return dwValue;
  }
};

// ":", an upper-case letter, pairs of upper-case hex digits, the checksum of letter and fields, CR.
inline testing::AssertionResult IsFramedLine(const std::string& line) {
  unsigned nSum = 0;
  for (size_t i = 1; i + 3 < line.size(); ++i) nSum += static_cast<unsigned char>(line[i]);
  if (std::regex_match(line, std::regex(":[A-Z]([0-9A-F]{2})+\r")) &&
      (nSum & 0xFF) == std::stoul(line.substr(line.size() - 3, 2), nullptr, 16))
    return testing::AssertionSuccess();
  return testing::AssertionFailure() << "bad line " << testing::PrintToString(line);
}

// Takes the complete lines from the front of out, checked and decoded; an unterminated rest stays.
inline std::vector<SLine> DecodeLines(std::string& out) {
  std::vector<SLine> lines;
  for (size_t nEnd; (nEnd = out.find('\r')) != std::string::npos; out.erase(0, nEnd + 1)) {
    const std::string line = out.substr(0, nEnd + 1);
    const testing::AssertionResult framed = IsFramedLine(line);
    EXPECT_TRUE(framed);
    if (!framed) continue;
    SLine& decoded = lines.emplace_back(SLine{line[1], {}});
    for (size_t i = 2; i + 3 < line.size(); i += 2)
      decoded.m_abyFields.push_back(static_cast<uint8_t>(std::stoul(line.substr(i, 2), nullptr, 16)));
  }
  return lines;
}

// Frames the payload like the PC, feeds it to the module and returns what the module sent.
inline std::string Command(CSimModule& sim, std::string_view payload) {
  const CLineText line = BuildLine(payload);
  sim.Feed(reinterpret_cast<const uint8_t*>(line.m_szText), line.m_byLength);
  return sim.TakeOutput();
}

// Sends the bytes to the module's terminal and reads until a line has come; the lines, decoded.
inline std::vector<SLine> Exchange(const std::string& path, std::string_view send) {
  const CUniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
  EXPECT_EQ(::write(fd.Get(), send.data(), send.size()), static_cast<ssize_t>(send.size())) << path;
  std::string text;
  pollfd pfd{fd.Get(), POLLIN, 0};
  char acBlock[4096];
  for (ssize_t n; text.find('\r') == std::string::npos && ::poll(&pfd, 1, WAIT_MS) > 0 &&
                 (n = ::read(fd.Get(), acBlock, sizeof acBlock)) > 0;)
    text.append(acBlock, static_cast<size_t>(n));
  return DecodeLines(text);
}
