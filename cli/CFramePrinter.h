#pragma once
// Received frames as korvex-cli prints them, one line each: the receive list's line (after
// the local time of the second the frame arrived, with --timestamps), a candump line
// (CandumpLine.h) or the frame's signals (SignalLine.h). monitor prints the frames it takes from the channel, convert those it reads
// from a receive-data log. Nothing more is written once the output has failed.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "cli/CliOptions.h"
#include "protocol/FrameConsumer.h"
#include "protocol/ResponseText.h"
#include "signals/SignalCodec.h"

class CDbcDatabase;
class CLogFiles;

class CFramePrinter final : public FrameConsumer {
public:
  // pStamps: where the time stamps come from (LOG_STAMP_FORMAT); null prints none. Only TEXT,
  // CANDUMP and SIGNALS are frame lines; SIGNALS needs the database (SetDatabase).
  CFramePrinter(std::FILE* pOut, EFrameFormat eFormat, CLogFiles* pStamps = nullptr)
      : m_pOut(pOut), m_eFormat(eFormat), m_pStamps(pStamps) {}
  void OnFrames(std::span<const ReceivedFrame> frames) override;
  void SetDatabase(const CDbcDatabase* pDatabase) { m_pDatabase = pDatabase; }
  void SetLabels(FrameLabels labels) { m_labels = std::move(labels); }

private:
  std::FILE* m_pOut;
  EFrameFormat m_eFormat;
  CLogFiles* m_pStamps;
  const CDbcDatabase* m_pDatabase = nullptr;
  FrameLabels m_labels = SystemFrameLabels();  // of the receive list's line
  std::string m_line;  // reused for every frame
  std::vector<DecodedSignal> m_values;
};
