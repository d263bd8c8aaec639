#include "transmit/CTDataDlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <algorithm>
#include <cstdio>

#include "uisupport/MessageBox.h"
#include "config/CIdentifierEditorCtrl.h"
#include "resources/StringTable.h"
#include "signals/CSignalEditor.h"
#include "signals/DbcDatabase.h"
#include "uisupport/TypedCharacter.h"

namespace {

// The lists' indexes.
constexpr int FRAME_DATA = 0;
constexpr int FRAME_REMOTE = 1;
constexpr int FORMAT_HEX = 0;
constexpr int FORMAT_ASCII = 1;
constexpr char32_t LAST_ASCII_CODE = 127;

CIdentifierEditor::EProtocol ProtocolOf(int nIndex) {
  return nIndex == CIdentifierEditor::CAN_20A ? CIdentifierEditor::CAN_20A : CIdentifierEditor::CAN_20B;
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

CTDataDlg::CTDataDlg(const TData& values, QWidget* pParent, std::shared_ptr<const CDbcDatabase> pDatabase)
    : CFormDialog(pParent), m_result(DialogValuesOf(values)), m_pDatabase(std::move(pDatabase)) {
  setObjectName(QStringLiteral("TDataDlg"));
  setWindowTitle(tr("송신 데이터 설정"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);  // no close box: Escape cancels
  auto* pLayout = new QVBoxLayout(this);
  QWidget* pFramePage = this;
  QVBoxLayout* pFrameLayout = pLayout;
  if (m_pDatabase) {
    m_pPages = new QTabWidget(this);
    pFramePage = new QWidget(m_pPages);
    pFrameLayout = new QVBoxLayout(pFramePage);
    m_pSignalEditor = new CSignalEditor(m_pPages);
    m_pPages->addTab(pFramePage, tr("프레임"));
    m_pPages->addTab(m_pSignalEditor, tr("신호"));
    pLayout->addWidget(m_pPages);
    connect(m_pPages, &QTabWidget::currentChanged, this, &CTDataDlg::OnPageShown);
    connect(m_pSignalEditor, &CSignalEditor::DataEdited, this, &CTDataDlg::OnSignalsEdited);
  }
  pFrameLayout->addLayout(CreateFrameRows());
  auto* pIdGroup = new QGroupBox(tr("송신 ID"), pFramePage);
  m_pIdEditor = new CIdentifierEditorCtrl(QString(), pIdGroup);
  m_pIdEditor->setObjectName(QStringLiteral("id"));
  (new QVBoxLayout(pIdGroup))->addWidget(m_pIdEditor);
  pFrameLayout->addWidget(pIdGroup);
  auto* pPeriodRow = new QHBoxLayout;
  m_pPeriod = new QLineEdit(pFramePage);
  m_pPeriod->setObjectName(QStringLiteral("period"));
  m_pPeriod->setMaxLength(5);
  m_pPeriod->setFixedWidth(m_pPeriod->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
  m_pPeriod->setToolTip(tr("0 또는 빈칸: 주기 전송 안 함, 1 ~ 60000 ms"));
  if (m_result.wPeriodMs != 0) m_pPeriod->setText(QString::number(m_result.wPeriodMs));
  pPeriodRow->addWidget(new QLabel(tr("송신 주기(ms)"), pFramePage));
  pPeriodRow->addWidget(m_pPeriod);
  pPeriodRow->addStretch(1);
  pFrameLayout->addLayout(pPeriodRow);
  auto* pButtons = new QHBoxLayout;
  AddButtons(pButtons);
  pLayout->addLayout(pButtons);
  Open();
  setFixedSize(sizeHint());
  m_pProtocol->setFocus();
}

// Protocol, length and frame type on the first row; the data boxes and their format below.
// Created in tab order: the three lists, the data boxes, the format list.
QGridLayout* CTDataDlg::CreateFrameRows() {
  QStringList lengths;
  for (int n = 0; n <= MAX_DATA_LENGTH; ++n) lengths << QString::number(n);
  m_pProtocol = TextList(QStringLiteral("protocol"), {QStringLiteral("CAN2.0A"), QStringLiteral("CAN2.0B")}, this);
  m_pLength = TextList(QStringLiteral("length"), lengths, this);
  m_pFrameType = TextList(QStringLiteral("frameType"), {QStringLiteral("Data Frame"), QStringLiteral("Remote Frame")}, this);
  auto* pDataRow = new QHBoxLayout;
  pDataRow->setSpacing(1);
  for (int i = 0; i < DATA_BOX_COUNT; ++i) {
    auto* pBox = new QLineEdit(this);
    pBox->setObjectName(QStringLiteral("data%1").arg(i));
    pBox->setFixedWidth(pBox->fontMetrics().horizontalAdvance(QStringLiteral("WW")) + 12);
    pBox->installEventFilter(this);
    m_apData[static_cast<size_t>(i)] = pBox;
    pDataRow->addWidget(pBox);
  }
  pDataRow->addStretch(1);
  m_pFormat = TextList(QStringLiteral("format"), {QStringLiteral("Hex"), QStringLiteral("Ascii")}, this);

  auto* pChoiceRow = new QHBoxLayout;
  pChoiceRow->addWidget(m_pProtocol);
  pChoiceRow->addSpacing(6);
  pChoiceRow->addWidget(new QLabel(tr("데이터 길이"), this));
  pChoiceRow->addWidget(m_pLength);
  pChoiceRow->addStretch(1);
  auto* pGrid = new QGridLayout;
  pGrid->addWidget(new QLabel(tr("프로토콜"), this), 0, 0);
  pGrid->addLayout(pChoiceRow, 0, 1);
  pGrid->addWidget(new QLabel(tr("Frame 타입"), this), 0, 2, Qt::AlignRight);
  pGrid->addWidget(m_pFrameType, 0, 3);
  pGrid->addWidget(new QLabel(tr("데이터"), this), 1, 0);
  pGrid->addLayout(pDataRow, 1, 1);
  pGrid->addWidget(new QLabel(tr("형식"), this), 1, 2, Qt::AlignRight);
  pGrid->addWidget(m_pFormat, 1, 3);

  connect(m_pProtocol, &QComboBox::activated, this, &CTDataDlg::OnProtocolSelected);
  connect(m_pLength, &QComboBox::activated, this, &CTDataDlg::ApplyLength);
  connect(m_pFrameType, &QComboBox::activated, this, &CTDataDlg::ApplyFrameType);
  connect(m_pFormat, &QComboBox::activated, this, &CTDataDlg::OnFormatSelected);
  return pGrid;
}

// The starting values reach the controls: identifier, data bytes in their format, then the
// protocol, length and frame-type rules, each of which may empty and disable boxes.
void CTDataDlg::Open() {
  const auto eProtocol = m_result.bStandardID ? CIdentifierEditor::CAN_20A : CIdentifierEditor::CAN_20B;
  m_pIdEditor->Load(m_result.dwID, eProtocol);
  const DataBoxTexts hexTexts = HexBoxTextsOf(m_result);
  const bool bAscii = !m_result.bHexFormat;
  ShowDataTexts(bAscii ? ConvertDataBoxes(hexTexts, true) : hexTexts, bAscii);
  m_pFormat->setCurrentIndex(bAscii ? FORMAT_ASCII : FORMAT_HEX);
  OnProtocolSelected(eProtocol);
  m_pLength->setCurrentIndex(m_result.byLength);
  ApplyLength(m_result.byLength);
  ApplyFrameType(m_result.bDataFrame ? FRAME_DATA : FRAME_REMOTE);
}

void CTDataDlg::OnProtocolSelected(int nIndex) {
  m_pIdEditor->SwitchProtocol(ProtocolOf(nIndex));
  m_pProtocol->setCurrentIndex(ProtocolOf(nIndex));
}

// A remote frame carries no data: length 0, and the length stays locked until Data Frame.
void CTDataDlg::ApplyFrameType(int nIndex) {
  m_pFrameType->setCurrentIndex(nIndex);
  const bool bDataFrame = nIndex != FRAME_REMOTE;
  m_pLength->setEnabled(bDataFrame);
  if (bDataFrame) return;
  m_pLength->setCurrentIndex(0);
  ApplyLength(0);
}

// Boxes within the length keep their text; those beyond it are emptied, so their bytes are 0.
void CTDataDlg::ApplyLength(int nLength) {
  for (int i = 0; i < DATA_BOX_COUNT; ++i) {
    QLineEdit* pBox = m_apData[static_cast<size_t>(i)];
    pBox->setEnabled(i < nLength);
    if (i >= nLength) pBox->clear();
  }
}

void CTDataDlg::OnFormatSelected(int nIndex) {
  const bool bAscii = nIndex == FORMAT_ASCII;
  ShowDataTexts(ConvertDataBoxes(DataTexts(), bAscii), bAscii);
}

bool CTDataDlg::IsAsciiSelected() const { return m_pFormat->currentIndex() == FORMAT_ASCII; }

DataBoxTexts CTDataDlg::DataTexts() const {
  DataBoxTexts texts;
  for (size_t i = 0; i < texts.size(); ++i) texts[i] = m_apData[i]->text().toStdString();
  return texts;
}

void CTDataDlg::ShowDataTexts(const DataBoxTexts& texts, bool bAscii) {
  for (size_t i = 0; i < texts.size(); ++i) {
    m_apData[i]->setMaxLength(bAscii ? ASCII_BOX_CHARS : HEX_BOX_CHARS);
    m_apData[i]->setText(QString::fromStdString(texts[i]));
  }
}

bool CTDataDlg::eventFilter(QObject* pWatched, QEvent* pEvent) {
  const bool bDataBox = std::find(m_apData.begin(), m_apData.end(), pWatched) != m_apData.end();
  if (!bDataBox || pEvent->type() != QEvent::KeyPress) return CFormDialog::eventFilter(pWatched, pEvent);
  const std::optional<char32_t> chTyped = TypedCharacter(*static_cast<QKeyEvent*>(pEvent));
  if (!chTyped) return false;
  const bool bPasses = IsAsciiSelected() ? *chTyped <= LAST_ASCII_CODE : CIdentifierEditor::FilterChar(*chTyped) != 0;
  return !bPasses;
}

// The signal page opens on the message with the entered identifier, showing the data boxes'
// bytes (what does not read as a byte counts 0).
void CTDataDlg::OnPageShown(int nPage) {
  if (nPage != 1 || !m_pSignalEditor) return;
  m_pIdEditor->TakeBoxTexts();
  const bool bExtended = m_pProtocol->currentIndex() != CIdentifierEditor::CAN_20A;
  const DbcMessage* pMessage = m_pIdEditor->Editor().Check() ? m_pDatabase->Find(bExtended, m_pIdEditor->Editor().Read()) : nullptr;
  TData frame = m_result;
  StoreDataBytes(DataTexts(), !IsAsciiSelected(), static_cast<uint8_t>(m_pLength->currentIndex()), frame);
  m_pSignalEditor->SetMessage(pMessage);
  m_pSignalEditor->ShowData(DataBytesOf(frame));
}

void CTDataDlg::OnSignalsEdited() {
  const DbcMessage* pMessage = m_pSignalEditor->Message();
  const int nLength = std::max(m_pLength->currentIndex(), std::min<int>(pMessage ? pMessage->m_byLength : 0, MAX_DATA_LENGTH));
  ApplyFrameType(FRAME_DATA);
  m_pLength->setCurrentIndex(nLength);
  ApplyLength(nLength);
  DataBoxTexts texts;
  for (int i = 0; i < nLength; ++i) {
    char szByte[3];
    std::snprintf(szByte, sizeof szByte, "%02X", m_pSignalEditor->Data()[static_cast<size_t>(i)]);
    texts[static_cast<size_t>(i)] = szByte;
  }
  const bool bAscii = IsAsciiSelected();
  ShowDataTexts(bAscii ? ConvertDataBoxes(texts, true) : texts, bAscii);
}

void CTDataDlg::OnOk() {
  m_pIdEditor->TakeBoxTexts();
  const DataBoxTexts texts = DataTexts();
  const bool bHex = !IsAsciiSelected();
  const auto byLength = static_cast<uint8_t>(m_pLength->currentIndex());
  const std::optional<uint16_t> period = ParsePeriodText(m_pPeriod->text().toStdString());
  if (!m_pIdEditor->Editor().Check() || !AreDataBoxesValid(texts, bHex, byLength) || !period) {
    ShowMessage(IDS_DATA_INPUT_WRONG, EMessageIcon::ERROR);
    return;
  }
  m_result.bStandardID = m_pProtocol->currentIndex() == CIdentifierEditor::CAN_20A ? 1 : 0;
  m_result.bDataFrame = m_pFrameType->currentIndex() == FRAME_DATA ? 1 : 0;
  m_result.bHexFormat = bHex ? 1 : 0;
  m_result.byLength = byLength;
  m_result.dwID = m_pIdEditor->Editor().Read();
  m_result.wPeriodMs = *period;
  StoreDataBytes(texts, bHex, byLength, m_result);
  accept();
}
