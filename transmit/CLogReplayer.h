#pragma once
// Sends the frames of a candump log through the channel at their recorded gaps, scaled by a
// speed: frame k is due at start + (its time - the first frame's time) / speed on the
// monotonic clock. Each frame is handed to the channel's sending thread up to LOOKAHEAD_NS
// ahead with its due time, and that thread sleeps to the deadline itself, so the caller's
// thread only has to come back within the lookahead. A frame is handed over only while the
// channel's queue has room, so a log recorded faster than the link carries is sent as fast as
// the link takes it, falling behind.
// Frames the module cannot send (error, CAN FD and CAN XL frames) and lines that are not
// candump lines are skipped, each named with its line number.
//   CLogReplayer replayer(channel, stderr, {.m_nLoops = 2, .m_dSpeed = 1.0});
//   if (!replayer.Open("trace.log")) fail(replayer.Error());
//   for (int64_t nNext = replayer.Step(now); nNext != CLogReplayer::DONE; nNext = replayer.Step(now))
//     wait until nNext;
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "logs/CandumpReader.h"

class CModuleChannel;

struct ReplayOptions {
  uint32_t m_nLoops = 1;
  double m_dSpeed = 1.0;        // above 0
  std::vector<uint32_t> m_ids;  // only these identifiers; empty: all
};

struct ReplaySummary {
  uint64_t m_qwSent = 0;
  uint64_t m_qwSkipped = 0;     // frames the module cannot send, and refused lines
  int64_t m_nWorstLateNs = 0;   // the latest a frame went out after it was due, as the write began
  int64_t m_nLastLateNs = 0;    // how late the last frame went out: how far the replay fell behind
};

class CLogReplayer {
public:
  static constexpr int64_t DONE = std::numeric_limits<int64_t>::max();
  static constexpr int64_t ROOM_RETRY_NS = 1'000'000;  // a full queue is looked at again after 1 ms
  static constexpr int64_t LOOKAHEAD_NS = 50'000'000;

  // pErr: where skipped lines are named (null: nowhere; the summary counts them).
  CLogReplayer(CModuleChannel& channel, std::FILE* pErr, ReplayOptions options);

  bool Open(const std::string& path);
  // Why Open or a read failed; empty otherwise.
  const std::string& Error() const { return m_error; }
  // Hands over every frame due by nNowNs + LOOKAHEAD_NS for which the channel has room. The
  // time to be called again, or DONE once the last loop's last frame went out.
  int64_t Step(int64_t nNowNs);
  // Drops the frames handed over and not yet sent (a replay stopped early).
  void Cancel();
  const ReplaySummary& Summary() const { return m_summary; }
  // For a progress bar: the share of the loops done, 0 to 1.
  double Progress() const;

private:
  // The next frame to send into m_pending; false at the end of the last loop or on an error.
  bool ReadNext();
  bool Wanted(uint32_t dwId) const;
  // Takes in how late the sending thread wrote the frames handed over.
  void NoteLateness();

  CModuleChannel& m_channel;
  std::FILE* m_pErr;
  ReplayOptions m_options;
  std::string m_path;
  std::string m_error;
  CCandumpReader m_reader;
  uint32_t m_nLoop = 0;
  bool m_bStarted = false;
  bool m_bPending = false;
  CandumpEntry m_pending;
  int64_t m_nStartNs = 0;       // the monotonic time the current loop's first frame was due
  int64_t m_nFirstLogNs = -1;   // the current loop's first frame time in the log
  int64_t m_nLastDueNs = 0;
  ReplaySummary m_summary;
};
