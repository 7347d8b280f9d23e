#include "tools/screenshot/selection_frame.h"

#include <utility>

namespace tw {

namespace {

constexpr PixelValue kDot = ColorRefToPixel(kSilver);

void Dot(Pixmap& surface, int x, int y) {
  if (((x + y) & 1) != 0) surface.SetPixel(x, y, kDot);
}

// The outline's runs are straight and axis-parallel, so the line walker's
// points are exactly the pixels from a towards b, b left out.
void DottedRun(Pixmap& surface, Point a, Point b) {
  if (a.y == b.y) {
    const int step = b.x > a.x ? 1 : -1;
    for (int x = a.x; x != b.x; x += step) Dot(surface, x, a.y);
  } else {
    const int step = b.y > a.y ? 1 : -1;
    for (int y = a.y; y != b.y; y += step) Dot(surface, a.x, y);
  }
}

}  // namespace

void NormalizeRect(Rect& r) {
  if (r.right == r.left || r.bottom == r.top) return;
  if (r.right < r.left) std::swap(r.left, r.right);
  if (r.bottom < r.top) std::swap(r.top, r.bottom);
}

Rect OrderedRect(const Rect& r) {
  Rect o = r;
  if (o.right < o.left) std::swap(o.left, o.right);
  if (o.bottom < o.top) std::swap(o.top, o.bottom);
  return o;
}

void DrawSelectionFrame(Pixmap& surface, const Rect& r) {
  Rect n = r;
  NormalizeRect(n);
  DottedRun(surface, {n.left, n.top}, {n.right, n.top});
  DottedRun(surface, {n.right, n.top}, {n.right, n.bottom});
  DottedRun(surface, {n.right, n.bottom}, {n.left, n.bottom});
  DottedRun(surface, {n.left, n.bottom}, {n.left, n.top});
}

std::array<Rect, 4> FrameStrips(const Rect& r, const Rect& bounds) {
  const Rect o = OrderedRect(r);
  std::array<Rect, 4> strips{Rect{o.left, o.top, o.right + 1, o.top + 1},
                             Rect{o.left, o.bottom, o.right + 1, o.bottom + 1},
                             Rect{o.left, o.top + 1, o.left + 1, o.bottom},
                             Rect{o.right, o.top + 1, o.right + 1, o.bottom}};
  for (Rect& s : strips) IntersectRect(s, s, bounds);
  return strips;
}

void RemoveSelectionFrame(Pixmap& surface, const Pixmap& capture, const Rect& r) {
  for (const Rect& s : FrameStrips(r, surface.Bounds()))
    if (!IsRectEmpty(s)) RestorePixels(surface, capture, s);
}

}  // namespace tw
