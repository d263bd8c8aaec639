#pragma once
// The window's two log commands. "기록 시작/중지" records the received frames to a file the user
// picks in a save dialog (a candump log, or ASC for ".asc"), next to the receive-data log and
// independent of it; the file is written and flushed with every batch of frames. A failed write
// or the port going away stops the recording with a red event, the file kept as far as it was
// written. "로그 열기" opens a log of any format read here into a closable tab beside the
// receive list, where it loads in steps, its signals decoded with the open signal database.
#include <QObject>
#include <memory>
#include <string>

#include "logs/CFrameRecorder.h"

class CDbcDatabase;
class CLogViewWindow;
class EventSink;
class QAction;
class QTabWidget;
class QWidget;

class CLogCommands : public QObject {
  Q_OBJECT
public:
  // The tabs already in tabs stay unclosable; the action is checked while a recording runs.
  CLogCommands(EventSink& events, QTabWidget& tabs, QAction& recordAction, QWidget* pDialogParent);
  // A recording still running is ended quietly: the event log may be gone already.
  ~CLogCommands() override { m_recorder.Stop(); }

  // The channel's consumer: it takes nothing while no recording runs.
  FrameConsumer& Recorder() { return m_recorder; }
  bool IsRecording() const { return m_recorder.IsRecording(); }

  // Stops a running recording, or asks for a file and starts one.
  void OnToggleRecording();
  void OnOpenLog();
  void OnPortGone();
  // The log at path in a new current tab; null when it is no log read here (a box says why).
  CLogViewWindow* OpenLog(const std::string& path);
  // The database the open logs and those opened later decode their signals with.
  void SetSignalDatabase(std::shared_ptr<const CDbcDatabase> pDatabase);

private:
  std::string ChooseFile(bool bSave);
  void StartRecording(const std::string& path);
  void StopRecording();
  void Report(const char* pszTitle, const std::string& detail, bool bFailure);
  void OnTabCloseRequested(int nIndex);

  EventSink& m_events;
  QTabWidget& m_tabs;
  QAction& m_recordAction;
  QWidget* m_pDialogParent;
  CFrameRecorder m_recorder;
  int m_nFixedTabs = 0;
  std::shared_ptr<const CDbcDatabase> m_pDatabase;
};
