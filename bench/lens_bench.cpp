// The Magnifier lens redraw for one mouse move, beside memcpy of the lens
// image's bytes. Counters: x_memcpy, the move's time over that memcpy's; and
// allocs_per_move, heap allocations per move (none is the aim).
#include "bench_support.h"

namespace {

using bench::BenchHost;

void BM_LensMove(benchmark::State& state) {
  const tw::Size screen = bench::ScreenOf(state.range(0));
  const int lens = static_cast<int>(state.range(2));
  BenchHost b(screen);
  b.host.Settings.Scale = static_cast<int>(state.range(1));
  b.host.Settings.ZoomWidth = b.host.Settings.ZoomHeight = lens;
  b.host.Settings.HighContrast = static_cast<tw::ContrastLevel>(state.range(3));
  const tw::Point centre{screen.width / 2, screen.height / 2};
  b.screen.cursor = centre;
  b.host.StartTool(tw::kMagnifier);
  b.host.ApplicationIdle();

  // Back and forth along a short diagonal, a few pixels per move, as a hand
  // moves the mouse.
  int step = 0;
  auto move = [&] {
    const int i = step++ % 200;
    const int d = i < 100 ? i : 200 - i;
    const tw::Point p{centre.x - 100 + 2 * d, centre.y - 50 + d};
    b.screen.cursor = p;
    b.window.presented.clear();
    b.host.FormMouseMove(0, p.x, p.y);
  };
  move();  // the first move sizes what is reused afterwards

  const std::size_t allocationsBefore = bench::HeapAllocations();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    move();
    benchmark::DoNotOptimize(b.window.surface->Data().data());
  }
  const auto stop = std::chrono::steady_clock::now();
  const std::size_t allocations = bench::HeapAllocations() - allocationsBefore;

  const auto moves = static_cast<double>(state.iterations());
  const double moveNs = std::chrono::duration<double, std::nano>(stop - start).count() / moves;
  const std::size_t lensBytes = static_cast<std::size_t>(lens) * lens * sizeof(tw::PixelValue);
  const double memcpyNs = bench::MemcpyNanoseconds(lensBytes);
  state.counters["memcpy_us"] = memcpyNs / 1000.0;
  state.counters["x_memcpy"] = moveNs / memcpyNs;
  state.counters["allocs_per_move"] = static_cast<double>(allocations) / moves;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(lensBytes));
}

BENCHMARK(BM_LensMove)
    ->ArgsProduct({{0, 1}, {1, 2, 10}, {100, 500}, {0, 2}})
    ->ArgNames({"screen4k", "scale", "lens", "contrast"})
    ->Unit(benchmark::kMicrosecond);

// The same bytes copied with memcpy, for the table beside the moves.
void BM_MemcpyLensBytes(benchmark::State& state) {
  const auto bytes = static_cast<std::size_t>(state.range(0) * state.range(0)) * sizeof(tw::PixelValue);
  std::vector<unsigned char> from(bytes, 0x5A), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}

BENCHMARK(BM_MemcpyLensBytes)->Arg(100)->Arg(500)->ArgName("lens")->Unit(benchmark::kMicrosecond);

}  // namespace
