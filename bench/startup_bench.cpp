// From a hot key to the frozen screen shown, on the in-memory ports at
// 1920 x 1080 and 3840 x 2160: StartTool's capture copy, surface set-up and
// first present (the Magnifier's, which draws its lens at once), then the
// run's end, which is not timed. The end-to-end figure under Wine adds the
// real desktop copy and the window's first paint. A first run makes its
// capture in fresh memory; a run within a minute of the last reuses it.
#include "bench_support.h"
#include "core/error.h"

namespace {

using bench::BenchHost;

void BM_StartTool(benchmark::State& state) {
  const tw::Size screen{static_cast<int>(state.range(0)), static_cast<int>(state.range(1))};
  const bool soonAfter = state.range(2) != 0;
  BenchHost b(screen);
  b.screen.cursor = {screen.width / 2, screen.height / 2};
  for (auto _ : state) {
    b.host.StartTool(tw::kMagnifier);
    state.PauseTiming();
    if (!b.window.visible) state.SkipWithError("the run did not start");
    try {
      b.host.EndTool();
    } catch (const tw::Error&) {
      // The end saves the settings, which a benchmark's registry refuses.
    }
    if (!soonAfter) b.host.ReleaseRunMemory();
    state.ResumeTiming();
  }
  const double bytes = static_cast<double>(screen.width) * screen.height * 4;
  state.counters["capture_MB"] = bytes / 1e6;
  state.counters["memcpy_ms"] = bench::MemcpyNanoseconds(static_cast<std::size_t>(bytes)) / 1e6;
  state.SetLabel(soonAfter ? "within the minute" : "first run");
}

BENCHMARK(BM_StartTool)
    ->ArgsProduct({{1920}, {1080}, {0, 1}})
    ->ArgsProduct({{3840}, {2160}, {0, 1}})
    ->ArgNames({"width", "height", "soon"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
