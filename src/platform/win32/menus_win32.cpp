#include "platform/win32/menus_win32.h"

#include "platform/menu.h"
#include "platform/win32/handles.h"
#include "platform/win32/utf.h"

namespace tw::win32 {

int MenuPort::PopupMenu(const TPopupMenu& menu, Point at) {
  UniqueMenu popup(CreatePopupMenu());
  if (!popup) return -1;
  // Command ids are item index + 1: TrackPopupMenu returns 0 for "nothing".
  for (std::size_t i = 0; i < menu.Items.size(); ++i) {
    const TMenuItem& item = menu.Items[i];
    if (!item.Visible) continue;
    if (item.IsSeparator()) {
      AppendMenuW(popup.get(), MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::wstring text = Widen(item.Caption);
    if (!item.ShortCutText.empty()) text += L"\t" + Widen(item.ShortCutText);
    const UINT flags = MF_STRING | (item.Enabled ? MF_ENABLED : MF_GRAYED) | (item.Checked ? MF_CHECKED : 0);
    AppendMenuW(popup.get(), flags, i + 1, text.c_str());
    if (item.RadioItem) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE;
      info.fType = MFT_STRING | MFT_RADIOCHECK;
      SetMenuItemInfoW(popup.get(), static_cast<UINT>(i + 1), FALSE, &info);
    }
    if (item.Default) SetMenuDefaultItem(popup.get(), static_cast<UINT>(i + 1), FALSE);
  }
  // A popup menu closes on a click elsewhere only if its owner is the
  // foreground window.
  SetForegroundWindow(owner_);
  ++open_;
  const int chosen = static_cast<int>(TrackPopupMenu(popup.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                     at.x, at.y, 0, owner_, nullptr));
  --open_;
  // A menu opened for a background window needs a message afterwards, or it
  // stays open on the second click (a long-standing TrackPopupMenu quirk).
  PostMessageW(owner_, WM_NULL, 0, 0);
  return chosen - 1;
}

void MenuPort::EndMenu() {
  // A menu whose owner loses the foreground to another program may stay on
  // the screen; the run it belongs to is over.
  if (open_ > 0) ::EndMenu();
}

}  // namespace tw::win32
