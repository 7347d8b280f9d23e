#include <gtest/gtest.h>

#include <vector>

#include "core/color.h"
#include "core/geometry.h"
#include "core/pixmap.h"

namespace tw {
namespace {

// Every pixel tells where it came from: 0x00XXYY.
Pixmap Numbered(int w, int h) {
  Pixmap p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.SetPixel(x, y, static_cast<PixelValue>((x << 8) | y));
  return p;
}

TEST(Geometry, RectFunctionsBehaveAsOnWindows) {
  Rect r{10, 20, 30, 40};
  EXPECT_TRUE(PtInRect(r, {10, 20}));
  EXPECT_FALSE(PtInRect(r, {30, 25}));  // right edge excluded
  EXPECT_FALSE(PtInRect(r, {15, 40}));  // bottom edge excluded
  EXPECT_FALSE(PtInRect(Rect{5, 5, 2, 8}, {3, 6}));  // inverted: contains nothing
  OffsetRect(r, -10, 5);
  EXPECT_EQ(r, (Rect{0, 25, 20, 45}));
  InflateRect(r, 5, -5);
  EXPECT_EQ(r, (Rect{-5, 30, 25, 40}));
  EXPECT_TRUE(IsRectEmpty(Rect{3, 3, 3, 9}));
  EXPECT_TRUE(IsRectEmpty(Rect{3, 9, 8, 2}));
  Rect out{1, 1, 1, 1};
  EXPECT_FALSE(IntersectRect(out, Rect{0, 0, 5, 5}, Rect{5, 0, 9, 5}));
  EXPECT_EQ(out, Rect{});
  EXPECT_TRUE(IntersectRect(out, Rect{0, 0, 5, 5}, Rect{3, -2, 9, 4}));
  EXPECT_EQ(out, (Rect{3, 0, 5, 4}));
}

TEST(Color, ConversionSwapsRedAndBlue) {
  EXPECT_EQ(ColorRefToPixel(0x00112233), 0x00332211u);
  EXPECT_EQ(PixelToColorRef(0x00332211), 0x00112233u);
  EXPECT_EQ(ColorRefToPixel(kSilver), 0x00C0C0C0u);
  EXPECT_EQ(RGBColor(0x64, 0x96, 0xC8), 0x00C89664u);
}

TEST(Pixmap, PixelAccessOutsideIsHarmless) {
  Pixmap p(4, 3, 7);
  p.SetPixel(-1, 0, 1);
  p.SetPixel(4, 0, 1);
  p.SetPixel(0, 3, 1);
  p.XorPixel(0, -1, 1);
  for (PixelValue v : p.Data()) EXPECT_EQ(v, 7u);
  EXPECT_EQ(p.Pixel(-1, 0, 99), 99u);
  EXPECT_EQ(p.Pixel(3, 2, 99), 7u);
}

struct CopyCase {
  const char* name;
  Point dstOrigin;
  Rect srcRect;
  Rect expectedWritten;
};

// A 1:1 copy from a 10x8 source into a 6x5 target, with the source rectangle
// and the target position past each edge in turn.
TEST(Pixmap, CopyClipsAtEveryEdge) {
  const std::vector<CopyCase> cases{
      {"inside", {1, 1}, {2, 2, 5, 4}, {1, 1, 4, 3}},
      {"target left", {-2, 0}, {0, 0, 4, 2}, {0, 0, 2, 2}},
      {"target top", {0, -3}, {0, 0, 2, 4}, {0, 0, 2, 1}},
      {"target right", {4, 0}, {0, 0, 5, 1}, {4, 0, 6, 1}},
      {"target bottom", {0, 3}, {0, 0, 1, 5}, {0, 3, 1, 5}},
      {"source left", {0, 0}, {-2, 0, 2, 1}, {0, 0, 4, 1}},
      {"source top", {0, 0}, {0, -2, 1, 2}, {0, 0, 1, 4}},
      {"source right", {0, 0}, {8, 0, 12, 1}, {0, 0, 4, 1}},
      {"source bottom", {0, 0}, {0, 6, 1, 10}, {0, 0, 1, 4}},
      {"all outside", {10, 10}, {0, 0, 3, 3}, {}},
  };
  const Pixmap src = Numbered(10, 8);
  const PixelValue blank = 0xFFFFFF, old = 0x123456;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Pixmap dst(6, 5, old);
    EXPECT_EQ(CopyPixels(dst, c.dstOrigin, src, c.srcRect, blank), c.expectedWritten);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x) {
        const int sx = x - c.dstOrigin.x + c.srcRect.left, sy = y - c.dstOrigin.y + c.srcRect.top;
        PixelValue want = old;
        if (PtInRect(c.expectedWritten, {x, y})) want = src.Contains(sx, sy) ? src.Pixel(sx, sy) : blank;
        ASSERT_EQ(dst.Pixel(x, y), want) << "at " << x << "," << y;
      }
  }
}

TEST(Pixmap, CopyWithinOneBufferOverlapping) {
  Pixmap p = Numbered(8, 1);
  CopyPixels(p, {2, 0}, p, {0, 0, 5, 1});
  const std::vector<PixelValue> want{0x000, 0x100, 0x000, 0x100, 0x200, 0x300, 0x400, 0x700};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(p.Pixel(x, 0), want[static_cast<std::size_t>(x)]) << x;
}

TEST(Pixmap, StretchMakesExactBlocksWhenSizesDivide) {
  const Pixmap src = Numbered(4, 3);
  Pixmap dst(12, 9, 0);
  StretchPixels(dst, {0, 0, 12, 9}, src, {1, 0, 3, 3});  // 2x3 source to 12x9: 6x3 blocks
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 12; ++x) ASSERT_EQ(dst.Pixel(x, y), src.Pixel(1 + x / 6, y / 3)) << x << "," << y;
}

TEST(Pixmap, StretchNonDividingPicksNearestBelow) {
  const Pixmap src = Numbered(3, 1);
  Pixmap dst(7, 1, 0);
  StretchPixels(dst, {0, 0, 7, 1}, src, {0, 0, 3, 1});
  // Column i takes source i * 3 / 7.
  const std::vector<int> from{0, 0, 0, 1, 1, 2, 2};
  for (int x = 0; x < 7; ++x) EXPECT_EQ(dst.Pixel(x, 0), src.Pixel(from[static_cast<std::size_t>(x)], 0)) << x;
}

TEST(Pixmap, StretchClipsTargetAndBlanksMissingSource) {
  const Pixmap src = Numbered(4, 4);
  Pixmap dst(6, 6, 0x42);
  // Source starts one pixel left of and above the buffer; the target starts
  // two pixels off the left edge of dst.
  const Rect written = StretchPixels(dst, {-2, 0, 6, 8}, src, {-1, -1, 3, 3}, 0xFFFFFF);
  EXPECT_EQ(written, (Rect{0, 0, 6, 6}));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      const int sx = -1 + (x + 2) / 2, sy = -1 + y / 2;
      const PixelValue want = src.Contains(sx, sy) ? src.Pixel(sx, sy) : 0xFFFFFFu;
      ASSERT_EQ(dst.Pixel(x, y), want) << x << "," << y;
    }
}

// The lens's stretch, held to the nearest-neighbour rule for whole and
// broken factors, shrinking, and both rectangles clipped or outside on every
// side: the fast paths for whole factors must give the same pixels.
TEST(Pixmap, StretchEveryPixelFollowsTheRule) {
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
      const Rect written = StretchPixels(dst, t, src, from, 0xFFFFFFu);
      Rect want;
      IntersectRect(want, t, dst.Bounds());
      EXPECT_EQ(written, want);
      for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
          PixelValue v = 0x42;
          if (PtInRect(t, {x, y})) {
            const int sx = from.left + (x - t.left) * from.Width() / t.Width();
            const int sy = from.top + (y - t.top) * from.Height() / t.Height();
            v = src.Contains(sx, sy) ? src.Pixel(sx, sy) : 0xFFFFFFu;
          }
          ASSERT_EQ(dst.Pixel(x, y), v) << x << "," << y;
        }
    }
}

TEST(Pixmap, LineDDALeavesOutTheEndPoint) {
  struct LineCase {
    Point a, b;
    std::vector<Point> points;
  };
  const std::vector<LineCase> cases{
      {{0, 0}, {3, 0}, {{0, 0}, {1, 0}, {2, 0}}},
      {{3, 0}, {0, 0}, {{3, 0}, {2, 0}, {1, 0}}},
      {{0, 0}, {0, -3}, {{0, 0}, {0, -1}, {0, -2}}},
      {{0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}}},
      // Ties step along the major axis first, as Windows' walk does.
      {{0, 0}, {4, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
      {{5, 5}, {5, 5}, {}},
  };
  for (const auto& c : cases) {
    std::vector<Point> seen;
    LineDDA(c.a.x, c.a.y, c.b.x, c.b.y, [&](int x, int y) { seen.push_back({x, y}); });
    EXPECT_EQ(seen, c.points) << c.a.x << "," << c.a.y << " to " << c.b.x << "," << c.b.y;
  }
}

TEST(Pixmap, XorLineTwiceRestores) {
  Pixmap p = Numbered(10, 10);
  const Pixmap before = p;
  DrawLine(p, {-3, 2}, {12, 7}, 0xC0C0C0, PenMode::Xor);
  EXPECT_FALSE(p == before);
  DrawLine(p, {-3, 2}, {12, 7}, 0xC0C0C0, PenMode::Xor);
  EXPECT_TRUE(p == before);
}

TEST(Pixmap, FrameRectangleDrawsOutlineOnlyAndClips) {
  Pixmap p(8, 6, 0);
  const Rect touched = FrameRectangle(p, {-1, 1, 5, 6}, 9);
  EXPECT_EQ(touched, (Rect{0, 1, 5, 6}));
  const char* want[] = {
      "........",
      "#####...",
      "....#...",
      "....#...",
      "....#...",
      "#####...",
  };
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(p.Pixel(x, y) == 9, want[y][x] == '#') << x << "," << y;
}

TEST(Pixmap, ResizeReusesStorageAndFills) {
  Pixmap p(10, 10, 1);
  p.Resize(3, 2, 5);
  EXPECT_EQ(p.Width(), 3);
  EXPECT_EQ(p.Data().size(), 6u);
  for (PixelValue v : p.Data()) EXPECT_EQ(v, 5u);
  p.Resize(-4, 2);
  EXPECT_TRUE(p.Empty());
}

}  // namespace
}  // namespace tw
