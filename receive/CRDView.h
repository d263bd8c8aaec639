#pragma once
// The receive list, the right-hand column of the frame: one line per received frame, newest
// at the bottom, the newest LINE_LIMIT kept. It is a frame consumer that forms each frame's
// line; the list changes once per refresh, where it drops the overflow, inserts the new
// lines, and selects and scrolls to the newest one. Without a pacer every received burst
// (EndBatch) refreshes it; with one, a burst asks the pacer for a refresh and the owner calls
// Refresh when it is due, so a module sending thousands of small bursts a second costs a few
// dozen repaints, not thousands. Everything here runs on the UI thread.
#include <QWidget>
#include <functional>

#include <string>

#include "protocol/FrameConsumer.h"
#include "protocol/ResponseText.h"

class CRDataModel;
class QListView;

class CRDView : public QWidget, public FrameConsumer {
  Q_OBJECT
public:
  static constexpr int LINE_LIMIT = 200;
  static constexpr int ROW_HEIGHT = 17;  // pixels, every row

  explicit CRDView(QWidget* pParent = nullptr);

  // Keeps the batch's lines for the next refresh; only the newest LINE_LIMIT can be shown.
  void OnFrames(std::span<const ReceivedFrame> frames) override;
  void EndBatch() override;
  // fnRequest is called once per burst that finds no refresh already asked for.
  void SetRefreshPacer(std::function<void()> fnRequest) { m_fnRequestRefresh = std::move(fnRequest); }
  void Refresh();

  // What the list holds, shown or waiting for the next refresh.
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
  std::string m_line;  // reused for every frame
  FrameLabels m_labels;  // in the window's language
  std::function<void()> m_fnRequestRefresh;
  bool m_bRefreshRequested = false;
  CRDataModel* m_pModel;
  QListView* m_pList;
};
