#include "receive/CRDataModel.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

QString ArrivalStamp(int64_t nWallNs) {
  // Floor division, so a time just before the epoch does not print a negative fraction.
  int64_t nMs = nWallNs / 1000000;
  if (nWallNs % 1000000 < 0) --nMs;
  int64_t nSeconds = nMs / 1000;
  int nMilli = static_cast<int>(nMs % 1000);
  if (nMilli < 0) {
    nMilli += 1000;
    --nSeconds;
  }
  const std::time_t t = static_cast<std::time_t>(nSeconds);
  std::tm local{};
  if (localtime_r(&t, &local) == nullptr) return QStringLiteral("--:--:--.---  ");
  char szStamp[32];
  std::snprintf(szStamp, sizeof szStamp, "%02d:%02d:%02d.%03d  ", local.tm_hour, local.tm_min, local.tm_sec, nMilli);
  return QString::fromLatin1(szStamp);
}

CRDataModel::CRDataModel(int nLineLimit, QObject* pParent)
    : QAbstractListModel(pParent), m_nLineLimit(std::max(nLineLimit, 1)) {}

int CRDataModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

QVariant CRDataModel::data(const QModelIndex& index, int nRole) const {
  if (nRole != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
    return {};
  return LineText(index.row());
}

QString CRDataModel::Shown(const QString& text, int64_t nWallNs) const {
  return m_bShowTimestamps ? ArrivalStamp(nWallNs) + text : text;
}

QString CRDataModel::LineText(int nRow) const {
  if (nRow < 0 || nRow >= rowCount()) return {};
  const SLine& line = m_lines[static_cast<size_t>(nRow)];
  return Shown(line.m_text, line.m_nWallNs);
}

int CRDataModel::HeldCount() const {
  return std::min(m_nLineLimit, static_cast<int>(m_lines.size() + m_pending.size()));
}

QString CRDataModel::HeldLine(int nRow) const {
  if (nRow < 0 || nRow >= HeldCount()) return {};
  const size_t nIndex = m_lines.size() + m_pending.size() - static_cast<size_t>(HeldCount()) + static_cast<size_t>(nRow);
  if (nIndex < m_lines.size()) return LineText(static_cast<int>(nIndex));
  const SPending& pending = m_pending[nIndex - m_lines.size()];
  return Shown(QString::fromUtf8(pending.m_text.data(), static_cast<qsizetype>(pending.m_text.size())),
               pending.m_nWallNs);
}

void CRDataModel::AddPending(std::string_view text, const ArrivalTime& arrival) {
  if (m_pending.size() == static_cast<size_t>(m_nLineLimit)) m_pending.pop_front();
  m_pending.push_back({std::string(text), arrival.m_nWallNs});
}

bool CRDataModel::Commit() {
  if (m_pending.empty()) return false;
  const int nNew = static_cast<int>(m_pending.size());
  const int nOld = rowCount();
  const int nRemove = std::max(0, nOld + nNew - m_nLineLimit);
  if (nRemove > 0) {
    beginRemoveRows(QModelIndex(), 0, nRemove - 1);
    m_lines.erase(m_lines.begin(), m_lines.begin() + nRemove);
    endRemoveRows();
  }
  const int nFirst = nOld - nRemove;
  beginInsertRows(QModelIndex(), nFirst, nFirst + nNew - 1);
  for (SPending& pending : m_pending)
    m_lines.push_back({QString::fromUtf8(pending.m_text.data(), static_cast<qsizetype>(pending.m_text.size())),
                       pending.m_nWallNs});
  m_pending.clear();
  endInsertRows();
  return true;
}

void CRDataModel::RemoveAll() {
  m_pending.clear();
  if (m_lines.empty()) return;
  beginRemoveRows(QModelIndex(), 0, rowCount() - 1);
  m_lines.clear();
  endRemoveRows();
}

void CRDataModel::SetShowTimestamps(bool bShow) {
  if (bShow == m_bShowTimestamps) return;
  m_bShowTimestamps = bShow;
  if (!m_lines.empty()) emit dataChanged(index(0), index(rowCount() - 1), {Qt::DisplayRole});
}
