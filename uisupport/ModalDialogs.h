#pragma once
// Every modal dialog of the program runs through RunModal, as every message box runs through
// ShowMessage: the window shows it with exec(); a test installs a runner that fills it in
// with key and mouse events and closes it, so nothing waits on a modal loop.
#include <functional>

class QDialog;

// Says whether the dialog ended with OK.
using ModalRunner = std::function<bool(QDialog&)>;

// Installs the runner (null: exec()) and returns the one it replaces.
ModalRunner SetModalRunner(ModalRunner fnRunner);
bool RunModal(QDialog& dialog);
