// What comes with a mouse message, in the program's terms.
#pragma once

#include <windows.h>
#include <windowsx.h>

#include "core/geometry.h"
#include "platform/ports.h"

namespace tw::win32 {

inline ShiftState ShiftFromMouse(WPARAM keys) {
  ShiftState s = 0;
  if ((keys & MK_SHIFT) != 0) s |= kShift;
  if ((keys & MK_CONTROL) != 0) s |= kCtrl;
  if ((keys & MK_LBUTTON) != 0) s |= kLeftButton;
  if ((keys & MK_RBUTTON) != 0) s |= kRightButton;
  if ((keys & MK_MBUTTON) != 0) s |= kMiddleButton;
  if (GetKeyState(VK_MENU) < 0) s |= kAlt;
  return s;
}

inline Point PointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace tw::win32
