#include "fuzz/fuzz_runner.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "fuzz/fuzz_check.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TW_FUZZ_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TW_FUZZ_ASAN 1
#endif
#ifdef TW_FUZZ_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

namespace tw::fuzz {
namespace {

// The case in progress, for the messages of a failure. Written only by the
// running thread between cases; read when the process is about to end.
struct CurrentCase {
  const char* target = nullptr;
  std::uint64_t seed = 0;
  std::atomic<int> index{-1};
  const Bytes* input = nullptr;
};
CurrentCase current;

void Describe() {
  const int index = current.index.load();
  if (current.target == nullptr || index < 0) return;
  std::fprintf(stderr, "fuzz %s: case %d of seed 0x%016llx failed; run it alone with TARNWICK_FUZZ_CASE=%d\n",
               current.target, index, static_cast<unsigned long long>(current.seed), index);
  if (current.input != nullptr) {
    const Bytes& in = *current.input;
    std::fprintf(stderr, "input (%zu bytes):", in.size());
    for (std::size_t i = 0; i < in.size() && i < 4096; ++i) std::fprintf(stderr, "%s%02x", i % 32 ? " " : "\n  ", in[i]);
    std::fprintf(stderr, "%s\n", in.size() > 4096 ? "\n  ..." : "");
  }
  std::fflush(stderr);
}

// Ends the process when one case takes longer than a case can take.
class Watchdog {
 public:
  explicit Watchdog(int seconds) : thread_([this, seconds] { Watch(seconds); }) {}
  ~Watchdog() {
    {
      const std::lock_guard lock(mutex_);
      done_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  void Watch(int seconds) {
    std::unique_lock lock(mutex_);
    int seen = current.index.load();
    auto since = std::chrono::steady_clock::now();
    while (!wake_.wait_for(lock, std::chrono::milliseconds(250), [this] { return done_; })) {
      const int now = current.index.load();
      if (now != seen) {
        seen = now;
        since = std::chrono::steady_clock::now();
      } else if (std::chrono::steady_clock::now() - since > std::chrono::seconds(seconds)) {
        std::fprintf(stderr, "fuzz: a case has run for more than %d s (a hang)\n", seconds);
        Describe();
        std::abort();
      }
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  bool done_ = false;
  std::thread thread_;
};

void WriteInput(const FuzzTarget& target, int index, const Bytes& input) {
  const std::string name = "fuzz-" + std::string(target.name) + "-" + std::to_string(index) + ".bin";
  if (FILE* file = std::fopen(name.c_str(), "wb")) {
    std::fwrite(input.data(), 1, input.size(), file);
    std::fclose(file);
    std::fprintf(stderr, "fuzz %s: case %d written to %s\n", target.name, index, name.c_str());
  }
}

}  // namespace

void MakeCaseInput(const FuzzTarget& target, const std::vector<Bytes>& seeds, std::uint64_t seed, int index,
                   Bytes& input) {
  if (static_cast<std::size_t>(index) < seeds.size()) {
    input = seeds[static_cast<std::size_t>(index)];
    return;
  }
  FuzzRng rng(seed ^ (static_cast<std::uint64_t>(index) * 0xD1B54A32D192ED03ull));
  target.generate(rng, seeds, input);
}

Bytes CaseInput(const FuzzTarget& target, const std::vector<Bytes>& seeds, std::uint64_t seed, int index) {
  Bytes input;
  MakeCaseInput(target, seeds, seed, index, input);
  return input;
}

void RunFixedSeed(const FuzzTarget& target, std::uint64_t seed, int cases, int hangSeconds) {
  const std::vector<Bytes> seeds = target.seeds();
  TW_FUZZ_CHECK(!seeds.empty());
  current.target = target.name;
  current.seed = seed;
  SetCaseDescriber(Describe);
#ifdef TW_FUZZ_ASAN
  __sanitizer_set_death_callback(Describe);
#endif
  int first = 0, last = cases;
  if (const char* n = std::getenv("TARNWICK_FUZZ_CASES")) last = std::atoi(n);
  if (const char* only = std::getenv("TARNWICK_FUZZ_CASE")) {
    first = std::atoi(only);
    last = first + 1;
  }
  {
    const Watchdog watchdog(hangSeconds);
    Bytes input;  // one buffer for every case
    current.input = &input;
    for (int index = first; index < last; ++index) {
      MakeCaseInput(target, seeds, seed, index, input);
      current.index = index;
      if (last - first == 1) WriteInput(target, index, input);
      target.run(input.data(), input.size());
    }
    current.input = nullptr;
  }
  current.index = -1;
  SetCaseDescriber(nullptr);
#ifdef TW_FUZZ_ASAN
  __sanitizer_set_death_callback(nullptr);
#endif
}

}  // namespace tw::fuzz
