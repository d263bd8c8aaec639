#pragma once
// korvex-cli convert: any log the program reads (a candump log, an ASC log or the analyzer's
// receive-data log, recognised from its content) written as candump lines, as monitor prints
// them, or as an ASC log:
//   "2024.05.01 13:45:07  CAN2.0A  Data Frame    길이:2  ID:123       데이터:01 02\r\n"
//     -> "(1714567507.000000) korvex0 123#0102"  (the receive-data log keeps whole seconds; TZ=UTC)
//   "   0.000042 1  123             Rx   d 2 11 22"  (after an ASC header dated 1700000000 s)
//     -> "(1700000000.000042) korvex0 123#1122"
// A line that holds no frame the module could have received (a garbled or overlong line, an
// error or CAN FD frame, bytes that are not text) is named with its line number on standard
// error (the first CONVERT_MAX_REPORTS of them) and skipped.
#include <cstdio>
#include <string>

// SIGNALS: as monitor --format signals prints them (decode), with a database.
enum class EConvertTarget { CANDUMP, ASC, SIGNALS };

class CDbcDatabase;

// Skipped lines named one by one; beyond these only the total is given.
inline constexpr unsigned CONVERT_MAX_REPORTS = 100;

// Converts the file at path to pOut, reporting on pErr; returns the exit status:
// CLI_EXIT_ANSWERED, CLI_EXIT_LINES_SKIPPED, CLI_EXIT_NO_INPUT or CLI_EXIT_OUTPUT_FAILED.
int ConvertLog(const std::string& path, EConvertTarget eTarget, std::FILE* pOut, std::FILE* pErr,
               const CDbcDatabase* pDatabase = nullptr);
