#pragma once
// The PC's side of the line protocol, as the simulated module's tests see it: a client that
// decodes the module's output with the line assembler, and an independent framing check.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "protocol/CLineAssembler.h"
#include "protocol/LineFraming.h"
#include "sim/CSimModule.h"
#include "link/CUniqueFd.h"

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

class CSimTestClient : public LineDispatcher {
public:
  void Feed(std::string_view bytes) {
    for (char c : bytes) m_assembler.FeedByte(static_cast<uint8_t>(c));
  }
  // Lines decoded since the last call.
  std::vector<SLine> Take() { return std::exchange(m_lines, {}); }

  void DispatchLine(const CLineAssembler& line) override {
    const auto fields = line.Fields();
    m_lines.push_back({static_cast<char>(line.Letter()), {fields.begin(), fields.end()}});
  }

private:
  CLineAssembler m_assembler{*this};
  std::vector<SLine> m_lines;
};

// Frames the payload like the PC, feeds it to the module and returns what the module sent.
inline std::string Command(CSimModule& sim, std::string_view payload) {
  const CLineText line = BuildLine(payload);
  sim.Feed(reinterpret_cast<const uint8_t*>(line.m_szText), line.m_byLength);
  return sim.TakeOutput();
}

// Checks the framing of one line without the production assembler: ":", an upper-case
// letter, pairs of upper-case hex digits, the checksum of letter and fields, CR.
inline testing::AssertionResult IsFramedLine(std::string_view line) {
  auto digit = [](char c) { return (c >= '0' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1; };
  if (line.size() < 5 || line.front() != ':' || line.back() != '\r' || line[1] < 'A' || line[1] > 'Z')
    return testing::AssertionFailure() << "bad frame: " << testing::PrintToString(std::string(line));
  const std::string_view body = line.substr(1, line.size() - 2);  // letter .. checksum
  if (body.size() % 2 == 0) return testing::AssertionFailure() << "odd digit count in " << line;
  unsigned nSum = 0;
  for (size_t i = 0; i + 2 < body.size(); ++i) nSum += static_cast<unsigned char>(body[i]);
  for (size_t i = 1; i < body.size(); ++i)
    if (digit(body[i]) < 0) return testing::AssertionFailure() << "bad digit in " << line;
  const unsigned nGiven = static_cast<unsigned>(digit(body[body.size() - 2]) * 16 + digit(body.back()));
  if ((nSum & 0xFF) != nGiven) return testing::AssertionFailure() << "bad checksum in " << line;
  return testing::AssertionSuccess();
}

// Splits output at each CR (kept); a trailing unterminated piece is returned as well.
inline std::vector<std::string> SplitLines(std::string_view out) {
  std::vector<std::string> lines;
  while (!out.empty()) {
    const size_t nEnd = out.find('\r');
    const size_t nTake = nEnd == std::string_view::npos ? out.size() : nEnd + 1;
    lines.emplace_back(out.substr(0, nTake));
    out.remove_prefix(nTake);
  }
  return lines;
}

// Real I/O with a pseudo-terminal: every wait is bounded.
inline constexpr int WAIT_MS = 10000;  // generous: the program may run under a sanitizer

using Clock = std::chrono::steady_clock;

inline int RemainingMs(Clock::time_point deadline) {
  const auto n = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return n > 0 ? static_cast<int>(n) : 0;
}

// Waits until fd is readable; false at the deadline.
inline bool WaitReadable(int nFd, Clock::time_point deadline) {
  pollfd pfd{nFd, POLLIN, 0};
  return ::poll(&pfd, 1, RemainingMs(deadline)) > 0;
}

// A client on the simulated module's terminal: sends lines, collects the decoded answers.
class CTerminalClient {
public:
  explicit CTerminalClient(const std::string& path)
      : m_fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}
  bool IsOpen() const { return m_fd.IsValid(); }

  bool Send(std::string_view line) {
    return ::write(m_fd.Get(), line.data(), line.size()) == static_cast<ssize_t>(line.size());
  }

  // Reads until at least nCount lines have been decoded or the wait ends; returns them all.
  std::vector<SLine> Receive(size_t nCount) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(WAIT_MS);
    std::vector<SLine> lines;
    char acBlock[4096];
    while (lines.size() < nCount && WaitReadable(m_fd.Get(), deadline)) {
      const ssize_t n = ::read(m_fd.Get(), acBlock, sizeof acBlock);
      if (n <= 0) break;
      m_raw.append(acBlock, static_cast<size_t>(n));
      m_client.Feed({acBlock, static_cast<size_t>(n)});
      for (SLine& line : m_client.Take()) lines.push_back(std::move(line));
    }
    return lines;
  }
  const std::string& Raw() const { return m_raw; }

private:
  CUniqueFd m_fd;
  CSimTestClient m_client;
  std::string m_raw;
};

