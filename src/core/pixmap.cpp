#include "core/pixmap.h"

#include <algorithm>
#include <cstring>

namespace tw {

Pixmap::Pixmap(int width, int height, PixelValue fill) { Resize(width, height, fill); }

void Pixmap::Resize(int width, int height, PixelValue fill) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  pixels_.assign(static_cast<std::size_t>(width_) * height_, fill);
}

void Pixmap::Clear() {
  width_ = height_ = 0;
  pixels_.clear();
  pixels_.shrink_to_fit();
}

void Pixmap::Fill(const Rect& r, PixelValue v) {
  Rect c;
  if (!IntersectRect(c, r, Bounds())) return;
  for (int y = c.top; y < c.bottom; ++y) std::fill(Row(y) + c.left, Row(y) + c.right, v);
}

Rect CopyPixels(Pixmap& dst, Point dstOrigin, const Pixmap& src, const Rect& srcRect,
                PixelValue outside) {
  Rect target{dstOrigin.x, dstOrigin.y, dstOrigin.x + srcRect.Width(), dstOrigin.y + srcRect.Height()};
  Rect clipped;
  if (!IntersectRect(clipped, target, dst.Bounds())) return {};
  const int dx = srcRect.left - dstOrigin.x;  // source x = target x + dx
  const int dy = srcRect.top - dstOrigin.y;
  for (int y = clipped.top; y < clipped.bottom; ++y) {
    PixelValue* out = dst.Row(y);
    const int sy = y + dy;
    if (sy < 0 || sy >= src.Height()) {
      std::fill(out + clipped.left, out + clipped.right, outside);
      continue;
    }
    const PixelValue* in = src.Row(sy);
    // The row splits into a blank run before the source, the copied run and a
    // blank run after it.
    const int copyFrom = std::clamp(-dx, clipped.left, clipped.right);
    const int copyTo = std::clamp(src.Width() - dx, copyFrom, clipped.right);
    std::fill(out + clipped.left, out + copyFrom, outside);
    if (copyTo > copyFrom)
      std::memmove(out + copyFrom, in + copyFrom + dx, sizeof(PixelValue) * (copyTo - copyFrom));
    std::fill(out + copyTo, out + clipped.right, outside);
  }
  return clipped;
}

Rect StretchPixels(Pixmap& dst, const Rect& dstRect, const Pixmap& src, const Rect& srcRect,
                   PixelValue outside) {
  const int dw = dstRect.Width(), dh = dstRect.Height();
  const int sw = srcRect.Width(), sh = srcRect.Height();
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return {};
  Rect clipped;
  if (!IntersectRect(clipped, dstRect, dst.Bounds())) return {};
  if (dw == sw && dh == sh) return CopyPixels(dst, {dstRect.left, dstRect.top}, src, srcRect, outside);

  thread_local std::vector<int> columns;  // source column per target column
  columns.resize(static_cast<std::size_t>(clipped.Width()));
  for (int x = clipped.left; x < clipped.right; ++x) {
    const long long i = x - dstRect.left;
    columns[static_cast<std::size_t>(x - clipped.left)] = srcRect.left + static_cast<int>(i * sw / dw);
  }
  int lastSourceRow = -1;
  const PixelValue* lastRow = nullptr;
  for (int y = clipped.top; y < clipped.bottom; ++y) {
    const long long j = y - dstRect.top;
    const int sy = srcRect.top + static_cast<int>(j * sh / dh);
    PixelValue* out = dst.Row(y);
    // Rows repeated by the magnification are copied, not recomputed.
    if (sy == lastSourceRow && lastRow != nullptr) {
      std::memcpy(out + clipped.left, lastRow + clipped.left, sizeof(PixelValue) * clipped.Width());
      continue;
    }
    if (sy < 0 || sy >= src.Height()) {
      std::fill(out + clipped.left, out + clipped.right, outside);
    } else {
      const PixelValue* in = src.Row(sy);
      const int srcWidth = src.Width();
      for (int x = clipped.left; x < clipped.right; ++x) {
        const int sx = columns[static_cast<std::size_t>(x - clipped.left)];
        out[x] = (sx >= 0 && sx < srcWidth) ? in[sx] : outside;
      }
    }
    lastSourceRow = sy;
    lastRow = out;
  }
  return clipped;
}

void LineDDA(int x1, int y1, int x2, int y2, const std::function<void(int, int)>& visit) {
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

Rect DrawLine(Pixmap& dst, Point a, Point b, PixelValue color, PenMode mode) {
  Rect touched{};
  LineDDA(a.x, a.y, b.x, b.y, [&](int x, int y) {
    if (mode == PenMode::Xor)
      dst.XorPixel(x, y, color);
    else
      dst.SetPixel(x, y, color);
    touched = UnionRect(touched, Rect{x, y, x + 1, y + 1});
  });
  Rect clipped;
  IntersectRect(clipped, touched, dst.Bounds());
  return clipped;
}

Rect FrameRectangle(Pixmap& dst, const Rect& r, PixelValue color, PenMode mode) {
  if (IsRectEmpty(r)) return {};
  auto put = [&](int x, int y) {
    if (mode == PenMode::Xor)
      dst.XorPixel(x, y, color);
    else
      dst.SetPixel(x, y, color);
  };
  const int l = r.left, t = r.top, rr = r.right - 1, b = r.bottom - 1;
  for (int x = l; x <= rr; ++x) {
    put(x, t);
    if (b != t) put(x, b);
  }
  for (int y = t + 1; y < b; ++y) {
    put(l, y);
    if (rr != l) put(rr, y);
  }
  Rect clipped;
  IntersectRect(clipped, r, dst.Bounds());
  return clipped;
}

}  // namespace tw
