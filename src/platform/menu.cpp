#include "platform/menu.h"

#include "platform/ports.h"

namespace tw {

TMenuItem* ChoosePopupMenuItem(IMenuPort& port, TPopupMenu& menu, Point at) {
  if (menu.OnPopup) menu.OnPopup();
  const int chosen = port.PopupMenu(menu, at);
  if (chosen < 0 || chosen >= static_cast<int>(menu.Items.size())) return nullptr;
  TMenuItem& item = menu.Items[static_cast<std::size_t>(chosen)];
  // The shell never offers disabled items or separators, but a stale choice
  // must not run a command that was switched off meanwhile.
  if (!item.Enabled || !item.Visible || item.IsSeparator()) return nullptr;
  return &item;
}

bool ShowPopupMenu(IMenuPort& port, TPopupMenu& menu, Point at) {
  TMenuItem* item = ChoosePopupMenuItem(port, menu, at);
  if (item == nullptr) return false;
  item->Click();
  return true;
}

}  // namespace tw
