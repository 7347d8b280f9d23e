// The Magnifier: a lens that follows the cursor over the frozen capture.
#include "tools/magnifier/magnifier.h"

#include <algorithm>
#include <initializer_list>
#include <optional>

#include "model/limits.h"

namespace tw {

namespace {

// Whatever the lens would show from outside the screen image shows blank
// white, the same blank as the info window's zoom view: the capture margin is
// white already, and beyond the capture bitmap (left of and above the screen,
// or right of and below a margin that a lens grown by Shift-clicks outreaches)
// there is nothing to read.
constexpr PixelValue kBlank = kWhitePixel;

int Area(const Rect& r) { return IsRectEmpty(r) ? 0 : r.Width() * r.Height(); }

bool Filters(ContrastLevel level) { return level == ContrastLevel::Medium || level == ContrastLevel::High; }

}  // namespace

std::uint8_t HighContrastChannel(std::uint8_t c, ContrastLevel level) {
  if (!Filters(level)) return c;
  const int d = c - 128;
  const int e = level == ContrastLevel::Medium ? (3 * d) / 2 : 2 * d;  // C++ division truncates toward zero
  return static_cast<std::uint8_t>(std::clamp(e, -128, 127) + 128);
}

namespace {

// The contrast rule in saturating byte arithmetic, which the compiler turns
// into byte-wide vector code (the division and clamp of the rule itself keep
// it scalar). For c >= 128, d + d div 2 is c + (c - 128) div 2, capped at
// 255; below 128 it is c - (128 - c) div 2, floored at 0. Twice d is twice
// (c - 64), floored at 0 and capped at 255. HighContrastChannel's plain form
// is the reference that the tests hold this to.
using Byte = unsigned char;

constexpr Byte Min(Byte a, Byte b) { return a < b ? a : b; }
constexpr Byte SaturatingAdd(Byte a, Byte b) { return static_cast<Byte>(a + Min(b, static_cast<Byte>(~a))); }
constexpr Byte SaturatingSub(Byte a, Byte b) { return static_cast<Byte>(a - Min(a, b)); }

// `in` and `out` may be the same bytes.
void RaiseContrastBy1_5(const Byte* in, Byte* out, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const Byte c = in[i];
    const auto above = static_cast<Byte>(SaturatingSub(c, 128) >> 1);
    const auto below = static_cast<Byte>(SaturatingSub(128, c) >> 1);
    out[i] = SaturatingSub(SaturatingAdd(c, above), below);
  }
}

void RaiseContrastBy2(const Byte* in, Byte* out, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const Byte x = SaturatingSub(in[i], 64);
    out[i] = SaturatingAdd(x, x);
  }
}

// n pixels from `in` to `out` through the filter (Medium or High). The three
// channels are treated alike, so their order in a pixel does not matter. The
// fourth byte of a pixel goes through the same mapping; it is zero, and zero
// maps to zero.
void ContrastPixels(const PixelValue* in, PixelValue* out, std::size_t n, ContrastLevel level) {
  const auto* from = reinterpret_cast<const Byte*>(in);
  auto* to = reinterpret_cast<Byte*>(out);
  if (level == ContrastLevel::Medium)
    RaiseContrastBy1_5(from, to, n * sizeof(PixelValue));
  else
    RaiseContrastBy2(from, to, n * sizeof(PixelValue));
}

// The pixels of `area` copied 1:1 from src to the same place in dst through
// the filter (Medium or High): one pass over the pixels instead of a copy and a
// second pass in place. Parts outside src show kBlank, which the filter
// leaves as it is; the capture covers the whole screen, so there are none
// on the screen.
void RestoreFiltered(Pixmap& dst, const Pixmap& src, const Rect& area, ContrastLevel level) {
  Rect target, fromSource;
  if (!IntersectRect(target, area, dst.Bounds())) return;
  if (!IntersectRect(fromSource, target, src.Bounds()) || fromSource != target) dst.Fill(target, kBlank);
  const auto n = static_cast<std::size_t>(fromSource.Width());
  for (int y = fromSource.top; y < fromSource.bottom; ++y)
    ContrastPixels(src.Row(y) + fromSource.left, dst.Row(y) + fromSource.left, n, level);
}

}  // namespace

void ApplyHighContrast(Pixmap& bitmap, ContrastLevel level) {
  if (!Filters(level) || bitmap.Empty()) return;
  // The rows of a whole bitmap lie end to end, and the order in which rows
  // are treated does not matter.
  ContrastPixels(bitmap.Data().data(), bitmap.Data().data(), bitmap.Data().size(), level);
}

std::optional<CursorShape> TMagnifier::WindowCursor() const {
  switch (run_.Settings().MagnifierCursor) {
    case LensCursor::None: return CursorShape::None;
    case LensCursor::Arrow: return CursorShape::Arrow;
    case LensCursor::Cross: return CursorShape::Cross;
    default: return std::nullopt;  // the cursor stays as the previous run left it
  }
}

void TMagnifier::Show() { lensDrawn_ = false; }

void TMagnifier::Started() {
  const TSettings& s = run_.Settings();
  run_.SetIdleHandler([this] { MagnifierIdleDraw(); });
  // Half the lens size around the cursor: inside the first lens image, so
  // the first drawing has nothing to restore.
  const Point c = run_.CursorPos();
  lensRect_ = {0, 0, s.ZoomWidth / 2, s.ZoomHeight / 2};
  OffsetRect(lensRect_, c.x - s.ZoomWidth / 4, c.y - s.ZoomHeight / 4);
}

void TMagnifier::MagnifierIdleDraw() { DrawMagnifierAtCursor(); }

void TMagnifier::DrawMagnifierAtCursor() {
  if (!run_.Active()) return;
  DrawLens(run_.CursorPos());
}

void TMagnifier::Paint(const Rect& area) {
  // The restored area may have cut into the lens; it is drawn again whole,
  // where it was. Outside `area` that rewrites the pixels the screen shows
  // already.
  const TSettings& s = run_.Settings();
  if (Rect common; !lensDrawn_ || !IntersectRect(common, area, lensRect_)) return;
  if (s.ZoomWidth <= 0 || s.ZoomHeight <= 0 || s.Scale <= 0) return;
  lensRect_ = DrawLensImage(lensCentre_);
}

Rect TMagnifier::DrawLensImage(Point p) {
  Pixmap& surface = run_.Surface();
  const Pixmap& capture = run_.Capture();
  const TSettings& s = run_.Settings();
  const int zw = s.ZoomWidth, zh = s.ZoomHeight, scale = s.Scale;

  // The source starts ZoomWidth div (2 * Scale) left of the cursor: half its
  // width rounded down, never rounded up.
  Rect source{0, 0, zw / scale, zh / scale};
  OffsetRect(source, p.x - zw / (2 * scale), p.y - zh / (2 * scale));
  Rect image{0, 0, zw, zh};
  OffsetRect(image, p.x - zw / 2, p.y - zh / 2);

  if (IsRectEmpty(source)) {
    // A lens narrower or lower than the scale has no source pixel to
    // magnify; it shows blank rather than whatever lay there before.
    surface.Fill(image, kBlank);
  } else if (s.HighContrast == ContrastLevel::Off) {
    StretchPixels(surface, image, capture, source, kBlank);
  } else if (source == image) {
    // At Scale 1 the stretch is a plain copy of the same rectangle:
    // filtering the pixels on their way from the capture to the screen gives
    // the same picture as filtering a temporary copy first, in one pass
    // instead of three.
    if (Filters(s.HighContrast))
      RestoreFiltered(surface, capture, image, s.HighContrast);
    else
      RestorePixels(surface, capture, image);
  } else {
    // The filter runs on the unmagnified source pixels, so its cost is the
    // lens area divided by the square of the scale. The scratch buffer
    // stands for a temporary 24-bit bitmap made at every drawing: it holds
    // the same colours in 32-bit pixels and is kept between moves, so that a
    // move allocates nothing. Every pixel of it is rewritten below.
    if (lensScratch_.Width() != source.Width() || lensScratch_.Height() != source.Height())
      lensScratch_.Resize(source.Width(), source.Height());
    CopyPixels(lensScratch_, {0, 0}, capture, source, kBlank);
    ApplyHighContrast(lensScratch_, s.HighContrast);
    StretchPixels(surface, image, lensScratch_, lensScratch_.Bounds(), kBlank);
  }

  Rect frame = image;
  InflateRect(frame, 1, 1);
  FrameRectangle(surface, frame, ColorRefToPixel(Canvas().PenColor));
  lensCentre_ = p;
  lensDrawn_ = true;
  return frame;
}

void TMagnifier::DrawLens(Point p) {
  const TSettings& s = run_.Settings();
  if (s.ZoomWidth <= 0 || s.ZoomHeight <= 0 || s.Scale <= 0) return;
  Pixmap& surface = run_.Surface();

  Rect image{0, 0, s.ZoomWidth, s.ZoomHeight};
  OffsetRect(image, p.x - s.ZoomWidth / 2, p.y - s.ZoomHeight / 2);

  // Restore the two strips that the old lens covered and the new one leaves.
  const Rect old = lensRect_;
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
  // After a jump further than the lens is wide, a strip reaches from the old
  // lens to the new one; only its part over the old lens has anything to
  // restore.
  IntersectRect(stripA, stripA, old);
  IntersectRect(stripB, stripB, old);
  // After such a jump both strips are the whole old lens: once is enough.
  if (Rect common; IntersectRect(common, stripA, stripB) && common == stripB) stripB = {};
  for (const Rect& strip : {stripA, stripB})
    if (!IsRectEmpty(strip)) RestorePixels(surface, run_.Capture(), strip);

  const Rect frame = DrawLensImage(p);
  lensRect_ = frame;

  // Show what changed, clipped to the screen: in one piece when the pieces
  // lie close together (a small move), else each on its own, so that a jump
  // across the screen does not present everything between.
  Rect pieces[3];
  int count = 0;
  for (const Rect& r : {stripA, stripB, frame})
    if (IntersectRect(pieces[count], r, surface.Bounds())) ++count;
  Rect all{};
  int sum = 0;
  for (int i = 0; i < count; ++i) {
    all = UnionRect(all, pieces[i]);
    sum += Area(pieces[i]);
  }
  if (Area(all) <= sum) {
    run_.Present(all);
  } else {
    for (int i = 0; i < count; ++i) run_.Present(pieces[i]);
  }
}

void TMagnifier::MouseDown(MouseButton button, ShiftState shift, Point) {
  TSettings& s = run_.Settings();
  // Ctrl is tested first: Ctrl+Shift counts as Ctrl.
  if ((shift & kCtrl) != 0) {
    if (button == MouseButton::Left) {
      if (s.Scale >= kMaxOfferedScale)
        run_.Beep();
      else
        ++s.Scale;
    } else if (button == MouseButton::Right) {
      if (s.Scale <= kMinScale)
        run_.Beep();
      else
        --s.Scale;
    }
  } else if ((shift & kShift) != 0) {
    // Squared first, whatever the button and even when the step is refused.
    if (s.ZoomHeight < s.ZoomWidth) s.ZoomHeight = s.ZoomWidth;
    if (s.ZoomWidth < s.ZoomHeight) s.ZoomWidth = s.ZoomHeight;
    if (button == MouseButton::Left) {
      if (s.ZoomWidth >= kMaxClickLensSize) {
        run_.Beep();
      } else {
        s.ZoomWidth += kLensSizeStep;
        s.ZoomHeight += kLensSizeStep;
      }
    } else if (button == MouseButton::Right) {
      if (s.ZoomWidth <= kMinOfferedLensSize) {
        run_.Beep();
      } else {
        s.ZoomWidth -= kLensSizeStep;
        s.ZoomHeight -= kLensSizeStep;
        // The smaller lens cannot cover the larger one.
        run_.RepaintAll();
      }
    }
  } else {
    run_.EndRun();
    return;
  }
  DrawMagnifierAtCursor();
}

// The lens follows the cursor as GetCursorPos reports it, not the event's
// coordinates.
void TMagnifier::MouseMove(ShiftState, Point) { DrawMagnifierAtCursor(); }

void TMagnifier::KeyDown(unsigned key, ShiftState) {
  if (key == kVkShift || key == kVkControl) return;
  run_.EndRun();
}

}  // namespace tw
