#include "app/CQtMessageSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QTextDocument>

#include "resources/StringTable.h"
#include "uisupport/QtText.h"

void CQtMessageSink::Fill(QMessageBox& box, const CMessageRequest& request) {
  box.setWindowTitle(LoadQString(IDS_APP_TITLE));
  box.setTextFormat(Qt::PlainText);
  box.setText(ToQString(request.m_strText));
  // The details label does not follow the box's text format, so the text goes in escaped.
  if (!request.m_strDetail.empty()) box.setInformativeText(Qt::convertFromPlainText(ToQString(request.m_strDetail)));
  switch (request.m_eIcon) {
    case EMessageIcon::INFORMATION: box.setIcon(QMessageBox::Information); break;
    case EMessageIcon::ERROR: box.setIcon(QMessageBox::Critical); break;
    case EMessageIcon::QUESTION: box.setIcon(QMessageBox::Question); break;
  }
  if (request.m_eButtons == EMessageButtons::YES_NO) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
}

EMessageAnswer CQtMessageSink::Show(const CMessageRequest& request) {
  QMessageBox box(QApplication::activeWindow());
  Fill(box, request);
  const int nAnswer = box.exec();
  if (request.m_eButtons == EMessageButtons::YES_NO) return nAnswer == QMessageBox::Yes ? EMessageAnswer::YES : EMessageAnswer::NO;
  return EMessageAnswer::OK;
}
