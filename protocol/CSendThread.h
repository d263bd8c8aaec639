#pragma once
// The channel's way out: command lines wait in a bounded queue and the cyclic lines in their
// schedule, and one sending thread per open port writes them, so a port that takes nothing
// holds up that thread, never the window's. A queued line may carry the time it is due (a
// replay hands its frames over ahead of time); the thread sleeps to that deadline itself, so
// how promptly the caller's thread runs does not matter. Without a thread (tests), a queued
// line that is due is written at once on the caller's thread and RunCyclesAt sends what is due.
//   sender.Start(transport, true);
//   sender.Queue(BuildLine(":G11"));               // written by the sending thread
//   sender.Queue(BuildLine(":W..."), nDueNs);       // not before nDueNs
//   sender.StartCycle(7, BuildLine(":W..."), 10);  // now, then every 10 ms
//   sender.Stop();                                 // before the transport closes
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "protocol/CCyclicSchedule.h"
#include "protocol/LineFraming.h"
#include "protocol/WakeTiming.h"

class ByteTransport;

// Told on the sending thread whenever there is news to take (cyclic lines written, failed
// writes); it only posts.
class SenderListener {
public:
  virtual ~SenderListener() = default;
  virtual void OnSenderNews() = 0;
};

class CSendThread {
public:
  static constexpr size_t QUEUE_CAPACITY = 256;
  static constexpr size_t MAX_KEPT_FAILURES = 8;

  explicit CSendThread(SenderListener& listener) : m_listener(listener) {}
  ~CSendThread() { Stop(); }
  CSendThread(const CSendThread&) = delete;
  CSendThread& operator=(const CSendThread&) = delete;

  // Starts sending to an open transport, on a thread of its own when bThread. False when the
  // thread cannot be started.
  bool Start(ByteTransport& transport, bool bThread);
  // Waits for a write in progress, then drops what is queued and every cycle.
  void Stop();

  static constexpr int64_t AT_ONCE = std::numeric_limits<int64_t>::min();  // a line with no due time

  // False when the queue is full or the sender is stopped. Lines go out in the order queued,
  // none before its nDueNs on the monotonic clock.
  bool Queue(const CLineText& line, int64_t nDueNs = AT_ONCE);
  // Drops the queued lines that carry a due time; how many.
  size_t DropTimed();
  // As CCyclicSchedule::Start, on the sender's monotonic clock.
  bool StartCycle(uint32_t dwKey, const CLineText& line, uint32_t dwPeriodMs);
  bool StopCycle(uint32_t dwKey);
  // True when any cycle ran.
  bool StopAllCycles();
  bool IsCycling(uint32_t dwKey) const;
  bool AnyCycling() const;
  // Lines queued and not yet written.
  size_t QueuedCount() const;

  // Without a thread: writes the queued and the cyclic lines due at nNowNs (the test's clock).
  void RunCyclesAt(int64_t nNowNs);
  // Sets the clock that StartCycle reads without a thread.
  void SetManualNow(int64_t nNowNs) { m_nManualNowNs = nNowNs; }

  // The news since the last call: cyclic lines written, and why writes failed
  // ("write: Input/output error"); at most MAX_KEPT_FAILURES texts, the rest counted.
  struct News {
    uint32_t m_nCyclicWritten = 0;
    std::vector<std::string> m_failures;
    uint32_t m_nUntoldFailures = 0;
  };
  News TakeNews();

  // How late the lines with a due time went out (measured as each write began) since the
  // last call.
  struct Lateness {
    uint64_t m_qwLines = 0;
    int64_t m_nWorstNs = 0;
    int64_t m_nLastNs = 0;
  };
  Lateness TakeLateness();
  // What the sending thread got from the scheduler (ORDINARY until it runs).
  EWakeTiming WakeTiming() const;
  // The clock the deadlines are kept on: the monotonic clock, or without a thread the test's.
  int64_t NowNs() const;

private:
  struct Pending {
    CLineText m_line;
    int64_t m_nDueNs;
  };
  void Run();
  // With the lock: takes the queued line due at nNowNs into line, noting its lateness.
  bool TakeQueued(int64_t nNowNs, CLineText& line);
  void WriteDueQueued(int64_t nNowNs);  // without a thread
  void Write(const CLineText& line, bool bCyclic);  // without the lock

  SenderListener& m_listener;
  ByteTransport* m_pTransport = nullptr;
  bool m_bThread = false;
  int64_t m_nManualNowNs = 0;
  mutable std::mutex m_mutex;  // everything below
  std::condition_variable m_wake;
  bool m_bRunning = false;
  std::deque<Pending> m_queue;
  CCyclicSchedule m_schedule;
  News m_news;
  Lateness m_lateness;
  EWakeTiming m_eWakeTiming = EWakeTiming::ORDINARY;
  std::thread m_thread;
};
