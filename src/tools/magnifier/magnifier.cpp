// The Magnifier: a lens that follows the cursor over the frozen capture.
#include "tools/magnifier/magnifier.h"

#include <algorithm>
#include <initializer_list>

#include "app/host.h"

namespace tw {

namespace {

// Whatever the lens would show from outside the screen image shows blank
// white, the same blank as the info window's zoom view: the capture margin is
// white already, and beyond the capture bitmap (left of and above the screen,
// or right of and below a margin that a lens grown by Shift-clicks outreaches)
// there is nothing to read.
constexpr PixelValue kBlank = 0xFFFFFF;

constexpr int Area(const Rect& r) { return IsRectEmpty(r) ? 0 : r.Width() * r.Height(); }

}  // namespace

std::uint8_t HighContrastChannel(std::uint8_t c, std::uint8_t mode) {
  if (mode != 1 && mode != 2) return c;
  const int d = c - 128;
  const int e = mode == 1 ? (3 * d) / 2 : 2 * d;  // C++ division truncates toward zero
  return static_cast<std::uint8_t>(std::clamp(e, -128, 127) + 128);
}

void ApplyHighContrast(Pixmap& bitmap, std::uint8_t mode) {
  if (mode != 1 && mode != 2) return;
  // Channel by channel over the raw bytes, which the compiler turns into
  // vector code. The fourth byte of a pixel goes through the same mapping;
  // it is zero in every pixel, and zero maps to zero.
  const auto pixels = bitmap.Data();
  auto* bytes = reinterpret_cast<unsigned char*>(pixels.data());
  const std::size_t count = pixels.size_bytes();
  if (mode == 1) {
    for (std::size_t i = 0; i < count; ++i) {
      const int d = bytes[i] - 128;
      bytes[i] = static_cast<unsigned char>(std::clamp((3 * d) / 2, -128, 127) + 128);
    }
  } else {
    for (std::size_t i = 0; i < count; ++i) {
      const int d = bytes[i] - 128;
      bytes[i] = static_cast<unsigned char>(std::clamp(2 * d, -128, 127) + 128);
    }
  }
}

void TfrmHost::DrawLens(Point p) {
  const int zw = Settings.ZoomWidth, zh = Settings.ZoomHeight, scale = Settings.Scale;
  if (zw <= 0 || zh <= 0 || scale <= 0) return;

  // The offset is ZoomWidth div (2 * Scale), which may differ by one from
  // half the source width.
  Rect source{0, 0, zw / scale, zh / scale};
  OffsetRect(source, p.x - zw / (2 * scale), p.y - zh / (2 * scale));
  Rect image{0, 0, zw, zh};
  OffsetRect(image, p.x - zw / 2, p.y - zh / 2);
  Rect frame = image;
  InflateRect(frame, 1, 1);

  // Restore the two strips that the old lens covered and the new one leaves.
  const Rect old = LensRect;
  Rect stripA = old;
  if (image.left > old.left)
    stripA.right = image.left;
  else
    stripA.left = image.right;
  Rect stripB = old;
  if (image.top > old.top)
    stripB.bottom = image.top;
  else
    stripB.top = image.bottom;
  // The strips cover the old lens only when it had the new lens's size. After
  // a Shift-click the cursor may have moved since the last drawing, and a
  // grown lens then leaves a piece of the old one outside the new; restoring
  // all of the old lens leaves no trace whatever the sizes.
  if (old.Width() != frame.Width() || old.Height() != frame.Height()) stripA = old;
  // After a jump further than the lens is wide, a strip reaches from the old
  // lens to the new one; only its part over the old lens has anything to
  // restore.
  IntersectRect(stripA, stripA, old);
  IntersectRect(stripB, stripB, old);
  // After such a jump both strips are the whole old lens: once is enough.
  if (Rect common; IntersectRect(common, stripA, stripB) && common == stripB) stripB = {};
  for (const Rect& strip : {stripA, stripB})
    if (!IsRectEmpty(strip)) RestorePixels(surface_, capture_, strip);

  if (IsRectEmpty(source)) {
    // A lens narrower or lower than the scale has no source pixel to
    // magnify; it shows blank rather than whatever lay there before.
    surface_.Fill(image, kBlank);
  } else if (Settings.HighContrast == 0) {
    StretchPixels(surface_, image, capture_, source, kBlank);
  } else {
    // The filter runs on the unmagnified source pixels, so its cost is the
    // lens area divided by the square of the scale. The scratch buffer
    // stands for a temporary 24-bit bitmap made at every drawing: it holds
    // the same colours in 32-bit pixels and is kept between moves, so that a
    // move allocates nothing. Every pixel of it is rewritten below.
    if (lensScratch_.Width() != source.Width() || lensScratch_.Height() != source.Height())
      lensScratch_.Resize(source.Width(), source.Height());
    CopyPixels(lensScratch_, {0, 0}, capture_, source, kBlank);
    ApplyHighContrast(lensScratch_, Settings.HighContrast);
    StretchPixels(surface_, image, lensScratch_, lensScratch_.Bounds(), kBlank);
  }

  FrameRectangle(surface_, frame, ColorRefToPixel(canvas_.PenColor));
  LensRect = frame;

  // Show what changed, clipped to the screen: in one piece when the pieces
  // lie close together (a small move), else each on its own, so that a jump
  // across the screen does not present everything between.
  Rect pieces[3];
  int count = 0;
  for (const Rect& r : {stripA, stripB, frame})
    if (IntersectRect(pieces[count], r, surface_.Bounds())) ++count;
  Rect all{};
  int sum = 0;
  for (int i = 0; i < count; ++i) {
    all = UnionRect(all, pieces[i]);
    sum += Area(pieces[i]);
  }
  if (Area(all) <= sum) {
    Present(all);
  } else {
    for (int i = 0; i < count; ++i) Present(pieces[i]);
  }
}

void TfrmHost::MagnifierMouseDown(MouseButton button, ShiftState shift) {
  // Ctrl is tested first: Ctrl+Shift counts as Ctrl.
  if ((shift & kCtrl) != 0) {
    if (button == MouseButton::Left) {
      if (Settings.Scale >= 10)
        ports_.app.Beep();
      else
        ++Settings.Scale;
    } else if (button == MouseButton::Right) {
      if (Settings.Scale <= 1)
        ports_.app.Beep();
      else
        --Settings.Scale;
    }
  } else if ((shift & kShift) != 0) {
    // Squared first, whatever the button and even when the step is refused.
    if (Settings.ZoomHeight < Settings.ZoomWidth) Settings.ZoomHeight = Settings.ZoomWidth;
    if (Settings.ZoomWidth < Settings.ZoomHeight) Settings.ZoomWidth = Settings.ZoomHeight;
    if (button == MouseButton::Left) {
      if (Settings.ZoomWidth >= 500) {
        ports_.app.Beep();
      } else {
        Settings.ZoomWidth += 10;
        Settings.ZoomHeight += 10;
      }
    } else if (button == MouseButton::Right) {
      if (Settings.ZoomWidth <= 50) {
        ports_.app.Beep();
      } else {
        Settings.ZoomWidth -= 10;
        Settings.ZoomHeight -= 10;
        // The smaller lens cannot cover the larger one.
        RepaintAll();
      }
    }
  } else {
    EndTool();
    return;
  }
  DrawMagnifierAtCursor();
}

void TfrmHost::MagnifierKeyDown(unsigned key) {
  if (key == kVkShift || key == kVkControl) return;
  EndTool();
}

}  // namespace tw
