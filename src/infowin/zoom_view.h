// The zoom view's picture: the surroundings of a screen point, magnified, with
// a cross-hair that stays one pixel wide.
#pragma once

#include "core/geometry.h"
#include "core/pixmap.h"

namespace tw {

// The source rectangle a view of `view` pixels shows around `at` at
// `factor`: one view-width divided by the factor, never narrower than a pixel.
Rect ZoomSourceRect(Size view, Point at, int factor);

// Recomposes `view` (kept at its size) from `source`, whose bounds are the
// screen: a nearest-neighbour stretch of the source rectangle, every view
// pixel whose source lies off the screen white, then the XOR cross-hair.
// Allocates nothing once the stretch has run at this size before.
void ComposeZoomView(Pixmap& view, const Pixmap& source, Point at, int factor);

}  // namespace tw
