#pragma once
// Switching a log file on and off, for the menu commands, the list context menus and the
// flags restored at start-up. The kind is LOG_RDATA or LOG_EVENT.
#include <string>

class CLogFiles;

// Opens the kind's file if it is not open; the logging flag ends on only when a file is open.
// A file that cannot be opened is reported in the event log by CLogFiles.
void StartLogging(CLogFiles& logs, int nKind);
// The flag goes off and an open file is closed.
void StopLogging(CLogFiles& logs, int nKind);
// A path that differs from the kind's current one becomes current; a log that is on moves to
// the new file and stays on only when that file opened.
void ChangeLogPath(CLogFiles& logs, int nKind, const std::string& path);
