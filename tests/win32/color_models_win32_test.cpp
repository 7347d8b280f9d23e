// The colour notations as the Windows build computes them: mingw-w64's long
// double is the x87 extended type with the precision its start-up sets, so
// the figures of the native tests are checked here on the real build too.
#include <gtest/gtest.h>

#include <string>

#include "fakes/color_cases.h"
#include "tools/dropper/color_models.h"

namespace tw {
namespace {

TEST(ColorModelsWin32, TheWorkedPixelsGiveTheSameTexts) {
  for (const fakes::ColorCase& c : fakes::kColorCases) {
    const ColorTexts t = DescribeColor(RGBColor(c.r, c.g, c.b));
    SCOPED_TRACE(t.rgb);
    EXPECT_EQ(t.color, c.color);
    EXPECT_EQ(t.rgbHex, c.hex);
    EXPECT_EQ(t.hsb, c.hsb);
    EXPECT_EQ(t.cmy, c.cmy);
    EXPECT_EQ(t.cmyk, c.cmyk);
  }
}

// Plain double arithmetic gives 237, 218 and, exactly computed, 48.
TEST(ColorModelsWin32, ExtendedPrecisionCases) {
  EXPECT_EQ(RGBToHSB(UnpackColor(RGBColor(2, 3, 26)))[0], 238);
  EXPECT_EQ(RGBToHSB(UnpackColor(RGBColor(0, 3, 8)))[0], 217);
  EXPECT_EQ(RoundHalfEven(RGBToHSB(UnpackColor(RGBColor(104, 103, 200)))[1]), 49);
  EXPECT_EQ(RoundHalfEven(RGBToHSB(UnpackColor(RGBColor(200, 3, 3)))[1]), 98);
}

// Every grey has hue 0 and saturation 0; every primary mix its own hue.
TEST(ColorModelsWin32, GreysAndSaturatedHues) {
  for (int v = 0; v < 255; v += 17) {
    const ColorTriple hsb = RGBToHSB(UnpackColor(RGBColor(v, v, v)));
    EXPECT_EQ(hsb[0], 0) << v;
    EXPECT_EQ(hsb[1], 0) << v;
  }
  for (int h = 0; h < 360; ++h) {
    const ColorTriple e = HueTableEntry(h);
    if (e[0] != static_cast<int>(e[0]) || e[1] != static_cast<int>(e[1]) || e[2] != static_cast<int>(e[2])) continue;
    const ColorTriple hsb = RGBToHSB(e);
    EXPECT_EQ(hsb[0], h);
    EXPECT_EQ(RoundHalfEven(hsb[1]), 100);
  }
}

}  // namespace
}  // namespace tw
