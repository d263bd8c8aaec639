#include "signals/CSignalPlotView.h"

#include <QChart>
#include <QLineSeries>
#include <QMouseEvent>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

CSignalPlotView::CSignalPlotView(QWidget* pParent) : QChartView(pParent) {
  auto* pChart = new QChart();
  pChart->legend()->setAlignment(Qt::AlignTop);
  m_pTimeAxis = new QValueAxis(pChart);
  m_pTimeAxis->setTitleText(tr("시간 (초)"));
  m_pValueAxis = new QValueAxis(pChart);
  pChart->addAxis(m_pTimeAxis, Qt::AlignBottom);
  pChart->addAxis(m_pValueAxis, Qt::AlignLeft);
  setChart(pChart);
  setRubberBand(QChartView::RectangleRubberBand);
  setMouseTracking(true);
  setRenderHint(QPainter::Antialiasing, false);  // thousands of segments a redraw
}

void CSignalPlotView::SetSeries(const std::vector<QString>& names) {
  for (QLineSeries* pSeries : m_series) {
    chart()->removeSeries(pSeries);
    delete pSeries;
  }
  m_series.clear();
  m_names = names;
  for (const QString& name : names) {
    auto* pSeries = new QLineSeries();
    pSeries->setName(name);
    chart()->addSeries(pSeries);
    pSeries->attachAxis(m_pTimeAxis);
    pSeries->attachAxis(m_pValueAxis);
    m_series.push_back(pSeries);
  }
}

void CSignalPlotView::Redraw(const CSignalTracker& tracker, double dSeconds) {
  Draw(tracker, tracker.NewestNs() - static_cast<int64_t>(dSeconds * 1e9), tracker.NewestNs(), tracker.NewestNs());
}

void CSignalPlotView::Draw(const CSignalTracker& tracker, int64_t nFromNs, int64_t nToNs, int64_t nOriginNs) {
  if (m_bPaused) return;
  m_nOriginNs = nOriginNs;
  const double dFrom = static_cast<double>(nFromNs - nOriginNs) / 1e9;
  const unsigned nColumns = static_cast<unsigned>(std::max(1.0, chart()->plotArea().width()));
  double dLow = INFINITY, dHigh = -INFINITY;
  QList<QPointF> points;
  for (std::size_t i = 0; i < m_series.size() && i < tracker.Traces().size(); ++i) {
    tracker.Traces()[i].Decimate(nFromNs, nToNs, nColumns, m_points);
    points.clear();
    points.reserve(static_cast<qsizetype>(m_points.size()));
    for (const SignalSample& sample : m_points) {
      const double dTime = std::max(dFrom, static_cast<double>(sample.m_nSteadyNs - nOriginNs) / 1e9);
      points.append(QPointF(dTime, sample.m_dValue));
      dLow = std::min(dLow, sample.m_dValue);
      dHigh = std::max(dHigh, sample.m_dValue);
    }
    m_series[i]->replace(points);  // one update per series, not one per point
  }
  m_pTimeAxis->setRange(dFrom, static_cast<double>(nToNs - nOriginNs) / 1e9);
  if (dLow > dHigh) dLow = 0.0, dHigh = 1.0;
  const double dMargin = dHigh > dLow ? (dHigh - dLow) * 0.05 : std::max(1.0, std::fabs(dHigh) * 0.05);
  m_pValueAxis->setRange(dLow - dMargin, dHigh + dMargin);
}

void CSignalPlotView::SetPaused(bool bPaused) {
  if (m_bPaused == bPaused) return;
  m_bPaused = bPaused;
  emit PausedChanged(bPaused);
}

void CSignalPlotView::ResetZoom() {
  chart()->zoomReset();
  SetPaused(false);
}

std::size_t CSignalPlotView::PointCount(std::size_t nSeries) const {
  return nSeries < m_series.size() ? static_cast<std::size_t>(m_series[nSeries]->count()) : 0;
}

QString CSignalPlotView::Reading(const CSignalTracker& tracker, double dSeconds) const {
  QString text = QStringLiteral("%1 s").arg(dSeconds, 0, 'f', 3);
  const int64_t nAtNs = m_nOriginNs + static_cast<int64_t>(dSeconds * 1e9);
  for (std::size_t i = 0; i < m_names.size() && i < tracker.Traces().size(); ++i)
    if (const SignalSample* pSample = tracker.Traces()[i].At(nAtNs))
      text += QStringLiteral("   %1 = %2").arg(m_names[i]).arg(pSample->m_dValue, 0, 'g', 10);
  return text;
}

void CSignalPlotView::mouseMoveEvent(QMouseEvent* pEvent) {
  QChartView::mouseMoveEvent(pEvent);
  const QPointF value = chart()->mapToValue(chart()->mapFromScene(mapToScene(pEvent->position().toPoint())));
  emit CursorMoved(value.x());
}

void CSignalPlotView::mouseReleaseEvent(QMouseEvent* pEvent) {
  // A rubber band zooms the drawing that is shown: it stays until the zoom is reset.
  if (pEvent->button() == Qt::LeftButton) SetPaused(true);
  if (pEvent->button() == Qt::RightButton) {
    ResetZoom();  // instead of the chart's one step back
    return;
  }
  QChartView::mouseReleaseEvent(pEvent);
}
