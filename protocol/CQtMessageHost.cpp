#include "protocol/CQtMessageHost.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimerEvent>
#include <algorithm>
#include <limits>

namespace {

class CPostedMessage final : public QEvent {
public:
  static QEvent::Type EventType() {
    static const auto eType = static_cast<QEvent::Type>(QEvent::registerEventType());
    return eType;
  }
  CPostedMessage(unsigned nMsg, uintptr_t wParam, intptr_t lParam)
      : QEvent(EventType()), m_nMsg(nMsg), m_wParam(wParam), m_lParam(lParam) {}

  const unsigned m_nMsg;
  const uintptr_t m_wParam;
  const intptr_t m_lParam;
};

}  // namespace

CQtMessageHost::CQtMessageHost(MessageHandler& handler, QObject* pParent)
    : QObject(pParent), m_handler(handler) {
  CPostedMessage::EventType();  // registered here, on the UI thread, before any reader posts
}

CQtMessageHost::~CQtMessageHost() = default;

void CQtMessageHost::Post(unsigned nMsg, uintptr_t wParam, intptr_t lParam) {
  QCoreApplication::postEvent(this, new CPostedMessage(nMsg, wParam, lParam));
}

void CQtMessageHost::SetTimer(unsigned nId, unsigned nMilliseconds) {
  // Qt counts in an int: a longer period is cut to the longest it can count (24.8 days)
  // rather than turning negative. Callers that need longer re-arm (korvex-cli does).
  const unsigned nLongest = static_cast<unsigned>(std::numeric_limits<int>::max());
  m_timers[nId].start(static_cast<int>(std::min(nMilliseconds, nLongest)), Qt::PreciseTimer, this);
}

void CQtMessageHost::KillTimer(unsigned nId) {
  const auto it = m_timers.find(nId);
  if (it != m_timers.end()) it->second.stop();
}

bool CQtMessageHost::event(QEvent* pEvent) {
  if (pEvent->type() != CPostedMessage::EventType()) return QObject::event(pEvent);
  const auto* pMessage = static_cast<const CPostedMessage*>(pEvent);
  m_handler.OnMessage(pMessage->m_nMsg, pMessage->m_wParam, pMessage->m_lParam);
  return true;
}

void CQtMessageHost::timerEvent(QTimerEvent* pEvent) {
  for (auto& [nId, timer] : m_timers) {
    if (timer.timerId() == pEvent->timerId()) {
      m_handler.OnTimer(nId);
      return;
    }
  }
  QObject::timerEvent(pEvent);
}
