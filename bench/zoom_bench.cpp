// The info window's zoom view for one mouse move, beside memcpy of the zoom
// bitmap's bytes, at the 96 and 192 dpi layouts. BM_UpdateZoomView goes
// through TInfoWin (the fake view copies the bitmap once, as the shell shows
// it); BM_ComposeZoomView is the composition alone. Counters: x_memcpy, the
// call's time over that memcpy's; allocs_per_call, heap allocations per call
// (none is the aim).
#include "bench_support.h"
#include "infowin/info_layout.h"
#include "infowin/zoom_view.h"

namespace {

using bench::BenchHost;

// The metrics of each resolution: the default and message fonts are 8 points.
tw::InfoMetrics MetricsAt(std::int64_t dpi) {
  return dpi == 192 ? tw::InfoMetrics{34, 192, -21, -21, 26} : tw::InfoMetrics{17, 96, -11, -11, 13};
}

// Back and forth along a short diagonal around the screen's centre, as a
// hand moves the mouse.
tw::Point PointOf(int step, tw::Size screen) {
  const int i = step % 200;
  const int d = i < 100 ? i : 200 - i;
  return {screen.width / 2 - 100 + 2 * d, screen.height / 2 - 50 + d};
}

template <typename Call>
void Measure(benchmark::State& state, tw::Size zoom, Call&& call) {
  call(0);  // the first call sizes what is reused afterwards
  int step = 1;
  const std::size_t allocationsBefore = bench::HeapAllocations();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) call(step++);
  const auto stop = std::chrono::steady_clock::now();
  const std::size_t allocations = bench::HeapAllocations() - allocationsBefore;

  const auto calls = static_cast<double>(state.iterations());
  const double callNs = std::chrono::duration<double, std::nano>(stop - start).count() / calls;
  const std::size_t bytes = static_cast<std::size_t>(zoom.width) * zoom.height * sizeof(tw::PixelValue);
  const double memcpyNs = bench::MemcpyNanoseconds(bytes);
  state.counters["zoom_w"] = zoom.width;
  state.counters["zoom_h"] = zoom.height;
  state.counters["memcpy_ns"] = memcpyNs;
  state.counters["x_memcpy"] = callNs / memcpyNs;
  state.counters["allocs_per_call"] = static_cast<double>(allocations) / calls;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}

void BM_UpdateZoomView(benchmark::State& state) {
  const tw::Size screen{1920, 1080};
  BenchHost b(screen);
  b.infoWindows.metrics = MetricsAt(state.range(0));
  b.host.StartTool(tw::kDropper);
  tw::TInfoWin* info = b.infoWindows.Current();
  if (info == nullptr) {
    state.SkipWithError("no info window");
    return;
  }
  const int factor = static_cast<int>(state.range(1));
  Measure(state, info->Layout().zoomClient, [&](int step) {
    const tw::Point p = PointOf(step, screen);
    info->UpdateZoomView(p.x, p.y, *b.window.surface, factor);
    benchmark::DoNotOptimize(b.infoWindows.last->shownZoom.Data().data());
  });
}

void BM_ComposeZoomView(benchmark::State& state) {
  const tw::Size screen{1920, 1080};
  BenchHost b(screen);
  b.host.StartTool(tw::kDropper);
  const tw::Size zoom = tw::ComputeInfoLayout(MetricsAt(state.range(0)), tw::kDropperRows).zoomClient;
  tw::Pixmap view(zoom.width, zoom.height);
  const int factor = static_cast<int>(state.range(1));
  Measure(state, zoom, [&](int step) {
    tw::ComposeZoomView(view, *b.window.surface, PointOf(step, screen), factor);
    benchmark::DoNotOptimize(view.Data().data());
  });
}

BENCHMARK(BM_UpdateZoomView)->ArgsProduct({{96, 192}, {2, 10}})->ArgNames({"dpi", "Z"});
BENCHMARK(BM_ComposeZoomView)->ArgsProduct({{96, 192}, {2, 10}})->ArgNames({"dpi", "Z"});

// The zoom bitmap's bytes copied with memcpy, for the table beside the calls.
void BM_MemcpyZoomBytes(benchmark::State& state) {
  const tw::Size zoom = tw::ComputeInfoLayout(MetricsAt(state.range(0)), tw::kDropperRows).zoomClient;
  const auto bytes = static_cast<std::size_t>(zoom.width) * zoom.height * sizeof(tw::PixelValue);
  std::vector<unsigned char> from(bytes, 0x5A), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}

BENCHMARK(BM_MemcpyZoomBytes)->Arg(96)->Arg(192)->ArgName("dpi");

}  // namespace
