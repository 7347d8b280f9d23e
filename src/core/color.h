// Two colour layouts meet in this program: COLORREF (0x00BBGGRR, red in the
// low byte) wherever a colour is named, and DIB memory order (0x00RRGGBB as a
// 32-bit value, bytes B, G, R, 0 in memory) inside a Pixmap. These two
// functions are the only place that converts between them.
#pragma once

#include <cstdint>

namespace tw {

using ColorRef = std::uint32_t;  // 0x00BBGGRR
using PixelValue = std::uint32_t;  // 0x00RRGGBB

constexpr PixelValue ColorRefToPixel(ColorRef c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

constexpr ColorRef PixelToColorRef(PixelValue p) {
  return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

constexpr ColorRef RGBColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return ColorRef{r} | (ColorRef{g} << 8) | (ColorRef{b} << 16);
}

constexpr ColorRef kBlack = 0x000000;
constexpr ColorRef kWhite = 0xFFFFFF;
constexpr ColorRef kSilver = 0xC0C0C0;

// White as a Pixmap holds it: the same bits as kWhite, since its red and blue
// are alike, but named in the unit of the buffer it fills.
constexpr PixelValue kWhitePixel = ColorRefToPixel(kWhite);

}  // namespace tw
