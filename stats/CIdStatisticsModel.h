#pragma once
// The per-identifier view's table: a copy of the statistics taken at each refresh, filtered
// and sorted (IdStatisticsRules.h). Between refreshes nothing changes, so a view that paints
// or a user who scrolls sees one consistent picture however fast frames come. A refresh that
// keeps the rows in place repaints them; one that moves, adds or drops rows announces a
// layout change, and persistent indexes (the selection, the current row) follow their
// identifier.
#include <QAbstractTableModel>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "stats/IdStatisticsRules.h"

class CIdStatisticsModel final : public QAbstractTableModel {
  Q_OBJECT
public:
  // Data role of the data column: bit i set while data byte i is highlighted.
  static constexpr int CHANGED_BYTES_ROLE = Qt::UserRole + 1;

  explicit CIdStatisticsModel(QObject* pParent = nullptr);

  // The rules' column titles and note on times, in the user's language.
  static QString ColumnTitle(int nColumn);
  static QString TimesNote();

  // The statistics as they are now, at nNowNs (monotonic, for the highlights).
  void Refresh(std::span<const IdStatistics> entries, int64_t nNowNs);
  // Every row goes (the statistics were cleared).
  void Clear();
  // With a namer (a signal database is open) a last column "메시지" names each entry's
  // message; null takes the column away.
  using MessageNamer = std::function<QString(const IdStatistics&)>;
  void SetMessageNamer(MessageNamer fnNamer);
  // False, and no row passes, when the text is not a valid filter.
  bool SetFilter(std::string_view text);

  // The entry row nRow shows, null for none.
  const IdStatistics* EntryAt(int nRow) const;
  int EntryCount() const { return static_cast<int>(m_entries.size()); }  // shown or filtered out
  // When the earliest highlight shown ends (NO_HIGHLIGHT_END: none).
  int64_t NextHighlightEndNs() const { return ::NextHighlightEndNs(m_entries, m_nNowNs); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int nRole) const override;
  QVariant headerData(int nSection, Qt::Orientation eOrientation, int nRole) const override;
  void sort(int nColumn, Qt::SortOrder eOrder) override;

private:
  void Arrange();

  std::vector<IdStatistics> m_entries;  // as at the last refresh, in order of first appearance
  std::vector<uint32_t> m_rows;         // the entries shown, in row order
  int64_t m_nNowNs = 0;
  CIdFilter m_filter;
  int m_nSortColumn = ID_COLUMN_ID;
  bool m_bAscending = true;
  MessageNamer m_fnNamer;
};
