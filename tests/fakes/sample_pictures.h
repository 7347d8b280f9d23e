// The pictures the palette is checked on in every layer, as functions of a
// pixel's place (0x00RRGGBB), so that the end-to-end test picture can show
// them; and how far a decoded picture lies from its original.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/pixmap.h"

namespace tw::samples {

// `count` (at most 512) colours close together, as an interface's are, each
// in a cell of its own; any `count` pixels side by side in a row hold all.
constexpr std::uint32_t FewColoursPixel(int x, int y, int count) {
  const int k = (x + 3 * y) % count;
  return static_cast<std::uint32_t>((k & 0xFF) << 16 | (96 + (k >> 8) * 64) << 8 | ((k * 7) & 0xFF));
}

// Red across, green down, blue their product; it repeats every 256 pixels.
constexpr std::uint32_t GradientPixel(int x, int y) {
  const auto red = static_cast<std::uint32_t>(x & 0xFF);
  const auto green = static_cast<std::uint32_t>(y & 0xFF);
  return red << 16 | green << 8 | red * green / 255;
}

// The mean difference over every channel of every pixel, top bytes left out;
// pictures of different sizes are as far apart as can be.
inline double MeanChannelError(std::span<const std::uint32_t> a, std::span<const std::uint32_t> b) {
  if (a.empty() || b.size() != a.size()) return 255;
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    for (int shift = 0; shift < 24; shift += 8) {
      const int difference = static_cast<int>(a[i] >> shift & 0xFF) - static_cast<int>(b[i] >> shift & 0xFF);
      total += static_cast<std::uint64_t>(std::abs(difference));
    }
  return static_cast<double>(total) / (3.0 * static_cast<double>(a.size()));
}

// A template, so that the end-to-end tests, which do not link the core
// library, can include this header.
template <typename PixelAt>
Pixmap PictureOf(int width, int height, PixelAt pixelAt) {
  Pixmap picture(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) picture.Row(y)[x] = pixelAt(x, y);
  return picture;
}

}  // namespace tw::samples
