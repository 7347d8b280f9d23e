// The palette a GIF is saved with, made for a whole screen, beside memcpy of
// the same bytes: a gradient of 65,536 colours (the median cut and the
// nearest-entry look-ups), a user interface of 200 colours (the exact
// palette), and a busy picture that touches every cell of the colour cube
// (the slowest case). Counters: ms and memcpy_ms per call, x_memcpy, the
// palette's size and the mean channel error of the picture it gives.
#include "bench_support.h"
#include "fakes/sample_pictures.h"
#include "imaging/palette.h"

namespace {

enum class Picture { Gradient, Interface, Busy };

tw::Pixmap ScreenPicture(Picture picture, tw::Size size) {
  using tw::samples::PictureOf;
  const int w = size.width;
  const int h = size.height;
  if (picture == Picture::Gradient)
    return PictureOf(w, h, [=](int x, int y) { return tw::samples::GradientPixel(x * 256 / w, y * 256 / h); });
  // Flat areas of 8 x 8 pixels, as a window's controls are flat.
  if (picture == Picture::Interface)
    return PictureOf(w, h, [](int x, int y) { return tw::samples::FewColoursPixel(x / 8, y / 8, 200); });
  return PictureOf(w, h, [=](int x, int y) {
    return static_cast<tw::PixelValue>((x * 255 / (w - 1)) << 16 | (y * 255 / (h - 1)) << 8 |
                                       ((x * 7 + y * 13) & 0xFF));
  });
}

void BM_QuantizeToPalette(benchmark::State& state, Picture which) {
  const tw::Size screen = bench::ScreenOf(state.range(0));
  const tw::Pixmap picture = ScreenPicture(which, screen);
  tw::IndexedPixels indexed;
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    indexed = tw::QuantizeToPalette(picture);
    benchmark::DoNotOptimize(indexed.indices.data());
    benchmark::ClobberMemory();
  }
  const auto stop = std::chrono::steady_clock::now();
  const double callNs =
      std::chrono::duration<double, std::nano>(stop - start).count() / static_cast<double>(state.iterations());
  const std::size_t bytes = picture.Data().size_bytes();
  const double memcpyNs = bench::MemcpyNanoseconds(bytes);

  std::vector<tw::PixelValue> shown;
  shown.reserve(indexed.indices.size());
  for (const std::uint8_t index : indexed.indices) shown.push_back(indexed.palette[index]);
  state.counters["ms"] = callNs / 1e6;
  state.counters["memcpy_ms"] = memcpyNs / 1e6;
  state.counters["x_memcpy"] = callNs / memcpyNs;
  state.counters["palette"] = static_cast<double>(indexed.palette.size());
  state.counters["mean_error"] = tw::samples::MeanChannelError(shown, picture.Data());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}

BENCHMARK_CAPTURE(BM_QuantizeToPalette, gradient, Picture::Gradient)
    ->Arg(0)->Arg(1)->ArgName("screen4k")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuantizeToPalette, interface, Picture::Interface)
    ->Arg(0)->Arg(1)->ArgName("screen4k")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_QuantizeToPalette, busy, Picture::Busy)
    ->Arg(0)->Arg(1)->ArgName("screen4k")->Unit(benchmark::kMillisecond);

}  // namespace
