// The Magnifier lens: drawing, restoring, clicks and keys.
#include "fakes/magnifier_fixture.h"

namespace tw {
namespace {

using namespace lenstest;

TEST_F(Magnifier, ScaleTwoShowsTwoByTwoBlocksFramedOutsideTheImage) {
  Start({1024, 768}, {500, 400});
  const Pixmap& s = f.Surface();
  const Pixmap& c = f.Capture();
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
  EXPECT_EQ(f.magnifier().LensRect(), (Rect{449, 349, 551, 451}));
  EXPECT_TRUE(SameImage(s, Expected()));
}

TEST_F(Magnifier, SourceOffsetIsZoomWidthDivTwiceTheScale) {
  settings.Scale = 3;
  Start({1024, 768}, {500, 400});
  const Pixmap& s = f.Surface();
  const Pixmap& c = f.Capture();
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
    EXPECT_TRUE(SameImage(g.Surface(), ExpectedSurface(g)));
    g.screen.cursor = {203, 149};
    g.host->FormMouseMove(0, 203, 149);
    EXPECT_TRUE(SameImage(g.Surface(), ExpectedSurface(g)));
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
    ASSERT_TRUE(SameImage(f.Surface(), Expected())) << "at " << p.x << "," << p.y;
    ASSERT_EQ(f.magnifier().LensRect(), FrameAt(p));
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
    const Pixmap before = f.Surface();
    f.window.presented.clear();
    MoveTo(c.to);
    const Pixmap& after = f.Surface();
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
  EXPECT_TRUE(SameImage(f.Surface(), f.screen.desktop));  // shown, painted, no lens yet
  f.window.presented.clear();
  f.host->ApplicationIdle();
  EXPECT_TRUE(SameImage(f.Surface(), Expected()));
  EXPECT_EQ(f.magnifier().LensRect(), FrameAt({300, 200}));
  EXPECT_FALSE(f.window.presented.empty());
}

TEST_F(Magnifier, CursorMovedBeforeTheFirstIdleLeavesNoTrace) {
  f.screen.size = {640, 480};
  f.screen.desktop = Picture(f.screen.size);
  f.screen.cursor = {300, 200};
  f.host->StartTool(kMagnifier);
  f.screen.cursor = {310, 215};
  f.host->ApplicationIdle();
  EXPECT_TRUE(SameImage(f.Surface(), Expected()));
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
    EXPECT_TRUE(g.RunActive());
    Rect frame{0, 0, c.wantW + 2, c.wantH + 2};
    OffsetRect(frame, 410 - c.wantW / 2 - 1, 290 - c.wantH / 2 - 1);
    EXPECT_EQ(g.magnifier().LensRect(), frame);
    EXPECT_TRUE(SameImage(g.Surface(), ExpectedSurface(g)));
  }
}

// Covering and uncovering the host repaints only what was covered, lens
// included.
TEST_F(Magnifier, ARepaintRestoresOnlyItsRectangleAndPutsTheWholeLensBack) {
  Start({640, 480}, {300, 200});  // lens image (250, 150)-(350, 250)
  const Pixmap before = f.Surface();
  // Drawn with other settings from here, a redrawn lens would show it.
  settings.Scale = 3;
  f.host->FormPaint({10, 10, 40, 30});
  EXPECT_TRUE(SameImage(f.Surface(), before)) << "a repaint away from the lens";

  // Uncovering part of the lens: the lens comes back whole, the one of the
  // settings as they are now, where it was.
  for (const Rect& covered : {Rect{290, 190, 310, 210}, Rect{200, 100, 260, 160}, Rect{0, 0, 640, 480}}) {
    SCOPED_TRACE(testing::Message() << covered.left << "," << covered.top);
    f.host->FormPaint(covered);
    EXPECT_TRUE(SameImage(f.Surface(), Expected()));
    EXPECT_EQ(f.magnifier().LensRect(), FrameAt({300, 200}));
  }
}

TEST_F(Magnifier, ARepaintBeforeTheFirstLensShowsTheFrozenScreenAlone) {
  f.screen.size = {640, 480};
  f.screen.desktop = Picture(f.screen.size);
  f.screen.cursor = {300, 200};
  f.host->StartTool(kMagnifier);  // the idle moment has not come yet
  f.host->FormPaint({0, 0, 640, 480});
  EXPECT_TRUE(SameImage(f.Surface(), f.screen.desktop));
  f.host->ApplicationIdle();
  EXPECT_TRUE(SameImage(f.Surface(), Expected()));
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
  EXPECT_NE(std::find(f.window.presented.begin(), f.window.presented.end(), f.Surface().Bounds()),
            f.window.presented.end());
  EXPECT_TRUE(SameImage(f.Surface(), Expected()));  // the 62-pixel frame is gone

  f.log.calls.clear();
  Click(MouseButton::Right, kShift);
  EXPECT_EQ(f.app.beeps, 1);
  EXPECT_EQ(settings.ZoomWidth, 50);
  EXPECT_EQ(f.log.Count("repaint"), 0);
  EXPECT_TRUE(SameImage(f.Surface(), Expected()));
}

TEST_F(Magnifier, GrowingAfterTheCursorMovedLeavesNoTrace) {
  Start({640, 480}, {320, 240});
  f.screen.cursor = {300, 280};  // moved, but the move message has not come yet
  Click(MouseButton::Left, kShift);
  EXPECT_EQ(settings.ZoomWidth, 110);
  EXPECT_TRUE(SameImage(f.Surface(), Expected()));
  MoveTo({305, 281});
  EXPECT_TRUE(SameImage(f.Surface(), Expected()));
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
    EXPECT_TRUE(g.RunActive());
    EXPECT_EQ(g.magnifier().LensRect(), (Rect{269, 209, 391, 291}));  // redrawn at the cursor
  }
}

TEST_F(Magnifier, TheLensAfterAScaleChangeIsTheNewMagnification) {
  Start({640, 480}, {320, 240});
  Click(MouseButton::Left, kCtrl);
  EXPECT_EQ(settings.Scale, 3);
  EXPECT_TRUE(SameImage(f.Surface(), Expected()));
  Click(MouseButton::Right, kCtrl);
  Click(MouseButton::Right, kCtrl);
  EXPECT_EQ(settings.Scale, 1);
  EXPECT_TRUE(SameImage(f.Surface(), Expected()));
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
    EXPECT_EQ(g.RunActive(), !c.ends);
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
  EXPECT_FALSE(f.RunActive());
  ASSERT_TRUE(f.registry.GetValue(kOptions, "Scale").has_value());
  EXPECT_EQ(f.registry.GetValue(kOptions, "Scale")->text, "3");
  EXPECT_EQ(f.registry.GetValue(kOptions, "ZoomWidth")->text, "120");
  EXPECT_EQ(f.registry.GetValue(kOptions, "ZoomHeight")->text, "120");

  // The next run uses them, and its capture margin follows the new size.
  f.host->StartTool(kMagnifier);
  f.host->ApplicationIdle();
  EXPECT_EQ(f.Capture().Width(), 640 + 60);
  EXPECT_EQ(f.magnifier().LensRect(), FrameAt({320, 240}));
  EXPECT_TRUE(SameImage(f.Surface(), Expected()));
}

TEST_F(Magnifier, InputAfterTheEndDrawsNothing) {
  Start({640, 480}, {320, 240});
  f.host->FormKeyDown(kVkEscape, 0);
  const Pixmap before = f.Surface();
  f.window.presented.clear();
  f.host->FormMouseMove(0, 10, 10);
  f.host->FormMouseDown(MouseButton::Left, kCtrl, 10, 10);
  f.host->ApplicationIdle();
  EXPECT_TRUE(f.window.presented.empty());
  EXPECT_TRUE(before == f.Surface());
  EXPECT_EQ(settings.Scale, 2);
}

}  // namespace
}  // namespace tw
