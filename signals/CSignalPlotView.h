#pragma once
// The plot of the chosen signals: the last N seconds up to the newest frame (or an opened log
// from its first frame to its last), redrawn by its owner from the traces decimated to the
// pixels shown. A rubber band zooms (and pauses, so the zoomed span stays); the mouse is a
// cursor whose time and signal values the cursor line shows.
#include <QChartView>
#include <QString>
#include <vector>

#include "signals/CSignalTracker.h"

class QLineSeries;
class QValueAxis;

class CSignalPlotView final : public QChartView {
  Q_OBJECT
public:
  explicit CSignalPlotView(QWidget* pParent = nullptr);
  // One series per trace, named (with its unit) by names.
  void SetSeries(const std::vector<QString>& names);
  // Draws traces over [newest - seconds, newest]; nothing while paused.
  void Redraw(const CSignalTracker& tracker, double dSeconds);
  // Draws traces over [nFromNs, nToNs], the axis in seconds from nOriginNs (a log's first
  // frame); nothing while paused.
  void Draw(const CSignalTracker& tracker, int64_t nFromNs, int64_t nToNs, int64_t nOriginNs);
  void SetPaused(bool bPaused);
  bool IsPaused() const { return m_bPaused; }
  void ResetZoom();
  std::size_t PointCount(std::size_t nSeries) const;
  // The cursor's reading at a plot position (seconds on the time axis).
  QString Reading(const CSignalTracker& tracker, double dSeconds) const;

signals:
  void PausedChanged(bool bPaused);
  void CursorMoved(double dSeconds);

protected:
  void mouseMoveEvent(QMouseEvent* pEvent) override;
  void mouseReleaseEvent(QMouseEvent* pEvent) override;

private:
  std::vector<QLineSeries*> m_series;
  std::vector<QString> m_names;
  QValueAxis* m_pTimeAxis;
  QValueAxis* m_pValueAxis;
  bool m_bPaused = false;
  int64_t m_nOriginNs = 0;  // the frame time at 0 on the time axis
  std::vector<SignalSample> m_points;  // reused
};
