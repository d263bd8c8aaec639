#pragma once
// An opened log, offline: every frame in a table, the per-identifier statistics of the whole
// log, a filter (identifier and data pattern) and "go to time". The log is indexed in steps on
// the UI thread, each a bounded number of lines (a few ms), so the window answers between them;
// a progress bar with a cancel button shows while it loads. A cancelled load keeps what it read.
#include <QWidget>
#include <memory>

#include "logs/CLogIndex.h"
#include "stats/CFrameStatistics.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QTableWidget;
class QTimer;
class CLogTableModel;

class CLogViewWindow : public QWidget {
  Q_OBJECT
public:
  // Lines a step reads: about 5 ms on this machine's slowest core.
  static constexpr std::size_t STEP_LINES = 20000;

  explicit CLogViewWindow(QWidget* pParent = nullptr);
  ~CLogViewWindow() override;
  // False (Error() says why) when the file is no log read here; the load then starts.
  bool Open(const QString& path);
  QString Error() const;
  // One step of the load; false when it has ended. The timer calls it; tests may too.
  bool StepLoad();
  bool IsLoading() const;
  void CancelLoad();

  CLogTableModel* Model() const { return m_pModel; }
  QTableView* Table() const { return m_pTable; }
  const CFrameStatistics& Statistics() const { return m_stats; }
  // "7E8 11 ?? 33": false when it is no filter.
  bool ApplyFilter(const QString& text);
  // "2023-11-14 22:13:20.5" local time: false when it is no time or no frame is that late.
  bool GoToTime(const QString& text);

private:
  void UpdateSummary();

  CLogIndex m_index;
  CFrameStatistics m_stats;
  CLogTableModel* m_pModel = nullptr;
  QTableView* m_pTable = nullptr;
  QTableWidget* m_pStatsTable = nullptr;
  QProgressBar* m_pProgress = nullptr;
  QPushButton* m_pCancel = nullptr;
  QLineEdit* m_pFilter = nullptr;
  QLineEdit* m_pTime = nullptr;
  QLabel* m_pSummary = nullptr;
  QTimer* m_pTimer = nullptr;
  bool m_bLoading = false;
  QString m_error;
};
