// The hot-key port for one window: WM_HOTKEY goes to that window's queue,
// whichever program is active, and also while the window is hidden.
#pragma once

#include <windows.h>

#include "platform/hotkey_port.h"

namespace tw::win32 {

class Win32HotKeyPort : public IHotKeyPort {
 public:
  explicit Win32HotKeyPort(HWND window) : window_(window) {}

  bool RegisterHotKey(int id, unsigned modifiers, unsigned key) override;
  void UnregisterHotKey(int id) override;

 private:
  HWND window_;
};

}  // namespace tw::win32
