#include "logs/CLogTableModel.h"

#include <QDateTime>
#include <QStringList>
#include <algorithm>

namespace {

enum EColumn { COL_NUMBER, COL_TIME, COL_PROTOCOL, COL_ID, COL_KIND, COL_LENGTH, COL_DATA, COL_COUNT };

}  // namespace

bool LogFilter::Matches(const CanFrame& frame) const {
  if (m_dwId && *m_dwId != frame.m_dwId) return false;
  if (m_pattern.size() > frame.m_byDataCount) return false;
  for (std::size_t i = 0; i < m_pattern.size(); ++i)
    if (m_pattern[i] >= 0 && m_pattern[i] != frame.m_abyData[i]) return false;
  return true;
}

std::optional<LogFilter> ParseLogFilter(const QString& text) {
  LogFilter filter;
  const QStringList words = text.simplified().split(' ', Qt::SkipEmptyParts);
  for (qsizetype i = 0; i < words.size(); ++i) {
    bool bOk = false;
    if (i == 0 && words[i] != "*") {
      const uint dwId = words[i].toUInt(&bOk, 16);
      if (!bOk || words[i].size() > 8 || dwId > 0x1FFFFFFF) return std::nullopt;
      filter.m_dwId = dwId;
      continue;
    }
    if (i == 0) continue;  // "*": any identifier
    if (i > 8) return std::nullopt;
    if (words[i] == "??") {
      filter.m_pattern.push_back(-1);
      continue;
    }
    const uint byValue = words[i].toUInt(&bOk, 16);
    if (!bOk || words[i].size() > 2) return std::nullopt;
    filter.m_pattern.push_back(static_cast<int>(byValue));
  }
  return filter;
}

CLogTableModel::CLogTableModel(CLogIndex& index, QObject* pParent) : QAbstractTableModel(pParent), m_index(index) {}

int CLogTableModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(std::min<std::size_t>(m_filter.IsEmpty() ? m_nShown : m_rows.size(), INT32_MAX));
}

int CLogTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : COL_COUNT; }

std::size_t CLogTableModel::FrameOfRow(int nRow) const {
  return m_filter.IsEmpty() ? static_cast<std::size_t>(nRow) : m_rows[static_cast<std::size_t>(nRow)];
}

bool CLogTableModel::Frame(int nRow, ReceivedFrame& record) const {
  const std::size_t nFrame = FrameOfRow(nRow);
  if (nFrame != m_nCachedFrame) {
    if (!m_index.ReadFrame(nFrame, m_cached)) return false;
    m_nCachedFrame = nFrame;
  }
  record = m_cached;
  return true;
}

QVariant CLogTableModel::data(const QModelIndex& index, int nRole) const {
  if (!index.isValid() || nRole != Qt::DisplayRole || index.row() >= rowCount()) return {};
  ReceivedFrame record;
  if (!Frame(index.row(), record)) return index.column() == COL_NUMBER ? QVariant("?") : QVariant();
  const CanFrame& f = record.m_frame;
  switch (index.column()) {
    case COL_NUMBER: return QString::number(record.m_qwSequence);
    case COL_TIME: {
      const int64_t nNs = record.m_arrival.m_nWallNs;
      const QDateTime when = QDateTime::fromMSecsSinceEpoch(nNs / 1000000);
      return when.toString("yyyy-MM-dd HH:mm:ss.") + QString("%1").arg(nNs / 1000 % 1000000, 6, 10, QChar('0'));
    }
    case COL_PROTOCOL: return f.m_bStandard ? "CAN2.0A" : "CAN2.0B";
    case COL_ID: return QString("%1").arg(f.m_dwId, f.m_bStandard ? 3 : 8, 16, QChar('0')).toUpper();
    case COL_KIND: return f.m_bRemote ? "Remote Frame" : "Data Frame";
    case COL_LENGTH: return QString::number(f.m_byLength);
    case COL_DATA: {
      QString text;
      for (uint8_t i = 0; !f.m_bRemote && i < f.m_byDataCount; ++i)
        text += QString("%1 ").arg(f.m_abyData[i], 2, 16, QChar('0')).toUpper();
      return text.trimmed();
    }
    default: return {};
  }
}

QVariant CLogTableModel::headerData(int nSection, Qt::Orientation orientation, int nRole) const {
  static const char* const kHeaders[COL_COUNT] = {
      QT_TRANSLATE_NOOP("CLogTableModel", "번호"), QT_TRANSLATE_NOOP("CLogTableModel", "시간"),
      QT_TRANSLATE_NOOP("CLogTableModel", "프로토콜"), "ID", QT_TRANSLATE_NOOP("CLogTableModel", "종류"),
      QT_TRANSLATE_NOOP("CLogTableModel", "길이"), QT_TRANSLATE_NOOP("CLogTableModel", "데이터")};
  if (orientation != Qt::Horizontal || nRole != Qt::DisplayRole || nSection < 0 || nSection >= COL_COUNT) return {};
  return tr(kHeaders[nSection]);
}

void CLogTableModel::IndexGrew() {
  const std::size_t nSize = m_index.Size();
  if (nSize <= m_nShown) return;
  if (!m_filter.IsEmpty()) {
    m_nShown = nSize;
    return;
  }
  beginInsertRows({}, static_cast<int>(m_nShown), static_cast<int>(nSize - 1));
  m_nShown = m_nFiltered = nSize;
  endInsertRows();
}

void CLogTableModel::SetFilter(const LogFilter& filter) {
  beginResetModel();
  m_filter = filter;
  m_rows.clear();
  m_nFiltered = m_filter.IsEmpty() ? m_nShown : 0;
  endResetModel();
}

bool CLogTableModel::FilterStep(std::size_t nMaxFrames) {
  std::vector<uint32_t> added;
  ReceivedFrame record;
  const std::size_t nEnd = std::min(m_nShown, m_nFiltered + nMaxFrames);
  for (; m_nFiltered < nEnd; ++m_nFiltered)
    if (m_index.ReadFrame(m_nFiltered, record) && m_filter.Matches(record.m_frame))
      added.push_back(static_cast<uint32_t>(m_nFiltered));
  if (!added.empty()) {
    beginInsertRows({}, static_cast<int>(m_rows.size()), static_cast<int>(m_rows.size() + added.size() - 1));
    m_rows.insert(m_rows.end(), added.begin(), added.end());
    endInsertRows();
  }
  return IsFiltering();
}

double CLogTableModel::FilterProgress() const {
  return m_nShown == 0 ? 1.0 : static_cast<double>(m_nFiltered) / static_cast<double>(m_nShown);
}

int CLogTableModel::RowAtTime(int64_t nWallNs) const {
  const std::size_t nFrame = m_index.FindTime(nWallNs);
  if (m_filter.IsEmpty()) return nFrame < m_nShown ? static_cast<int>(nFrame) : -1;
  const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), nFrame);
  return it == m_rows.end() ? -1 : static_cast<int>(it - m_rows.begin());
}
