// The Magnifier lens: the contrast filter, and what shows beyond the capture.
#include "fakes/magnifier_fixture.h"

namespace tw {
namespace {

using namespace lenstest;

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
    EXPECT_EQ(HighContrastChannel(c, ContrastLevel::Medium), r.mode1) << r.c;
    EXPECT_EQ(HighContrastChannel(c, ContrastLevel::High), r.mode2) << r.c;
    for (const std::uint8_t other : {0, 3, 4, 255}) EXPECT_EQ(HighContrastChannel(c, static_cast<ContrastLevel>(other)), c) << r.c;
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
    ApplyHighContrast(p, static_cast<ContrastLevel>(mode));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 256; ++x) {
        const PixelValue was = original.Pixel(x, y);
        PixelValue want = 0;
        for (int shift = 0; shift < 24; shift += 8)
          want |= PixelValue{HighContrastChannel(static_cast<std::uint8_t>(was >> shift), static_cast<ContrastLevel>(mode))}
                  << shift;
        ASSERT_EQ(p.Pixel(x, y), want) << "mode " << mode << " at " << x << "," << y;
      }
  }
  for (const std::uint8_t mode : {0, 3, 200}) {
    Pixmap p = original;
    ApplyHighContrast(p, static_cast<ContrastLevel>(mode));
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
    g.host->Settings.HighContrast = static_cast<ContrastLevel>(mode);
    g.host->StartTool(kMagnifier);
    g.host->ApplicationIdle();
    const Pixmap& s = g.Surface();
    const Pixmap& c = g.Capture();
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
    three.host->Settings.HighContrast = static_cast<ContrastLevel>(3);
    for (HostFixture* g : {&plain, &three}) {
      g->host->Settings.Scale = scale;
      StartLens(*g, {400, 300}, {30, 290});  // partly off the screen, too
      g->screen.cursor = {33, 295};
      g->host->FormMouseMove(0, 33, 295);
    }
    EXPECT_TRUE(SameImage(three.Surface(), plain.Surface()));
    EXPECT_TRUE(SameImage(three.Surface(), ExpectedSurface(plain)));
  }
}

TEST_F(Magnifier, ContrastLensMovesCleanly) {
  settings.HighContrast = ContrastLevel::High;
  Start({640, 480}, {320, 240});
  for (const Point p : {Point{321, 240}, Point{330, 250}, Point{10, 10}, Point{630, 470}}) {
    MoveTo(p);
    ASSERT_TRUE(SameImage(f.Surface(), Expected())) << p.x << "," << p.y;
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
    for (const ContrastLevel contrast : {ContrastLevel::Off, ContrastLevel::High}) {
      SCOPED_TRACE(testing::Message() << "scale " << scale << " contrast " << int(contrast));
      HostFixture g;
      g.host->Settings.Scale = scale;
      g.host->Settings.HighContrast = contrast;
      StartLens(g, screen, {200, 150});
      for (const Point p : spots) {
        g.screen.cursor = p;
        g.host->FormMouseMove(0, p.x, p.y);
        ASSERT_TRUE(SameImage(g.Surface(), ExpectedSurface(g))) << "at " << p.x << "," << p.y;
      }
    }
  }
}

TEST_F(Magnifier, LeftOfTheScreenShowsWhite) {
  Start({640, 480}, {-10, 240});
  const Pixmap& s = f.Surface();
  // Source x from -35, image from -60: screen x 0-9 shows source -5..-1.
  for (int x = 0; x < 10; ++x) EXPECT_EQ(s.Pixel(x, 240), kWhitePixel) << x;
  EXPECT_EQ(s.Pixel(10, 240), f.Capture().Pixel(0, 240));
  EXPECT_EQ(s.Pixel(40, 240), 0u);  // the frame's right column
  MoveTo({320, -10});
  for (int y = 0; y < 10; ++y) EXPECT_EQ(s.Pixel(320, y), kWhitePixel) << y;
  EXPECT_EQ(s.Pixel(320, 10), f.Capture().Pixel(320, 0));
  EXPECT_TRUE(SameImage(s, Expected()));
}

TEST_F(Magnifier, LensGrownPastTheCaptureMarginShowsWhite) {
  Start({640, 480}, {320, 240});
  EXPECT_EQ(f.Capture().Width(), 640 + 50);  // margin from the lens at the start
  for (int i = 0; i < 20; ++i) Click(MouseButton::Left, kShift);
  ASSERT_EQ(settings.ZoomWidth, 300);
  // Source from 685 (760 - 75), image from 610: screen x 610-619 shows the
  // white margin (source 685-689), x 620-639 source 690 on, past the bitmap.
  MoveTo({760, 300});
  const Pixmap& s = f.Surface();
  for (int x = 610; x < 640; ++x) EXPECT_EQ(s.Pixel(x, 300), kWhitePixel) << x;
  EXPECT_TRUE(SameImage(s, Expected()));
  for (const int scale : {1, 2}) {
    for (const ContrastLevel contrast : {ContrastLevel::Off, ContrastLevel::Medium}) {
      settings.Scale = scale;
      settings.HighContrast = contrast;
      for (const Point p : {Point{639, 479}, Point{700, 500}, Point{0, 0}}) {
        MoveTo(p);
        ASSERT_TRUE(SameImage(s, Expected())) << scale << " " << int(contrast) << " at " << p.x << "," << p.y;
      }
    }
  }
}

}  // namespace
}  // namespace tw
