// A settings record with every setting away from its default, at the edges
// of what each stored form holds: a contrast level past the named ones, a
// key code of all 16 bits, window positions at both ends of their range.
#pragma once

#include "model/limits.h"
#include "model/settings.h"

namespace tw::fakes {

inline TSettings NonDefaultSettings() {
  return {.IconFlags = 0x0A, .ZoomWidth = 250, .ZoomHeight = 120, .Scale = 7, .HighContrast = ContrastLevel{200},
          .MagnifierKey = 0xC04D, .ScreenshotKey = 0x2074, .MeasurerKey = 0xFFFF, .DropperKey = 0x402D,
          .MagnifierCursor = LensCursor::Cross, .InfoScale = 5, .ScreenshotPos = {-5, 300},
          .MeasurerPos = {kMinWindowCoordinate, kMaxWindowCoordinate}, .DropperPos = {0, kMinWindowCoordinate},
          .DPI = 144, .JPEGQuality = 90, .JPEGProgressive = true, .AutoStart = false};
}

}  // namespace tw::fakes
