// The libFuzzer entry of one fuzz target, chosen at build time by
// TARNWICK_FUZZ_TARGET (the target's getter, e.g. IconListTarget). With
// TARNWICK_FUZZ_SEEDS=DIR in the environment the program writes the target's
// seed corpus into DIR and ends instead.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/fuzz_targets.h"

#ifndef TARNWICK_FUZZ_TARGET
#error "TARNWICK_FUZZ_TARGET names the target's getter"
#endif

namespace {

const tw::fuzz::FuzzTarget& Target() { return tw::fuzz::TARNWICK_FUZZ_TARGET(); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* dir = std::getenv("TARNWICK_FUZZ_SEEDS")) {
    std::filesystem::create_directories(dir);
    const auto seeds = Target().seeds();
    for (std::size_t i = 0; i < seeds.size(); ++i) {
      std::ofstream out(std::filesystem::path(dir) / ("seed-" + std::to_string(i)), std::ios::binary);
      out.write(reinterpret_cast<const char*>(seeds[i].data()), static_cast<std::streamsize>(seeds[i].size()));
    }
    std::printf("%s: %zu seeds written to %s\n", Target().name, seeds.size(), dir);
    std::exit(seeds.empty() ? 1 : 0);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return Target().run(data, size);
}
