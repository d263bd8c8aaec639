#pragma once
// The message interface on the Qt event loop: Post becomes a posted event to this object
// (safe from any thread), timers are QBasicTimers, and both reach the handler on the thread
// that owns this object, the UI thread.
#include <QBasicTimer>
#include <QObject>
#include <map>

#include "protocol/MessageHost.h"

class CQtMessageHost final : public QObject, public MessageHost {
  Q_OBJECT
public:
  explicit CQtMessageHost(MessageHandler& handler, QObject* pParent = nullptr);
  ~CQtMessageHost() override;

  void Post(unsigned nMsg, uintptr_t wParam, intptr_t lParam) override;
  // Periodic until killed; setting it again restarts the period.
  void SetTimer(unsigned nId, unsigned nMilliseconds) override;
  void KillTimer(unsigned nId) override;

protected:
  bool event(QEvent* pEvent) override;
  void timerEvent(QTimerEvent* pEvent) override;

private:
  MessageHandler& m_handler;
  std::map<unsigned, QBasicTimer> m_timers;  // by the caller's timer id
};
