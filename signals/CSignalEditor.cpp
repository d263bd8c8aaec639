#include "signals/CSignalEditor.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "signals/SignalCodec.h"
#include "uisupport/QtText.h"

namespace {

enum EColumn { COLUMN_NAME, COLUMN_VALUE, COLUMN_UNIT, COLUMN_RAW, COLUMN_TEXT, COLUMN_COUNT };

QString Number(double dValue) { return QString::number(dValue, 'g', 15); }

}  // namespace

CSignalEditor::CSignalEditor(QWidget* pParent) : QWidget(pParent) {
  auto* pLayout = new QVBoxLayout(this);
  m_pTable = new QTableWidget(0, COLUMN_COUNT, this);
  m_pTable->setObjectName(QStringLiteral("signals"));
  m_pTable->setHorizontalHeaderLabels({tr("신호"), tr("값"), tr("단위"), tr("원시 값"), tr("값 이름")});
  m_pTable->verticalHeader()->hide();
  m_pTable->horizontalHeader()->setStretchLastSection(true);
  m_pNote = new QLabel(this);
  m_pNote->setObjectName(QStringLiteral("signalNote"));
  pLayout->addWidget(m_pTable);
  pLayout->addWidget(m_pNote);
  connect(m_pTable, &QTableWidget::cellChanged, this, &CSignalEditor::OnValueEdited);
}

void CSignalEditor::SetMessage(const DbcMessage* pMessage) {
  m_pMessage = pMessage;
  m_pNote->clear();
  ShowData(m_data);
}

void CSignalEditor::ShowData(const std::array<uint8_t, 8>& data) {
  m_data = data;
  m_bShowing = true;
  const int nRows = m_pMessage ? static_cast<int>(m_pMessage->m_signals.size()) : 0;
  m_pTable->setRowCount(nRows);
  std::vector<DecodedSignal> present;
  if (m_pMessage) DecodeSignals(*m_pMessage, m_data, present);
  std::size_t nPresent = 0;
  for (int nRow = 0; nRow < nRows; ++nRow) {
    const DbcSignal& signal = m_pMessage->m_signals[static_cast<std::size_t>(nRow)];
    const DecodedSignal* pValue = nullptr;
    if (nPresent < present.size() && present[nPresent].m_nSignal == static_cast<uint32_t>(nRow)) pValue = &present[nPresent++];
    const std::string* pText = pValue ? ValueText(signal, pValue->m_nRaw) : nullptr;
    const QString texts[COLUMN_COUNT] = {ToQString(signal.m_strName), pValue ? Number(pValue->m_dPhysical) : QString(),
                                         ToQString(signal.m_strUnit), pValue ? QString::number(pValue->m_nRaw) : QString(),
                                         pText ? ToQString(*pText) : QString()};
    for (int nColumn = 0; nColumn < COLUMN_COUNT; ++nColumn) {
      auto* pItem = new QTableWidgetItem(texts[nColumn]);
      Qt::ItemFlags flags = pValue ? Qt::ItemIsEnabled : Qt::NoItemFlags;
      if (nColumn == COLUMN_VALUE && pValue) flags |= Qt::ItemIsEditable | Qt::ItemIsSelectable;
      pItem->setFlags(flags);
      if (nColumn == COLUMN_NAME) pItem->setToolTip(ToQString(signal.m_strComment));
      m_pTable->setItem(nRow, nColumn, pItem);
    }
  }
  m_pTable->resizeColumnsToContents();
  m_bShowing = false;
}

void CSignalEditor::OnValueEdited(int nRow, int nColumn) {
  if (m_bShowing || nColumn != COLUMN_VALUE || !m_pMessage || nRow < 0 ||
      nRow >= static_cast<int>(m_pMessage->m_signals.size()))
    return;
  const DbcSignal& signal = m_pMessage->m_signals[static_cast<std::size_t>(nRow)];
  bool bNumber = false;
  const double dValue = m_pTable->item(nRow, nColumn)->text().trimmed().toDouble(&bNumber);
  if (!bNumber) {
    m_pNote->setText(tr("%1: 숫자를 입력하십시오").arg(ToQString(signal.m_strName)));
    ShowData(m_data);
    return;
  }
  const SignalEncodeResult result = EncodeSignal(signal, dValue, m_data);
  m_pNote->setText(result.m_bClamped ? tr("%1: 범위를 벗어나 %2(으)로 제한했읍니다")
                                           .arg(ToQString(signal.m_strName), Number(result.m_dPhysical))
                                     : QString());
  ShowData(m_data);
  emit DataEdited();
}
