#include "infowin/zoom_view.h"

#include <algorithm>

#include "core/color.h"

namespace tw {

namespace {

constexpr PixelValue kBlank = kWhitePixel;
constexpr PixelValue kCrossHair = ColorRefToPixel(kSilver);
constexpr int kCrossHairArm = 9;

}  // namespace

Rect ZoomSourceRect(Size view, Point at, int factor) {
  factor = std::max(factor, 1);
  // A view smaller than the factor (small fonts, a large stored factor)
  // would otherwise show a source of no pixels at all.
  const int sw = std::max(view.width / factor, 1);
  const int sh = std::max(view.height / factor, 1);
  return MakeRect({at.x - sw / 2, at.y - sh / 2}, {sw, sh});
}

void ComposeZoomView(Pixmap& view, const Pixmap& source, Point at, int factor) {
  if (view.Empty()) return;
  const Size size{view.Width(), view.Height()};
  // The stretch maps each view pixel to its own source pixel and shows a
  // source outside the screen as blank, so exactly the view pixels whose
  // source is off the screen come out white, whatever the rounding.
  StretchPixels(view, view.Bounds(), source, ZoomSourceRect(size, at, factor), kBlank);

  // Drawn after the stretch, so it is one pixel wide at every factor. Each
  // arm leaves out its end point, and the centre, inverted by both, shows its
  // true colour.
  const int cx = size.width / 2, cy = size.height / 2;
  for (int d = -kCrossHairArm; d < kCrossHairArm; ++d) {
    view.XorPixel(cx, cy + d, kCrossHair);
    view.XorPixel(cx + d, cy, kCrossHair);
  }
}

}  // namespace tw
