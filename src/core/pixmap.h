// A 32-bit top-down pixel buffer in DIB memory order (see color.h) and the
// raster operations the program draws with. Every operation clips to the
// buffers it touches: nothing ever reads or writes outside one.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "core/color.h"
#include "core/geometry.h"

namespace tw {

class Pixmap {
 public:
  Pixmap() = default;
  Pixmap(int width, int height, PixelValue fill = 0);

  // Keeps the allocation when it is large enough, so that a scratch buffer
  // reused at every mouse move costs no heap traffic.
  void Resize(int width, int height, PixelValue fill = 0);
  // No pixels, and the memory given back.
  void Clear();
  // No pixels, the old ones zeroed, the memory kept for the next Resize.
  void ClearKeepingMemory();
  [[nodiscard]] std::size_t MemoryBytes() const { return pixels_.capacity() * sizeof(PixelValue); }

  [[nodiscard]] int Width() const { return width_; }
  [[nodiscard]] int Height() const { return height_; }
  [[nodiscard]] Rect Bounds() const { return {0, 0, width_, height_}; }
  [[nodiscard]] bool Empty() const { return width_ <= 0 || height_ <= 0; }

  [[nodiscard]] PixelValue* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  [[nodiscard]] const PixelValue* Row(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * width_;
  }
  [[nodiscard]] std::span<PixelValue> Data() {
    return {pixels_.data(), static_cast<std::size_t>(width_) * height_};
  }
  [[nodiscard]] std::span<const PixelValue> Data() const {
    return {pixels_.data(), static_cast<std::size_t>(width_) * height_};
  }

  [[nodiscard]] bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  // Outside the buffer: `outside`.
  [[nodiscard]] PixelValue Pixel(int x, int y, PixelValue outside = 0) const {
    return Contains(x, y) ? Row(y)[x] : outside;
  }
  // Outside the buffer: nothing happens, as SetPixel off a bitmap.
  void SetPixel(int x, int y, PixelValue v) {
    if (Contains(x, y)) Row(y)[x] = v;
  }
  void XorPixel(int x, int y, PixelValue v) {
    if (Contains(x, y)) Row(y)[x] ^= v;
  }

  void Fill(const Rect& r, PixelValue v);
  void Fill(PixelValue v) { Fill(Bounds(), v); }

  friend bool operator==(const Pixmap& a, const Pixmap& b) {
    return a.width_ == b.width_ && a.height_ == b.height_ &&
           std::equal(a.Data().begin(), a.Data().end(), b.Data().begin());
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<PixelValue> pixels_;
};

// 1:1 copy of src's rectangle `srcRect` to dst with its top-left corner at
// `dstOrigin`. Parts of the source outside src show `outside`; parts of the
// target outside dst are dropped. Returns the rectangle of dst written.
Rect CopyPixels(Pixmap& dst, Point dstOrigin, const Pixmap& src, const Rect& srcRect,
                PixelValue outside = kWhitePixel);

// Copies the same rectangle from src to dst (the frozen image restored).
inline Rect RestorePixels(Pixmap& dst, const Pixmap& src, const Rect& r) {
  return CopyPixels(dst, {r.left, r.top}, src, r);
}

// Nearest-neighbour stretch of srcRect onto dstRect, as StretchBlt in
// COLORONCOLOR mode: target column i takes source column
// srcRect.left + i * srcWidth / dstWidth. With sizes that divide, each source
// pixel becomes an exact block. Source pixels outside src show `outside`.
// Returns the rectangle of dst written (clipped).
Rect StretchPixels(Pixmap& dst, const Rect& dstRect, const Pixmap& src, const Rect& srcRect,
                   PixelValue outside = kWhitePixel);

// The LineDDA walk: every point from (x1, y1) towards (x2, y2), the end point
// left out, as Windows' LineDDA visits them. WalkLine is the same walk for
// the lines drawn at every mouse move, with the visit inlined.
template <typename Visit>
void WalkLine(int x1, int y1, int x2, int y2, Visit&& visit) {
  int dx = x2 - x1, dy = y2 - y1;
  const int xadd = dx < 0 ? -1 : 1;
  const int yadd = dy < 0 ? -1 : 1;
  dx = dx < 0 ? -dx : dx;
  dy = dy < 0 ? -dy : dy;
  int x = x1, y = y1;
  if (dx > dy) {
    int err = 2 * dy - dx;
    for (int i = 0; i < dx; ++i) {
      visit(x, y);
      if (err > 0) {
        y += yadd;
        err += 2 * dy - 2 * dx;
      } else {
        err += 2 * dy;
      }
      x += xadd;
    }
  } else {
    int err = 2 * dx - dy;
    for (int i = 0; i < dy; ++i) {
      visit(x, y);
      if (err > 0) {
        x += xadd;
        err += 2 * dx - 2 * dy;
      } else {
        err += 2 * dx;
      }
      y += yadd;
    }
  }
}

void LineDDA(int x1, int y1, int x2, int y2, const std::function<void(int, int)>& visit);

enum class PenMode { Copy, Xor };

// A one-pixel line from a to b, end point excluded (as LineTo), in copy or
// exclusive-or mode. Returns the bounding rectangle of the pixels touched.
Rect DrawLine(Pixmap& dst, Point a, Point b, PixelValue color, PenMode mode);

// The outline of r as GDI's Rectangle draws it with a one-pixel pen and a
// hollow brush: the pixels of columns left and right-1 and rows top and
// bottom-1. Returns the rectangle touched.
Rect FrameRectangle(Pixmap& dst, const Rect& r, PixelValue color, PenMode mode = PenMode::Copy);

}  // namespace tw
