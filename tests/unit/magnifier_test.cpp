// The Magnifier lens: drawing, restoring, contrast, clicks and keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakes/host_fixture.h"
#include "tools/magnifier/magnifier.h"

namespace tw {
namespace {

using fakes::HostFixture;

constexpr PixelValue kWhitePixel = 0xFFFFFF;
constexpr const char* kOptions = "SOFTWARE\\Velmora\\Tarnwick\\Options";

// A screen picture in which every pixel differs from every other (for sizes
// below 4096), with all three channels varying.
Pixmap Picture(Size s) {
  Pixmap p(s.width, s.height);
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x)
      p.SetPixel(x, y, ((static_cast<PixelValue>(x) << 12) | static_cast<PixelValue>(y)) ^ 0x5A3C96u);
  return p;
}

// The contrast rule, written out once more for the expected pictures.
PixelValue Contrast(PixelValue v, int mode) {
  if (mode != 1 && mode != 2) return v;
  PixelValue out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = static_cast<int>((v >> shift) & 0xFF) - 128;
    const int e = std::clamp(mode == 1 ? (3 * d) / 2 : 2 * d, -128, 127);
    out |= static_cast<PixelValue>(e + 128) << shift;
  }
  return out;
}

testing::AssertionResult SameImage(const Pixmap& got, const Pixmap& want) {
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
void StartLens(HostFixture& g, Size screen, Point cursor) {
  g.screen.size = screen;
  g.screen.desktop = Picture(screen);
  g.screen.cursor = cursor;
  g.host->StartTool(kMagnifier);
  g.host->ApplicationIdle();
}

// The frozen screen with exactly one lens, at the cursor, for the settings
// as they are now.
Pixmap ExpectedSurface(const HostFixture& g) {
  const Pixmap& capture = g.host->Capture();
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
      out.SetPixel(left + i, top + j, Contrast(v, s.HighContrast));
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

Rect FrameAt(const TSettings& s, Point p) {
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
  [[nodiscard]] Rect FrameAt(Point p) const { return tw::FrameAt(settings, p); }
};

TEST_F(Magnifier, ScaleTwoShowsTwoByTwoBlocksFramedOutsideTheImage) {
  Start({1024, 768}, {500, 400});
  const Pixmap& s = f.host->Surface();
  const Pixmap& c = f.host->Capture();
  for (int j = 0; j < 50; ++j)
    for (int i = 0; i < 50; ++i)
      for (int b = 0; b < 4; ++b)
        ASSERT_EQ(s.Pixel(450 + 2 * i + b % 2, 350 + 2 * j + b / 2), c.Pixel(475 + i, 375 + j)) << i << "," << j;
  for (int x = 449; x <= 550; ++x) {
    EXPECT_EQ(s.Pixel(x, 349), 0u) << x;
    EXPECT_EQ(s.Pixel(x, 450), 0u) << x;
    EXPECT_EQ(s.Pixel(x, 348), c.Pixel(x, 348)) << x;
    EXPECT_EQ(s.Pixel(x, 451), c.Pixel(x, 451)) << x;
  }
  for (int y = 349; y <= 450; ++y) {
    EXPECT_EQ(s.Pixel(449, y), 0u) << y;
    EXPECT_EQ(s.Pixel(550, y), 0u) << y;
    EXPECT_EQ(s.Pixel(448, y), c.Pixel(448, y)) << y;  // just outside: untouched
    EXPECT_EQ(s.Pixel(551, y), c.Pixel(551, y)) << y;
  }
  EXPECT_EQ(f.host->LensRect, (Rect{449, 349, 551, 451}));
  EXPECT_TRUE(SameImage(s, Expected()));
}

TEST_F(Magnifier, SourceOffsetIsZoomWidthDivTwiceTheScale) {
  settings.Scale = 3;
  Start({1024, 768}, {500, 400});
  const Pixmap& s = f.host->Surface();
  const Pixmap& c = f.host->Capture();
  // 33 source columns from 484 (500 - 100 div 6) stretched over 100: target
  // column i takes source column 484 + i * 33 div 100.
  const int y = 400;
  const int sy = 384 + (y - 350) * 33 / 100;
  EXPECT_EQ(s.Pixel(450, y), c.Pixel(484, sy));
  EXPECT_EQ(s.Pixel(453, y), c.Pixel(484, sy));
  EXPECT_EQ(s.Pixel(454, y), c.Pixel(485, sy));
  EXPECT_EQ(s.Pixel(549, y), c.Pixel(516, sy));  // the 33rd column, no further
  EXPECT_TRUE(SameImage(s, Expected()));
}

TEST_F(Magnifier, OddSizesAndScalesMatchTheStretchRule) {
  struct Case {
    int zw, zh, scale;
  };
  // The last two have no source pixel at all (ZoomWidth or ZoomHeight below
  // the scale, as a registry value can make them): the image shows blank.
  for (const Case c : std::vector<Case>{{101, 57, 2}, {100, 100, 7}, {33, 250, 10}, {64, 64, 1}, {4, 9, 4}, {3, 5, 4}, {9, 3, 4}}) {
    SCOPED_TRACE(testing::Message() << c.zw << "x" << c.zh << " scale " << c.scale);
    HostFixture g;
    g.host->Settings.ZoomWidth = c.zw;
    g.host->Settings.ZoomHeight = c.zh;
    g.host->Settings.Scale = c.scale;
    StartLens(g, {400, 300}, {200, 150});
    EXPECT_TRUE(SameImage(g.host->Surface(), ExpectedSurface(g)));
    g.screen.cursor = {203, 149};
    g.host->FormMouseMove(0, 203, 149);
    EXPECT_TRUE(SameImage(g.host->Surface(), ExpectedSurface(g)));
  }
}

TEST_F(Magnifier, EveryMoveLeavesExactlyOneLens) {
  Start({1024, 768}, {500, 400});
  const std::vector<Point> path{
      {501, 400}, {502, 401}, {502, 402}, {501, 402}, {500, 401}, {499, 400}, {500, 399}, {501, 398},
      {500, 400}, {500, 400},  // no move at all
      {540, 400}, {540, 460}, {470, 460}, {470, 330},  // under half a lens
      {900, 700}, {100, 80},  {900, 80},  {100, 700}, {512, 384},  // jumps
  };
  for (const Point p : path) {
    MoveTo(p);
    ASSERT_TRUE(SameImage(f.host->Surface(), Expected())) << "at " << p.x << "," << p.y;
    ASSERT_EQ(f.host->LensRect, FrameAt(p));
  }
}

TEST_F(Magnifier, AMovePresentsOnlyWhatChanged) {
  Start({1024, 768}, {500, 400});
  struct Case {
    Point to;
    int maxArea;  // of all presented rectangles together
  };
  const std::vector<Case> cases{
      {{501, 400}, 103 * 102},
      {{502, 402}, 104 * 104},
      {{900, 700}, 2 * 102 * 102},
      {{100, 100}, 2 * 102 * 102},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.to.x << "," << c.to.y);
    const Pixmap before = f.host->Surface();
    f.window.presented.clear();
    MoveTo(c.to);
    const Pixmap& after = f.host->Surface();
    int area = 0;
    for (const Rect& r : f.window.presented) {
      EXPECT_FALSE(IsRectEmpty(r));
      Rect inside;
      EXPECT_TRUE(IntersectRect(inside, r, after.Bounds()) && inside == r);
      area += r.Width() * r.Height();
    }
    EXPECT_LE(area, c.maxArea);
    for (int y = 0; y < after.Height(); ++y)
      for (int x = 0; x < after.Width(); ++x)
        if (before.Pixel(x, y) != after.Pixel(x, y)) {
          const bool shown = std::any_of(f.window.presented.begin(), f.window.presented.end(),
                                         [&](const Rect& r) { return PtInRect(r, {x, y}); });
          ASSERT_TRUE(shown) << "changed but not presented: " << x << "," << y;
        }
  }
}

TEST_F(Magnifier, FirstLensComesFromTheIdleHandlerBeforeAnyMove) {
  f.screen.size = {640, 480};
  f.screen.desktop = Picture(f.screen.size);
  f.screen.cursor = {300, 200};
  f.host->StartTool(kMagnifier);
  EXPECT_TRUE(SameImage(f.host->Surface(), f.screen.desktop));  // shown, painted, no lens yet
  f.window.presented.clear();
  f.host->ApplicationIdle();
  EXPECT_TRUE(SameImage(f.host->Surface(), Expected()));
  EXPECT_EQ(f.host->LensRect, FrameAt({300, 200}));
  EXPECT_FALSE(f.window.presented.empty());
}

TEST_F(Magnifier, CursorMovedBeforeTheFirstIdleLeavesNoTrace) {
  f.screen.size = {640, 480};
  f.screen.desktop = Picture(f.screen.size);
  f.screen.cursor = {300, 200};
  f.host->StartTool(kMagnifier);
  f.screen.cursor = {310, 215};
  f.host->ApplicationIdle();
  EXPECT_TRUE(SameImage(f.host->Surface(), Expected()));
}

TEST_F(Magnifier, ShiftClicksSquareThenStep) {
  struct Case {
    int zw, zh;
    MouseButton button;
    int wantW, wantH;
    bool beep;
  };
  const std::vector<Case> cases{
      {200, 100, MouseButton::Left, 210, 210, false},
      {100, 200, MouseButton::Left, 210, 210, false},
      {495, 495, MouseButton::Left, 505, 505, false},  // the limit is tested before the step
      {500, 500, MouseButton::Left, 500, 500, true},
      {505, 300, MouseButton::Left, 505, 505, true},
      {55, 55, MouseButton::Right, 45, 45, false},
      {60, 60, MouseButton::Right, 50, 50, false},
      {50, 50, MouseButton::Right, 50, 50, true},
      {40, 30, MouseButton::Right, 40, 40, true},  // a refused shrink still squares
      {200, 100, MouseButton::Middle, 200, 200, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.zw << "x" << c.zh << " button " << static_cast<int>(c.button));
    HostFixture g;
    g.host->Settings.ZoomWidth = c.zw;
    g.host->Settings.ZoomHeight = c.zh;
    StartLens(g, {800, 600}, {400, 300});
    g.screen.cursor = {410, 290};  // no move message: only the redraw brings the lens here
    g.host->FormMouseDown(c.button, kShift, 410, 290);
    EXPECT_EQ(g.host->Settings.ZoomWidth, c.wantW);
    EXPECT_EQ(g.host->Settings.ZoomHeight, c.wantH);
    EXPECT_EQ(g.app.beeps, c.beep ? 1 : 0);
    EXPECT_TRUE(g.host->RunActive());
    Rect frame{0, 0, c.wantW + 2, c.wantH + 2};
    OffsetRect(frame, 410 - c.wantW / 2 - 1, 290 - c.wantH / 2 - 1);
    EXPECT_EQ(g.host->LensRect, frame);
    EXPECT_TRUE(SameImage(g.host->Surface(), ExpectedSurface(g)));
  }
}

TEST_F(Magnifier, ShrinkingRepaintsEverythingAndTheNextShrinkBeeps) {
  settings.ZoomWidth = settings.ZoomHeight = 60;
  Start({640, 480}, {320, 240});
  f.log.calls.clear();
  f.window.presented.clear();
  Click(MouseButton::Right, kShift);
  EXPECT_EQ(settings.ZoomWidth, 50);
  EXPECT_EQ(settings.ZoomHeight, 50);
  EXPECT_EQ(f.log.Count("repaint"), 1);
  EXPECT_NE(std::find(f.window.presented.begin(), f.window.presented.end(), f.host->Surface().Bounds()),
            f.window.presented.end());
  EXPECT_TRUE(SameImage(f.host->Surface(), Expected()));  // the 62-pixel frame is gone

  f.log.calls.clear();
  Click(MouseButton::Right, kShift);
  EXPECT_EQ(f.app.beeps, 1);
  EXPECT_EQ(settings.ZoomWidth, 50);
  EXPECT_EQ(f.log.Count("repaint"), 0);
  EXPECT_TRUE(SameImage(f.host->Surface(), Expected()));
}

TEST_F(Magnifier, GrowingAfterTheCursorMovedLeavesNoTrace) {
  Start({640, 480}, {320, 240});
  f.screen.cursor = {300, 280};  // moved, but the move message has not come yet
  Click(MouseButton::Left, kShift);
  EXPECT_EQ(settings.ZoomWidth, 110);
  EXPECT_TRUE(SameImage(f.host->Surface(), Expected()));
  MoveTo({305, 281});
  EXPECT_TRUE(SameImage(f.host->Surface(), Expected()));
}

TEST_F(Magnifier, CtrlClicksChangeTheScaleWithinOneToTen) {
  struct Case {
    int scale;
    MouseButton button;
    ShiftState shift;
    int want;
    bool beep;
  };
  const std::vector<Case> cases{
      {2, MouseButton::Left, kCtrl, 3, false},
      {9, MouseButton::Left, kCtrl, 10, false},
      {10, MouseButton::Left, kCtrl, 10, true},
      {12, MouseButton::Left, kCtrl, 12, true},
      {2, MouseButton::Right, kCtrl, 1, false},
      {1, MouseButton::Right, kCtrl, 1, true},
      {2, MouseButton::Middle, kCtrl, 2, false},
      {4, MouseButton::Left, kCtrl | kShift, 5, false},  // Ctrl is tested first
      {4, MouseButton::Right, kCtrl | kShift | kAlt, 3, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "scale " << c.scale << " button " << static_cast<int>(c.button));
    HostFixture g;
    g.host->Settings.Scale = c.scale;
    g.host->Settings.ZoomWidth = 120;
    g.host->Settings.ZoomHeight = 80;
    StartLens(g, {640, 480}, {320, 240});
    g.screen.cursor = {330, 250};
    g.host->FormMouseDown(c.button, c.shift, 330, 250);
    EXPECT_EQ(g.host->Settings.Scale, c.want);
    EXPECT_EQ(g.app.beeps, c.beep ? 1 : 0);
    EXPECT_EQ(g.host->Settings.ZoomWidth, 120);  // Ctrl never resizes, nor squares
    EXPECT_EQ(g.host->Settings.ZoomHeight, 80);
    EXPECT_TRUE(g.host->RunActive());
    EXPECT_EQ(g.host->LensRect, (Rect{269, 209, 391, 291}));  // redrawn at the cursor
  }
}

TEST_F(Magnifier, TheLensAfterAScaleChangeIsTheNewMagnification) {
  Start({640, 480}, {320, 240});
  Click(MouseButton::Left, kCtrl);
  EXPECT_EQ(settings.Scale, 3);
  EXPECT_TRUE(SameImage(f.host->Surface(), Expected()));
  Click(MouseButton::Right, kCtrl);
  Click(MouseButton::Right, kCtrl);
  EXPECT_EQ(settings.Scale, 1);
  EXPECT_TRUE(SameImage(f.host->Surface(), Expected()));
}

// The lens's stretch, held to the nearest-neighbour rule for whole and
// broken factors, shrinking, and both rectangles clipped or outside on every
// side: the fast paths for whole factors must give the same pixels.
TEST(LensStretch, EveryPixelFollowsTheRule) {
  Pixmap src(13, 11);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 13; ++x) src.SetPixel(x, y, static_cast<PixelValue>(0x10000 + (x << 8) + y));
  const std::vector<Rect> targets{{0, 0, 40, 30},   {-7, -3, 33, 27}, {5, 4, 45, 36}, {-20, -20, 60, 50},
                                  {3, 3, 4, 30},    {0, 0, 26, 22},   {1, 2, 40, 24}, {9, 9, 18, 10}};
  const std::vector<Rect> sources{{0, 0, 13, 11}, {2, 1, 7, 6},   {-3, -2, 5, 4}, {10, 8, 16, 14},
                                  {0, 0, 26, 22}, {4, 4, 5, 5},   {-5, -5, -1, -1}, {0, 0, 13, 1},
                                  {1, 0, 14, 11}, {3, 2, 8, 7}};
  for (const Rect& t : targets)
    for (const Rect& from : sources) {
      SCOPED_TRACE(testing::Message() << "target " << t.left << "," << t.top << "," << t.right << "," << t.bottom
                                      << " source " << from.left << "," << from.top << "," << from.right << ","
                                      << from.bottom);
      Pixmap dst(40, 30, 0x42);
      const Rect written = StretchPixels(dst, t, src, from, kWhitePixel);
      Rect want;
      IntersectRect(want, t, dst.Bounds());
      EXPECT_EQ(written, want);
      for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
          PixelValue v = 0x42;
          if (PtInRect(t, {x, y})) {
            const int sx = from.left + (x - t.left) * from.Width() / t.Width();
            const int sy = from.top + (y - t.top) * from.Height() / t.Height();
            v = src.Contains(sx, sy) ? src.Pixel(sx, sy) : kWhitePixel;
          }
          ASSERT_EQ(dst.Pixel(x, y), v) << x << "," << y;
        }
    }
}

TEST(HighContrast, ChannelTable) {
  struct Row {
    int c, mode1, mode2;
  };
  const std::vector<Row> table{
      {0, 0, 0},       {42, 0, 0},      {43, 1, 0},      {64, 32, 0},     {65, 34, 2},
      {100, 86, 72},   {127, 127, 126}, {128, 128, 128}, {129, 129, 130}, {130, 131, 132},
      {191, 222, 254}, {192, 224, 255}, {212, 254, 255}, {213, 255, 255}, {255, 255, 255},
  };
  for (const Row& r : table) {
    const auto c = static_cast<std::uint8_t>(r.c);
    EXPECT_EQ(HighContrastChannel(c, 1), r.mode1) << r.c;
    EXPECT_EQ(HighContrastChannel(c, 2), r.mode2) << r.c;
    for (const std::uint8_t other : {0, 3, 4, 255}) EXPECT_EQ(HighContrastChannel(c, other), c) << r.c;
  }
}

TEST(HighContrast, EveryChannelOfEveryPixelAlikeAndIndependently) {
  // Each channel value in each position, beside different values in the
  // other two channels, in more than one row.
  Pixmap original(256, 3);
  for (int c = 0; c < 256; ++c) {
    const auto v = static_cast<PixelValue>(c);
    original.SetPixel(c, 0, (v << 16) | (((v + 85) & 0xFF) << 8) | ((v + 170) & 0xFF));
    original.SetPixel(c, 1, (((v * 7) & 0xFF) << 16) | (v << 8) | ((255 - v) & 0xFF));
    original.SetPixel(c, 2, ((255 - v) << 16) | (((v * 3) & 0xFF) << 8) | v);
  }
  for (const int mode : {1, 2}) {
    Pixmap p = original;
    ApplyHighContrast(p, static_cast<std::uint8_t>(mode));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 256; ++x) {
        const PixelValue was = original.Pixel(x, y);
        PixelValue want = 0;
        for (int shift = 0; shift < 24; shift += 8)
          want |= PixelValue{HighContrastChannel(static_cast<std::uint8_t>(was >> shift), static_cast<std::uint8_t>(mode))}
                  << shift;
        ASSERT_EQ(p.Pixel(x, y), want) << "mode " << mode << " at " << x << "," << y;
      }
  }
  for (const std::uint8_t mode : {0, 3, 200}) {
    Pixmap p = original;
    ApplyHighContrast(p, mode);
    EXPECT_TRUE(p == original) << int(mode);
  }
}

TEST_F(Magnifier, ContrastModesFilterTheLensOnly) {
  for (const int mode : {1, 2}) {
    SCOPED_TRACE(mode);
    HostFixture g;
    g.screen.size = {400, 300};
    // Grey levels from the sample table, so the filtered lens shows them.
    g.screen.desktop = Pixmap(400, 300);
    const int levels[] = {0, 43, 65, 100, 128, 192, 213, 255};
    for (int y = 0; y < 300; ++y)
      for (int x = 0; x < 400; ++x) {
        const auto v = static_cast<PixelValue>(levels[(x / 3 + y / 5) % 8]);
        g.screen.desktop.SetPixel(x, y, (v << 16) | (levels[(x / 7) % 8] << 8) | levels[(y / 2) % 8]);
      }
    g.screen.cursor = {200, 150};
    g.host->Settings.HighContrast = static_cast<std::uint8_t>(mode);
    g.host->StartTool(kMagnifier);
    g.host->ApplicationIdle();
    const Pixmap& s = g.host->Surface();
    const Pixmap& c = g.host->Capture();
    for (int j = 0; j < 100; ++j)
      for (int i = 0; i < 100; ++i)
        ASSERT_EQ(s.Pixel(150 + i, 100 + j), Contrast(c.Pixel(175 + i / 2, 125 + j / 2), mode)) << i << "," << j;
    EXPECT_EQ(s.Pixel(149, 150), 0u);  // the frame stays black
    EXPECT_EQ(s.Pixel(148, 150), c.Pixel(148, 150));  // outside the lens: unfiltered
    g.screen.cursor = {230, 170};
    g.host->FormMouseMove(0, 230, 170);
    EXPECT_EQ(s.Pixel(170, 150), c.Pixel(170, 150));  // restored unfiltered
  }
}

TEST_F(Magnifier, ContrastModeThreeDrawsLikeModeZero) {
  for (const int scale : {1, 3}) {
    SCOPED_TRACE(scale);
    HostFixture plain, three;
    three.host->Settings.HighContrast = 3;
    for (HostFixture* g : {&plain, &three}) {
      g->host->Settings.Scale = scale;
      StartLens(*g, {400, 300}, {30, 290});  // partly off the screen, too
      g->screen.cursor = {33, 295};
      g->host->FormMouseMove(0, 33, 295);
    }
    EXPECT_TRUE(SameImage(three.host->Surface(), plain.host->Surface()));
    EXPECT_TRUE(SameImage(three.host->Surface(), ExpectedSurface(plain)));
  }
}

TEST_F(Magnifier, ContrastLensMovesCleanly) {
  settings.HighContrast = 2;
  Start({640, 480}, {320, 240});
  for (const Point p : {Point{321, 240}, Point{330, 250}, Point{10, 10}, Point{630, 470}}) {
    MoveTo(p);
    ASSERT_TRUE(SameImage(f.host->Surface(), Expected())) << p.x << "," << p.y;
  }
}

// Nothing beyond the captured screen shows anything but white, at every edge,
// at every scale, with and without the filter; the sanitizers see every read.
// A cursor off the screen is a cursor on another monitor: the first lens is
// drawn wherever the cursor is, and a held button keeps the moves coming.
TEST(MagnifierEdges, NothingButTheScreenImageAndWhite) {
  const Size screen{400, 300};
  const std::vector<Point> spots{{0, 0},    {399, 0},   {0, 299},   {399, 299}, {200, 0},  {0, 150},
                                 {399, 150}, {200, 299}, {-10, 150}, {200, -30}, {-5, -5}, {420, 310},
                                 {460, 150}, {-200, -200}, {2000, 2000}};
  for (const int scale : {1, 2, 3, 10}) {
    for (const std::uint8_t contrast : {0, 2}) {
      SCOPED_TRACE(testing::Message() << "scale " << scale << " contrast " << int(contrast));
      HostFixture g;
      g.host->Settings.Scale = scale;
      g.host->Settings.HighContrast = contrast;
      StartLens(g, screen, {200, 150});
      for (const Point p : spots) {
        g.screen.cursor = p;
        g.host->FormMouseMove(0, p.x, p.y);
        ASSERT_TRUE(SameImage(g.host->Surface(), ExpectedSurface(g))) << "at " << p.x << "," << p.y;
      }
    }
  }
}

TEST_F(Magnifier, LeftOfTheScreenShowsWhite) {
  Start({640, 480}, {-10, 240});
  const Pixmap& s = f.host->Surface();
  // Source x from -35, image from -60: screen x 0-9 shows source -5..-1.
  for (int x = 0; x < 10; ++x) EXPECT_EQ(s.Pixel(x, 240), kWhitePixel) << x;
  EXPECT_EQ(s.Pixel(10, 240), f.host->Capture().Pixel(0, 240));
  EXPECT_EQ(s.Pixel(40, 240), 0u);  // the frame's right column
  MoveTo({320, -10});
  for (int y = 0; y < 10; ++y) EXPECT_EQ(s.Pixel(320, y), kWhitePixel) << y;
  EXPECT_EQ(s.Pixel(320, 10), f.host->Capture().Pixel(320, 0));
  EXPECT_TRUE(SameImage(s, Expected()));
}

TEST_F(Magnifier, LensGrownPastTheCaptureMarginShowsWhite) {
  Start({640, 480}, {320, 240});
  EXPECT_EQ(f.host->Capture().Width(), 640 + 50);  // margin from the lens at the start
  for (int i = 0; i < 20; ++i) Click(MouseButton::Left, kShift);
  ASSERT_EQ(settings.ZoomWidth, 300);
  // Source from 685 (760 - 75), image from 610: screen x 610-619 shows the
  // white margin (source 685-689), x 620-639 source 690 on, past the bitmap.
  MoveTo({760, 300});
  const Pixmap& s = f.host->Surface();
  for (int x = 610; x < 640; ++x) EXPECT_EQ(s.Pixel(x, 300), kWhitePixel) << x;
  EXPECT_TRUE(SameImage(s, Expected()));
  for (const int scale : {1, 2}) {
    for (const std::uint8_t contrast : {0, 1}) {
      settings.Scale = scale;
      settings.HighContrast = contrast;
      for (const Point p : {Point{639, 479}, Point{700, 500}, Point{0, 0}}) {
        MoveTo(p);
        ASSERT_TRUE(SameImage(s, Expected())) << scale << " " << int(contrast) << " at " << p.x << "," << p.y;
      }
    }
  }
}

TEST_F(Magnifier, PlainClicksAndKeysEndTheRun) {
  struct Case {
    const char* what;
    bool click;
    MouseButton button;
    ShiftState shift;
    unsigned key;
    bool ends;
  };
  const std::vector<Case> cases{
      {"left", true, MouseButton::Left, 0, 0, true},
      {"right", true, MouseButton::Right, 0, 0, true},
      {"middle", true, MouseButton::Middle, 0, 0, true},
      {"alt+left", true, MouseButton::Left, kAlt, 0, true},
      {"escape", false, {}, 0, kVkEscape, true},
      {"A", false, {}, 0, 'A', true},
      {"space with ctrl held", false, {}, kCtrl, 0x20, true},
      {"alt", false, {}, kAlt, 0x12, true},
      {"left windows key", false, {}, 0, 0x5B, true},
      {"shift", false, {}, kShift, kVkShift, false},
      {"ctrl", false, {}, kCtrl, kVkControl, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HostFixture g;
    StartLens(g, {320, 200}, {100, 100});
    g.window.presented.clear();
    if (c.click)
      g.host->FormMouseDown(c.button, c.shift, 100, 100);
    else
      g.host->FormKeyDown(c.key, c.shift);
    EXPECT_EQ(g.host->RunActive(), !c.ends);
    EXPECT_EQ(g.window.visible, !c.ends);
    EXPECT_EQ(g.app.beeps, 0);
    if (c.ends) EXPECT_TRUE(g.window.presented.empty());  // nothing drawn
  }
}

TEST_F(Magnifier, ClickChangesAreSavedWhenTheRunEnds) {
  Start({640, 480}, {320, 240});
  Click(MouseButton::Left, kCtrl);
  Click(MouseButton::Left, kShift);
  Click(MouseButton::Left, kShift);
  Click(MouseButton::Left, 0);
  EXPECT_FALSE(f.host->RunActive());
  ASSERT_TRUE(f.registry.GetValue(kOptions, "Scale").has_value());
  EXPECT_EQ(f.registry.GetValue(kOptions, "Scale")->text, "3");
  EXPECT_EQ(f.registry.GetValue(kOptions, "ZoomWidth")->text, "120");
  EXPECT_EQ(f.registry.GetValue(kOptions, "ZoomHeight")->text, "120");

  // The next run uses them, and its capture margin follows the new size.
  f.host->StartTool(kMagnifier);
  f.host->ApplicationIdle();
  EXPECT_EQ(f.host->Capture().Width(), 640 + 60);
  EXPECT_EQ(f.host->LensRect, FrameAt({320, 240}));
  EXPECT_TRUE(SameImage(f.host->Surface(), Expected()));
}

TEST_F(Magnifier, InputAfterTheEndDrawsNothing) {
  Start({640, 480}, {320, 240});
  f.host->FormKeyDown(kVkEscape, 0);
  const Pixmap before = f.host->Surface();
  f.window.presented.clear();
  f.host->FormMouseMove(0, 10, 10);
  f.host->FormMouseDown(MouseButton::Left, kCtrl, 10, 10);
  f.host->ApplicationIdle();
  EXPECT_TRUE(f.window.presented.empty());
  EXPECT_TRUE(before == f.host->Surface());
  EXPECT_EQ(settings.Scale, 2);
}

}  // namespace
}  // namespace tw
