#include "platform/win32/hotkeys_win32.h"

namespace tw::win32 {

bool Win32HotKeyPort::RegisterHotKey(int id, unsigned modifiers, unsigned key) {
  return ::RegisterHotKey(window_, id, modifiers, key) != FALSE;
}

void Win32HotKeyPort::UnregisterHotKey(int id) { ::UnregisterHotKey(window_, id); }

}  // namespace tw::win32
