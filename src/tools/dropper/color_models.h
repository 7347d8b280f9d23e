// The colour notations of the Dropper: RGB, hex, HSB, CMY, CMYK and HTML.
// Each operation is carried out in extended precision and each named
// intermediate kept as a double, so the figures are the same wherever the
// program runs; only the display rounds, halves to even.
#pragma once

#include <array>

#include "core/color.h"
#include "core/short_text.h"

namespace tw {

using ColorTriple = std::array<double, 3>;
using ColorQuad = std::array<double, 4>;

ColorTriple UnpackColor(ColorRef c);
ColorTriple RGBToCMY(const ColorTriple& rgb);
ColorQuad RGBToCMYK(const ColorTriple& rgb);
ColorTriple RGBToHSB(const ColorTriple& rgb);

// The steps of RGBToHSB, each on its own working copy.
ColorTriple ScaleToFullBrightness(const ColorTriple& rgb, double& brightness);
ColorTriple StretchToFullSaturation(const ColorTriple& scaled, double& saturation);
int NearestHue(const ColorTriple& stretched);

// The fully saturated, fully bright colour of hue `degree` (0-359).
ColorTriple HueTableEntry(int degree);
double ColorDistance(const ColorTriple& a, const ColorTriple& b);

// Nearest integer, halves to the even one.
long long RoundHalfEven(double v);

// The texts of the rows "RGB" ... "HTML color" for one pixel.
struct ColorTexts {
  ShortText color;  // the COLORREF in decimal, for the swatch
  ShortText rgb, rgbHex, hsb, cmy, cmyk, html;
};
ColorTexts DescribeColor(ColorRef c);

}  // namespace tw
