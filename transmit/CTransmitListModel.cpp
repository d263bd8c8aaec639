#include "transmit/CTransmitListModel.h"

#include <QCoreApplication>

#include "resources/Pictures.h"
#include "transmit/TransmitRowTexts.h"
#include "uisupport/QtText.h"

namespace {

constexpr unsigned IDS_FIRST_COLUMN_TITLE = 61208;  // 61208 to 61212, one per column but the period's
constexpr const char* PERIOD_COLUMN_TITLE = QT_TRANSLATE_NOOP("CTransmitListModel", "송신 주기(ms)");
constexpr const char* RUNNING_MARK = "\u25B6 ";  // "▶ "

}  // namespace

CTransmitListModel::CTransmitListModel(QObject* pParent)
    : QAbstractTableModel(pParent), m_pTData(std::make_unique<CTDataObject>()), m_rowIcon(TransmitRowPicture()) {}

CTransmitListModel::~CTransmitListModel() = default;

bool CTransmitListModel::Add(const TData& record) {
  if (m_pTData->Contains(record)) return false;
  const int nRow = rowCount();
  beginInsertRows({}, nRow, nRow);
  m_pTData->Add(record);
  endInsertRows();
  return true;
}

void CTransmitListModel::SetAt(int nRow, const TData& record) {
  m_pTData->SetAt(static_cast<std::size_t>(nRow), record);
  emit dataChanged(index(nRow, 0), index(nRow, TRANSMIT_COLUMN_COUNT - 1));
}

void CTransmitListModel::RemoveAt(int nRow) {
  beginRemoveRows({}, nRow, nRow);
  m_pTData->RemoveAt(static_cast<std::size_t>(nRow));
  std::map<int, uint32_t> shifted;
  for (const auto& [nKeyRow, dwKey] : m_cycleKeys)
    if (nKeyRow != nRow) shifted.emplace(nKeyRow > nRow ? nKeyRow - 1 : nKeyRow, dwKey);
  m_cycleKeys = std::move(shifted);
  endRemoveRows();
}

void CTransmitListModel::RemoveAll() {
  beginResetModel();
  m_pTData->RemoveAll();
  m_cycleKeys.clear();
  endResetModel();
}

void CTransmitListModel::Replace(std::unique_ptr<CTDataObject> pTData) {
  beginResetModel();
  m_pTData = std::move(pTData);
  m_cycleKeys.clear();
  endResetModel();
}

uint32_t CTransmitListModel::CycleKey(int nRow) const {
  const auto it = m_cycleKeys.find(nRow);
  return it != m_cycleKeys.end() ? it->second : 0;
}

void CTransmitListModel::SetCycleKey(int nRow, uint32_t dwKey) {
  if (CycleKey(nRow) == dwKey) return;
  if (dwKey != 0)
    m_cycleKeys[nRow] = dwKey;
  else
    m_cycleKeys.erase(nRow);
  const QModelIndex cell = index(nRow, TRANSMIT_PERIOD_COLUMN);
  emit dataChanged(cell, cell);
}

int CTransmitListModel::rowCount(const QModelIndex& parent) const {
  // A list never holds more than MAX_LIST_RECORDS, which an int counts.
  return parent.isValid() ? 0 : static_cast<int>(m_pTData->Count());
}

int CTransmitListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : TRANSMIT_COLUMN_COUNT;
}

QVariant CTransmitListModel::data(const QModelIndex& index, int nRole) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
  if (nRole == Qt::DisplayRole) {
    QString text = QString::fromStdString(TransmitColumnText(m_pTData->At(static_cast<std::size_t>(index.row())), index.column()));
    if (index.column() == TRANSMIT_PERIOD_COLUMN && CycleKey(index.row()) != 0) text.prepend(QString::fromUtf8(RUNNING_MARK));
    return text;
  }
  if (nRole == Qt::DecorationRole && index.column() == 0) return m_rowIcon;
  return {};
}

QVariant CTransmitListModel::headerData(int nSection, Qt::Orientation eOrientation, int nRole) const {
  if (eOrientation != Qt::Horizontal || nSection < 0 || nSection >= TRANSMIT_COLUMN_COUNT) return {};
  if (nRole == Qt::DisplayRole && nSection == TRANSMIT_PERIOD_COLUMN) return QCoreApplication::translate("CTransmitListModel", PERIOD_COLUMN_TITLE);
  if (nRole == Qt::DisplayRole) return LoadQString(IDS_FIRST_COLUMN_TITLE + static_cast<unsigned>(nSection));
  if (nRole == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}
