#include "uisupport/ModalDialogs.h"

#include <QDialog>
#include <utility>

namespace {
ModalRunner& Runner() {
  static ModalRunner s_fnRunner;
  return s_fnRunner;
}
}  // namespace

ModalRunner SetModalRunner(ModalRunner fnRunner) { return std::exchange(Runner(), std::move(fnRunner)); }

bool RunModal(QDialog& dialog) { return Runner() ? Runner()(dialog) : dialog.exec() == QDialog::Accepted; }
