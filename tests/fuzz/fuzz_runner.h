// The unit layer's fixed-seed run of a fuzz target: case n's input comes
// from a random source seeded with the run's seed and n alone, so a failing
// case is made again by its number, without the cases before it.
#pragma once

#include <cstdint>

#include "fuzz/fuzz_targets.h"

namespace tw::fuzz {

inline constexpr std::uint64_t kUnitSeed = 0x7A72'6E77'6963'6B31ull;
inline constexpr int kUnitCases = 100'000;

// The input of case `index`: the seeds themselves first, then generated ones.
void MakeCaseInput(const FuzzTarget& target, const std::vector<Bytes>& seeds, std::uint64_t seed, int index,
                   Bytes& input);
Bytes CaseInput(const FuzzTarget& target, const std::vector<Bytes>& seeds, std::uint64_t seed, int index);

// Runs `cases` cases, printing nothing while every invariant holds. A failed
// check, a sanitizer's report or a case that runs longer than
// `hangSeconds` names the target, the seed and the case number, with the
// input in hex, before the process ends. With TARNWICK_FUZZ_CASE=n in the
// environment only case n runs, and its input is written to
// fuzz-<target>-<n>.bin in the current folder for the libFuzzer build;
// TARNWICK_FUZZ_CASES=n runs n cases instead of `cases`.
void RunFixedSeed(const FuzzTarget& target, std::uint64_t seed, int cases, int hangSeconds = 20);

}  // namespace tw::fuzz
