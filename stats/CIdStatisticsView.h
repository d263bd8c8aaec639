#pragma once
// "식별자별 보기": the received frames one row per protocol + identifier + frame kind, beside the
// receive list. Above the table a filter box (identifier or data bytes, hexadecimal), "일시 정지"
// and "지우기"; the table sorts by any column (a header click), and its context menu adds the
// row's frame to the transmit list (AddToTransmitList, through the transmit frame dialog).
//
// It is a frame consumer that counts every frame into its statistics as the batch comes, and
// shows them at most 25 times a second: a batch asks for a refresh, which runs REFRESH_MS later
// on its own window's timer, so a flood of small batches costs no more repaints than a trickle.
// Frames per second are sampled once a second. Paused or hidden (another tab), the table keeps
// what it showed and the counting goes on; it catches up when shown or resumed. Everything
// runs on the UI thread.
#include <QWidget>
#include <functional>
#include <memory>

#include "protocol/FrameConsumer.h"
#include "protocol/MessageHost.h"
#include "stats/CFrameStatistics.h"
#include "transmit/TData.h"

class CIdStatisticsModel;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QTableView;

class CIdStatisticsView final : public QWidget, public FrameConsumer, public MessageHandler {
  Q_OBJECT
public:
  static constexpr unsigned IDT_REFRESH = 210;  // the table shows what came
  static constexpr unsigned REFRESH_MS = 40;    // so at most 25 times a second
  static constexpr unsigned IDT_RATES = 211;    // frames per second, sampled
  static constexpr unsigned RATES_MS = 1000;
  static constexpr unsigned IDT_FADE = 212;     // the earliest highlight ends
  static constexpr int ROW_HEIGHT = 17;         // pixels, every row, as in the receive list

  using WindowMaker = std::function<std::unique_ptr<MessageHost>(MessageHandler&)>;
  using SteadyClock = std::function<int64_t()>;  // monotonic ns, the frames' arrival clock

  CIdStatisticsView(const WindowMaker& fnMakeWindow, SteadyClock fnNowNs, QWidget* pParent = nullptr);
  ~CIdStatisticsView() override;

  // FrameConsumer
  void OnFrames(std::span<const ReceivedFrame> frames) override;
  void EndBatch() override;
  // MessageHandler: the view's own window
  void OnMessage(unsigned /*nMsg*/, uintptr_t /*wParam*/, intptr_t /*lParam*/) override {}
  void OnTimer(unsigned nId) override;

  const CFrameStatistics& Statistics() const { return m_stats; }
  QTableView* Table() const { return m_pTable; }
  CIdStatisticsModel* Model() const { return m_pModel; }
  QLineEdit* FilterBox() const { return m_pFilter; }
  QLabel* CountLabel() const { return m_pCount; }
  QMenu* ContextMenu() const { return m_pMenu; }
  QAction* AddToTransmitAction() const { return m_pAddAction; }
  QAction* PauseAction() const { return m_pPauseAction; }
  QAction* ClearAction() const { return m_pClearAction; }

signals:
  // "송신 목록에 추가" on a row: the transmit frame its newest frame stands for.
  void AddToTransmitList(const TData& record);

protected:
  void showEvent(QShowEvent* pEvent) override;

private:
  void RequestRefresh();
  void Refresh();
  void OnPause(bool bPaused);
  void OnClear();
  void OnFilterEdited(const QString& text);
  void ShowContextMenu(const QPoint& point);
  void UpdateCountLabel();
  void SetColumnWidths();

  SteadyClock m_fnNowNs;
  std::unique_ptr<MessageHost> m_pWindow;
  CFrameStatistics m_stats;
  bool m_bRefreshRequested = false;
  bool m_bStale = false;  // counted more than the table shows
  TData m_menuRecord;     // the row the context menu was opened on
  CIdStatisticsModel* m_pModel;
  QTableView* m_pTable;
  QLineEdit* m_pFilter;
  QLabel* m_pCount;
  QMenu* m_pMenu;
  QAction* m_pAddAction;
  QAction* m_pPauseAction;
  QAction* m_pClearAction;
};
