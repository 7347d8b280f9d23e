// A picture as GIF holds it: at most 256 colours and one index per pixel.
// The program chooses the colours itself, since GDI+ offers only a fixed
// palette (and Wine's GIF encoder writes no image from 32-bit pixels).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/pixmap.h"

namespace tw {

constexpr int kMaxPaletteSize = 256;
// 32768 x 32768: far more than any screen, and as far as the sums kept per
// colour cell fit 32 bits.
constexpr std::size_t kMaxQuantizedPixels = std::size_t{1} << 30;

struct IndexedPixels {
  int width = 0;
  int height = 0;
  std::vector<PixelValue> palette;     // 0x00RRGGBB, 1 to 256 entries (none for no picture)
  std::vector<std::uint8_t> indices;   // one per pixel, rows top-down, no padding
  bool exact = false;                  // every pixel is its palette entry
  friend bool operator==(const IndexedPixels&, const IndexedPixels&) = default;
};

// The picture with a palette of its own; the top byte of a pixel counts for
// nothing. Up to 256 distinct colours: exactly those, in the order they first
// appear. More: up to 256 colours chosen by a median cut that splits where the
// squared error drops most, and the pixels of each cell of 6 bits per channel
// given the entry nearest to their mean, with no dithering (a screenshot's
// edges and text stay clean). An empty picture, or one of more than
// kMaxQuantizedPixels, gives none.
IndexedPixels QuantizeToPalette(const Pixmap& picture);

}  // namespace tw
