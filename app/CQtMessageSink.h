#pragma once
// Shows the program's message boxes as QMessageBox over the active window; the reason a
// lower layer gave for a failure goes into the box's details.
#include "uisupport/MessageBox.h"

class CQtMessageSink final : public MessageSink {
public:
  EMessageAnswer Show(const CMessageRequest& request) override;
};
