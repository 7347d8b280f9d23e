// The Magnifier: a lens that follows the cursor over the frozen capture.
#include "tools/magnifier/magnifier.h"

#include <algorithm>
#include <array>

#include "app/host.h"

namespace tw {

namespace {

// The capture's margin and anything beyond the capture show as blank white,
// the same blank as the info window's zoom view.
constexpr PixelValue kBlank = 0xFFFFFF;

constexpr std::array<std::uint8_t, 256> MakeContrastTable(int mode) {
  std::array<std::uint8_t, 256> table{};
  for (int c = 0; c < 256; ++c) {
    const int d = c - 128;
    int e = mode == 1 ? (3 * d) / 2 : 2 * d;  // C++ division truncates toward zero
    e = std::clamp(e, -128, 127);
    table[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(e + 128);
  }
  return table;
}

constexpr auto kContrast1 = MakeContrastTable(1);
constexpr auto kContrast2 = MakeContrastTable(2);

}  // namespace

std::uint8_t HighContrastChannel(std::uint8_t c, std::uint8_t mode) {
  if (mode == 1) return kContrast1[c];
  if (mode == 2) return kContrast2[c];
  return c;
}

void ApplyHighContrast(Pixmap& bitmap, std::uint8_t mode) {
  if (mode != 1 && mode != 2) return;
  const auto& table = mode == 1 ? kContrast1 : kContrast2;
  for (PixelValue& p : bitmap.Data()) {
    p = (PixelValue{table[(p >> 16) & 0xFF]} << 16) | (PixelValue{table[(p >> 8) & 0xFF]} << 8) |
        PixelValue{table[p & 0xFF]};
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
  Rect changed{};
  for (const Rect& strip : {stripA, stripB})
    if (!IsRectEmpty(strip)) changed = UnionRect(changed, RestorePixels(surface_, capture_, strip));

  if (Settings.HighContrast == 0) {
    StretchPixels(surface_, image, capture_, source, kBlank);
  } else {
    // The filter runs on the unmagnified source pixels, so its cost is the
    // lens area divided by the square of the scale. The scratch buffer is
    // kept between moves so that a move allocates nothing.
    lensScratch_.Resize(source.Width(), source.Height());
    CopyPixels(lensScratch_, {0, 0}, capture_, source, kBlank);
    ApplyHighContrast(lensScratch_, Settings.HighContrast);
    StretchPixels(surface_, image, lensScratch_, lensScratch_.Bounds(), kBlank);
  }

  Rect frame = image;
  InflateRect(frame, 1, 1);
  FrameRectangle(surface_, frame, ColorRefToPixel(canvas_.PenColor));
  LensRect = frame;
  Rect onScreen;
  if (IntersectRect(onScreen, UnionRect(changed, frame), surface_.Bounds())) Present(onScreen);
}

void TfrmHost::MagnifierMouseDown(MouseButton button, ShiftState shift) {
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
