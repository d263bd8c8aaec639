#include "transmit/CReplayRunner.h"

#include <QProgressBar>
#include <algorithm>
#include <cstdio>

#include "protocol/CModuleChannel.h"
#include "protocol/EventSink.h"
#include "text/Cp949Text.h"
#include "transmit/CLogReplayer.h"

namespace {

constexpr int PROGRESS_STEPS = 1000;

}  // namespace

CReplayRunner::CReplayRunner(CModuleChannel& channel, QProgressBar* pProgress, QObject* pParent)
    : QObject(pParent), m_channel(channel), m_pProgress(pProgress) {
  m_timer.setSingleShot(true);
  m_timer.setTimerType(Qt::PreciseTimer);
  connect(&m_timer, &QTimer::timeout, this, &CReplayRunner::OnTimer);
  m_pProgress->setRange(0, PROGRESS_STEPS);
  m_pProgress->hide();
}

CReplayRunner::~CReplayRunner() = default;

bool CReplayRunner::Start(const std::string& path, std::string& strReason) {
  if (IsRunning()) return false;
  auto pReplayer = std::make_unique<CLogReplayer>(m_channel, nullptr, ReplayOptions{});
  if (!pReplayer->Open(path)) {
    strReason = pReplayer->Error();
    return false;
  }
  m_pReplayer = std::move(pReplayer);
  m_pProgress->setValue(0);
  m_pProgress->show();
  OnTimer();
  emit RunningChanged();
  return true;
}

void CReplayRunner::Stop() {
  if (!IsRunning()) return;
  m_pReplayer->Cancel();
  Finish("중지");
}

void CReplayRunner::OnTimer() {
  if (!m_pReplayer) return;
  // A port that closed meanwhile (closed, lost, communication error) ends the replay.
  if (!m_channel.IsPortOpen()) {
    Finish("포트가 닫혀 중지");
    return;
  }
  const int64_t nNowNs = m_channel.SenderNowNs();
  const int64_t nNextNs = m_pReplayer->Step(nNowNs);
  m_pProgress->setValue(static_cast<int>(m_pReplayer->Progress() * PROGRESS_STEPS));
  if (nNextNs == CLogReplayer::DONE) {
    Finish("완료");
    return;
  }
  // The frames keep their time on the sending thread: this only has to come back within the
  // replayer's lookahead, so whole milliseconds, rounded up, do.
  m_timer.start(static_cast<int>(std::clamp<int64_t>((nNextNs - nNowNs + 999'999) / 1'000'000, 1, 1000)));
}

void CReplayRunner::Finish(const char* pszHow) {
  m_timer.stop();
  const ReplaySummary summary = m_pReplayer->Summary();
  const std::string error = m_pReplayer->Error();
  m_pReplayer.reset();
  m_pProgress->hide();
  char szText[160];
  std::snprintf(szText, sizeof szText, "%s: 보낸 프레임 %llu, 건너뛴 프레임 %llu, 최대 지연 %.1f ms", pszHow,
                static_cast<unsigned long long>(summary.m_qwSent), static_cast<unsigned long long>(summary.m_qwSkipped),
                static_cast<double>(summary.m_nWorstLateNs) / 1e6);
  if (m_pEvents) {
    m_pEvents->LogEvent(FormatEventText("[로그 재생]", szText), EVENT_BLUE);
    if (!error.empty()) m_pEvents->LogEvent(FormatEventText("[로그 재생]", error), EVENT_RED);
  }
  emit RunningChanged();
}
