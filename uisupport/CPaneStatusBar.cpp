#include "uisupport/CPaneStatusBar.h"

#include <QLabel>

#include "uisupport/Fonts.h"

CPaneStatusBar::CPaneStatusBar(const QString& idleText, QWidget* pParent) : QStatusBar(pParent) {
  // A normal (not permanent) widget is hidden while a prompt shows, and comes back after it.
  addWidget(new QLabel(idleText, this), 1);
}

void CPaneStatusBar::AddPane(unsigned nId, int nWidth, const QString& text, const QString& tooltip) {
  auto* pPane = new QLabel(text, this);
  pPane->setObjectName(QStringLiteral("pane%1").arg(nId));
  pPane->setTextFormat(Qt::PlainText);  // a port's path is shown as it is
  pPane->setToolTip(tooltip);
  pPane->setFrameShape(QFrame::Panel);
  pPane->setFrameShadow(QFrame::Sunken);
  pPane->setAlignment(Qt::AlignCenter);
  // The width fits the system's texts in the system's font; scaled, it fits them in ours.
  if (nWidth > 0) pPane->setFixedWidth(ScaledWidth(nWidth, pPane->font()) + 2 * pPane->frameWidth());
  addPermanentWidget(pPane);
  m_panes[nId] = pPane;
}

QLabel* CPaneStatusBar::Pane(unsigned nId) const {
  const auto it = m_panes.find(nId);
  return it != m_panes.end() ? it->second : nullptr;
}

void CPaneStatusBar::SetPaneText(unsigned nId, const QString& text) {
  if (QLabel* pPane = Pane(nId)) pPane->setText(text);
}

void CPaneStatusBar::SetPanePicture(unsigned nId, const QPixmap& picture) {
  if (QLabel* pPane = Pane(nId)) pPane->setPixmap(picture);
}

void CPaneStatusBar::SetPaneVisible(unsigned nId, bool bVisible) {
  if (QLabel* pPane = Pane(nId)) pPane->setVisible(bVisible);
}
