#include "stats/CIdStatisticsModel.h"

#include <QCoreApplication>
#include <QString>
#include <string>


namespace {

bool IsNumberColumn(int nColumn) { return nColumn >= ID_COLUMN_COUNT && nColumn != ID_COLUMN_DATA; }

// The rules mark their shown texts for translation under their own name.
QString RulesText(std::string_view text) {
  return QCoreApplication::translate("IdStatisticsRules", std::string(text).c_str());
}

}  // namespace

CIdStatisticsModel::CIdStatisticsModel(QObject* pParent) : QAbstractTableModel(pParent) {}

QString CIdStatisticsModel::ColumnTitle(int nColumn) { return RulesText(IdColumnTitle(nColumn)); }

QString CIdStatisticsModel::TimesNote() { return RulesText(ID_VIEW_TIMES_NOTE); }

void CIdStatisticsModel::Refresh(std::span<const IdStatistics> entries, int64_t nNowNs) {
  // Entries only ever come after the ones there were, until the statistics are cleared.
  if (entries.size() < m_entries.size()) Clear();
  m_entries.assign(entries.begin(), entries.end());
  m_nNowNs = nNowNs;
  Arrange();
}

void CIdStatisticsModel::Clear() {
  beginResetModel();
  m_entries.clear();
  m_rows.clear();
  endResetModel();
}

bool CIdStatisticsModel::SetFilter(std::string_view text) {
  const bool bValid = m_filter.Set(text);
  Arrange();
  return bValid;
}

void CIdStatisticsModel::sort(int nColumn, Qt::SortOrder eOrder) {
  if (nColumn < 0 || nColumn >= ID_COLUMN_TOTAL) return;
  m_nSortColumn = nColumn;
  m_bAscending = eOrder == Qt::AscendingOrder;
  Arrange();
}

void CIdStatisticsModel::Arrange() {
  std::vector<uint32_t> rows = ArrangeRows(m_entries, m_filter, m_nSortColumn, m_bAscending, m_rows);
  if (rows == m_rows) {
    if (!m_rows.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    return;
  }
  emit layoutAboutToBeChanged();
  std::vector<int> newRowOf(m_entries.size(), -1);
  for (size_t nRow = 0; nRow < rows.size(); ++nRow) newRowOf[rows[nRow]] = static_cast<int>(nRow);
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& old : before) {
    const int nRow = newRowOf[m_rows[static_cast<size_t>(old.row())]];
    after.push_back(nRow < 0 ? QModelIndex() : createIndex(nRow, old.column()));
  }
  m_rows = std::move(rows);
  changePersistentIndexList(before, after);
  emit layoutChanged();
}

const IdStatistics* CIdStatisticsModel::EntryAt(int nRow) const {
  return nRow >= 0 && nRow < rowCount() ? &m_entries[m_rows[static_cast<size_t>(nRow)]] : nullptr;
}

int CIdStatisticsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CIdStatisticsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ID_COLUMN_TOTAL + (m_fnNamer ? 1 : 0);
}

void CIdStatisticsModel::SetMessageNamer(MessageNamer fnNamer) {
  beginResetModel();
  m_fnNamer = std::move(fnNamer);
  endResetModel();
}

QVariant CIdStatisticsModel::data(const QModelIndex& index, int nRole) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
  const IdStatistics& entry = *EntryAt(index.row());
  if (index.column() == ID_COLUMN_TOTAL) return nRole == Qt::DisplayRole ? m_fnNamer(entry) : QVariant();
  switch (nRole) {
    case Qt::DisplayRole: return QString::fromStdString(IdCellText(entry, index.column()));
    case Qt::TextAlignmentRole:
      return static_cast<int>((IsNumberColumn(index.column()) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    case CHANGED_BYTES_ROLE:
      return index.column() == ID_COLUMN_DATA ? QVariant(HighlightedBytes(entry, m_nNowNs)) : QVariant();
    default: return {};
  }
}

QVariant CIdStatisticsModel::headerData(int nSection, Qt::Orientation eOrientation, int nRole) const {
  if (eOrientation == Qt::Horizontal && nSection == ID_COLUMN_TOTAL && m_fnNamer && nRole == Qt::DisplayRole)
    return tr("메시지");
  if (eOrientation != Qt::Horizontal || nSection < 0 || nSection >= ID_COLUMN_TOTAL) return {};
  if (nRole == Qt::DisplayRole) return ColumnTitle(nSection);
  if (nRole == Qt::ToolTipRole) return RulesText(IdColumnMeaning(nSection)) + QStringLiteral("\n") + TimesNote();
  return {};
}
