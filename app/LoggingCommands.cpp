#include "app/LoggingCommands.h"

#include "receive/CLogFiles.h"

void StartLogging(CLogFiles& logs, int nKind) {
  if (!logs.IsOpen(nKind)) logs.OpenLogFile(nKind);
  if (!logs.IsOpen(nKind)) {
    logs.SetLogging(nKind, false);
    logs.CloseLogFile(nKind);
    return;
  }
  logs.SetLogging(nKind, true);
}

void StopLogging(CLogFiles& logs, int nKind) {
  logs.SetLogging(nKind, false);
  if (logs.IsOpen(nKind)) logs.CloseLogFile(nKind);
}

void ChangeLogPath(CLogFiles& logs, int nKind, const std::string& path) {
  if (path == logs.Path(nKind)) return;
  logs.SetPath(nKind, path);
  if (!logs.IsLogging(nKind)) return;
  logs.CloseLogFile(nKind);
  logs.OpenLogFile(nKind);
  if (!logs.IsOpen(nKind)) logs.SetLogging(nKind, false);
}
