#include "uisupport/TypedCharacter.h"

#include <QKeyEvent>
#include <string>

namespace {

constexpr char32_t NOT_ONE_CHARACTER = 0xFFFD;

bool IsEditingOrDialogKey(int nKey) {
  for (int nPassed : {Qt::Key_Delete, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Backtab})
    if (nKey == nPassed) return true;
  return false;
}

}  // namespace

std::optional<char32_t> TypedCharacter(const QKeyEvent& key) {
  const QString text = key.text();
  if (text.isEmpty() || IsEditingOrDialogKey(key.key())) return std::nullopt;
  const std::u32string characters = text.toStdU32String();
  return characters.size() == 1 ? characters.front() : NOT_ONE_CHARACTER;
}
