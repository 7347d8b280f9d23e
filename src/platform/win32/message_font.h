// The system's message font, which the info window, Preferences and the
// dialogs use and their layouts are scaled by.
#pragma once

#include <windows.h>

#include "platform/win32/handles.h"

namespace tw::win32 {

// LOGPIXELSY of the screen; 96 when it cannot be read.
int ScreenDpiY();

// 8-point Tahoma at `dpi`: height -MulDiv(8, dpi, 72), -11 at 96 DPI.
LOGFONTW DefaultMessageFont(int dpi);

// The message font of `metrics`, or the default when there is none
// (`metrics` is null when SystemParametersInfoW failed) or its height is 0.
LOGFONTW MessageFontFrom(const NONCLIENTMETRICSW* metrics, int dpi);

// The system's message font now, or the default.
LOGFONTW MessageFont();

// The system's caption font now (lfCaptionFont), or the default message font.
LOGFONTW CaptionFont();

// An owned font of `font`; throws tw::Error when GDI makes none.
UniqueFont CreateFontOf(const LOGFONTW& font);

// An owned font of MessageFont(); throws tw::Error when GDI makes none.
UniqueFont CreateMessageFont();

}  // namespace tw::win32
