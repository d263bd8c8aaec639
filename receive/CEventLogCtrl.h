#pragma once
// The event log window (in the frame's bottom dock): one line per event in the colour it was
// reported with, left indent 5 px, newest at the bottom, the newest 200 kept, and scrolled to
// the newest line. Lines are kept as they come, but the view follows them at most 25 times a
// second (ShowAppended), so a stream of echoes does not repaint it for every line. Drawn here, one row per character cell: the horizontal
// extent is the cell width times the longest line, counted in CP949 bytes (a Hangul syllable
// is two cells of the fixed-pitch font).
#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QString>
#include <QTimer>
#include <cstddef>
#include <deque>

#include "protocol/EventSink.h"

class CEventLogCtrl : public QAbstractScrollArea, public EventDisplay {
  Q_OBJECT
public:
  static constexpr int DEFAULT_LINE_LIMIT = 200;
  static constexpr int INDENT = 5;  // pixels left of every line
  static constexpr int REFRESH_MS = 40;

  // Context-menu policy is custom: the frame connects customContextMenuRequested (viewport
  // coordinates) and shows its own menu.
  explicit CEventLogCtrl(QWidget* pParent = nullptr);

  void AppendEvent(std::string_view text, COLORREF colour) override;
  // Brings the extents, the scroll position and the picture up to the lines appended; the
  // refresh timer calls it REFRESH_MS after the first line not yet shown.
  void ShowAppended();
  void RemoveAllEntries();
  // A negative limit is ignored; a smaller one drops the oldest lines at once.
  void SetLineLimit(int nLimit);
  int LineLimit() const { return m_nLineLimit; }
  void SetDisplayFont(const QFont& font, bool bRedraw);

  int EntryCount() const { return static_cast<int>(m_entries.size()); }
  QString EntryText(int n) const;
  QColor EntryColour(int n) const;
  int LongestLength() const { return static_cast<int>(m_nLongest); }
  // Width and height of the whole log in pixels (cell width x longest, count x cell height).
  QSize Extent() const;

protected:
  void paintEvent(QPaintEvent* pEvent) override;
  void resizeEvent(QResizeEvent* pEvent) override;

private:
  struct SEntry {
    QString m_text;
    QColor m_colour;
    size_t m_nLength;  // CP949 bytes
  };

  void DropOldest();
  void UpdateExtents();

  std::deque<SEntry> m_entries;
  int m_nLineLimit = DEFAULT_LINE_LIMIT;
  size_t m_nLongest = 0;
  QTimer m_refresh;
  QFont m_font;
  int m_nCellWidth = 1;
  int m_nCellHeight = 1;
};
