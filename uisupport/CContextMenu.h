#pragma once
// A context menu over the window's shared actions that shows each one by its plain text (the
// action's icon text): no mnemonic, no "..." and no key, while the menu bar shows the same
// action as "송신 파일 열기(&O)...\tCtrl+O". The action, its enable state and its handler stay
// the one the menu bar, toolbar and shortcut use.
#include <QMenu>

class CContextMenu final : public QMenu {
  Q_OBJECT
public:
  using QMenu::QMenu;
  // Public, so what an item shows can be read back.
  void initStyleOption(QStyleOptionMenuItem* pOption, const QAction* pAction) const override;
};
