#include "app/CQtMessageSink.h"

#include <QApplication>
#include <QMessageBox>

#include "uisupport/QtText.h"
#include "resources/StringTable.h"

EMessageAnswer CQtMessageSink::Show(const CMessageRequest& request) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(LoadQString(IDS_PROGRAM_TITLE));
  box.setText(QString::fromStdString(request.m_strText));
  if (!request.m_strDetail.empty()) box.setInformativeText(QString::fromStdString(request.m_strDetail));
  switch (request.m_eIcon) {
    case EMessageIcon::INFORMATION: box.setIcon(QMessageBox::Information); break;
    case EMessageIcon::ERROR: box.setIcon(QMessageBox::Critical); break;
    case EMessageIcon::QUESTION: box.setIcon(QMessageBox::Question); break;
  }
  if (request.m_eButtons == EMessageButtons::YES_NO) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? EMessageAnswer::YES : EMessageAnswer::NO;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return EMessageAnswer::OK;
}
