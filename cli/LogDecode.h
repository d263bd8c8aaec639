#pragma once
// korvex-cli decode: a candump log's frames printed as their decoded signals
// (monitor --format signals), and the database loading monitor shares.
//   decode --dbc car.dbc run.log: "(1700000000.000042) korvex0 100#E803" -> "(1700000000.000042) Engine Rpm=250[rpm]"
#include <cstdio>
#include <string>

#include "signals/DbcDatabase.h"

// Longer lines are not candump frame lines (the longest is under 100 bytes with a long
// interface name) and are skipped unread.
inline constexpr std::size_t CANDUMP_MAX_LINE = 256;

// The database at path into database; false, with the reason (and its line and column) on
// pErr, when it could not be read.
bool LoadDatabase(const std::string& path, CDbcDatabase& database, std::FILE* pErr);
// The exit status as convert's; CLI_EXIT_NO_INPUT also for a database that could not be read.
int DecodeCandumpLog(const std::string& dbcPath, const std::string& logPath, std::FILE* pOut, std::FILE* pErr);
