// Points and rectangles with the semantics of the Win32 rectangle functions:
// the right and bottom edges lie outside the rectangle.
#pragma once

#include <algorithm>

namespace tw {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  [[nodiscard]] int Width() const { return right - left; }
  [[nodiscard]] int Height() const { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

constexpr Rect MakeRect(Point origin, Size size) {
  return {origin.x, origin.y, origin.x + size.width, origin.y + size.height};
}

constexpr void OffsetRect(Rect& r, int dx, int dy) {
  r.left += dx;
  r.right += dx;
  r.top += dy;
  r.bottom += dy;
}

constexpr void InflateRect(Rect& r, int dx, int dy) {
  r.left -= dx;
  r.right += dx;
  r.top -= dy;
  r.bottom += dy;
}

// As on Windows: an empty or inverted rectangle contains no point.
constexpr bool PtInRect(const Rect& r, Point p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

constexpr bool IsRectEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

// The common part of a and b; false (and an all-zero result) when they do not
// overlap, as IntersectRect does.
constexpr bool IntersectRect(Rect& out, const Rect& a, const Rect& b) {
  Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (IsRectEmpty(r)) {
    out = {};
    return false;
  }
  out = r;
  return true;
}

// The smallest rectangle holding both; an empty operand is ignored.
constexpr Rect UnionRect(const Rect& a, const Rect& b) {
  if (IsRectEmpty(a)) return b;
  if (IsRectEmpty(b)) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// v * num / den rounded as Windows' MulDiv rounds: to the nearest, halves
// away from zero (den > 0). The dialogs scale their layouts by it.
constexpr int MulDivRound(int v, int num, int den) {
  const long long p = static_cast<long long>(v) * num;
  return static_cast<int>(p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den));
}

}  // namespace tw
