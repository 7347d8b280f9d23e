// The Measurer's figures as the Windows build computes them (mingw-w64's
// x87 long double for the angle; 64-bit integers for the lengths).
#include <gtest/gtest.h>

#include "tools/measurer/measure_text.h"

namespace tw {
namespace {

TEST(MeasureTextWin32, HalvesAnglesAndWideDragsAsNatively) {
  const struct {
    std::int64_t dx, dy;
    int dpi;
    const char* inch;
    const char* mm;
    const char* angles;
  } cases[] = {
      {30, 40, 96, "0.5", "13", "x: 53.1 \t y: 36.9"},
      {24, 0, 96, "0.3", "6", "x: 0.0 \t y: 90.0"},
      {720, 0, 96, "7.5", "191", "x: 0.0 \t y: 90.0"},
      {645, 0, 254, "2.5", "65", "x: 0.0 \t y: 90.0"},
      {1, 400, 96, "4.2", "106", "x: 89.9 \t y: 0.1"},
      {0, -7, 96, "0.1", "2", "x: 90.0 \t y: 0.0"},
      {40000, -30000, 100, "500.0", "12700", "x: 36.9 \t y: 53.1"},
  };
  for (const auto& c : cases) {
    const MeasureTexts t = DescribeMeasurement(c.dx, c.dy, c.dpi, ".");
    EXPECT_EQ(t.distanceInch, c.inch) << c.dx << ", " << c.dy;
    EXPECT_EQ(t.distanceMm, c.mm) << c.dx << ", " << c.dy;
    EXPECT_EQ(t.angles, c.angles) << c.dx << ", " << c.dy;
  }
}

}  // namespace
}  // namespace tw
