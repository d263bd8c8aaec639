#include "transmit/CTDataDlg.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLineEdit>

#include "config/CIdentifierEditorCtrl.h"

namespace {

QComboBox* List(const char* pszName, const QStringList& items, int nIndex, QWidget* pParent) {
  auto* pList = new QComboBox(pParent);
  pList->setObjectName(QString::fromLatin1(pszName));
  pList->addItems(items);
  pList->setCurrentIndex(nIndex);
  return pList;
}

// One data box's byte: a hexadecimal pair, or the character's code.
uint8_t ByteOf(const QString& text, bool bHex) {
  if (text.isEmpty()) return 0;
  if (!bHex) return static_cast<uint8_t>(text.at(0).unicode());
  bool bOk = false;
  const uint nValue = text.toUInt(&bOk, 16);
  return bOk ? static_cast<uint8_t>(nValue) : 0;
}

}  // namespace

TData CTDataDlg::NewFrame() {
  TData frame;
  frame.bStandardID = 0;
  frame.bDataFrame = 1;
  frame.bHexFormat = 1;
  frame.byLength = MAX_DATA_LENGTH;
  return frame;
}

CTDataDlg::CTDataDlg(const TData& values, QWidget* pParent) : CFormDialog(pParent), m_result(values) {
  setWindowTitle(QStringLiteral("송신 데이터 설정"));
  const bool bStandard = values.bStandardID != 0;
  auto* pProtocol = List("protocol", {QStringLiteral("CAN2.0A"), QStringLiteral("CAN2.0B")}, bStandard ? 0 : 1, this);
  QStringList lengths;
  for (int n = 0; n <= MAX_DATA_LENGTH; ++n) lengths << QString::number(n);
  List("length", lengths, values.byLength < MAX_DATA_LENGTH ? values.byLength : MAX_DATA_LENGTH, this);
  List("frameType", {QStringLiteral("Data Frame"), QStringLiteral("Remote Frame")}, values.bDataFrame ? 0 : 1, this);
  List("format", {QStringLiteral("Hex"), QStringLiteral("Ascii")}, values.bHexFormat ? 0 : 1, this);
  const auto abyData = DataBytesOf(values);
  auto* pDataRow = new QHBoxLayout;
  for (int n = 0; n < MAX_DATA_LENGTH; ++n) {
    auto* pBox = new QLineEdit(QStringLiteral("%1").arg(abyData[static_cast<size_t>(n)], 2, 16, QLatin1Char('0')).toUpper(), this);
    pBox->setObjectName(QStringLiteral("data%1").arg(n));
    pDataRow->addWidget(pBox);
  }
  const auto eProtocol = bStandard ? CIdentifierEditor::CAN_20A : CIdentifierEditor::CAN_20B;
  auto* pId = new CIdentifierEditorCtrl(QString(), this);
  pId->setObjectName(QStringLiteral("id"));
  pId->Load(values.dwID & (bStandard ? 0x7FFu : 0x1FFFFFFFu), eProtocol);
  connect(pProtocol, &QComboBox::currentIndexChanged, pId, [pId](int nIndex) {
    pId->SwitchProtocol(nIndex == 0 ? CIdentifierEditor::CAN_20A : CIdentifierEditor::CAN_20B);
  });

  auto* pLayout = new QVBoxLayout(this);
  auto* pLists = new QHBoxLayout;
  for (const char* pszName : {"protocol", "length", "frameType", "format"})
    pLists->addWidget(findChild<QComboBox*>(QString::fromLatin1(pszName)));
  pLayout->addLayout(pLists);
  pLayout->addLayout(pDataRow);
  pLayout->addWidget(pId);
  auto* pButtons = new QHBoxLayout;
  AddButtons(pButtons);
  pLayout->addLayout(pButtons);
}

void CTDataDlg::OnOk() {
  auto* pId = findChild<CIdentifierEditorCtrl*>(QStringLiteral("id"));
  auto index = [this](const char* pszName) { return findChild<QComboBox*>(QString::fromLatin1(pszName))->currentIndex(); };
  pId->TakeBoxTexts();
  m_result.bStandardID = index("protocol") == 0 ? 1 : 0;
  m_result.bDataFrame = index("frameType") == 0 ? 1 : 0;
  m_result.bHexFormat = index("format") == 0 ? 1 : 0;
  m_result.byLength = m_result.bDataFrame ? static_cast<uint8_t>(index("length")) : 0;
  m_result.dwID = pId->Editor().Read();
  uint32_t adwBytes[2] = {0, 0};
  for (int n = 0; n < m_result.byLength; ++n) {
    const QString text = findChild<QLineEdit*>(QStringLiteral("data%1").arg(n))->text();
    adwBytes[n / 4] |= uint32_t{ByteOf(text, m_result.bHexFormat != 0)} << (24 - 8 * (n % 4));
  }
  m_result.dwBytes0to3 = adwBytes[0];
  m_result.dwBytes4to7 = adwBytes[1];
  accept();
}
