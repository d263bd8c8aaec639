#pragma once
// Records received frames to a file in a form other CAN tools read: a candump log (".log" and
// any other name, microsecond arrival times) or an ASC log (".asc"). The frames of each batch go
// out when the batch ends, so the file is never more than one batch behind. A failed write
// stops the recording the way the analyzer's logs stop: the file is closed with everything
// written so far, Error() says why, and the failure handler is told (once).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "logs/AscFormat.h"
#include "protocol/FrameConsumer.h"
#include "receive/CLogFile.h"

enum class ERecordFormat { CANDUMP, ASC };

// ".asc" in any case is ASC; every other name a candump log.
ERecordFormat RecordFormatOf(std::string_view path);

class CFrameRecorder final : public FrameConsumer {
public:
  using FailureHandler = std::function<void(const std::string& error)>;
  void SetFailureHandler(FailureHandler handler) { m_onFailure = std::move(handler); }

  // Replaces the file at path (the caller asked whether to); an ASC header is dated nNowWallNs.
  // False when it cannot be opened; Error() says why ("open: Permission denied").
  bool Start(const std::string& path, int64_t nNowWallNs);
  // Ends the file (an ASC trigger block is closed) and closes it; false when that last write
  // failed (Error() says why). Nothing happens when no recording runs.
  bool Stop();
  bool IsRecording() const { return m_file.IsOpen(); }
  const std::string& Path() const { return m_path; }
  const std::string& Error() const { return m_error; }
  uint64_t FrameCount() const { return m_qwFrames; }

  void OnFrames(std::span<const ReceivedFrame> frames) override;
  void EndBatch() override;

private:
  bool Write();

  CLogFile m_file;
  ERecordFormat m_eFormat = ERecordFormat::CANDUMP;
  CAscWriter m_asc;
  std::string m_path;
  std::string m_error;
  std::string m_text;  // the batch's lines, reused
  std::string m_line;
  uint64_t m_qwFrames = 0;
  FailureHandler m_onFailure;
};
