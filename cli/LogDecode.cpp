#include "cli/LogDecode.h"

#include "cli/CCliSession.h"
#include "cli/CFramePrinter.h"
#include "cli/CandumpLine.h"
#include "cli/RDataLogConvert.h"
#include "signals/DbcReader.h"

bool LoadDatabase(const std::string& path, CDbcDatabase& database, std::FILE* pErr) {
  DbcReadResult read = ReadDbcFile(path);
  if (!read.m_bOk) {
    const std::string where = read.m_nLine == 0 ? "" : path + ": ";
    std::fprintf(pErr, "korvex-cli: %s%s\n", where.c_str(), read.ErrorText().c_str());
    return false;
  }
  database = std::move(read.m_database);
  return true;
}

int DecodeCandumpLog(const std::string& dbcPath, const std::string& logPath, std::FILE* pOut, std::FILE* pErr) {
  CDbcDatabase database;
  if (!LoadDatabase(dbcPath, database, pErr)) return CLI_EXIT_NO_INPUT;
  CFramePrinter printer(pOut, EFrameFormat::SIGNALS);
  printer.SetDatabase(&database);
  return PrintLogFile(logPath, ParseCandumpLine, CANDUMP_MAX_LINE, printer, pOut, pErr,
                      " (no frame at all: is it a candump log?)");
}
