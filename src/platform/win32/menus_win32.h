#pragma once

#include <windows.h>

#include "platform/ports.h"

namespace tw::win32 {

class MenuPort final : public IMenuPort {
 public:
  // Menus are owned by `owner`, which receives their messages.
  void SetOwner(HWND owner) { owner_ = owner; }
  int PopupMenu(const TPopupMenu& menu, Point at) override;
  void EndMenu() override;

 private:
  HWND owner_ = nullptr;
  int open_ = 0;  // menus shown and not yet returned
};

}  // namespace tw::win32
