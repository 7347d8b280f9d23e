// The settings record: every user option, named as its registry value, at its
// default until the store replaces it. One instance, owned by the program
// object and read directly where it is used.
#pragma once

#include <cstdint>

#include "core/geometry.h"

namespace tw {

constexpr int kToolCount = 4;
constexpr int kMagnifier = 0;
constexpr int kScreenshot = 1;
constexpr int kMeasurer = 2;
constexpr int kDropper = 3;
constexpr unsigned kAllTools = 0x0F;

// HighContrast: how much the Magnifier raises the lens's contrast (Medium by
// 1.5, High by 2). A stored value outside these is kept, and filters nothing.
enum class ContrastLevel : std::uint8_t { Off = 0, Medium = 1, High = 2 };

// MagnifierCursor: the cursor over the lens. A stored value outside these is
// kept, and leaves the cursor as the previous run left it.
enum class LensCursor : std::int32_t { None = 0, Arrow = 1, Cross = 2 };

// Shortcut code bits: key code in the low 13 bits.
constexpr std::uint16_t kShortcutKeyMask = 0x1FFF;
constexpr std::uint16_t kShortcutShift = 0x2000;
constexpr std::uint16_t kShortcutCtrl = 0x4000;
constexpr std::uint16_t kShortcutAlt = 0x8000;

struct TSettings {
  // Bit n: tool n's tray icon is shown (MagnifierIcon, ScreenshotIcon,
  // MeasurerIcon, DropperIcon). The upper four bits stay clear.
  std::uint8_t IconFlags = 0;
  std::int32_t ZoomWidth = 100;
  std::int32_t ZoomHeight = 100;
  std::int32_t Scale = 2;
  ContrastLevel HighContrast = ContrastLevel::Off;
  std::uint16_t MagnifierKey = 0;
  std::uint16_t ScreenshotKey = 0;
  std::uint16_t MeasurerKey = 0;
  std::uint16_t DropperKey = 0;
  LensCursor MagnifierCursor = LensCursor::None;
  std::int32_t InfoScale = 2;
  Point ScreenshotPos{10, 10};
  Point MeasurerPos{10, 10};
  Point DropperPos{10, 10};
  std::int32_t DPI = 96;
  std::int32_t JPEGQuality = 50;
  bool JPEGProgressive = false;
  bool AutoStart = true;

  friend bool operator==(const TSettings&, const TSettings&) = default;

  [[nodiscard]] std::uint16_t ToolKey(int tool) const {
    switch (tool) {
      case kMagnifier: return MagnifierKey;
      case kScreenshot: return ScreenshotKey;
      case kMeasurer: return MeasurerKey;
      case kDropper: return DropperKey;
      default: return 0;
    }
  }
  // The remembered info window position of tools 1-3; nullptr for others.
  [[nodiscard]] Point* ToolPosition(int tool) {
    switch (tool) {
      case kScreenshot: return &ScreenshotPos;
      case kMeasurer: return &MeasurerPos;
      case kDropper: return &DropperPos;
      default: return nullptr;
    }
  }
};

}  // namespace tw
