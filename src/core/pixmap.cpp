#include "core/pixmap.h"

#include <algorithm>
#include <cstring>
#include <functional>

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

void Pixmap::ClearKeepingMemory() {
  std::fill(pixels_.begin(), pixels_.end(), PixelValue{0});
  pixels_.clear();
  width_ = height_ = 0;
}

void Pixmap::Fill(const Rect& r, PixelValue v) {
  Rect c;
  if (!IntersectRect(c, r, Bounds())) return;
  if (c.Width() == 1) {  // a frame's side: one pixel per row
    for (int y = c.top; y < c.bottom; ++y) Row(y)[c.left] = v;
    return;
  }
  for (int y = c.top; y < c.bottom; ++y) std::fill(Row(y) + c.left, Row(y) + c.right, v);
}

namespace {

// memmove for a few pixels, without the call: the restored strips of a moving
// lens are one or two pixels wide and a hundred rows high. Copies within one
// buffer may overlap, as with memmove.
void MovePixels(PixelValue* out, const PixelValue* in, int n) {
  if (n > 8) {
    std::memmove(out, in, sizeof(PixelValue) * static_cast<std::size_t>(n));
  } else if (std::less<const PixelValue*>{}(out, in)) {
    for (int i = 0; i < n; ++i) out[i] = in[i];
  } else {
    for (int i = n; i-- > 0;) out[i] = in[i];
  }
}

}  // namespace

Rect CopyPixels(Pixmap& dst, Point dstOrigin, const Pixmap& src, const Rect& srcRect,
                PixelValue outside) {
  Rect target{dstOrigin.x, dstOrigin.y, dstOrigin.x + srcRect.Width(), dstOrigin.y + srcRect.Height()};
  Rect clipped;
  if (!IntersectRect(clipped, target, dst.Bounds())) return {};
  const int dx = srcRect.left - dstOrigin.x;  // source x = target x + dx
  const int dy = srcRect.top - dstOrigin.y;
  // Each row splits into a blank run before the source, the copied run and a
  // blank run after it; the split is the same for every row.
  const int copyFrom = std::clamp(-dx, clipped.left, clipped.right);
  const int copyTo = std::clamp(src.Width() - dx, copyFrom, clipped.right);
  for (int y = clipped.top; y < clipped.bottom; ++y) {
    PixelValue* out = dst.Row(y);
    const int sy = y + dy;
    if (sy < 0 || sy >= src.Height()) {
      std::fill(out + clipped.left, out + clipped.right, outside);
      continue;
    }
    std::fill(out + clipped.left, out + copyFrom, outside);
    MovePixels(out + copyFrom, src.Row(sy) + copyFrom + dx, copyTo - copyFrom);
    std::fill(out + copyTo, out + clipped.right, outside);
  }
  return clipped;
}

namespace {

// A run of target columns that all take one source column.
struct StretchRun {
  int source;  // source column, in src's coordinates
  int count;
};

// One target row from one source row (nullptr: a row outside the source).
void StretchRow(PixelValue* out, const PixelValue* in, int srcWidth, const std::vector<StretchRun>& runs,
                PixelValue outside) {
  for (const StretchRun& run : runs) {
    const bool inside = in != nullptr && run.source >= 0 && run.source < srcWidth;
    const PixelValue v = inside ? in[run.source] : outside;
    out = std::fill_n(out, run.count, v);
  }
}

// The same for a whole magnification k and a source run [from, from + n)
// inside the source row: every source pixel becomes k target pixels. The
// common factors get loops of their own, which the compiler unrolls and
// vectorises.
template <int K>
PixelValue* Expand(PixelValue* out, const PixelValue* in, int n) {
  for (int i = 0; i < n; ++i)
    for (int k = 0; k < K; ++k) out[i * K + k] = in[i];
  return out + static_cast<std::ptrdiff_t>(n) * K;
}

PixelValue* Expand(PixelValue* out, const PixelValue* in, int n, int k) {
  switch (k) {
    case 1: return std::copy_n(in, n, out);
    case 2: return Expand<2>(out, in, n);
    case 3: return Expand<3>(out, in, n);
    case 4: return Expand<4>(out, in, n);
    default:
      for (int i = 0; i < n; ++i) out = std::fill_n(out, k, in[i]);
      return out;
  }
}

}  // namespace

Rect StretchPixels(Pixmap& dst, const Rect& dstRect, const Pixmap& src, const Rect& srcRect,
                   PixelValue outside) {
  const int dw = dstRect.Width(), dh = dstRect.Height();
  const int sw = srcRect.Width(), sh = srcRect.Height();
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return {};
  Rect clipped;
  if (!IntersectRect(clipped, dstRect, dst.Bounds())) return {};
  if (dw == sw && dh == sh) return CopyPixels(dst, {dstRect.left, dstRect.top}, src, srcRect, outside);

  // Target column i takes source column i * sw / dw: along a row, runs of
  // target columns share a source column, and the runs are the same for
  // every row. Kept between calls so that a stretch per mouse move does not
  // allocate.
  thread_local std::vector<StretchRun> runs;
  runs.clear();
  {
    long long s = static_cast<long long>(clipped.left - dstRect.left) * sw / dw;
    // The run of source column s ends before the least target column i with
    // i * sw / dw > s, that is ceil((s + 1) * dw / sw); that quotient is
    // carried from run to run as whole part and remainder, without dividing.
    const long long whole = dw / sw, part = dw % sw;
    long long q = (s + 1) * dw / sw, r = (s + 1) * dw % sw;
    for (int x = clipped.left; x < clipped.right;) {
      const long long next = dstRect.left + q + (r != 0 ? 1 : 0);
      const int end = static_cast<int>(std::min<long long>(clipped.right, next));
      if (end > x) runs.push_back({srcRect.left + static_cast<int>(s), end - x});  // none when shrinking past s
      x = std::max(x, end);
      ++s;
      q += whole;
      r += part;
      if (r >= sw) {
        r -= sw;
        ++q;
      }
    }
  }
  // With a whole magnification every run inside the clipped span has the
  // same length (the first and last may be cut); the middle runs whose
  // source lies inside src can then be expanded in one go.
  const int factor = dw % sw == 0 ? dw / sw : 0;
  std::size_t firstInside = 0, lastInside = runs.size();  // the middle runs: [firstInside, lastInside)
  if (factor >= 1) {
    while (firstInside < runs.size() &&
           (runs[firstInside].count != factor || runs[firstInside].source < 0))
      ++firstInside;
    while (lastInside > firstInside &&
           (runs[lastInside - 1].count != factor || runs[lastInside - 1].source >= src.Width()))
      --lastInside;
  }
  const bool expandMiddle = factor >= 1 && lastInside > firstInside;
  // The runs outside the source lie at the edges, and how many there are
  // depends on where the source rectangle is: room for all the runs of this
  // size, made at the first stretch of the size, means a later one nearer an
  // edge of the source still allocates nothing.
  thread_local std::vector<StretchRun> head, tail;
  head.reserve(runs.size());
  tail.reserve(runs.size());
  if (expandMiddle) {
    head.assign(runs.begin(), runs.begin() + static_cast<std::ptrdiff_t>(firstInside));
    tail.assign(runs.begin() + static_cast<std::ptrdiff_t>(lastInside), runs.end());
  }

  // Target row j takes source row j * sh / dh, carried from row to row as
  // whole part and remainder too.
  const long long rowWhole = sh / dh, rowPart = sh % dh;
  long long rowQ = static_cast<long long>(clipped.top - dstRect.top) * sh / dh;
  long long rowR = static_cast<long long>(clipped.top - dstRect.top) * sh % dh;
  int lastSourceRow = -1;
  const PixelValue* lastRow = nullptr;
  for (int y = clipped.top; y < clipped.bottom; ++y) {
    const int sy = srcRect.top + static_cast<int>(rowQ);
    rowQ += rowWhole;
    rowR += rowPart;
    if (rowR >= dh) {
      rowR -= dh;
      ++rowQ;
    }
    PixelValue* out = dst.Row(y);
    // Rows repeated by the magnification are copied, not recomputed.
    if (sy == lastSourceRow && lastRow != nullptr) {
      std::memcpy(out + clipped.left, lastRow + clipped.left, sizeof(PixelValue) * clipped.Width());
      continue;
    }
    const PixelValue* in = (sy >= 0 && sy < src.Height()) ? src.Row(sy) : nullptr;
    if (in != nullptr && expandMiddle) {
      PixelValue* at = out + clipped.left;
      StretchRow(at, in, src.Width(), head, outside);
      for (const StretchRun& r : head) at += r.count;
      const int from = runs[firstInside].source;
      const int n = static_cast<int>(lastInside - firstInside);
      at = Expand(at, in + from, n, factor);
      StretchRow(at, in, src.Width(), tail, outside);
    } else {
      StretchRow(out + clipped.left, in, src.Width(), runs, outside);
    }
    lastSourceRow = sy;
    lastRow = out;
  }
  return clipped;
}

void LineDDA(int x1, int y1, int x2, int y2, const std::function<void(int, int)>& visit) {
  WalkLine(x1, y1, x2, y2, visit);
}

Rect DrawLine(Pixmap& dst, Point a, Point b, PixelValue color, PenMode mode) {
  // Lines are drawn at every mouse move: walked inline, no heap.
  struct Line {
    Pixmap& dst;
    PixelValue color;
    PenMode mode;
    Rect touched;
  } line{dst, color, mode, {}};
  WalkLine(a.x, a.y, b.x, b.y, [l = &line](int x, int y) {
    if (l->mode == PenMode::Xor)
      l->dst.XorPixel(x, y, l->color);
    else
      l->dst.SetPixel(x, y, l->color);
    l->touched = UnionRect(l->touched, Rect{x, y, x + 1, y + 1});
  });
  const Rect touched = line.touched;
  Rect clipped;
  IntersectRect(clipped, touched, dst.Bounds());
  return clipped;
}

Rect FrameRectangle(Pixmap& dst, const Rect& r, PixelValue color, PenMode mode) {
  if (IsRectEmpty(r)) return {};
  Rect clipped;
  IntersectRect(clipped, r, dst.Bounds());
  if (mode == PenMode::Copy) {
    // Four clipped fills: the lens frame is drawn at every mouse move.
    dst.Fill({r.left, r.top, r.right, r.top + 1}, color);
    dst.Fill({r.left, r.bottom - 1, r.right, r.bottom}, color);
    dst.Fill({r.left, r.top, r.left + 1, r.bottom}, color);
    dst.Fill({r.right - 1, r.top, r.right, r.bottom}, color);
    return clipped;
  }
  // Exclusive-or must touch each pixel once, corners included.
  auto put = [&](int x, int y) { dst.XorPixel(x, y, color); };
  const int l = r.left, t = r.top, rr = r.right - 1, b = r.bottom - 1;
  for (int x = l; x <= rr; ++x) {
    put(x, t);
    if (b != t) put(x, b);
  }
  for (int y = t + 1; y < b; ++y) {
    put(l, y);
    if (rr != l) put(rr, y);
  }
  return clipped;
}

}  // namespace tw
