// What the Win32 tests do with windows between their steps: let queued
// messages through, and read back what reached the screen.
#pragma once

#include <windows.h>

#include "core/color.h"

namespace tw::win32::testing {

// Handles every message already queued, then returns.
void DispatchPending();
// Handles messages for about 200 ms: time enough for Wine to bring window
// surfaces to the screen.
void Pump();
// The screen's pixel, as GDI reads it back.
ColorRef ScreenPixel(int x, int y);

}  // namespace tw::win32::testing
