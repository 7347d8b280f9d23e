// The program's points and rectangles at the Win32 edge. Both sides share the
// same edges (right and bottom outside), so a conversion copies and never
// adjusts.
#pragma once

#include <windows.h>

#include <optional>

#include "core/geometry.h"

namespace tw::win32 {

inline Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
inline RECT ToRECT(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
inline Point ToPoint(const POINT& p) { return {p.x, p.y}; }
inline POINT ToPOINT(Point p) { return {p.x, p.y}; }

// Where the cursor is on the screen; nothing while Windows cannot say (the
// input belongs to another desktop, the secure one for instance).
inline std::optional<Point> TryCursorPosition() {
  POINT p{};
  if (GetCursorPos(&p) == FALSE) return std::nullopt;
  return ToPoint(p);
}

// The same, (0, 0) then: for a place to show something at.
inline Point CursorPosition() { return TryCursorPosition().value_or(Point{}); }

}  // namespace tw::win32
