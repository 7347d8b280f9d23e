// Pictures that the palette is checked on in every layer, as plain functions
// of a pixel's place (0x00RRGGBB), so that the end-to-end test picture shows
// the same on the screen: a few colours that lie close together, as a user
// interface's do, and a gradient of many. And the one measure of how far a
// decoded picture lies from its original.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/pixmap.h"

namespace tw::samples {

// Colour number k (0 to 511): neighbours differ by one step of red, and all
// lie in different cells of 6 bits per channel.
constexpr std::uint32_t NumberedColour(int k) {
  const auto red = static_cast<std::uint32_t>(k & 0xFF);
  const auto green = static_cast<std::uint32_t>(96 + (k >> 8) * 64);
  const auto blue = static_cast<std::uint32_t>((k * 7) & 0xFF);
  return red << 16 | green << 8 | blue;
}

// Exactly `count` colours; any `count` pixels side by side in a row hold
// them all.
constexpr std::uint32_t FewColoursPixel(int x, int y, int count) { return NumberedColour((x + 3 * y) % count); }

// Red across, green down, blue their product: every step of x or y is one
// step of colour, and the picture repeats every 256 pixels.
constexpr std::uint32_t GradientPixel(int x, int y) {
  const auto red = static_cast<std::uint32_t>(x & 0xFF);
  const auto green = static_cast<std::uint32_t>(y & 0xFF);
  return red << 16 | green << 8 | red * green / 255;
}

// The mean over every channel of every pixel of the difference between two
// pictures; top bytes count for nothing. Pictures of different sizes are as
// far apart as can be.
inline double MeanChannelError(std::span<const std::uint32_t> a, std::span<const std::uint32_t> b) {
  const std::size_t count = a.size();
  if (count == 0 || b.size() != count) return 255;
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < count; ++i)
    for (int shift = 0; shift < 24; shift += 8)
      total += static_cast<std::uint64_t>(
          std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF)));
  return static_cast<double>(total) / (3.0 * static_cast<double>(count));
}

// A picture of `pixelAt(x, y)`; a template, so that the end-to-end tests,
// which do not link the core library, can include this header.
template <typename PixelAt>
Pixmap PictureOf(int width, int height, PixelAt pixelAt) {
  Pixmap picture(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) picture.Row(y)[x] = pixelAt(x, y);
  return picture;
}

}  // namespace tw::samples
