#pragma once
// The receive list, the right-hand column of the frame: one line per received frame, newest
// at the bottom, the newest LINE_LIMIT kept. Each line reaches the receive-data log as it
// arrives; the list itself changes once per received burst (EndBatch), where it drops the
// overflow, inserts the new lines, and selects and scrolls to the newest one.
// Everything here runs on the UI thread.
#include <QWidget>

#include "receive/ReceiveSink.h"

class CLogFiles;
class CRDataModel;
class QListView;

class CRDView : public QWidget, public ReceiveSink {
  Q_OBJECT
public:
  static constexpr int LINE_LIMIT = 200;
  static constexpr int ROW_HEIGHT = 17;  // pixels, every row

  explicit CRDView(CLogFiles& logs, QWidget* pParent = nullptr);

  // Logs the line at once (stamped with its arrival second) and keeps it for the next EndBatch.
  void AppendLine(std::string_view text, const ArrivalTime& arrival) override;
  void EndBatch() override;

  int LineCount() const;
  QString LineText(int nRow) const;  // as shown
  void RemoveAll();
  // "hh:mm:ss.mmm  " before each line, the local time its bytes arrived.
  void SetShowTimestamps(bool bShow);
  bool ShowsTimestamps() const;
  // The list; its context-menu policy is custom, so the frame connects
  // customContextMenuRequested (viewport coordinates) and shows its own menu.
  QListView* List() const { return m_pList; }

private:
  CLogFiles& m_logs;
  CRDataModel* m_pModel;
  QListView* m_pList;
};
