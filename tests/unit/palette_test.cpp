// The palette made for GIF: exactly the picture's colours up to 256, a close
// choice of 256 beyond.
#include "imaging/palette.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fakes/sample_pictures.h"

namespace tw {
namespace {

struct PaletteCase {
  const char* name;
  Pixmap picture;
  bool exact;
  std::size_t paletteSize;
  double maxError;  // mean channel error of the picture the palette gives
};

// 128 x 48 holds every one of up to 268 colours; `topByte` on every other.
Pixmap FewColours(int count, PixelValue topByte = 0) {
  return samples::PictureOf(128, 48,
                            [=](int x, int y) { return samples::FewColoursPixel(x, y, count) | x % 2 * topByte; });
}

int SquaredDistance(PixelValue a, PixelValue b) {
  int sum = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int difference = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
    sum += difference * difference;
  }
  return sum;
}

class PaletteTest : public ::testing::TestWithParam<PaletteCase> {};

// The nearest entry is looked for once per cell of 6 bits per channel, from
// its mean: a pixel's entry may lie farther than its own nearest by twice a
// cell's diagonal at most.
TEST_P(PaletteTest, GivesEveryPixelAnEntryAsNearAsItsCellAllows) {
  const PaletteCase& c = GetParam();
  const IndexedPixels indexed = QuantizeToPalette(c.picture);
  EXPECT_EQ(indexed.exact, c.exact);
  EXPECT_EQ(indexed.palette.size(), c.paletteSize);
  EXPECT_EQ(std::pair(indexed.width, indexed.height), std::pair(c.picture.Width(), c.picture.Height()));
  ASSERT_EQ(indexed.indices.size(), c.picture.Data().size());
  std::vector<PixelValue> shown;
  for (std::size_t i = 0; i < indexed.indices.size(); ++i) {
    ASSERT_LT(indexed.indices[i], indexed.palette.size());
    shown.push_back(indexed.palette[indexed.indices[i]]);
    const PixelValue pixel = c.picture.Data()[i];
    int nearest = SquaredDistance(0, 0xFFFFFF);
    for (const PixelValue entry : indexed.palette) nearest = std::min(nearest, SquaredDistance(pixel, entry));
    ASSERT_LE(std::sqrt(SquaredDistance(pixel, shown.back())), std::sqrt(nearest) + 2 * std::sqrt(27)) << i;
  }
  for (const PixelValue entry : indexed.palette) EXPECT_EQ(entry >> 24, 0u);
  EXPECT_LE(samples::MeanChannelError(shown, c.picture.Data()), c.maxError);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, PaletteTest,
    ::testing::Values(
        PaletteCase{"OneColour", Pixmap(37, 23, 0x5A123456), true, 1, 0},
        PaletteCase{"TwoHundredColours", FewColours(200), true, 200, 0},
        PaletteCase{"TwoHundredUnderATopByte", FewColours(200, 0xFF000000), true, 200, 0},  // as in a capture
        PaletteCase{"ExactlyTwoHundredFiftySix", FewColours(256), true, 256, 0},
        PaletteCase{"TwoHundredFiftySeven", FewColours(257), false, 256, 0.01},  // one pair merged
        PaletteCase{"Gradient", samples::PictureOf(201, 151, samples::GradientPixel), false, 256, 5},
        PaletteCase{"Busy", samples::PictureOf(128, 96, [](int x, int y) {
                      return static_cast<PixelValue>((x * 2) << 16 | (y * 8 / 3) << 8 | ((x * 7 + y * 13) & 0xFF));
                    }), false, 256, 10}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace tw
