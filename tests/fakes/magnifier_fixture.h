// What the lens tests share: a host on fakes with a Magnifier run on a known
// picture, and the expected surface written out from the rule.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakes/host_fixture.h"
#include "tools/magnifier/magnifier.h"

namespace tw::lenstest {

using fakes::HostFixture;

inline constexpr const char* kOptions = "SOFTWARE\\Velmora\\Tarnwick\\Options";

// A screen picture in which every pixel differs from every other (for sizes
// below 4096), with all three channels varying.
inline Pixmap Picture(Size s) {
  Pixmap p(s.width, s.height);
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x)
      p.SetPixel(x, y, ((static_cast<PixelValue>(x) << 12) | static_cast<PixelValue>(y)) ^ 0x5A3C96u);
  return p;
}

// The contrast rule, written out once more for the expected pictures.
inline PixelValue Contrast(PixelValue v, int mode) {
  if (mode != 1 && mode != 2) return v;
  PixelValue out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = static_cast<int>((v >> shift) & 0xFF) - 128;
    const int e = std::clamp(mode == 1 ? (3 * d) / 2 : 2 * d, -128, 127);
    out |= static_cast<PixelValue>(e + 128) << shift;
  }
  return out;
}

inline testing::AssertionResult SameImage(const Pixmap& got, const Pixmap& want) {
  if (got.Width() != want.Width() || got.Height() != want.Height())
    return testing::AssertionFailure() << "size " << got.Width() << "x" << got.Height() << ", want "
                                       << want.Width() << "x" << want.Height();
  int wrong = 0;
  std::string first;
  for (int y = 0; y < got.Height(); ++y)
    for (int x = 0; x < got.Width(); ++x)
      if (got.Pixel(x, y) != want.Pixel(x, y) && wrong++ == 0)
        first = "(" + std::to_string(x) + ", " + std::to_string(y) + "): " + std::to_string(got.Pixel(x, y)) +
                ", want " + std::to_string(want.Pixel(x, y));
  if (wrong == 0) return testing::AssertionSuccess();
  return testing::AssertionFailure() << wrong << " pixels differ, first at " << first;
}

// Starts a Magnifier run on a screen of the given size showing Picture, and
// lets the idle handler draw the first lens.
inline void StartLens(HostFixture& g, Size screen, Point cursor) {
  g.screen.size = screen;
  g.screen.desktop = Picture(screen);
  g.screen.cursor = cursor;
  g.host->StartTool(kMagnifier);
  g.host->ApplicationIdle();
}

// The frozen screen with exactly one lens, at the cursor, for the settings
// as they are now.
inline Pixmap ExpectedSurface(const HostFixture& g) {
  const Pixmap& capture = g.Capture();
  const TSettings& s = g.host->Settings;
  const Point p = g.screen.cursor;
  const int zw = s.ZoomWidth, zh = s.ZoomHeight, scale = s.Scale;
  Pixmap out(g.screen.size.width, g.screen.size.height);
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x) out.SetPixel(x, y, capture.Pixel(x, y));
  const int left = p.x - zw / 2, top = p.y - zh / 2;
  const int sw = zw / scale, sh = zh / scale;
  const int sl = p.x - zw / (2 * scale), st = p.y - zh / (2 * scale);
  for (int j = 0; j < zh; ++j)
    for (int i = 0; i < zw; ++i) {
      const int sx = sl + i * sw / zw, sy = st + j * sh / zh;
      const bool inside = sw > 0 && sh > 0 && capture.Contains(sx, sy);
      const PixelValue v = inside ? capture.Pixel(sx, sy) : kWhitePixel;
      out.SetPixel(left + i, top + j, Contrast(v, static_cast<int>(s.HighContrast)));
    }
  for (int x = left - 1; x <= left + zw; ++x) {
    out.SetPixel(x, top - 1, 0);
    out.SetPixel(x, top + zh, 0);
  }
  for (int y = top - 1; y <= top + zh; ++y) {
    out.SetPixel(left - 1, y, 0);
    out.SetPixel(left + zw, y, 0);
  }
  return out;
}

inline Rect FrameAt(const TSettings& s, Point p) {
  Rect r{0, 0, s.ZoomWidth + 2, s.ZoomHeight + 2};
  OffsetRect(r, p.x - s.ZoomWidth / 2 - 1, p.y - s.ZoomHeight / 2 - 1);
  return r;
}

class Magnifier : public testing::Test {
 protected:
  HostFixture f;
  TSettings& settings = f.host->Settings;

  void Start(Size screen, Point cursor) { StartLens(f, screen, cursor); }
  void MoveTo(Point p) {
    f.screen.cursor = p;
    f.host->FormMouseMove(0, p.x, p.y);
  }
  void Click(MouseButton button, ShiftState shift) {
    const Point p = f.screen.cursor;
    f.host->FormMouseDown(button, shift, p.x, p.y);
    f.host->FormMouseUp(button, shift, p.x, p.y);
  }
  [[nodiscard]] Pixmap Expected() const { return ExpectedSurface(f); }
  [[nodiscard]] Rect FrameAt(Point p) const { return lenstest::FrameAt(settings, p); }
};

}  // namespace tw::lenstest
