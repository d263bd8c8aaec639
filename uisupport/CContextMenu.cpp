#include "uisupport/CContextMenu.h"

#include <QStyleOptionMenuItem>

void CContextMenu::initStyleOption(QStyleOptionMenuItem* pOption, const QAction* pAction) const {
  QMenu::initStyleOption(pOption, pAction);
  if (pAction->isSeparator()) return;
  pOption->text = pAction->iconText();
  pOption->reservedShortcutWidth = 0;
}
