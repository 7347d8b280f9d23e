#include "tools/screenshot/selection_frame.h"

#include <algorithm>
#include <utility>

namespace tw {

namespace {

constexpr PixelValue kDot = ColorRefToPixel(kSilver);

// The first of lo..hi (x or y) that lands on an odd x + y; `other` is the
// fixed coordinate.
int FirstOdd(int lo, int other) { return ((lo + other) & 1) != 0 ? lo : lo + 1; }

// The outline's runs are straight and axis-parallel, so the line walker's
// points are exactly the pixels from a towards b, b left out: the run is
// drawn as that range, every second pixel, clipped to the surface once.
void DottedRun(Pixmap& surface, Point a, Point b) {
  if (a.y == b.y) {
    if (a.x == b.x || a.y < 0 || a.y >= surface.Height()) return;
    const int lo = std::max(b.x > a.x ? a.x : b.x + 1, 0);
    const int hi = std::min(b.x > a.x ? b.x - 1 : a.x, surface.Width() - 1);
    PixelValue* row = surface.Row(a.y);
    for (int x = FirstOdd(lo, a.y); x <= hi; x += 2) row[x] = kDot;
  } else if (a.x == b.x) {
    if (a.x < 0 || a.x >= surface.Width()) return;
    const int lo = std::max(b.y > a.y ? a.y : b.y + 1, 0);
    const int hi = std::min(b.y > a.y ? b.y - 1 : a.y, surface.Height() - 1);
    for (int y = FirstOdd(lo, a.x); y <= hi; y += 2) surface.Row(y)[a.x] = kDot;
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
  Rect bounds;
  if (!IntersectRect(bounds, surface.Bounds(), capture.Bounds())) return;
  const std::array<Rect, 4> strips = FrameStrips(r, bounds);
  // The rows are contiguous: copied whole.
  for (int i = 0; i < 2; ++i)
    if (!IsRectEmpty(strips[i])) RestorePixels(surface, capture, strips[i]);
  // In a column each pixel is a row apart. The frame sets only the pixels
  // with an odd x + y and nothing else draws on this surface, so those are
  // the only ones that can differ from the capture: half the rows to visit.
  for (int i = 2; i < 4; ++i) {
    const Rect& c = strips[i];
    if (IsRectEmpty(c)) continue;
    for (int y = FirstOdd(c.top, c.left); y < c.bottom; y += 2) surface.Row(y)[c.left] = capture.Row(y)[c.left];
  }
}

}  // namespace tw
