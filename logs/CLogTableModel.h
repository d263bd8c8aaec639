#pragma once
// The frames of an opened log as a table, read from the file only for the rows a view shows
// (the index holds 16 bytes a frame). A filter keeps the rows whose identifier and data match.
#include <QAbstractTableModel>
#include <optional>
#include <vector>

#include "logs/CLogIndex.h"

// A filter: an identifier (none: any) and a data pattern of bytes, each known or any ("11 ?? 33").
struct LogFilter {
  std::optional<uint32_t> m_dwId;
  std::vector<int> m_pattern;  // per byte 0..255, or -1 for any
  bool Matches(const CanFrame& frame) const;
  bool IsEmpty() const { return !m_dwId && m_pattern.empty(); }
};
// "7E8" / "7E8 11 ?? 33" / "" (any frame); nullopt when it is neither.
std::optional<LogFilter> ParseLogFilter(const QString& text);

class CLogTableModel : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit CLogTableModel(CLogIndex& index, QObject* pParent = nullptr);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int nRole) const override;
  QVariant headerData(int nSection, Qt::Orientation orientation, int nRole) const override;

  // The index grew: its new frames become rows (those the filter passes).
  void IndexGrew();
  void SetFilter(const LogFilter& filter);
  // The row of the first shown frame at or after the time, -1 if none.
  int RowAtTime(int64_t nWallNs) const;
  std::size_t FrameOfRow(int nRow) const;

private:
  bool Frame(int nRow, ReceivedFrame& record) const;

  CLogIndex& m_index;
  LogFilter m_filter;
  std::vector<uint32_t> m_rows;  // frame numbers while a filter is set
  std::size_t m_nShown = 0;      // frames of the index taken in
  mutable std::size_t m_nCachedFrame = SIZE_MAX;
  mutable ReceivedFrame m_cached;
};
