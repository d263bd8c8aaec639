#pragma once
// Received frames as korvex-cli prints them, one line each: the receive list's line (after
// the local time of the second the frame arrived, with --timestamps) or a candump line
// (CandumpLine.h). monitor prints the frames it takes from the channel, convert those it reads
// from a receive-data log. Nothing more is written once the output has failed.
#include <cstdio>
#include <string>

#include "cli/CliOptions.h"
#include "protocol/FrameConsumer.h"

class CLogFiles;

class CFramePrinter final : public FrameConsumer {
public:
  // pStamps: where the time stamps come from (LOG_STAMP_FORMAT); null prints none. Only TEXT
  // and CANDUMP are frame lines.
  CFramePrinter(std::FILE* pOut, EFrameFormat eFormat, CLogFiles* pStamps = nullptr)
      : m_pOut(pOut), m_eFormat(eFormat), m_pStamps(pStamps) {}
  void OnFrames(std::span<const ReceivedFrame> frames) override;

private:
  std::FILE* m_pOut;
  EFrameFormat m_eFormat;
  CLogFiles* m_pStamps;
  std::string m_line;  // reused for every frame
};
