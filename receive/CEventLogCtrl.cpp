#include "receive/CEventLogCtrl.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "text/Cp949Text.h"

namespace {

QColor ToQColor(COLORREF colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

}  // namespace

CEventLogCtrl::CEventLogCtrl(QWidget* pParent) : QAbstractScrollArea(pParent) {
  setContextMenuPolicy(Qt::CustomContextMenu);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);  // painting covers every pixel
  SetDisplayFont(QFontDatabase::systemFont(QFontDatabase::FixedFont), false);
  m_refresh.setSingleShot(true);
  connect(&m_refresh, &QTimer::timeout, this, &CEventLogCtrl::ShowAppended);
}

void CEventLogCtrl::AppendEvent(std::string_view text, COLORREF colour) {
  m_entries.push_back({QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), ToQColor(colour),
                       Cp949ScreenWidth(text)});
  if (m_entries.size() > static_cast<size_t>(m_nLineLimit)) DropOldest();
  m_nLongest = std::max(m_nLongest, m_entries.empty() ? 0 : m_entries.back().m_nLength);
  if (!m_refresh.isActive()) m_refresh.start(REFRESH_MS);
}

void CEventLogCtrl::ShowAppended() {
  m_refresh.stop();
  UpdateExtents();
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
  viewport()->update();
}

void CEventLogCtrl::RemoveAllEntries() {
  m_entries.clear();
  m_nLongest = 0;
  UpdateExtents();
  viewport()->update();
}

void CEventLogCtrl::SetLineLimit(int nLimit) {
  if (nLimit < 0) return;
  m_nLineLimit = nLimit;
  if (m_entries.size() <= static_cast<size_t>(nLimit)) return;
  while (m_entries.size() > static_cast<size_t>(nLimit)) DropOldest();
  UpdateExtents();
  viewport()->update();
}

void CEventLogCtrl::SetDisplayFont(const QFont& font, bool bRedraw) {
  m_font = font;
  const QFontMetrics metrics(m_font);
  m_nCellWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('X')));
  m_nCellHeight = std::max(1, metrics.height());
  UpdateExtents();
  if (bRedraw) viewport()->update();
}

QString CEventLogCtrl::EntryText(int n) const {
  return n >= 0 && n < EntryCount() ? m_entries[static_cast<size_t>(n)].m_text : QString();
}

QColor CEventLogCtrl::EntryColour(int n) const {
  return n >= 0 && n < EntryCount() ? m_entries[static_cast<size_t>(n)].m_colour : QColor();
}

QSize CEventLogCtrl::Extent() const {
  return {m_nCellWidth * LongestLength(), m_nCellHeight * EntryCount()};
}

void CEventLogCtrl::DropOldest() {
  const size_t nLength = m_entries.front().m_nLength;
  m_entries.pop_front();
  // Only losing the longest line can shorten the longest length.
  if (nLength != m_nLongest) return;
  m_nLongest = 0;
  for (const SEntry& entry : m_entries) m_nLongest = std::max(m_nLongest, entry.m_nLength);
}

void CEventLogCtrl::UpdateExtents() {
  const QSize client = viewport()->size();
  const QSize extent = Extent();
  // The remainder of a partial row is added so the last line ends at the bottom edge when
  // scrolled to the end.
  const int nTotalHeight = extent.height() + client.height() % m_nCellHeight;
  horizontalScrollBar()->setRange(0, std::max(0, extent.width() - client.width()));
  horizontalScrollBar()->setSingleStep(m_nCellWidth);
  horizontalScrollBar()->setPageStep(std::max(m_nCellWidth, client.width()));
  verticalScrollBar()->setRange(0, std::max(0, nTotalHeight - client.height()));
  verticalScrollBar()->setSingleStep(m_nCellHeight);
  verticalScrollBar()->setPageStep(std::max(m_nCellHeight, client.height()));
}

void CEventLogCtrl::resizeEvent(QResizeEvent* pEvent) {
  QAbstractScrollArea::resizeEvent(pEvent);
  UpdateExtents();
}

void CEventLogCtrl::paintEvent(QPaintEvent* pEvent) {
  QPainter painter(viewport());
  painter.setFont(m_font);
  const QRect dirty = pEvent->rect();
  const int nLeft = -horizontalScrollBar()->value();
  const int nTop = -verticalScrollBar()->value();
  const int nWidth = std::max(viewport()->width(), Extent().width()) + horizontalScrollBar()->value();
  const QColor background = palette().color(QPalette::Base);

  // Only the rows that meet the dirty rectangle are drawn.
  const int nFirst = std::max(0, (dirty.top() - nTop) / m_nCellHeight);
  int nRowTop = nTop + nFirst * m_nCellHeight;
  for (int n = nFirst; n < EntryCount() && nRowTop <= dirty.bottom(); ++n, nRowTop += m_nCellHeight) {
    const SEntry& entry = m_entries[static_cast<size_t>(n)];
    const QRect row(nLeft, nRowTop, nWidth, m_nCellHeight);
    painter.fillRect(row, background);
    painter.setPen(entry.m_colour);
    painter.drawText(row.adjusted(INDENT, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     entry.m_text);
  }
  if (nRowTop <= dirty.bottom())
    painter.fillRect(QRect(dirty.left(), nRowTop, dirty.width(), dirty.bottom() - nRowTop + 1), background);
}
