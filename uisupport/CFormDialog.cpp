#include "uisupport/CFormDialog.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>

#include "uisupport/Fonts.h"

CFormDialog::CFormDialog(QWidget* pParent) : QDialog(pParent) {
  setFont(DialogFont());
  setModal(true);
}

QComboBox* CFormDialog::TextList(const QString& name, const QStringList& items, QWidget* pParent) {
  auto* pList = new QComboBox(pParent);
  pList->setObjectName(name);
  pList->addItems(items);
  return pList;
}

void CFormDialog::AddButtons(QBoxLayout* pLayout) {
  m_pOk = new QPushButton(tr("설정"), this);
  m_pCancel = new QPushButton(tr("취소"), this);
  m_pOk->setObjectName(QStringLiteral("ok"));
  m_pCancel->setObjectName(QStringLiteral("cancel"));
  for (QPushButton* pButton : {m_pOk, m_pCancel}) {
    pButton->setAutoDefault(false);  // a focused button must not turn Enter into a click
    pButton->setDefault(false);
  }
  connect(m_pOk, &QPushButton::clicked, this, &CFormDialog::OnOk);
  connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
  pLayout->addStretch(1);
  pLayout->addWidget(m_pOk);
  pLayout->addWidget(m_pCancel);
}

void CFormDialog::keyPressEvent(QKeyEvent* pEvent) {
  if (pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter) {
    pEvent->accept();
    return;
  }
  QDialog::keyPressEvent(pEvent);
}
