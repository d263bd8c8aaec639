#pragma once
// Shows the program's message boxes as QMessageBox over the active window, titled "Korvex" (a
// question defaults to Yes); the reason a lower layer gave for a failure goes into the box's
// details. Both texts are shown as plain text: a path or a device's answer may hold "<", and a
// box never reads them as markup.
#include "uisupport/MessageBox.h"

class QMessageBox;

class CQtMessageSink final : public MessageSink {
public:
  EMessageAnswer Show(const CMessageRequest& request) override;
  // Texts, icon and buttons of the box, before it is shown.
  static void Fill(QMessageBox& box, const CMessageRequest& request);
};
