#pragma once
// The receive-data and event log files, and LogEvent, the single entry point for event
// lines. Lines are UTF-8 inside the program and written in CP949 with CR LF:
//   "2024.05.01 13:45:07  [CAN 리셋 응답]             : Command Reset\r\n"
// Every failure and the 100,000,000-byte limit switch the kind's logging flag off before
// the event about it is raised, so texts about the event log never re-enter its file.
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "receive/CLogFile.h"
#include "protocol/EventSink.h"

enum ELogKind : int { LOG_RDATA = 1, LOG_EVENT = 2 };

// The local time in front of every log line (strftime).
inline constexpr const char* LOG_STAMP_FORMAT = "%Y.%m.%d %H:%M:%S";

class CLogFiles : public EventSink {
public:
  static constexpr uint64_t LOG_SIZE_LIMIT = 100000000;  // decimal, not 100 x 2^20
  static constexpr unsigned FLUSH_LINES = 10;
  using TimeSource = std::time_t (*)();

  // pfnNow stands in for the wall clock in tests; null means std::time.
  explicit CLogFiles(TimeSource pfnNow = nullptr);
  ~CLogFiles() override;
  CLogFiles(const CLogFiles&) = delete;
  CLogFiles& operator=(const CLogFiles&) = delete;

  // The event log window, or null while none exists.
  void SetEventDisplay(EventDisplay* pDisplay) { m_pDisplay = pDisplay; }

  // Per kind (LOG_RDATA, LOG_EVENT; other kinds read as off/empty and are ignored).
  void SetPath(int nKind, std::string path);
  std::string Path(int nKind) const;
  void SetLogging(int nKind, bool bOn);
  bool IsLogging(int nKind) const;
  bool IsOpen(int nKind) const;
  bool HasWriteError(int nKind) const;
  // errno of the failure that switched the kind off (0 when none did).
  int FailureErrno(int nKind) const;

  // Opens the kind's file for appending (closing it first if it is open). A file at the size
  // limit is renamed beside itself and an empty one started, with a blue event naming where the
  // full one went. On failure the logging flag goes off and the red open-failure event is
  // raised, the path and the reason after the text:
  //   "...여는데 실패했읍니다 (/home/u/Log/RDataLog.txt: open: Permission denied)"
  void OpenLogFile(int nKind);
  // Flushes and closes; the logging flag is left alone unless that last flush fails.
  void CloseLogFile(int nKind);
  void CloseLogFiles();  // event log first, then receive data
  // Appends one complete line (time stamp included, ending in "\n") when the kind's file is
  // open, no write error is recorded and its logging flag is on.
  void WriteLogLine(int nKind, std::string_view line);
  // "%s  %s\n" from the time stamp and the text, through WriteLogLine. A received frame is
  // stamped with the second its bytes arrived (tWhen), an event with the current one.
  void WriteStampedLine(int nKind, std::string_view text);
  void WriteStampedLine(int nKind, std::string_view text, std::time_t tWhen);
  void LogEvent(std::string_view text, COLORREF colour) override;

  // The local time as the log lines carry it (LOG_STAMP_FORMAT); valid until the next call.
  std::string_view TimeStamp();
  std::string_view TimeStamp(std::time_t t);

private:
  struct LogState {
    bool m_bLogging = false;
    bool m_bWriteError = false;
    int m_nFailureErrno = 0;
    unsigned m_nLinesSinceFlush = 0;
    std::string m_path;
    CLogFile m_file;
  };
  enum EFailure { FAIL_OPEN, FAIL_WRITE };

  LogState* StateOf(int nKind);
  const LogState* StateOf(int nKind) const;
  bool FlushAndClose(LogState& state);
  void Fail(int nKind, EFailure eFailure);

  TimeSource m_pfnNow;
  EventDisplay* m_pDisplay = nullptr;
  LogState m_rdata;
  LogState m_event;
  std::time_t m_tStamp = -1;
  char m_szStamp[32] = {};
  std::string m_line;  // reused for every stamped line
  std::string m_converted;
};

// The line as it goes into a log file: CP949, each "\n" as CR LF. A character with no CP949
// form (or a byte that is not UTF-8) becomes "?" instead of cutting the line short.
void ConvertLogText(std::string_view utf8, std::string& out);
