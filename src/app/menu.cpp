#include "app/menu.h"

#include "platform/ports.h"

namespace tw {

bool ShowPopupMenu(IMenuPort& port, TPopupMenu& menu, Point at) {
  if (menu.OnPopup) menu.OnPopup();
  const int chosen = port.PopupMenu(menu, at);
  if (chosen < 0 || chosen >= static_cast<int>(menu.Items.size())) return false;
  TMenuItem& item = menu.Items[static_cast<std::size_t>(chosen)];
  // The shell never offers disabled items or separators, but a stale choice
  // must not run a command that was switched off meanwhile.
  if (!item.Enabled || item.IsSeparator()) return false;
  item.Click();
  return true;
}

}  // namespace tw
