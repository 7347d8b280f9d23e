// From a hot key to the frozen screen shown, on the in-memory ports at
// 1920 x 1080 and 3840 x 2160: StartTool's capture copy, surface set-up and
// first present (the Magnifier's, which draws its lens at once), then the
// run's end, which is not timed. The end-to-end figure under Wine adds the
// real desktop copy and the window's first paint.
#include "bench_support.h"
#include "core/error.h"

namespace {

using bench::BenchHost;

void BM_StartTool(benchmark::State& state) {
  const tw::Size screen{static_cast<int>(state.range(0)), static_cast<int>(state.range(1))};
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
    state.ResumeTiming();
  }
  state.counters["capture_MB"] = static_cast<double>(screen.width) * screen.height * 4 / 1e6;
}

BENCHMARK(BM_StartTool)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

}  // namespace
