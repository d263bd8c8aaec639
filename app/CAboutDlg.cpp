#include "app/CAboutDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "resources/Pictures.h"
#include "uisupport/Fonts.h"

CAboutDlg::CAboutDlg(QWidget* pParent) : QDialog(pParent) {
  setWindowTitle(tr("Korvex 정보"));
  setFont(DialogFont());
  auto* pIcon = new QLabel(this);
  pIcon->setPixmap(ProgramIcon().pixmap(32, 32));
  auto* pText = new QLabel(tr("Korvex 버전 1.0"), this);
  auto* pOk = new QPushButton(tr("확인"), this);
  pOk->setDefault(true);
  connect(pOk, &QPushButton::clicked, this, &QDialog::accept);
  auto* pLayout = new QHBoxLayout(this);
  pLayout->addWidget(pIcon);
  pLayout->addWidget(pText, 1);
  pLayout->addWidget(pOk, 0, Qt::AlignTop);
  setFixedSize(sizeHint().expandedTo(QSize(353, 90)));  // 235 x 55 dialog units at 9 points
}
