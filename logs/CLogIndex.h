#pragma once
// An opened log for viewing: where each frame's line starts and when the frame arrived, 16
// bytes a frame however long its line; the frames themselves are read again from the file
// when they are shown. Built in steps, so a window stays responsive and can cancel, and each
// step's frames go to a consumer (the per-identifier statistics) as one batch.
//   CLogIndex index;
//   if (!index.Open(path)) fail(index.Error());
//   while (index.Step(20000, &stats)) progress(index.Progress());
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "logs/CLogReader.h"
#include "protocol/FrameConsumer.h"

struct LogIndexEntry {
  uint64_t m_qwOffset = 0;
  int64_t m_nTimeNs = 0;  // wall time
};

class CLogIndex {
public:
  bool Open(const std::string& path);
  // Reads at most nMaxFrames more lines; false once the file is read to its end (or failed:
  // Error() says why). pConsumer, if any, gets them as one batch.
  bool Step(std::size_t nMaxFrames, FrameConsumer* pConsumer);
  double Progress() const;  // 0 to 1 of the file's bytes
  const std::string& Error() const { return m_error; }
  ELogFormat Format() const { return m_reader.Format(); }

  std::size_t Size() const { return m_entries.size(); }
  const LogIndexEntry& At(std::size_t i) const { return m_entries[i]; }
  // Frame i read again, with its indexed time and i + 1 as its sequence.
  bool ReadFrame(std::size_t i, ReceivedFrame& record);
  // The first frame at or after the time (the log is taken to be in time order); Size() if none.
  std::size_t FindTime(int64_t nWallNs) const;

  // Lines that held no frame: how many, and the first LOG_SKIPPED_NAMED by number and reason.
  uint64_t SkippedCount() const { return m_qwSkipped; }
  const std::vector<std::pair<uint64_t, std::string>>& SkippedLines() const { return m_skipped; }
  static constexpr std::size_t LOG_SKIPPED_NAMED = 100;

private:
  std::string m_path;
  CLogReader m_reader;
  CLogLineReader m_lines;
  bool m_bLinesOpen = false;
  std::string m_error;
  std::vector<LogIndexEntry> m_entries;
  std::vector<ReceivedFrame> m_batch;
  std::vector<std::pair<uint64_t, std::string>> m_skipped;
  uint64_t m_qwSkipped = 0;
};
