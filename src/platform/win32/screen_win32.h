#pragma once

#include <windows.h>

#include "platform/ports.h"

namespace tw::win32 {

class ScreenPort final : public IScreenPort {
 public:
  Size ScreenSize() override;
  Point CursorPos() override;
  int LogicalDpi() override;
  std::unique_ptr<IDesktopCanvas> AcquireDesktopCanvas() override;
};

// Copies `area` of a device context into the same rectangle of `target`
// through a 32-bit top-down DIB section.
void CopyFromDC(HDC source, const Rect& area, Pixmap& target);

// Shows `area` of `surface` on a device context, one to one.
void PresentToDC(HDC target, const Pixmap& surface, const Rect& area);

}  // namespace tw::win32
