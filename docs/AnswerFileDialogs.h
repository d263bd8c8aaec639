#pragma once
// For the picture programs: every file dialog picks the path, as a user would.
#include <QDialog>
#include <QFileDialog>
#include <string>

#include "uisupport/ModalDialogs.h"

inline void AnswerFileDialogs(const std::string& path) {
  SetModalRunner([path](QDialog& dialog) {
    auto* pFileDialog = qobject_cast<QFileDialog*>(&dialog);
    if (pFileDialog == nullptr) return false;
    pFileDialog->selectFile(QString::fromStdString(path));
    dialog.accept();
    return dialog.result() == QDialog::Accepted;
  });
}
