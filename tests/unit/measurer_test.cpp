// The Measurer: its figures as text, and the measuring figure on the
// surface.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "fakes/host_fixture.h"
#include "infowin/infowin.h"
#include "tools/measurer/measure_text.h"

namespace tw {
namespace {

TEST(MeasureText, FiguresRoundTheirExactValuesHalvesAwayFromZero) {
  struct Case {
    std::int64_t dx, dy;
    int dpi;
    const char* sep;
    struct {
      const char *offset, *offsetInch, *offsetMm, *distance, *distanceInch, *distanceMm, *angles;
    } want;
  } cases[] = {
      {96, 0, 96, ".", {"x: 96\t y: 0", "x: 1.0 \t y: 0.0", "x: 25 \t y: 0", "96.0", "1.0", "25", "x: 0.0 \t y: 90.0"}},
      {30, 40, 96, ".", {"x: 30\t y: 40", "x: 0.3 \t y: 0.4", "x: 8 \t y: 11", "50.0", "0.5", "13", "x: 53.1 \t y: 36.9"}},
      {-30, -40, 96, ",", {"x: 30\t y: 40", "x: 0,3 \t y: 0,4", "x: 8 \t y: 11", "50,0", "0,5", "13", "x: 53,1 \t y: 36,9"}},
      // 24 px is 0.25 in exactly, 720 px 190.5 mm exactly.
      {24, 720, 96, ".", {"x: 24\t y: 720", "x: 0.3 \t y: 7.5", "x: 6 \t y: 191", "720.4", "7.5", "191", "x: 88.1 \t y: 1.9"}},
      // 64.5 mm exactly, which is 64.4999... in double arithmetic.
      {645, 0, 254, ".", {"x: 645\t y: 0", "x: 2.5 \t y: 0.0", "x: 65 \t y: 0", "645.0", "2.5", "65", "x: 0.0 \t y: 90.0"}},
      // A vertical line is at 90 degrees to the horizontal; a point keeps 0.
      {0, 50, 96, ".", {"x: 0\t y: 50", "x: 0.0 \t y: 0.5", "x: 0 \t y: 13", "50.0", "0.5", "13", "x: 90.0 \t y: 0.0"}},
      {6, 0, 40, ".", {"x: 6\t y: 0", "x: 0.2 \t y: 0.0", "x: 4 \t y: 0", "6.0", "0.2", "4", "x: 0.0 \t y: 90.0"}},
      {0, 0, 96, ".", {"x: 0\t y: 0", "x: 0.0 \t y: 0.0", "x: 0 \t y: 0", "0.0", "0.0", "0", "x: 0.0 \t y: 90.0"}},
      {1, 400, 96, ".", {"x: 1\t y: 400", "x: 0.0 \t y: 4.2", "x: 0 \t y: 106", "400.0", "4.2", "106", "x: 89.9 \t y: 0.1"}},
      // Past 32767 px per axis the squares leave 32 bits.
      {40000, -30000, 100, ".",
       {"x: 40000\t y: 30000", "x: 400.0 \t y: 300.0", "x: 10160 \t y: 7620", "50000.0", "500.0", "12700",
        "x: 36.9 \t y: 53.1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.dx) + ", " + std::to_string(c.dy));
    const MeasureTexts t = DescribeMeasurement(c.dx, c.dy, c.dpi, c.sep);
    EXPECT_EQ(t.offset, c.want.offset);
    EXPECT_EQ(t.offsetInch, c.want.offsetInch);
    EXPECT_EQ(t.offsetMm, c.want.offsetMm);
    EXPECT_EQ(t.distance, c.want.distance);
    EXPECT_EQ(t.distanceInch, c.want.distanceInch);
    EXPECT_EQ(t.distanceMm, c.want.distanceMm);
    EXPECT_EQ(t.angles, c.want.angles);
  }
}

TEST(MeasureText, RoundedSquareRootsAgainstExactHalves) {
  // sqrt(t) / d lands on k + 1/2 exactly when 4t = d^2 (2k + 1)^2.
  EXPECT_EQ(RoundSqrtOver(625, 10), 3u);       // 2.5
  EXPECT_EQ(RoundSqrtOver(624, 10), 2u);       // 2.498
  EXPECT_EQ(RoundSqrtOver(225, 1), 15u);       // exact
  EXPECT_EQ(RoundSqrtOver(0, 7), 0u);
  EXPECT_EQ(RoundSqrtOver(1ull << 50, 1), 1ull << 25);
}

struct MeasurerRun : fakes::HostFixture {
  MeasurerRun() { host->StartTool(kMeasurer); }
  TMeasurer& tool() { return measurer(); }
  std::string Row(InfoRow r) { return Info()->RowText(static_cast<int>(r)); }
  void At(int x, int y) { screen.cursor = {x, y}; }
  void Move(int x, int y) {
    At(x, y);
    host->FormMouseMove(0, x, y);
  }
  Pixmap CaptureOnly() {
    Pixmap p(Surface().Width(), Surface().Height());
    RestorePixels(p, Capture(), p.Bounds());
    return p;
  }
};

TEST(Measurer, TheFigureFollowsTheDragAndGoesAtTheRelease) {
  MeasurerRun f;
  f.At(100, 50);
  f.host->FormMouseDown(MouseButton::Left, 0, 1, 1);  // the cursor is the start, not the event
  f.Move(140, 80);
  f.Move(130, 90);
  // The capture, the box's dotted frame, then the XOR line without its end.
  Pixmap want = f.CaptureOnly();
  for (int y = 50; y <= 90; ++y)
    for (int x = 100; x <= 130; ++x)
      if ((x == 100 || x == 130 || y == 50 || y == 90) && (x + y) % 2 == 1) want.SetPixel(x, y, 0xC0C0C0);
  LineDDA(100, 50, 130, 90, [&](int x, int y) { want.XorPixel(x, y, 0xC0C0C0); });
  EXPECT_EQ(f.Surface(), want);
  EXPECT_EQ(f.Row(InfoRow::Distance), "50.0");
  EXPECT_EQ(f.Row(InfoRow::Offset), "x: 30\t y: 40");
  f.host->FormMouseUp(MouseButton::Left, 0, 130, 90);
  EXPECT_EQ(f.Surface(), f.CaptureOnly());
  EXPECT_EQ(f.Row(InfoRow::Angles), "x: 53.1 \t y: 36.9");
  f.Move(200, 100);  // rows keep the last measurement
  EXPECT_EQ(f.Row(InfoRow::Distance), "50.0");
  EXPECT_EQ(f.Row(InfoRow::CursorPosition), "x: 200\t y: 100");
}

// The surface is the capture with the one figure of start -> end.
Pixmap WithFigure(MeasurerRun& f, Point a, Point b) {
  Pixmap want = f.CaptureOnly();
  const Rect o{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
  for (int y = o.top; y <= o.bottom; ++y)
    for (int x = o.left; x <= o.right; ++x)
      if ((x == o.left || x == o.right || y == o.top || y == o.bottom) && (x + y) % 2 == 1)
        want.SetPixel(x, y, 0xC0C0C0);
  LineDDA(a.x, a.y, b.x, b.y, [&](int x, int y) { want.XorPixel(x, y, 0xC0C0C0); });
  return want;
}

TEST(Measurer, ManyMovesAndARepaintLeaveExactlyOneFigure) {
  MeasurerRun f;
  f.At(150, 100);
  f.host->FormMouseDown(MouseButton::Left, 0, 0, 0);
  const Point ends[] = {{160, 90}, {20, 180}, {300, 5}, {150, 199}, {0, 100}, {319, 0}, {151, 101}, {40, 60}};
  for (const Point& e : ends) {
    f.Move(e.x, e.y);
    ASSERT_EQ(f.Surface(), WithFigure(f, {150, 100}, e)) << e.x << ", " << e.y;
  }
  // A repaint of part of the screen: the figure is whole again, once.
  f.host->FormPaint({30, 50, 90, 120});
  EXPECT_EQ(f.Surface(), WithFigure(f, {150, 100}, {40, 60}));
  f.host->FormMouseUp(MouseButton::Left, 0, 40, 60);
  EXPECT_EQ(f.Surface(), f.CaptureOnly());
}

TEST(Measurer, ARightPressCancelsAndKeepsTheRows) {
  MeasurerRun f;
  f.At(10, 10);
  f.host->FormMouseDown(MouseButton::Left, 0, 10, 10);
  f.Move(10, 60);  // vertical: line and frame share pixels
  EXPECT_EQ(f.Row(InfoRow::Angles), "x: 90.0 \t y: 0.0");
  f.host->FormMouseDown(MouseButton::Right, 0, 10, 60);
  EXPECT_FALSE(f.tool().Dragging);
  EXPECT_EQ(f.Surface(), f.CaptureOnly());
  EXPECT_EQ(f.Row(InfoRow::Distance), "50.0");
  f.Move(30, 60);
  EXPECT_EQ(f.Surface(), f.CaptureOnly());
}

TEST(Measurer, TheRegionalDecimalSeparatorIsUsed) {
  fakes::HostFixture f;
  f.app.decimalSeparator = ",";
  f.host->StartTool(kMeasurer);
  f.screen.cursor = {0, 0};
  f.host->FormMouseDown(MouseButton::Left, 0, 0, 0);
  f.screen.cursor = {96, 0};
  f.host->FormMouseMove(0, 96, 0);
  EXPECT_EQ(f.Info()->RowText(static_cast<int>(InfoRow::OffsetInch)), "x: 1,0 \t y: 0,0");
}

}  // namespace
}  // namespace tw
