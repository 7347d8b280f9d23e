// The Dropper: the colour notations, the hold with its marker, the rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "fakes/color_cases.h"
#include "fakes/host_fixture.h"
#include "infowin/infowin.h"
#include "tools/dropper/color_models.h"

namespace tw {
namespace {

TEST(ColorModels, EachNotationOfTheWorkedPixels) {
  for (const fakes::ColorCase& c : fakes::kColorCases) {
    const ColorTexts t = DescribeColor(RGBColor(c.r, c.g, c.b));
    SCOPED_TRACE(t.rgb);
    EXPECT_EQ(t.color, c.color);
    EXPECT_EQ(t.rgbHex, c.hex);
    EXPECT_EQ(t.html, std::string("#") + c.hex);
    EXPECT_EQ(t.hsb, c.hsb);
    EXPECT_EQ(t.cmy, c.cmy);
    EXPECT_EQ(t.cmyk, c.cmyk);
  }
}

TEST(ColorModels, TheHueTableAndItsNearestEntry) {
  EXPECT_EQ(HueTableEntry(1), (ColorTriple{255, 4.25, 0}));
  EXPECT_EQ(HueTableEntry(60), (ColorTriple{255, 255, 0}));
  EXPECT_EQ(HueTableEntry(180), (ColorTriple{0, 255, 255}));
  EXPECT_EQ(HueTableEntry(359), (ColorTriple{255, 0, 4.25}));
  // Halfway between two entries the lower degree wins.
  EXPECT_EQ(NearestHue({255, 4.25 / 2, 0}), 0);
  for (int h = 0; h < 360; ++h) EXPECT_EQ(NearestHue(HueTableEntry(h)), h);
}

// The search looks at one sextant only: it must find what comparing all 360
// entries finds, along every hexagon edge and for colours taken at random.
TEST(ColorModels, TheNearestHueMatchesAFullSearch) {
  const auto fullSearch = [](const ColorTriple& c) {
    double best = 765;
    int hue = 0;
    for (int i = 0; i < 360; ++i)
      if (const double d = ColorDistance(HueTableEntry(i), c); d < best) best = d, hue = i;
    return hue;
  };
  const auto edge = [](int sextant, double m) -> ColorTriple {
    switch (sextant) {
      case 0: return {255, m, 0};
      case 1: return {m, 255, 0};
      case 2: return {0, 255, m};
      case 3: return {0, m, 255};
      case 4: return {m, 0, 255};
      default: return {255, 0, m};
    }
  };
  for (int s = 0; s < 6; ++s)
    for (int step = 0; step <= 255 * 8; ++step) {
      const ColorTriple c = edge(s, step / 8.0);
      ASSERT_EQ(NearestHue(c), fullSearch(c)) << s << " " << step / 8.0;
    }
  std::uint32_t seed = 12345;
  for (int n = 0; n < 20000; ++n) {
    seed = seed * 1664525u + 1013904223u;
    const ColorTriple rgb = UnpackColor(seed >> 8);
    double brightness = 0, saturation = 0;
    const ColorTriple stretched = StretchToFullSaturation(ScaleToFullBrightness(rgb, brightness), saturation);
    ASSERT_EQ(NearestHue(stretched), fullSearch(stretched)) << (seed >> 8);
  }
  EXPECT_EQ(NearestHue({0, 0, 0}), 0);
}

TEST(ColorModels, HuesNearTheWrapAndInExtendedPrecision) {
  const struct {
    std::uint8_t r, g, b;
    double hue, saturation;
  } cases[] = {
      {255, 0, 2, 0, 100}, {255, 0, 3, 359, 100}, {2, 3, 26, 238, 92}, {0, 3, 8, 217, 100}, {104, 103, 200, 241, 49},
  };
  for (const auto& c : cases) {
    const ColorTriple hsb = RGBToHSB(UnpackColor(RGBColor(c.r, c.g, c.b)));
    EXPECT_EQ(hsb[0], c.hue) << int{c.r} << " " << int{c.g} << " " << int{c.b};
    EXPECT_EQ(RoundHalfEven(hsb[1]), c.saturation) << int{c.r} << " " << int{c.g} << " " << int{c.b};
  }
}

TEST(ColorModels, HalvesRoundToEven) {
  const struct {
    double v;
    long long want;
  } cases[] = {{98.5, 98}, {99.5, 100}, {0.5, 0}, {1.5, 2}, {2.4999, 2}, {77.6, 78}, {0, 0}};
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.v), c.want) << c.v;
}

struct DropperRun : fakes::HostFixture {
  DropperRun() { host->StartTool(kDropper); }
  TDropper& tool() { return dropper(); }
  std::string Row(InfoRow r) { return Info()->RowText(static_cast<int>(r)); }
  void Move(int x, int y) {
    screen.cursor = {x, y};
    host->FormMouseMove(0, x, y);
  }
  void Click(int x, int y) {
    screen.cursor = {x, y};
    host->FormMouseDown(MouseButton::Left, 0, x, y);
    host->FormMouseUp(MouseButton::Left, 0, x, y);
  }
  ColorRef CaptureColor(int x, int y) { return PixelToColorRef(Capture().Pixel(x, y)); }
};

// The marker around (x, y) for `color`, over the capture.
::testing::AssertionResult ShowsMarker(DropperRun& f, Point at, ColorRef color) {
  const Pixmap& s = f.Surface();
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) {
      const int dx = std::abs(x - at.x), dy = std::abs(y - at.y);
      const int ring = std::max(dx, dy);
      ColorRef want = f.CaptureColor(x, y);
      if (ring == 10 || ring == 5) want = kBlack;
      else if (ring < 5) want = color;
      else if (ring < 10) want = kWhite;
      if (PixelToColorRef(s.Pixel(x, y)) != want)
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ")";
    }
  return ::testing::AssertionSuccess();
}

TEST(Dropper, RowsFollowTheCursorUntilAClickHoldsTheColour) {
  DropperRun f;
  f.Move(40, 30);
  const ColorTexts at40 = DescribeColor(f.CaptureColor(40, 30));
  EXPECT_EQ(f.Row(InfoRow::Rgb), at40.rgb);
  EXPECT_EQ(f.Row(InfoRow::HtmlColor), at40.html);
  EXPECT_EQ(f.infoWindows.last->colors[static_cast<int>(InfoRow::Color)], f.CaptureColor(40, 30));
  f.Click(40, 30);
  EXPECT_TRUE(f.tool().SelectionFlag);
  EXPECT_TRUE(ShowsMarker(f, {40, 30}, f.CaptureColor(40, 30)));
  f.Move(90, 70);
  EXPECT_EQ(f.Row(InfoRow::CursorPosition), "x: 90\t y: 70");
  EXPECT_EQ(f.Row(InfoRow::Hsb), at40.hsb);
  // A repaint puts the marker back.
  f.host->FormPaint(f.Surface().Bounds());
  EXPECT_TRUE(ShowsMarker(f, {40, 30}, f.CaptureColor(40, 30)));
  f.Click(90, 70);
  EXPECT_FALSE(f.tool().SelectionFlag);
  EXPECT_EQ(f.Surface(), [&] {
    Pixmap screen(f.Surface().Width(), f.Surface().Height());
    RestorePixels(screen, f.Capture(), screen.Bounds());
    return screen;
  }());
  f.Move(91, 71);
  EXPECT_EQ(f.Row(InfoRow::Rgb), DescribeColor(f.CaptureColor(91, 71)).rgb);
}

TEST(Dropper, AClickBeforeAnyMoveWritesTheHeldColoursRows) {
  DropperRun f;
  f.Click(12, 7);
  EXPECT_EQ(f.Row(InfoRow::RgbHex), DescribeColor(f.CaptureColor(12, 7)).rgbHex);
  EXPECT_EQ(f.infoWindows.last->colors[static_cast<int>(InfoRow::Color)], f.CaptureColor(12, 7));
}

TEST(Dropper, AMarkerAtTheEdgeIsClippedAndRemovedExactly) {
  for (const Point p : {Point{0, 0}, Point{319, 199}, Point{3, 196}}) {
    DropperRun f;
    f.Click(p.x, p.y);
    EXPECT_TRUE(ShowsMarker(f, p, f.CaptureColor(p.x, p.y)));
    for (const Rect& r : f.window.presented)
      EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= 320 && r.bottom <= 200 && !IsRectEmpty(r));
    f.Click(p.x, p.y);
    Pixmap screen(f.Surface().Width(), f.Surface().Height());
    RestorePixels(screen, f.Capture(), screen.Bounds());
    EXPECT_EQ(f.Surface(), screen);
  }
}

TEST(Dropper, RightAndMiddlePressesLeaveTheHold) {
  DropperRun f;
  f.Click(50, 50);
  f.host->FormMouseDown(MouseButton::Middle, 0, 60, 60);
  f.host->FormMouseDown(MouseButton::Right, 0, 60, 60);
  EXPECT_TRUE(f.tool().SelectionFlag);
}

}  // namespace
}  // namespace tw
