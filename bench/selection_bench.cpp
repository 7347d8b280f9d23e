// One step of a Screenshot selection drag at 3840 x 2160: the old frame taken
// away, the rectangle rebuilt, the new frame drawn and its strips presented.
// The cost should follow the frame's length, not the selection's area.
// Counters: strip_bytes, the bytes of the eight one-pixel strips a step
// touches (four restored, four drawn); x_memcpy, the step's time over a
// memcpy of that many bytes; allocs_per_step, heap allocations per step
// (none is the aim). The run has no info window: its rows and zoom view have
// their own benchmark.
#include "bench_support.h"
#include "tools/screenshot/screenshot.h"

namespace {

using bench::BenchHost;

void BM_SelectionDragStep(benchmark::State& state) {
  const tw::Size screen{3840, 2160};
  BenchHost b(screen);
  b.infoWindows.enabled = false;
  b.host.StartTool(tw::kScreenshot);
  // A selection of the given size at the centre, or the whole screen; the
  // drag pulls its bottom-right corner back and forth by one pixel.
  const bool whole = state.range(0) == 0;
  const tw::Rect sel = whole ? tw::Rect{0, 0, screen.width - 1, screen.height - 1}
                             : tw::Rect{1900, 1000, 1999, 1099};
  auto move = [&](int x, int y) {
    b.screen.cursor = {x, y};
    b.host.FormMouseMove(0, x, y);
  };
  b.screen.cursor = {sel.left, sel.top};
  b.host.FormMouseDown(tw::MouseButton::Left, 0, sel.left, sel.top);
  move(sel.right, sel.bottom);
  b.host.FormMouseUp(tw::MouseButton::Left, 0, sel.right, sel.bottom);
  b.screen.cursor = {sel.right, sel.bottom};
  b.host.FormMouseDown(tw::MouseButton::Left, 0, sel.right, sel.bottom);
  move(sel.right - 1, sel.bottom - 1);
  b.window.presented.reserve(16);

  int step = 0;
  const std::size_t allocationsBefore = bench::HeapAllocations();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    b.window.presented.clear();
    const int d = (step++ & 1) != 0 ? 0 : 1;
    move(sel.right - d, sel.bottom - d);
    benchmark::DoNotOptimize(b.window.surface->Data().data());
  }
  const auto stop = std::chrono::steady_clock::now();
  const std::size_t allocations = bench::HeapAllocations() - allocationsBefore;

  const auto steps = static_cast<double>(state.iterations());
  const double stepNs = std::chrono::duration<double, std::nano>(stop - start).count() / steps;
  const auto w = static_cast<std::size_t>(sel.right - sel.left + 1);
  const auto h = static_cast<std::size_t>(sel.bottom - sel.top + 1);
  const std::size_t bytes = 2 * 2 * (w + h) * sizeof(tw::PixelValue);
  const double memcpyNs = bench::MemcpyNanoseconds(bytes);
  state.counters["strip_bytes"] = static_cast<double>(bytes);
  state.counters["memcpy_ns"] = memcpyNs;
  state.counters["x_memcpy"] = stepNs / memcpyNs;
  state.counters["allocs_per_step"] = static_cast<double>(allocations) / steps;
}

BENCHMARK(BM_SelectionDragStep)->Arg(100)->Arg(0)->ArgName("side");

}  // namespace
