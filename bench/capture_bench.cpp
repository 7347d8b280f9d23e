// The once-per-run and whole-screen costs, each beside memcpy of the same
// bytes: the capture copy (the screen into the capture bitmap, whose rows are
// longer by the lens margin) and a full-surface present (FormPaint: the
// whole surface restored from the capture, as after a shrinking Shift-click
// or an uncovered host).
#include "bench_support.h"

namespace {

using bench::BenchHost;

void Report(benchmark::State& state, double opNs, std::size_t bytes, std::size_t allocations) {
  const double memcpyNs = bench::MemcpyNanoseconds(bytes);
  state.counters["memcpy_us"] = memcpyNs / 1000.0;
  state.counters["x_memcpy"] = opNs / memcpyNs;
  state.counters["allocs_per_op"] = static_cast<double>(allocations) / static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}

// The copy that StartTool makes of the screen, natively: the fake desktop's
// picture into the wider capture bitmap, as the fake screen port does it
// (called directly, without the port's call log).
void BM_CaptureCopy(benchmark::State& state) {
  const tw::Size screen = bench::ScreenOf(state.range(0));
  BenchHost b(screen);
  tw::Pixmap capture(screen.width + 50, screen.height + 50, tw::kWhitePixel);
  const tw::Rect area{0, 0, screen.width, screen.height};
  const std::size_t allocationsBefore = bench::HeapAllocations();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    tw::RestorePixels(capture, b.screen.desktop, area);
    benchmark::DoNotOptimize(capture.Data().data());
    benchmark::ClobberMemory();
  }
  const auto stop = std::chrono::steady_clock::now();
  const std::size_t allocations = bench::HeapAllocations() - allocationsBefore;
  Report(state, std::chrono::duration<double, std::nano>(stop - start).count() / static_cast<double>(state.iterations()),
         static_cast<std::size_t>(screen.width) * screen.height * sizeof(tw::PixelValue), allocations);
}

BENCHMARK(BM_CaptureCopy)->Arg(0)->Arg(1)->ArgName("screen4k")->Unit(benchmark::kMicrosecond);

void BM_FullSurfacePresent(benchmark::State& state) {
  const tw::Size screen = bench::ScreenOf(state.range(0));
  BenchHost b(screen);
  b.host.StartTool(tw::kMagnifier);
  const std::size_t allocationsBefore = bench::HeapAllocations();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    b.host.FormPaint(b.window.surface->Bounds());
    benchmark::DoNotOptimize(b.window.surface->Data().data());
    benchmark::ClobberMemory();
  }
  const auto stop = std::chrono::steady_clock::now();
  const std::size_t allocations = bench::HeapAllocations() - allocationsBefore;
  Report(state, std::chrono::duration<double, std::nano>(stop - start).count() / static_cast<double>(state.iterations()),
         static_cast<std::size_t>(screen.width) * screen.height * sizeof(tw::PixelValue), allocations);
}

BENCHMARK(BM_FullSurfacePresent)->Arg(0)->Arg(1)->ArgName("screen4k")->Unit(benchmark::kMicrosecond);

}  // namespace
