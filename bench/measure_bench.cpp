// One mouse move of a Measurer drag and of the Dropper at 3840 x 2160, with
// the info window's rows and zoom view, as the user sees them. Counters:
// touched_bytes, what the move must write (the figure erased and drawn, or
// nothing for it, plus the zoom bitmap); x_memcpy, the move's time over a
// memcpy of that many bytes; allocs_per_move, heap allocations per move.
#include "bench_support.h"
#include "tools/dropper/dropper.h"
#include "tools/measurer/measurer.h"

namespace {

using bench::BenchHost;

template <typename Step>
void Measure(benchmark::State& state, BenchHost& b, std::size_t figureBytes, Step&& step) {
  b.window.presented.reserve(4096);
  step(0);
  step(1);
  int i = 2;
  const std::size_t allocationsBefore = bench::heapAllocations.load();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    b.window.presented.clear();
    step(i++);
  }
  const auto stop = std::chrono::steady_clock::now();
  const std::size_t allocations = bench::heapAllocations.load() - allocationsBefore;
  const auto moves = static_cast<double>(state.iterations());
  const double moveNs = std::chrono::duration<double, std::nano>(stop - start).count() / moves;
  const tw::Size zoom = b.host.InfoWin().Current()->Layout().zoomClient;
  const std::size_t bytes = figureBytes + static_cast<std::size_t>(zoom.width) * zoom.height * 4;
  const double memcpyNs = bench::MemcpyNanoseconds(bytes);
  state.counters["touched_bytes"] = static_cast<double>(bytes);
  state.counters["x_memcpy"] = moveNs / memcpyNs;
  state.counters["allocs_per_move"] = static_cast<double>(allocations) / moves;
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
  Measure(state, b, figure, [&](int i) {
    const int d = i & 1;
    b.screen.cursor = {to.x - d, to.y - d};
    b.host.FormMouseMove(0, to.x - d, to.y - d);
  });
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
