// The palette made for GIF: exactly the picture's colours up to 256, a close
// choice of 256 beyond.
#include "imaging/palette.h"

#include <gtest/gtest.h>

#include <algorithm>
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

Pixmap FewColours(int count, PixelValue topByte = 0) {
  return samples::PictureOf(201, 151, [=](int x, int y) {
    return samples::FewColoursPixel(x, y, count) | (topByte * static_cast<PixelValue>(x & 1));
  });
}

class PaletteTest : public ::testing::TestWithParam<PaletteCase> {};

TEST_P(PaletteTest, GivesEveryPixelAnEntryAsNearAsTheCaseAllows) {
  const PaletteCase& c = GetParam();
  const IndexedPixels indexed = QuantizeToPalette(c.picture);
  EXPECT_EQ(indexed.exact, c.exact);
  EXPECT_EQ(indexed.palette.size(), c.paletteSize);
  ASSERT_EQ(indexed.width, c.picture.Width());
  ASSERT_EQ(indexed.height, c.picture.Height());
  ASSERT_EQ(indexed.indices.size(), c.picture.Data().size());
  std::vector<PixelValue> shown;
  for (const std::uint8_t index : indexed.indices) {
    ASSERT_LT(index, indexed.palette.size());
    shown.push_back(indexed.palette[index]);
  }
  for (const PixelValue entry : indexed.palette) EXPECT_EQ(entry >> 24, 0u);
  EXPECT_LE(samples::MeanChannelError(shown, c.picture.Data()), c.maxError);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, PaletteTest,
    ::testing::Values(PaletteCase{"OneColour", Pixmap(37, 23, 0x5A123456), true, 1, 0},
                      PaletteCase{"TwoHundredColours", FewColours(200), true, 200, 0},
                      // as in a capture, whose top byte is noise
                      PaletteCase{"TwoHundredUnderATopByte", FewColours(200, 0xFF000000), true, 200, 0},
                      PaletteCase{"ExactlyTwoHundredFiftySix", FewColours(256), true, 256, 0},
                      // one colour too many merges one pair
                      PaletteCase{"TwoHundredFiftySeven", FewColours(257), false, 256, 0.1},
                      PaletteCase{"Gradient", samples::PictureOf(201, 151, samples::GradientPixel), false, 256, 5}),
    [](const auto& param) { return std::string(param.param.name); });

// The nearest entry is looked for once per cell of 6 bits per channel, from
// its mean: a pixel's entry may lie farther than its own nearest by twice a
// cell's diagonal at most.
TEST(Palette, EveryPixelTakesAnEntryAsNearAsItsCellAllows) {
  const Pixmap busy = samples::PictureOf(128, 96, [](int x, int y) {
    return static_cast<PixelValue>((x * 2) << 16 | (y * 8 / 3) << 8 | ((x * 7 + y * 13) & 0xFF));
  });
  const IndexedPixels indexed = QuantizeToPalette(busy);
  const auto distance = [](PixelValue a, PixelValue b) {
    int sum = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
      sum += d * d;
    }
    return std::sqrt(sum);
  };
  for (std::size_t i = 0; i < indexed.indices.size(); ++i) {
    double nearest = 442;
    for (const PixelValue entry : indexed.palette) nearest = std::min(nearest, distance(busy.Data()[i], entry));
    ASSERT_LE(distance(busy.Data()[i], indexed.palette[indexed.indices[i]]), nearest + 2 * std::sqrt(27.0)) << i;
  }
}

}  // namespace
}  // namespace tw
