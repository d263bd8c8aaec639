#pragma once
// The window's log replay: a candump log sent through the channel by CLogReplayer, handed
// over ahead by a timer on the UI thread (the sending thread keeps each frame's time), with a
// progress bar in the status bar while it runs. The summary goes to the event log.
#include <QObject>
#include <QTimer>
#include <memory>
#include <string>

class CLogReplayer;
class CModuleChannel;
class EventSink;
class QProgressBar;

class CReplayRunner final : public QObject {
  Q_OBJECT
public:
  // pProgress: shown while a replay runs, hidden otherwise.
  CReplayRunner(CModuleChannel& channel, QProgressBar* pProgress, QObject* pParent = nullptr);
  ~CReplayRunner() override;

  // Starts replaying the file once at its recorded speed; false, with the reason, when it
  // cannot be opened.
  bool Start(const std::string& path, std::string& strReason);
  // Ends a replay early; the summary says how far it got.
  void Stop();
  bool IsRunning() const { return m_pReplayer != nullptr; }
  void SetEventSink(EventSink* pEvents) { m_pEvents = pEvents; }

signals:
  void RunningChanged();

private:
  void OnTimer();
  void Finish(const char* pszHow);

  CModuleChannel& m_channel;
  QProgressBar* m_pProgress;
  EventSink* m_pEvents = nullptr;
  std::unique_ptr<CLogReplayer> m_pReplayer;
  QTimer m_timer;
};
