// Pixels with the texts the Dropper must show for them: shared by the
// native tests and the Win32 ones, which check the real build's arithmetic
// (mingw-w64's long double, its start-up precision).
#pragma once

#include <cstdint>

namespace tw::fakes {

struct ColorCase {
  std::uint8_t r, g, b;
  const char* color;
  const char* hex;
  const char* hsb;
  const char* cmy;
  const char* cmyk;
};

inline constexpr ColorCase kColorCases[] = {
    {255, 128, 0, "33023", "FF8000", "30  100  100", "0  127  255", "0  50  100  0"},
    {0, 0, 0, "0", "000000", "0  0  0", "255  255  255", "0  0  0  100"},
    {255, 255, 255, "16777215", "FFFFFF", "0  0  100", "0  0  0", "0  0  0  0"},
    {128, 128, 128, "8421504", "808080", "0  0  50", "127  127  127", "0  0  0  50"},
    {128, 0, 0, "128", "800000", "0  100  50", "127  255  255", "0  50  50  50"},
    {0, 255, 0, "65280", "00FF00", "120  100  100", "255  0  255", "100  0  100  0"},
    {0, 0, 255, "16711680", "0000FF", "240  100  100", "255  255  0", "100  100  0  0"},
    {12, 34, 56, "3678732", "0C2238", "210  79  22", "243  221  199", "17  9  0  78"},
    {200, 3, 3, "197576", "C80303", "0  98  78", "55  252  252", "0  77  77  22"},
    {100, 150, 200, "13145700", "6496C8", "210  50  78", "155  105  55", "39  20  0  22"},
    {10, 11, 12, "789258", "0A0B0C", "210  17  5", "245  244  243", "1  0  0  95"},
};

}  // namespace tw::fakes
