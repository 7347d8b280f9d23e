#include "tools/dropper/color_models.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tw {

namespace {

using Wide = long double;  // the x87 extended type on mingw-w64 and x86-64 Linux

constexpr int kHueCount = 360;

ShortText Joined(std::initializer_list<long long> values) {
  ShortText out;
  bool first = true;
  for (long long v : values) {
    if (!first) out << "  ";
    out << static_cast<std::int64_t>(v);
    first = false;
  }
  return out;
}

void AppendHex(ShortText& out, const ColorTriple& rgb) {
  // Capitals, two digits each.
  constexpr char kDigits[] = "0123456789ABCDEF";
  for (double c : rgb) {
    const auto v = static_cast<unsigned>(c) & 0xFF;
    const char pair[2] = {kDigits[v >> 4], kDigits[v & 15]};
    out << std::string_view(pair, 2);
  }
}

}  // namespace

ColorTriple UnpackColor(ColorRef c) {
  return {static_cast<double>(c & 0xFF), static_cast<double>((c >> 8) & 0xFF), static_cast<double>((c >> 16) & 0xFF)};
}

ColorTriple RGBToCMY(const ColorTriple& rgb) { return {255 - rgb[0], 255 - rgb[1], 255 - rgb[2]}; }

ColorQuad RGBToCMYK(const ColorTriple& rgb) {
  const double c = 255 - rgb[0], m = 255 - rgb[1], y = 255 - rgb[2];
  const double k = std::min({c, m, y});
  // Percentages of the full scale, multiplied first and divided second.
  const auto percent = [](double v) { return static_cast<double>(static_cast<Wide>(v) * 100 / 255); };
  return {percent(static_cast<double>(static_cast<Wide>(c) - k)), percent(static_cast<double>(static_cast<Wide>(m) - k)),
          percent(static_cast<double>(static_cast<Wide>(y) - k)), percent(k)};
}

ColorTriple ScaleToFullBrightness(const ColorTriple& rgb, double& brightness) {
  const double top = std::max({rgb[0], rgb[1], rgb[2]});
  if (top <= 0) {
    brightness = 0;
    return rgb;
  }
  ColorTriple scaled;
  for (int i = 0; i < 3; ++i) scaled[i] = static_cast<double>(Wide{255} * rgb[i] / top);
  brightness = static_cast<double>(Wide{100} * top / 255);
  return scaled;
}

ColorTriple StretchToFullSaturation(const ColorTriple& scaled, double& saturation) {
  const double top = std::max({scaled[0], scaled[1], scaled[2]});
  const double bottom = std::min({scaled[0], scaled[1], scaled[2]});
  saturation = static_cast<double>((static_cast<Wide>(top) - bottom) * 100 / 255);
  ColorTriple out;
  for (int i = 0; i < 3; ++i) {
    const double x = scaled[i];
    if (x == bottom)
      out[i] = 0;
    else if (x == top)
      out[i] = 255;
    else
      out[i] = static_cast<double>(Wide{255} / ((Wide{255} - x) / (static_cast<Wide>(x) - bottom) + 1));
  }
  return out;
}

ColorTriple HueTableEntry(int degree) {
  const int s = degree / 60, k = degree % 60;
  const double u = 4.25 * k, d = 255 - 4.25 * k;  // exact: 4.25 is 17/4
  switch (s) {
    case 0: return {255, u, 0};
    case 1: return {d, 255, 0};
    case 2: return {0, 255, u};
    case 3: return {0, d, 255};
    case 4: return {u, 0, 255};
    default: return {255, 0, d};
  }
}

double ColorDistance(const ColorTriple& a, const ColorTriple& b) {
  Wide sum = 0;
  for (int i = 0; i < 3; ++i) sum += std::fabs(static_cast<Wide>(a[i]) - b[i]);
  return static_cast<double>(sum);
}

int NearestHue(const ColorTriple& stretched) {
  // A stretched colour lies on the hue hexagon's edge of one sextant: one
  // channel 0, one 255. Every entry of another sextant is at least 4.25
  // farther than that sextant's own ends, so only its 60 entries and the next
  // sextant's first need comparing; in the same order as a full search, so
  // ties still go to the lowest degree. Anything else (grey) searches all.
  const double r = stretched[0], g = stretched[1], b = stretched[2];
  int sextant = -1;
  if (r == 255 && b == 0)
    sextant = 0;
  else if (g == 255 && b == 0)
    sextant = 1;
  else if (r == 0 && g == 255)
    sextant = 2;
  else if (r == 0 && b == 255)
    sextant = 3;
  else if (g == 0 && b == 255)
    sextant = 4;
  else if (r == 255 && g == 0)
    sextant = 5;
  const int first = sextant < 0 ? 0 : sextant * 60;
  const int count = sextant < 0 ? kHueCount : 61;
  double best = 765;
  int hue = 0;
  for (int n = 0; n < count; ++n) {
    const int i = (first + n) % kHueCount;
    const double d = ColorDistance(HueTableEntry(i), stretched);
    // Ties keep the lowest degree; the wrap's 0 comes last but is lowest.
    if (d < best || (d == best && i < hue)) {
      best = d;
      hue = i;
    }
  }
  return hue;
}

ColorTriple RGBToHSB(const ColorTriple& rgb) {
  if (rgb[0] == 255 && rgb[1] == 255 && rgb[2] == 255) return {0, 0, 100};
  double brightness = 0, saturation = 0;
  const ColorTriple scaled = ScaleToFullBrightness(rgb, brightness);
  const ColorTriple stretched = StretchToFullSaturation(scaled, saturation);
  return {static_cast<double>(NearestHue(stretched)), saturation, brightness};
}

long long RoundHalfEven(double v) {
  const double down = std::floor(v);
  const double rest = v - down;
  auto r = static_cast<long long>(down);
  if (rest > 0.5 || (rest == 0.5 && (r % 2) != 0)) ++r;
  return r;
}

ColorTexts DescribeColor(ColorRef c) {
  const ColorTriple rgb = UnpackColor(c);
  const ColorTriple hsb = RGBToHSB(rgb);
  const ColorTriple cmy = RGBToCMY(rgb);
  const ColorQuad cmyk = RGBToCMYK(rgb);
  const auto r = [](double v) { return RoundHalfEven(v); };
  ColorTexts t;
  t.color << static_cast<std::uint64_t>(c & 0xFFFFFFu);
  t.rgb = Joined({r(rgb[0]), r(rgb[1]), r(rgb[2])});
  AppendHex(t.rgbHex, rgb);
  t.hsb = Joined({r(hsb[0]), r(hsb[1]), r(hsb[2])});
  t.cmy = Joined({r(cmy[0]), r(cmy[1]), r(cmy[2])});
  t.cmyk = Joined({r(cmyk[0]), r(cmyk[1]), r(cmyk[2]), r(cmyk[3])});
  t.html << "#" << t.rgbHex.view();
  return t;
}

}  // namespace tw
