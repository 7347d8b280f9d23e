// What the benchmark programs share: a host wired to in-memory ports, as the
// unit tests wire it, and the unit tests' heap-allocation counter.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "app/host.h"
#include "platform/registry_port.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_hotkeys.h"
#include "fakes/fake_tray.h"
#include "fakes/fakes.h"
#include "support/alloc_counter.h"

namespace bench {

using tw::testing::HeapAllocations;

// Settings are neither loaded nor saved in a benchmark.
class NullRegistry final : public tw::IRegistryPort {
 public:
  std::unique_ptr<tw::IRegistryKey> CreateKey(const std::string&) override { return nullptr; }
  std::unique_ptr<tw::IRegistryKey> OpenKey(const std::string&) override { return nullptr; }
};

struct BenchHost {
  explicit BenchHost(tw::Size screenSize)
      : screen(log, screenSize),
        host(tw::HostPorts{screen, window, app, menus, tray, registry, hotkeys, infoWindows, clipboard, dialogs},
             tw::ProgramTools({clipboard, saveDialog, images})) {
    window.onPaint = [this] { host.FormPaint(window.surface->Bounds()); };
  }

  tw::fakes::CallLog log;
  tw::fakes::FakeScreen screen;
  tw::fakes::FakeHostWindow window{log};
  tw::fakes::FakeApplication app{log};
  tw::fakes::FakeMenus menus{log};
  tw::fakes::FakeTrayPort tray;
  NullRegistry registry;
  tw::fakes::FakeHotKeys hotkeys;
  tw::fakes::FakeInfoWindowFactory infoWindows{log};
  tw::fakes::FakeClipboard clipboard{log};
  tw::fakes::FakeSaveDialog saveDialog{log};
  tw::fakes::FakeImageExport images{log};
  tw::fakes::FakeDialogs dialogs{log};
  tw::TfrmHost host;
};

inline tw::Size ScreenOf(std::int64_t index) { return index == 0 ? tw::Size{1920, 1080} : tw::Size{3840, 2160}; }

// Nanoseconds that one memcpy of `bytes` takes here, warm in the cache as the
// benchmarked operation is: the practical limit to compare against.
inline double MemcpyNanoseconds(std::size_t bytes) {
  std::vector<unsigned char> from(bytes, 0x5A), to(bytes);
  using Clock = std::chrono::steady_clock;
  double best = 1e300;
  for (int round = 0; round < 5; ++round) {
    int count = 0;
    const auto start = Clock::now();
    auto now = start;
    do {
      std::memcpy(to.data(), from.data(), bytes);
      benchmark::DoNotOptimize(to.data());
      benchmark::ClobberMemory();
      ++count;
      now = Clock::now();
    } while (now - start < std::chrono::milliseconds(20));
    best = std::min(best, std::chrono::duration<double, std::nano>(now - start).count() / count);
  }
  return best;
}

}  // namespace bench
