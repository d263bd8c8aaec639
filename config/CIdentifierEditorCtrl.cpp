#include "config/CIdentifierEditorCtrl.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "uisupport/TypedCharacter.h"

namespace {

constexpr int BOX_CHARS = 2;
constexpr int TICKS_PER_ROW = 8;
constexpr int TOP_ROW_TICKS = 5;  // ID28..ID24

int TextWidthFor(const QWidget* pWidget, const QString& sample) {
  return pWidget->fontMetrics().horizontalAdvance(sample) + 12;
}

}  // namespace

CIdentifierEditorCtrl::CIdentifierEditorCtrl(const QString& note, QWidget* pParent) : QWidget(pParent) {
  auto* pLayout = new QGridLayout(this);
  pLayout->setContentsMargins(0, 0, 0, 0);
  pLayout->setVerticalSpacing(2);

  auto* pBoxRow = new QHBoxLayout;
  pBoxRow->setSpacing(1);
  for (int nBox = 1; nBox <= CIdentifierEditor::BOX_COUNT; ++nBox) {
    auto* pBox = new QLineEdit(this);
    pBox->setObjectName(QStringLiteral("box%1").arg(nBox));
    pBox->setMaxLength(BOX_CHARS);
    pBox->setFixedWidth(TextWidthFor(pBox, QStringLiteral("WW")));
    pBox->installEventFilter(this);
    connect(pBox, &QLineEdit::textChanged, this, [this, nBox](const QString& text) { OnBoxChanged(nBox, text); });
    m_apBoxes[static_cast<size_t>(nBox - 1)] = pBox;
    pBoxRow->addWidget(pBox);
  }
  pBoxRow->addSpacing(8);
  if (!note.isEmpty()) pBoxRow->addWidget(new QLabel(note, this));
  pBoxRow->addStretch(1);
  pLayout->addWidget(new QLabel(QStringLiteral("Hex"), this), 0, 0);
  pLayout->addLayout(pBoxRow, 0, 1);

  // Ticks are created highest bit first, so the tab order runs ID28 down to ID0.
  auto* pTickRows = new QGridLayout;
  pTickRows->setHorizontalSpacing(0);
  pTickRows->setVerticalSpacing(2);
  auto* pTopRow = new QHBoxLayout;
  pTopRow->addStretch(1);
  pTickRows->addLayout(pTopRow, 0, 0);
  QHBoxLayout* pRow = pTopRow;
  for (int nTick = CIdentifierEditor::TICK_COUNT - 1; nTick >= 0; --nTick) {
    if (nTick < CIdentifierEditor::TICK_COUNT - TOP_ROW_TICKS && (nTick + 1) % TICKS_PER_ROW == 0) {
      auto* pFrame = new QFrame(this);
      pFrame->setFrameShape(QFrame::Box);
      pFrame->setFrameShadow(QFrame::Sunken);
      pRow = new QHBoxLayout(pFrame);
      pRow->setContentsMargins(3, 1, 3, 1);
      pRow->setSpacing(0);
      pTickRows->addWidget(pFrame, 3 - nTick / TICKS_PER_ROW, 0);
    }
    auto* pTick = new QCheckBox(QStringLiteral("ID%1").arg(nTick), this);
    pTick->setObjectName(QStringLiteral("ID%1").arg(nTick));
    pTick->setMinimumWidth(TextWidthFor(pTick, QStringLiteral("ID28")) + 14);
    connect(pTick, &QCheckBox::clicked, this, [this, nTick] { OnTickClicked(nTick); });
    m_apTicks[static_cast<size_t>(nTick)] = pTick;
    pRow->addWidget(pTick);
  }
  // The top row lines up with the last five columns of the framed rows below it.
  pTopRow->setContentsMargins(0, 0, 4, 0);
  auto* pBitLabel = new QLabel(QStringLiteral("Bit"), this);
  pLayout->addWidget(pBitLabel, 1, 0, Qt::AlignTop);
  pLayout->addLayout(pTickRows, 1, 1);
  ShowModel();
}

void CIdentifierEditorCtrl::Load(uint32_t dwID, CIdentifierEditor::EProtocol eProtocol) {
  m_editor.Load(dwID, eProtocol);
  ShowModel();
}

void CIdentifierEditorCtrl::SwitchProtocol(CIdentifierEditor::EProtocol eProtocol) {
  m_editor.SwitchProtocol(eProtocol);
  ShowModel();
}

int CIdentifierEditorCtrl::BoxNumberOf(QObject* pObject) const {
  for (int nBox = 1; nBox <= CIdentifierEditor::BOX_COUNT; ++nBox)
    if (Box(nBox) == pObject) return nBox;
  return 0;
}

bool CIdentifierEditorCtrl::eventFilter(QObject* pWatched, QEvent* pEvent) {
  const int nBox = BoxNumberOf(pWatched);
  if (nBox == 0) return QWidget::eventFilter(pWatched, pEvent);
  if (pEvent->type() == QEvent::FocusOut) {
    m_editor.OnBoxLeft(nBox);
    ShowModel();
    return false;
  }
  if (pEvent->type() != QEvent::KeyPress) return false;
  const std::optional<char32_t> chTyped = TypedCharacter(*static_cast<QKeyEvent*>(pEvent));
  if (!chTyped) return false;
  const char32_t chPassed = CIdentifierEditor::FilterChar(*chTyped);
  if (chPassed == 0) return true;
  if (chPassed == *chTyped) return false;
  Box(nBox)->insert(QString(QChar(static_cast<char16_t>(chPassed))));  // a letter as its capital
  return true;
}

void CIdentifierEditorCtrl::OnBoxChanged(int nBox, const QString& text) {
  if (m_bShowing) return;
  m_editor.OnBoxChanged(nBox, text.toStdString());
  ShowModel();
}

void CIdentifierEditorCtrl::OnTickClicked(int nTick) {
  m_editor.OnTickClicked(nTick);
  ShowModel();
}

void CIdentifierEditorCtrl::ShowModel() {
  m_bShowing = true;
  for (int nBox = 1; nBox <= CIdentifierEditor::BOX_COUNT; ++nBox) {
    const QString text = QString::fromStdString(m_editor.BoxText(nBox));
    if (Box(nBox)->text() != text) Box(nBox)->setText(text);
    Box(nBox)->setEnabled(m_editor.IsBoxEnabled(nBox));
  }
  for (int nTick = 0; nTick < CIdentifierEditor::TICK_COUNT; ++nTick) {
    Tick(nTick)->setChecked(m_editor.IsTicked(nTick));
    Tick(nTick)->setEnabled(m_editor.IsTickEnabled(nTick));
  }
  m_bShowing = false;
}
