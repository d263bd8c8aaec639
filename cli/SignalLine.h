#pragma once
// A received frame as its decoded signals, one line:
//   "(1700000000.000042) Engine Rpm=1850.25[rpm] Gear=\"D\" Ratio=0.3"
// The values as short as they read back exactly, the unit in brackets when the signal has
// one, a value-table text in quotes instead of its number ('"' and '\' escaped, control
// characters as \xHH). A frame the database does not know, and a remote frame, is written as
// its candump line (CandumpLine.h).
#include <cstdio>
#include <string>
#include <vector>

#include "protocol/ReceivedFrame.h"
#include "signals/DbcDatabase.h"
#include "signals/SignalCodec.h"

// values: reused between calls.
void SignalLine(const CDbcDatabase& database, const ReceivedFrame& record, std::vector<DecodedSignal>& values,
                std::string& out);
// The database at path into database (monitor --dbc, decode); false, with the reason and its
// line and column on pErr, when it cannot be read.
bool LoadDatabase(const std::string& path, CDbcDatabase& database, std::FILE* pErr);
