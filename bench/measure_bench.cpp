// One mouse move of a Measurer drag and of the Dropper at 3840 x 2160, with
// the info window's rows and zoom view, as the user sees them. Counters:
// touched_bytes, what the move must write (the figure erased and drawn, or
// nothing for it, plus the zoom bitmap); x_memcpy, the move's time over a
// memcpy of that many bytes; allocs_per_move, heap allocations per move.
// For the Measurer also x_own_pixels: the move over copying just the two
// figures' pixels from the capture at their own places (the old one erased,
// the new one drawn), plus a memcpy of the zoom bitmap. A column or a steep line visits one pixel per
// screen row, a page apart at this width, which no contiguous memcpy pays.
#include "bench_support.h"
#include "tools/dropper/dropper.h"
#include "tools/measurer/measurer.h"
#include "tools/screenshot/selection_frame.h"

namespace {

using bench::BenchHost;

// Copies the pixels of the figure on `r` (outline and line) from the capture,
// the bare memory traffic of erasing or drawing it.
void CopyFigurePixels(tw::Pixmap& surface, const tw::Pixmap& capture, const tw::Rect& r) {
  const tw::Rect o = tw::OrderedRect(r);
  const auto copy = [&](int x, int y) { surface.Row(y)[x] = capture.Row(y)[x]; };
  for (int y : {o.top, o.bottom}) std::memcpy(surface.Row(y) + o.left, capture.Row(y) + o.left, (o.right - o.left + 1) * 4u);
  for (int y = o.top; y <= o.bottom; ++y) copy(o.left, y), copy(o.right, y);
  tw::WalkLine(r.left, r.top, r.right, r.bottom, copy);
}

double OwnPixelsNanoseconds(BenchHost& b, const tw::Rect& first, const tw::Rect& second) {
  // A copy of the same size stands in for the surface, which the host keeps.
  tw::Pixmap surface = *b.window.surface;
  const tw::Pixmap& capture = *b.screen.copiedTo;
  constexpr int kRounds = 2000;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRounds; ++i) {
    CopyFigurePixels(surface, capture, (i & 1) ? first : second);  // the erase
    CopyFigurePixels(surface, capture, (i & 1) ? second : first);  // the draw
    benchmark::ClobberMemory();
  }
  const auto stop = std::chrono::steady_clock::now();
  return std::chrono::duration<double, std::nano>(stop - start).count() / kRounds;
}

template <typename Step>
double Measure(benchmark::State& state, BenchHost& b, std::size_t figureBytes, Step&& step) {
  b.window.presented.reserve(4096);
  step(0);
  step(1);
  int i = 2;
  const std::size_t allocationsBefore = bench::HeapAllocations();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    b.window.presented.clear();
    step(i++);
  }
  const auto stop = std::chrono::steady_clock::now();
  const std::size_t allocations = bench::HeapAllocations() - allocationsBefore;
  const auto moves = static_cast<double>(state.iterations());
  const double moveNs = std::chrono::duration<double, std::nano>(stop - start).count() / moves;
  const tw::Size zoom = b.infoWindows.Current()->Layout().zoomClient;
  const std::size_t bytes = figureBytes + static_cast<std::size_t>(zoom.width) * zoom.height * 4;
  const double memcpyNs = bench::MemcpyNanoseconds(bytes);
  state.counters["touched_bytes"] = static_cast<double>(bytes);
  state.counters["x_memcpy"] = moveNs / memcpyNs;
  state.counters["allocs_per_move"] = static_cast<double>(allocations) / moves;
  return moveNs;
}

double ZoomMemcpyNanoseconds(BenchHost& b) {
  const tw::Size zoom = b.infoWindows.Current()->Layout().zoomClient;
  return bench::MemcpyNanoseconds(static_cast<std::size_t>(zoom.width) * zoom.height * 4);
}

void BM_MeasurerMove(benchmark::State& state) {
  const tw::Size screen{3840, 2160};
  BenchHost b(screen);
  b.host.StartTool(tw::kMeasurer);
  const bool diagonal = state.range(0) == 1;
  const tw::Point from = diagonal ? tw::Point{0, 0} : tw::Point{1800, 1000};
  const tw::Point to = diagonal ? tw::Point{screen.width - 1, screen.height - 1} : tw::Point{2100, 1150};
  b.screen.cursor = from;
  b.host.FormMouseDown(tw::MouseButton::Left, 0, from.x, from.y);
  const std::size_t w = static_cast<std::size_t>(to.x - from.x + 1), h = static_cast<std::size_t>(to.y - from.y + 1);
  // Erased and drawn: the frame's outline and the line.
  const std::size_t figure = 2 * (2 * (w + h) + std::max(w, h)) * 4;
  const double moveNs = Measure(state, b, figure, [&](int i) {
    const int d = i & 1;
    b.screen.cursor = {to.x - d, to.y - d};
    b.host.FormMouseMove(0, to.x - d, to.y - d);
  });
  const tw::Rect previous{from.x, from.y, to.x - 1, to.y - 1}, next{from.x, from.y, to.x, to.y};
  state.counters["x_own_pixels"] = moveNs / (OwnPixelsNanoseconds(b, previous, next) + ZoomMemcpyNanoseconds(b));
}

void BM_DropperMove(benchmark::State& state) {
  const tw::Size screen{3840, 2160};
  BenchHost b(screen);
  b.host.StartTool(tw::kDropper);
  if (state.range(0) == 1) {
    b.screen.cursor = {1900, 1000};
    b.host.FormMouseDown(tw::MouseButton::Left, 0, 1900, 1000);
  }
  Measure(state, b, 0, [&](int i) {
    const tw::Point p{1920 + (i % 50), 1080 + (i % 30)};
    b.screen.cursor = p;
    b.host.FormMouseMove(0, p.x, p.y);
  });
}

BENCHMARK(BM_MeasurerMove)->Arg(0)->Arg(1)->ArgName("diagonal");
BENCHMARK(BM_DropperMove)->Arg(0)->Arg(1)->ArgName("holding");

}  // namespace
