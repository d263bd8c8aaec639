#pragma once
// The signal pane: the database's messages and their signals in a tree (a comment as the
// tooltip): each message with its expected cycle (GenMsgCycleTime) beside the measured one,
// red when they are more than 10 % apart, and in an expanded message each signal's newest
// raw value, value with unit and value-table text; and the plot of the signals chosen with "그래프에 추가", the last N seconds
// (10 by default), redrawn ten times a second; pause, zoom (a rubber band; the right button
// or "확대 초기화" resets it) and a cursor line with the values under the mouse. The database
// opened with "DBC 열기" is remembered and opened again at the next start.
#include <QDockWidget>
#include <QTimer>
#include <memory>
#include <string>

#include "signals/CSignalTracker.h"

class CSignalPlotView;
class QCheckBox;
class QLabel;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;
class SettingsStore;

inline constexpr std::string_view SIGNALS_SECTION = "Signals";
inline constexpr std::string_view SETTING_DBC_FILE = "DBC File";
inline constexpr int PLOT_DEFAULT_SECONDS = 10;
inline constexpr int PLOT_REDRAW_MS = 100;

class CSignalDock final : public QDockWidget {
  Q_OBJECT
public:
  CSignalDock(SettingsStore& store, QWidget* pParent = nullptr);
  // Takes the frames (the window adds it to the channel's consumers).
  CSignalTracker& Tracker() { return m_tracker; }
  // "DBC 열기": the file dialog, then OpenDatabase.
  void OnOpenDatabase();
  // Reads the database at path and shows it; a failure is shown (with its line and column)
  // unless bQuiet, and leaves the open database as it was.
  bool OpenDatabase(const std::string& path, bool bQuiet = false);
  // At start: the database opened last, quietly.
  void OpenRememberedDatabase();
  void AddToPlot(uint32_t nMessage, uint32_t nSignal);
  // Expands, selects and scrolls to the message with this identifier; false for none.
  bool RevealMessage(bool bExtended, uint32_t dwId);
  void Redraw();
  QString DatabaseName() const { return m_databaseName; }
  QTreeWidget* SignalTree() const { return m_pTree; }
  CSignalPlotView* Plot() const { return m_pPlot; }
  QSpinBox* SecondsBox() const { return m_pSeconds; }
  QLabel* CursorLine() const { return m_pCursor; }

signals:
  void DatabaseChanged(const QString& name);

private:
  void FillTree();
  void ShowTreeMenu(const QPoint& point);
  void UpdateSeries();
  void UpdateValues();

  SettingsStore& m_store;
  CSignalTracker m_tracker;
  QString m_databaseName;
  QTreeWidget* m_pTree;
  CSignalPlotView* m_pPlot;
  QSpinBox* m_pSeconds;
  QCheckBox* m_pPause;
  QLabel* m_pCursor;
  QTimer m_redrawTimer;
};
