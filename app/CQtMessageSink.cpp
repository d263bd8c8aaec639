#include "app/CQtMessageSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QTextDocument>

#include "resources/StringTable.h"
#include "uisupport/ModalDialogs.h"
#include "uisupport/QtText.h"
#include "uisupport/Translations.h"

void CQtMessageSink::Fill(QMessageBox& box, const CMessageRequest& request) {
  box.setWindowTitle(LoadQString(IDS_APP_TITLE));
  box.setTextFormat(Qt::PlainText);
  // In the window's language: where the string is translated, the translation with its "%s"
  // replaced by the value as plain text (a path may hold a "%"); the failure's known phrases too.
  QString text = LoadQString(request.m_nStringId);
  if (text == ToQString(LoadString(request.m_nStringId))) {
    text = ToQString(request.m_strText);
  } else if (const qsizetype nAt = text.indexOf(QStringLiteral("%s")); nAt >= 0) {
    text.replace(nAt, 2, ToQString(request.m_strValue));
  }
  box.setText(text);
  // The details label does not follow the box's text format, so the text goes in escaped.
  if (!request.m_strDetail.empty())
    box.setInformativeText(Qt::convertFromPlainText(ToQString(MakeEventTranslator().Translate(request.m_strDetail))));
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
