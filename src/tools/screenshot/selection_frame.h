// The dotted selection frame: grey where x + y is odd, untouched where it is
// even, so the dots keep one checkerboard phase wherever the rectangle lies.
// Also the Measurer's box.
#pragma once

#include <array>

#include "core/geometry.h"
#include "core/pixmap.h"

namespace tw {

// Rectangles here are inclusive: columns left..right, rows top..bottom.

// Swaps the sides of each inverted axis, unless one axis has no extent.
void NormalizeRect(Rect& r);
// Orders each axis on its own (the form a release leaves).
Rect OrderedRect(const Rect& r);

// Draws the frame of `r` on `surface` (clipped to it): the outline as four
// runs, each leaving out its own end point. A point draws nothing; a
// rectangle with no width or height draws one dotted line.
void DrawSelectionFrame(Pixmap& surface, const Rect& r);

// The four one-pixel strips (exclusive rectangles) that hold every outline
// pixel of `r`, clipped to `bounds`; an empty strip is all zero.
std::array<Rect, 4> FrameStrips(const Rect& r, const Rect& bounds);

// Puts the capture back under the frame of `r`.
void RemoveSelectionFrame(Pixmap& surface, const Pixmap& capture, const Rect& r);

}  // namespace tw
