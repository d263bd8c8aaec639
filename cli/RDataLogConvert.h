#pragma once
// korvex-cli convert: a receive-data log file (CP949, CR LF, each line a local time stamp, two
// blanks and the receive list's line) back to received-frame records, printed by the frame
// printer as monitor prints them, in the candump form:
//   "2024.05.01 13:45:07  CAN2.0A  Data Frame    길이:2  ID:123       데이터:01 02\r\n"
//     -> "(1714567507.000000) korvex0 123#0102"  (the log keeps whole seconds; TZ=UTC here)
// A line is taken only when it is exactly what the analyzer writes for some frame; anything
// else (an event log's lines, a garbled or overlong line, bytes that are not CP949) is named
// with its line number on standard error and skipped. Lines ending in LF alone are read too.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/ReceivedFrame.h"

// Longer lines cannot be the analyzer's (its longest is under 100 bytes) and are skipped
// unread, so a binary file cannot make the converter hold more than this.
inline constexpr std::size_t RDATA_LOG_MAX_LINE = 256;
// Skipped lines named one by one; beyond these only the total is given.
inline constexpr unsigned CONVERT_MAX_REPORTS = 100;

// One line without its line end, as stored (CP949). The stamp, read as local time, is both
// arrival times (whole seconds); the sequence number is left 0.
std::optional<ReceivedFrame> ParseRDataLogLine(std::string_view line);

// Converts the file at path to pOut, reporting on pErr; returns the exit status:
// CLI_EXIT_ANSWERED, CLI_EXIT_LINES_SKIPPED, CLI_EXIT_NO_INPUT or CLI_EXIT_OUTPUT_FAILED.
int ConvertRDataLog(const std::string& path, std::FILE* pOut, std::FILE* pErr);

class CFramePrinter;
// What convert and decode share: every line of the file at path read by parse (a longer line
// than nMaxLine is skipped unread) and the frames handed to printer, which writes to pOut;
// skipped lines are named on pErr (pszNoFrameHint is added when no line was a frame). The
// exit status as ConvertRDataLog's.
int PrintLogFile(const std::string& path, std::optional<ReceivedFrame> (*parse)(std::string_view), std::size_t nMaxLine,
                 CFramePrinter& printer, std::FILE* pOut, std::FILE* pErr, const char* pszNoFrameHint);
