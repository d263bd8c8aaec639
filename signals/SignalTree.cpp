#include "signals/SignalTree.h"

#include <QCoreApplication>
#include <QTreeWidgetItem>

#include "uisupport/QtText.h"

namespace {

constexpr int ROLE_MESSAGE = Qt::UserRole;
constexpr int ROLE_SIGNAL = Qt::UserRole + 1;

}  // namespace

QStringList SignalTreeHeaders() {
  return {QCoreApplication::translate("SignalTree", "메시지 / 신호"),
          QCoreApplication::translate("SignalTree", "ID / 위치"),
          QCoreApplication::translate("SignalTree", "주기 (설정 / 측정)"),
          QCoreApplication::translate("SignalTree", "원시 값"),
          QCoreApplication::translate("SignalTree", "값"),
          QCoreApplication::translate("SignalTree", "값 이름")};
}

QString SignalLabel(const DbcSignal& signal) {
  return signal.m_strUnit.empty() ? ToQString(signal.m_strName)
                                  : ToQString(signal.m_strName) + QStringLiteral(" [") + ToQString(signal.m_strUnit) + QLatin1Char(']');
}

QTreeWidgetItem* NewMessageItem(const DbcMessage& message, uint32_t nMessage) {
  auto* pMessage = new QTreeWidgetItem({ToQString(message.m_strName),
                                        QString::number(message.m_dwId, 16).toUpper().rightJustified(message.m_bExtended ? 8 : 3, QLatin1Char('0')),
                                        QString()});
  pMessage->setToolTip(COLUMN_NAME, ToQString(message.m_strComment));
  for (uint32_t s = 0; s < message.m_signals.size(); ++s) {
    const DbcSignal& signal = message.m_signals[s];
    auto* pSignal = new QTreeWidgetItem(pMessage, {SignalLabel(signal), QStringLiteral("%1|%2@%3%4")
                                                                             .arg(signal.m_wStartBit)
                                                                             .arg(signal.m_bySize)
                                                                             .arg(signal.m_bBigEndian ? 0 : 1)
                                                                             .arg(signal.m_bSigned ? '-' : '+')});
    pSignal->setData(COLUMN_NAME, ROLE_MESSAGE, nMessage);
    pSignal->setData(COLUMN_NAME, ROLE_SIGNAL, s);
    pSignal->setToolTip(COLUMN_NAME, ToQString(signal.m_strComment));
  }
  return pMessage;
}

std::optional<std::pair<uint32_t, uint32_t>> SignalOfItem(const QTreeWidgetItem& item) {
  if (!item.data(COLUMN_NAME, ROLE_SIGNAL).isValid()) return std::nullopt;
  return std::pair(item.data(COLUMN_NAME, ROLE_MESSAGE).toUInt(), item.data(COLUMN_NAME, ROLE_SIGNAL).toUInt());
}

void ShowSignalValues(QTreeWidgetItem& messageItem, const DbcMessage& message, std::span<const uint8_t> data,
                      std::vector<DecodedSignal>& values) {
  DecodeSignals(message, data, values);
  std::size_t nValue = 0;
  for (int s = 0; s < messageItem.childCount() && s < static_cast<int>(message.m_signals.size()); ++s) {
    QTreeWidgetItem* pChild = messageItem.child(s);
    const bool bPresent = nValue < values.size() && values[nValue].m_nSignal == static_cast<uint32_t>(s);
    const DbcSignal& signal = message.m_signals[static_cast<std::size_t>(s)];
    const DecodedSignal* pValue = bPresent ? &values[nValue++] : nullptr;
    const std::string* pText = pValue ? ValueText(signal, pValue->m_nRaw) : nullptr;
    pChild->setText(COLUMN_RAW, pValue ? QString::number(pValue->m_nRaw) : QString());
    pChild->setText(COLUMN_VALUE, pValue ? QString::number(pValue->m_dPhysical, 'g', 10) +
                                               (signal.m_strUnit.empty() ? QString() : QLatin1Char(' ') + ToQString(signal.m_strUnit))
                                         : QString());
    pChild->setText(COLUMN_TEXT, pText ? ToQString(*pText) : QString());
  }
}

std::function<QString(const IdStatistics&)> MessageNamerFor(std::shared_ptr<const CDbcDatabase> pDatabase) {
  return [pDatabase = std::move(pDatabase)](const IdStatistics& entry) {
    const DbcMessage* pMessage = entry.m_bRemote ? nullptr : pDatabase->Find(!entry.m_bStandard, entry.m_dwId);
    return pMessage ? QString::fromStdString(pMessage->m_strName) : QString();
  };
}
