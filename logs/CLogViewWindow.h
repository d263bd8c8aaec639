#pragma once
// An opened log, offline: every frame in a table, the per-identifier statistics of the whole
// log, a filter (identifier and data pattern) and "go to time". The log is indexed, and a
// filter applied, in steps on the UI thread, each a bounded number of lines (a few ms), so
// the window answers between them; the statistics fill in as the load goes. A progress bar
// with a cancel button shows meanwhile. A cancelled load keeps what it read; a cancelled
// filter shows every frame again.
// With a signal database the statistics name each identifier's message, the frame or
// identifier row chosen shows its message's signals decoded, and "그래프에 추가" on a signal
// plots it over the whole log (seconds from its first frame), the log read again in steps.
#include <QElapsedTimer>
#include <QWidget>
#include <memory>

#include "logs/CLogIndex.h"
#include "signals/CSignalTracker.h"
#include "stats/CFrameStatistics.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;
class QTreeWidget;
class CIdStatisticsModel;
class CLogTableModel;
class CSignalPlotView;

class CLogViewWindow : public QWidget {
  Q_OBJECT
public:
  // Lines a step reads (and frames the filter looks at): about 5 ms on this machine's slowest core.
  static constexpr std::size_t STEP_LINES = 20000;
  // How often the statistics table is refilled while the log loads.
  static constexpr int STATISTICS_REFRESH_MS = 500;

  explicit CLogViewWindow(QWidget* pParent = nullptr);
  ~CLogViewWindow() override;
  // False (Error() says why) when the file is no log read here; the load then starts.
  bool Open(const QString& path);
  QString Error() const;
  // One step of the load and of the filter; false when both have ended. The timer calls it;
  // tests may too.
  bool Step();
  bool IsLoading() const;
  bool IsBusy() const;  // loading, filtering or plotting
  void Cancel();

  CLogTableModel* Model() const { return m_pModel; }
  QTableView* Table() const { return m_pTable; }
  const CFrameStatistics& Statistics() const { return m_stats; }
  QTableView* StatisticsTable() const { return m_pStatsTable; }
  CIdStatisticsModel* StatisticsModel() const { return m_pStatsModel; }
  // The database the signals are decoded with; null for none.
  void SetSignalDatabase(std::shared_ptr<const CDbcDatabase> pDatabase);
  QTreeWidget* SignalTree() const { return m_pSignalTree; }
  CSignalPlotView* Plot() const { return m_pPlot; }
  const CSignalTracker& Tracker() const { return m_tracker; }
  // Signal nSignal of message nMessage joins the plot; the log is read again in steps.
  void AddToPlot(uint32_t nMessage, uint32_t nSignal);
  // "7E8 11 ?? 33": false when it is no filter; the rows then come in steps.
  bool ApplyFilter(const QString& text);
  // "2023-11-14 22:13:20.5" local time: false when it is no time or no frame is that late.
  bool GoToTime(const QString& text);

private:
  void StartSteps();
  void Finish();
  void UpdateStatistics();
  void UpdateSummary();
  bool IsPlotting() const;
  void PlotStep();
  void DrawPlot();
  void ShowSignals(const CanFrame& frame);
  void ShowSignalMenu(const QPoint& point);

  CLogIndex m_index;
  CFrameStatistics m_stats;
  CLogTableModel* m_pModel = nullptr;
  QTableView* m_pTable = nullptr;
  QTableView* m_pStatsTable = nullptr;
  CIdStatisticsModel* m_pStatsModel = nullptr;
  QTreeWidget* m_pSignalTree = nullptr;
  CSignalPlotView* m_pPlot = nullptr;
  QLabel* m_pCursor = nullptr;  // the values under the mouse
  int m_nDrawnWidth = 0;        // of the plot area when the plot was drawn
  // Holds the whole log's values of each plotted signal: one sample a frame at most.
  CSignalTracker m_tracker{SIZE_MAX};
  std::size_t m_nPlotted = 0;  // frames of the index the traces have taken
  std::vector<ReceivedFrame> m_plotBatch;
  std::vector<DecodedSignal> m_values;
  QProgressBar* m_pProgress = nullptr;
  QPushButton* m_pCancel = nullptr;
  QLineEdit* m_pFilter = nullptr;
  QLineEdit* m_pTime = nullptr;
  QLabel* m_pSummary = nullptr;
  QTimer* m_pTimer = nullptr;
  QElapsedTimer m_statisticsShown;
  bool m_bLoading = false;
  QString m_error;
};
