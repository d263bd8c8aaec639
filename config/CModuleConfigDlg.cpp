#include "config/CModuleConfigDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "uisupport/MessageBox.h"
#include "config/CIdentifierEditorCtrl.h"
#include "config/ModuleConfigRules.h"
#include "protocol/BitTiming.h"

namespace {

constexpr int BRP_LIST_LAST = 63;
constexpr int TSEG1_LIST_LAST = 15;
constexpr int TSEG2_LIST_LAST = 7;
constexpr int PRESET_250K = 2;
constexpr int BAUD_INDEX_FAST = 1;
const QString MODULE_PORT_SUFFIX = QStringLiteral(" (USB VCOMM)");

QStringList Numbers(int nFirst, int nLast) {
  QStringList numbers;
  for (int n = nFirst; n <= nLast; ++n) numbers << QString::number(n);
  return numbers;
}

QCheckBox* Tick(const QString& name, const QString& text, QWidget* pParent) {
  auto* pTick = new QCheckBox(text, pParent);
  pTick->setObjectName(name);
  return pTick;
}

CIdentifierEditor::EProtocol ProtocolOf(uint8_t byMode) {
  return (byMode & MODE_CAN20B) ? CIdentifierEditor::CAN_20B : CIdentifierEditor::CAN_20A;
}

}  // namespace

CModuleConfigDlg::CModuleConfigDlg(const ModuleSettings& settings, const CPortLists& ports, QWidget* pParent)
    : CFormDialog(pParent), m_ports(ports), m_result(settings) {
  setObjectName(QStringLiteral("ModuleConfigDlg"));
  setWindowTitle(tr("Korvex 환경 설정"));
  auto* pLayout = new QVBoxLayout(this);
  pLayout->addWidget(CreatePortGroup());
  auto* pMiddle = new QHBoxLayout;
  pMiddle->addWidget(CreateCanPart());
  auto* pRight = new QVBoxLayout;
  pRight->addWidget(CreateBitRatePart());
  pRight->addStretch(1);
  auto* pButtons = new QHBoxLayout;
  AddButtons(pButtons);
  pRight->addLayout(pButtons);
  pMiddle->addLayout(pRight);
  pLayout->addLayout(pMiddle);
  Fill();
  setFixedSize(sizeHint());
}

QWidget* CModuleConfigDlg::CreatePortGroup() {
  auto* pGroup = new QGroupBox(tr("PC 통신 인터페이스 설정"), this);
  m_pSerialRadio = new QRadioButton(tr("Serial 통신"), pGroup);
  m_pUsbRadio = new QRadioButton(tr("USB 통신"), pGroup);
  m_pSerialRadio->setObjectName(QStringLiteral("serialRadio"));
  m_pUsbRadio->setObjectName(QStringLiteral("usbRadio"));
  m_pSerialPorts = TextList(QStringLiteral("serialPorts"), {}, pGroup);
  m_pUsbModules = TextList(QStringLiteral("usbModules"), {}, pGroup);
  m_pBaudRates = TextList(QStringLiteral("baudRates"), {}, pGroup);
  for (QComboBox* pList : {m_pSerialPorts, m_pUsbModules}) {
    pList->setMinimumContentsLength(19);  // "ttyUSB10 (USB VCOMM)" fits
    pList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  }
  m_pBaudRates->setMinimumWidth(95);

  auto* pGrid = new QGridLayout(pGroup);
  pGrid->addWidget(m_pSerialRadio, 0, 0, 2, 1, Qt::AlignVCenter);
  pGrid->addWidget(m_pUsbRadio, 0, 1, 2, 1, Qt::AlignVCenter);
  pGrid->setColumnMinimumWidth(2, 16);
  pGrid->addWidget(new QLabel(tr("Serial 통신 포트"), pGroup), 0, 3);
  pGrid->addWidget(m_pSerialPorts, 0, 4);
  pGrid->addWidget(new QLabel(tr("USB 통신 포트"), pGroup), 1, 3);
  pGrid->addWidget(m_pUsbModules, 1, 4);
  pGrid->setColumnMinimumWidth(5, 16);
  pGrid->addWidget(new QLabel(tr("Serial 통신 속도"), pGroup), 0, 6);
  pGrid->addWidget(m_pBaudRates, 0, 7);
  pGrid->setColumnStretch(8, 1);

  connect(m_pSerialRadio, &QRadioButton::clicked, this, [this] { ShowPortMode(false); });
  connect(m_pUsbRadio, &QRadioButton::clicked, this, [this] { ShowPortMode(true); });
  connect(m_pSerialPorts, &QComboBox::activated, this, &CModuleConfigDlg::OnSerialPortSelected);
  return pGroup;
}

QWidget* CModuleConfigDlg::CreateCanPart() {
  auto* pFrame = new QGroupBox(this);
  m_pProtocol = TextList(QStringLiteral("protocol"), {QStringLiteral("CAN2.0A"), QStringLiteral("CAN2.0B")}, pFrame);
  QStringList presets;
  for (std::string_view text : kPresetBitRateTexts) presets << QString::fromLatin1(text.data(), static_cast<int>(text.size()));
  m_pPresets = TextList(QStringLiteral("presets"), presets, pFrame);
  m_pAutoReset = Tick(QStringLiteral("autoReset"), tr("CAN Bus-Off시 자동리셋 사용"), pFrame);

  auto* pReports = new QGroupBox(tr("CAN 에러 발생 시 알림 여부 설정"), pFrame);
  m_pReportBusOff = Tick(QStringLiteral("reportBusOff"), tr("CAN Bus-Off 에러 알림"), pReports);
  m_pReportPassive = Tick(QStringLiteral("reportPassive"), tr("CAN Error-Passive 에러 알림"), pReports);
  m_pReportWarning = Tick(QStringLiteral("reportWarning"), tr("CAN Warning 에러 알림"), pReports);
  auto* pReportsLayout = new QVBoxLayout(pReports);
  pReportsLayout->setSpacing(2);
  for (QCheckBox* pTick : {m_pReportBusOff, m_pReportPassive, m_pReportWarning}) pReportsLayout->addWidget(pTick);

  auto* pMaskGroup = new QGroupBox(tr("수신 Mask ID"), pFrame);
  m_pMaskEditor = new CIdentifierEditorCtrl(tr("[ 비트값이 0이면 해당 비트가 No Mask임 ]"), pMaskGroup);
  m_pMaskEditor->setObjectName(QStringLiteral("maskId"));
  (new QVBoxLayout(pMaskGroup))->addWidget(m_pMaskEditor);
  auto* pIdGroup = new QGroupBox(tr("수신 ID"), pFrame);
  m_pIdEditor = new CIdentifierEditorCtrl(QString(), pIdGroup);
  m_pIdEditor->setObjectName(QStringLiteral("id"));
  (new QVBoxLayout(pIdGroup))->addWidget(m_pIdEditor);

  auto* pChoices = new QGridLayout;
  pChoices->addWidget(new QLabel(tr("프로토콜"), pFrame), 0, 0);
  pChoices->addWidget(m_pProtocol, 0, 1);
  pChoices->addWidget(new QLabel(QStringLiteral("CAN BPS"), pFrame), 1, 0);
  pChoices->addWidget(m_pPresets, 1, 1);
  pChoices->addWidget(m_pAutoReset, 2, 0, 1, 2);
  pChoices->setRowStretch(3, 1);
  auto* pTop = new QHBoxLayout;
  pTop->addLayout(pChoices);
  pTop->addWidget(pReports);
  auto* pLayout = new QVBoxLayout(pFrame);
  pLayout->addLayout(pTop);
  pLayout->addWidget(pMaskGroup);
  pLayout->addWidget(pIdGroup);

  connect(m_pProtocol, &QComboBox::activated, this, &CModuleConfigDlg::OnProtocolSelected);
  connect(m_pPresets, &QComboBox::activated, this, &CModuleConfigDlg::OnPresetSelected);
  return pFrame;
}

QWidget* CModuleConfigDlg::CreateBitRatePart() {
  auto* pFrame = new QGroupBox(this);
  auto* pLayout = new QVBoxLayout(pFrame);
  pLayout->setSpacing(3);
  const QString lines[] = {tr("[ Korvex 모듈의 BPS 계산식 ]"),
                           QStringLiteral("40MHz/((TSEG1+1) + (TSEG2+1)+1)*(BRP+1)"),
                           QString(),
                           tr("[ CAN Bit Time 조건 ]"),
                           QStringLiteral("1) BRP > 2"),
                           QStringLiteral("2) TSEG1 > 2"),
                           QStringLiteral("3) TSEG2 > 1"),
                           QStringLiteral("4) TSEG1 > TSEG2"),
                           QString()};
  for (const QString& text : lines)
    pLayout->addWidget(new QLabel(text, pFrame));
  m_pCustom = Tick(QStringLiteral("custom"), tr("사용자 정의 CAN BPS 사용"), pFrame);
  pLayout->addWidget(m_pCustom);
  m_pComputedRate = new QLineEdit(pFrame);
  m_pComputedRate->setObjectName(QStringLiteral("computedRate"));
  m_pComputedRate->setReadOnly(true);
  m_pBrp = TextList(QStringLiteral("brp"), Numbers(BRP_LIST_FIRST, BRP_LIST_LAST), pFrame);
  m_pTseg1 = TextList(QStringLiteral("tseg1"), Numbers(TSEG1_LIST_FIRST, TSEG1_LIST_LAST), pFrame);
  m_pTseg2 = TextList(QStringLiteral("tseg2"), Numbers(TSEG2_LIST_FIRST, TSEG2_LIST_LAST), pFrame);
  auto* pFields = new QGridLayout;
  pFields->addWidget(new QLabel(tr("계산된 BPS"), pFrame), 0, 0);
  pFields->addWidget(m_pComputedRate, 0, 1);
  pFields->setRowMinimumHeight(1, 6);
  pFields->addWidget(new QLabel(QStringLiteral("BRP(Baud-Rate Prescaler)"), pFrame), 2, 0);
  pFields->addWidget(m_pBrp, 2, 1);
  pFields->addWidget(new QLabel(QStringLiteral("TSEG1"), pFrame), 3, 0);
  pFields->addWidget(m_pTseg1, 3, 1);
  pFields->addWidget(new QLabel(QStringLiteral("TSEG2"), pFrame), 4, 0);
  pFields->addWidget(m_pTseg2, 4, 1);
  pLayout->addLayout(pFields);

  connect(m_pCustom, &QCheckBox::clicked, this, &CModuleConfigDlg::OnCustomClicked);
  for (QComboBox* pList : {m_pBrp, m_pTseg1, m_pTseg2})
    connect(pList, &QComboBox::activated, this, &CModuleConfigDlg::OnCustomFieldSelected);
  return pFrame;
}

void CModuleConfigDlg::Fill() {
  FitPortIndexes(m_result, m_ports);
  bool bModulePortFound = false;
  for (const CSerialPortItem& port : m_ports.m_serialPorts) {
    m_pSerialPorts->addItem(QString::fromStdString(port.m_strName) + (port.m_byModulePort ? MODULE_PORT_SUFFIX : QString()));
    bModulePortFound = bModulePortFound || port.m_byModulePort;
  }
  for (const std::string& serialNumber : m_ports.m_usbSerialNumbers) m_pUsbModules->addItem(QString::fromStdString(serialNumber));
  m_pBaudRates->addItem(QString::number(BAUD_RATE_STANDARD));
  if (bModulePortFound) m_pBaudRates->addItem(QString::number(BAUD_RATE_FAST));
  m_pSerialPorts->setCurrentIndex(m_result.m_nSerialPortIndex);
  m_pUsbModules->setCurrentIndex(m_result.m_nUsbPortIndex);
  if (m_result.m_nSerialPortIndex >= 0) OnSerialPortSelected(m_result.m_nSerialPortIndex);
  const bool bUsb = m_result.m_nPortMode == PORT_MODE_USB;
  (bUsb ? m_pUsbRadio : m_pSerialRadio)->setChecked(true);
  ShowPortMode(bUsb);

  m_pAutoReset->setChecked(m_result.m_byMode & MODE_AUTO_RESET);
  m_pReportBusOff->setChecked(m_result.m_byMode & MODE_REPORT_BUSOFF);
  m_pReportPassive->setChecked(m_result.m_byMode & MODE_REPORT_PASSIVE);
  m_pReportWarning->setChecked(m_result.m_byMode & MODE_REPORT_WARNING);
  const CIdentifierEditor::EProtocol eProtocol = ProtocolOf(m_result.m_byMode);
  m_pMaskEditor->Load(m_result.m_dwMaskId, eProtocol);
  m_pIdEditor->Load(m_result.m_dwId, eProtocol);

  const CBitTimingChoice choice = ChooseBitTiming(m_result.m_wBitTime);
  m_pComputedRate->setText(QString::fromStdString(FormatBitRate(MakeBitTiming(choice.m_nBrp, choice.m_nTseg1, choice.m_nTseg2))));
  m_pBrp->setCurrentIndex(choice.m_nBrp - BRP_LIST_FIRST);
  m_pTseg1->setCurrentIndex(choice.m_nTseg1 - TSEG1_LIST_FIRST);
  m_pTseg2->setCurrentIndex(choice.m_nTseg2 - TSEG2_LIST_FIRST);
  m_pPresets->setCurrentIndex(choice.m_nPreset);
  m_pCustom->setChecked(choice.m_nPreset < 0);
  EnableCustomFields(choice.m_nPreset < 0);
  OnProtocolSelected(eProtocol);
}

void CModuleConfigDlg::ShowPortMode(bool bUsb) {
  m_pSerialPorts->setEnabled(!bUsb);
  m_pBaudRates->setEnabled(!bUsb);
  m_pUsbModules->setEnabled(bUsb);
}

void CModuleConfigDlg::OnSerialPortSelected(int nIndex) {
  m_pBaudRates->setCurrentIndex(BaudRateForPort(m_ports, nIndex) == BAUD_RATE_FAST ? BAUD_INDEX_FAST : 0);
}

void CModuleConfigDlg::OnProtocolSelected(int nIndex) {
  const auto eProtocol = nIndex == CIdentifierEditor::CAN_20A ? CIdentifierEditor::CAN_20A : CIdentifierEditor::CAN_20B;
  m_pMaskEditor->SwitchProtocol(eProtocol);
  m_pIdEditor->SwitchProtocol(eProtocol);
  m_pProtocol->setCurrentIndex(eProtocol);
}

void CModuleConfigDlg::OnPresetSelected(int nIndex) {
  if (nIndex < 0 || nIndex >= static_cast<int>(kPresetBitTimings.size())) return;
  const uint16_t wBitTiming = kPresetBitTimings[static_cast<size_t>(nIndex)];
  m_pComputedRate->setText(QString::fromStdString(FormatBitRate(wBitTiming)));
  SelectFields(wBitTiming);
}

void CModuleConfigDlg::SelectFields(uint16_t wBitTiming) {
  const CBitTimingChoice choice = ChooseBitTiming(wBitTiming);
  m_pBrp->setCurrentIndex(choice.m_nBrp - BRP_LIST_FIRST);
  m_pTseg1->setCurrentIndex(choice.m_nTseg1 - TSEG1_LIST_FIRST);
  m_pTseg2->setCurrentIndex(choice.m_nTseg2 - TSEG2_LIST_FIRST);
}

void CModuleConfigDlg::EnableCustomFields(bool bCustom) {
  m_pPresets->setEnabled(!bCustom);
  for (QComboBox* pList : {m_pBrp, m_pTseg1, m_pTseg2}) pList->setEnabled(bCustom);
}

// The rate shown and the three lists keep their custom values until a preset is chosen;
// what OK takes is the preset selection.
void CModuleConfigDlg::OnCustomClicked(bool bCustom) {
  EnableCustomFields(bCustom);
  m_pPresets->setCurrentIndex(bCustom ? -1 : PRESET_250K);
}

void CModuleConfigDlg::OnCustomFieldSelected() {
  if (m_pCustom->isChecked()) m_pComputedRate->setText(QString::fromStdString(FormatBitRate(CustomBitTiming())));
}

uint16_t CModuleConfigDlg::CustomBitTiming() const {
  return MakeBitTiming(m_pBrp->currentIndex() + BRP_LIST_FIRST, m_pTseg1->currentIndex() + TSEG1_LIST_FIRST,
                       m_pTseg2->currentIndex() + TSEG2_LIST_FIRST);
}

void CModuleConfigDlg::OnOk() {
  m_pMaskEditor->TakeBoxTexts();
  m_pIdEditor->TakeBoxTexts();
  const int nPreset = m_pPresets->currentIndex();
  uint16_t wBitTiming = BIT_TIMING_DEFAULT;
  if (m_pCustom->isChecked())
    wBitTiming = CustomBitTiming();
  else if (nPreset >= 0)
    wBitTiming = kPresetBitTimings[static_cast<size_t>(nPreset)];
  if (const unsigned nStringId = CheckConfigInput(m_pMaskEditor->Editor(), m_pIdEditor->Editor(), wBitTiming)) {
    ShowMessage(nStringId, EMessageIcon::ERROR);
    return;
  }

  if (m_pUsbRadio->isChecked()) {
    m_result.m_nPortMode = PORT_MODE_USB;
    m_result.m_nUsbPortIndex = m_pUsbModules->currentIndex();
  } else {
    // The rate follows the port, whatever the baud list shows.
    m_result.m_nPortMode = PORT_MODE_SERIAL;
    m_result.m_nSerialPortIndex = m_pSerialPorts->currentIndex();
    m_result.m_nBaudRate = BaudRateForPort(m_ports, m_result.m_nSerialPortIndex);
    OnSerialPortSelected(m_result.m_nSerialPortIndex);
  }
  uint8_t byMode = m_pProtocol->currentIndex() == CIdentifierEditor::CAN_20B ? MODE_CAN20B : 0;
  if (m_pAutoReset->isChecked()) byMode |= MODE_AUTO_RESET;
  if (m_pReportBusOff->isChecked()) byMode |= MODE_REPORT_BUSOFF;
  if (m_pReportPassive->isChecked()) byMode |= MODE_REPORT_PASSIVE;
  if (m_pReportWarning->isChecked()) byMode |= MODE_REPORT_WARNING;
  m_result.m_byMode = byMode;
  m_result.m_wBitTime = wBitTiming;
  m_result.m_dwMaskId = m_pMaskEditor->Editor().Read();
  m_result.m_dwId = m_pIdEditor->Editor().Read();
  accept();
}
