#include "app/CQtMessageSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QTextDocument>

#include "resources/StringTable.h"
#include "uisupport/ModalDialogs.h"
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
  switch (request.m_eButtons) {
    case EMessageButtons::OK: box.setStandardButtons(QMessageBox::Ok); break;
    case EMessageButtons::YES_NO:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
      break;
    case EMessageButtons::YES_NO_CANCEL:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Yes);
      break;
  }
}

EMessageAnswer CQtMessageSink::Show(const CMessageRequest& request) {
  QMessageBox box(QApplication::activeWindow());
  Fill(box, request);
  RunModal(box);  // like every modal dialog, so a test of the whole program answers it too
  // Escape gives No, or Cancel where the box has it.
  switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes: return EMessageAnswer::YES;
    case QMessageBox::No: return EMessageAnswer::NO;
    case QMessageBox::Cancel: return EMessageAnswer::CANCEL;
    default: return EMessageAnswer::OK;
  }
}
