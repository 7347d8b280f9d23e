// The zoom view's picture: which source pixel each view pixel shows, the
// white beyond the screen, the cross-hair, and no allocation per move.
#include <gtest/gtest.h>

#include <vector>

#include "fakes/host_fixture.h"
#include "infowin/zoom_view.h"
#include "support/alloc_counter.h"

namespace tw {
namespace {

constexpr PixelValue kCrossHairXor = 0xC0C0C0;
constexpr PixelValue kUnwritten = 0x123456;  // a view pixel the composition left alone

// Every pixel differs from every other, and none is white.
Pixmap NumberedSource(int w, int h) {
  Pixmap p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.SetPixel(x, y, (static_cast<PixelValue>(x) << 12) | static_cast<PixelValue>(y));
  return p;
}

bool OnCrossHair(int i, int j, int cx, int cy) {
  return (i == cx && j >= cy - 9 && j < cy + 9) || (j == cy && i >= cx - 9 && i < cx + 9);
}

// What the view must show, worked out pixel by pixel: view column i takes
// source column left + i * sw / cw (rows alike), white off the source, and
// the cross-hair inverts, the centre twice.
Pixmap ExpectedView(Size view, const Pixmap& src, Point at, int factor) {
  const int sw = std::max(view.width / factor, 1), sh = std::max(view.height / factor, 1);
  const int left = at.x - sw / 2, top = at.y - sh / 2;
  const int cx = view.width / 2, cy = view.height / 2;
  Pixmap want(view.width, view.height);
  for (int j = 0; j < view.height; ++j)
    for (int i = 0; i < view.width; ++i) {
      PixelValue v = src.Pixel(left + i * sw / view.width, top + j * sh / view.height, kWhitePixel);
      if (OnCrossHair(i, j, cx, cy)) v ^= kCrossHairXor;
      if (i == cx && j == cy) v ^= kCrossHairXor;
      want.SetPixel(i, j, v);
    }
  return want;
}

// The first pixel that differs, for a readable failure.
::testing::AssertionResult SameView(const Pixmap& got, const Pixmap& want) {
  if (got.Width() != want.Width() || got.Height() != want.Height())
    return ::testing::AssertionFailure() << "size " << got.Width() << "x" << got.Height();
  for (int j = 0; j < want.Height(); ++j)
    for (int i = 0; i < want.Width(); ++i)
      if (got.Pixel(i, j) != want.Pixel(i, j))
        return ::testing::AssertionFailure() << "at (" << i << "," << j << ") got " << std::hex << got.Pixel(i, j)
                                             << " want " << want.Pixel(i, j);
  return ::testing::AssertionSuccess();
}

TEST(ZoomSourceRect, OneViewWidthOverTheFactorAroundThePoint) {
  struct Case {
    Size view;
    Point at;
    int factor;
    Rect want;
  };
  for (const Case& c : std::vector<Case>{
           {{202, 101}, {500, 300}, 2, {450, 275, 551, 325}},  // 101 x 50 from (x - 50, y - 25)
           {{202, 101}, {0, 0}, 10, {-10, -5, 10, 5}},
           {{202, 101}, {7, 9}, 3, {-26, -7, 41, 26}},
           {{3, 1}, {5, 6}, 10, {5, 6, 6, 7}},  // never less than one pixel
           {{202, 101}, {5, 6}, 0, {-96, -44, 106, 57}},  // a factor below one counts as one
       }) {
    EXPECT_EQ(ZoomSourceRect(c.view, c.at, c.factor), c.want) << c.view.width << "x" << c.view.height << " Z" << c.factor;
  }
}

TEST(ComposeZoomView, EveryPixelIsItsSourcePixelOrWhiteAtEveryFactorAndEdge) {
  const Pixmap src = NumberedSource(240, 130);
  const std::vector<Point> cursors{{0, 0},   {120, 0},   {239, 0},   {0, 65},   {120, 65},
                                   {239, 65}, {0, 129}, {120, 129}, {239, 129}};
  for (const Size view : {Size{202, 101}, Size{200, 100}, Size{17, 9}})
    for (const int factor : {2, 3, 5, 10})
      for (const Point at : cursors) {
        SCOPED_TRACE(::testing::Message() << view.width << "x" << view.height << " Z" << factor << " at " << at.x
                                          << "," << at.y);
        Pixmap got(view.width, view.height, kUnwritten);
        ComposeZoomView(got, src, at, factor);
        ASSERT_TRUE(SameView(got, ExpectedView(view, src, at, factor)));
      }
}

TEST(ComposeZoomView, WorkedEdgeCases) {
  const Pixmap src = NumberedSource(240, 130);
  Pixmap view(202, 101, kUnwritten);
  // Cursor on screen row 0 at factor 2: the source starts at row -25, and
  // view row 50 takes row -25 + 50 * 50 / 101 = -1, off the screen. Row 50 is
  // also the cross-hair's, whose centre shows the true colour.
  ComposeZoomView(view, src, {120, 0}, 2);
  EXPECT_EQ(view.Pixel(0, 50), kWhitePixel);
  EXPECT_EQ(view.Pixel(201, 50), kWhitePixel);
  EXPECT_EQ(view.Pixel(100, 50), kWhitePixel ^ kCrossHairXor);
  EXPECT_EQ(view.Pixel(101, 50), kWhitePixel);
  EXPECT_EQ(view.Pixel(0, 51), src.Pixel(70, 0));

  // At the left edge on a view 200 wide the source starts at x = -50: the
  // left 100 columns are white, the rest is the screen.
  Pixmap wide(200, 100, kUnwritten);
  ComposeZoomView(wide, src, {0, 65}, 2);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(wide.Pixel(i, 0), kWhitePixel) << i;
  EXPECT_EQ(wide.Pixel(100, 0), src.Pixel(0, 40));

  // A view smaller than the factor shows one source pixel; of a one-row view
  // only the horizontal arm lands, and the centre keeps its colour.
  Pixmap tiny(3, 1, kUnwritten);
  ComposeZoomView(tiny, src, {5, 6}, 10);
  const PixelValue s = src.Pixel(5, 6);
  EXPECT_EQ(tiny.Pixel(0, 0), s ^ kCrossHairXor);
  EXPECT_EQ(tiny.Pixel(1, 0), s);
  EXPECT_EQ(tiny.Pixel(2, 0), s ^ kCrossHairXor);
  Pixmap none;
  ComposeZoomView(none, src, {5, 6}, 10);  // nothing to compose into
  EXPECT_TRUE(none.Empty());
}

TEST(ComposeZoomView, NoHeapAllocationPerUpdateOnceWarm) {
  fakes::HostFixture f;
  f.host->StartTool(kDropper);
  TInfoWin* info = f.Info();
  ASSERT_NE(info, nullptr);
  info->UpdateZoomView(160, 100, f.Surface(), 2);  // warm-up, clear of the screen's edges
  // The edges too: what the view shows of the screen there is a part of it.
  const std::vector<Point> points{{0, 0}, {319, 199}, {160, 100}, {-40, 250}, {3, 197}};
  const int shows = f.infoWindows.last->zoomShows;
  const std::size_t before = testing::HeapAllocations();
  for (int n = 0; n < 40; ++n) {
    const Point p = points[static_cast<std::size_t>(n) % points.size()];
    info->UpdateZoomView(p.x, p.y, f.Surface(), 2 + n % 9);
  }
  const std::size_t allocations = testing::HeapAllocations() - before;
  EXPECT_EQ(allocations, 0u);
  EXPECT_EQ(f.infoWindows.last->zoomShows, shows + 40);
  // The counter does count: a fresh bitmap is an allocation.
  const std::size_t beforeBitmap = testing::HeapAllocations();
  Pixmap fresh(4, 4);
  EXPECT_GT(testing::HeapAllocations(), beforeBitmap);
}

}  // namespace
}  // namespace tw
