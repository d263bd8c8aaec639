#pragma once
// SIGINT, SIGTERM and SIGHUP as an event of the Qt loop, so a program asked to stop (Ctrl+C,
// `kill`, a closed terminal, the session ending) ends in order: reception stopped, pending log
// lines written, settings saved. The handler only writes a byte to a pipe; the callback runs
// on the loop's thread. The first signal asks; a second one ends the program at once, even
// when the loop is stuck (a blocked output, say).
// One object per process: the handlers are process-wide.
#include <functional>
#include <memory>

#include "link/CUniqueFd.h"

class QSocketNotifier;

class CStopSignals {
public:
  explicit CStopSignals(std::function<void()> fnOnStop);
  ~CStopSignals();
  CStopSignals(const CStopSignals&) = delete;
  CStopSignals& operator=(const CStopSignals&) = delete;

private:
  std::function<void()> m_fnOnStop;
  CUniqueFd m_readEnd;   // the pipe the handlers write to
  CUniqueFd m_writeEnd;
  std::unique_ptr<QSocketNotifier> m_pNotifier;  // declared last: gone before the pipe closes
};
