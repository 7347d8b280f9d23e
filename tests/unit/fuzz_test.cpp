// The fuzz targets in the unit layer: a fixed-seed run of 100,000 cases per
// target under the sanitizers, and the runner's own promises (the same
// inputs every time, inputs that get past the first checks, a failure and a
// hang that name their case).
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_runner.h"

namespace tw::fuzz {
namespace {

TEST(FuzzRegistrySettings, FixedSeedCasesKeepEverySettingUsable) {
  RunFixedSeed(RegistrySettingsTarget(), kUnitSeed, kUnitCases);
}

TEST(FuzzRegistryText, FixedSeedCasesReadTextAndIntegersSafely) {
  RunFixedSeed(RegistryTextTarget(), kUnitSeed, kUnitCases);
}

TEST(FuzzIconList, FixedSeedCasesLoadWholeListsOrLeaveTheListAlone) {
  RunFixedSeed(IconListTarget(), kUnitSeed, kUnitCases);
}

TEST(FuzzCommandLine, FixedSeedCasesDecideTheWelcomeByTheFirstArgument) {
  RunFixedSeed(CommandLineTarget(), kUnitSeed, kUnitCases);
}

TEST(FuzzGdiplusLibrary, FixedSeedCasesChooseOnlyAFileThatExists) {
  RunFixedSeed(GdiplusLibraryTarget(), kUnitSeed, kUnitCases);
}

TEST(FuzzGenerators, MakeTheSameInputsForTheSameCaseAndManyDifferentOnes) {
  for (const FuzzTarget* target : AllFuzzTargets()) {
    SCOPED_TRACE(target->name);
    const std::vector<Bytes> seeds = target->seeds();
    ASSERT_FALSE(seeds.empty());
    // Strings: GCC 12 at -O3 warns falsely (-Wstringop-overread) in <=> of two byte vectors.
    std::set<std::string> distinct;
    for (int index = 0; index < 400; ++index) {
      const Bytes input = CaseInput(*target, seeds, kUnitSeed, index);
      ASSERT_EQ(input, CaseInput(*target, seeds, kUnitSeed, index)) << index;
      if (static_cast<std::size_t>(index) < seeds.size()) EXPECT_EQ(input, seeds[static_cast<std::size_t>(index)]);
      distinct.emplace(input.begin(), input.end());
    }
    EXPECT_GT(distinct.size(), 300u);
    EXPECT_NE(CaseInput(*target, seeds, kUnitSeed, 1000), CaseInput(*target, seeds, kUnitSeed + 1, 1000));
  }
}

// Uniform random bytes would almost never get past the first length check;
// the generators make inputs that often load whole and often fail late.
TEST(FuzzGenerators, ReachBothWholeLoadsAndRejections) {
  struct Reach {
    const FuzzTarget& target;
    FuzzOutcome (*outcome)(const std::uint8_t*, std::size_t);
    double minAccepted, minRejected;
  };
  for (const Reach& r : {Reach{RegistrySettingsTarget(), RegistrySettingsOutcome, 0.4, 0.1},
                         Reach{IconListTarget(), IconListOutcome, 0.2, 0.2}}) {
    SCOPED_TRACE(r.target.name);
    const std::vector<Bytes> seeds = r.target.seeds();
    constexpr int kCases = 2000;
    int accepted = 0;
    for (int index = 0; index < kCases; ++index) {
      const Bytes input = CaseInput(r.target, seeds, kUnitSeed, index);
      if (r.outcome(input.data(), input.size()) == FuzzOutcome::Accepted) ++accepted;
    }
    EXPECT_GE(accepted, r.minAccepted * kCases);
    EXPECT_GE(kCases - accepted, r.minRejected * kCases);
  }
}

int FailOnMarker(const std::uint8_t* data, std::size_t size) {
  TW_FUZZ_CHECK(size == 0 || data[0] != 0xAB);
  return 0;
}

int HangOnMarker(const std::uint8_t* data, std::size_t size) {
  while (size > 0 && data[0] == 0xCD) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  return 0;
}

std::vector<Bytes> MarkerSeeds() { return {{1}, {2}, {3}, {0xAB}, {0xCD}}; }
void NoMarker(FuzzRng& rng, const std::vector<Bytes>&, Bytes& input) {
  input.assign(1, static_cast<std::uint8_t>(rng.Below(100)));
}

TEST(FuzzRunnerDeathTest, AFailedCheckNamesTheTargetTheSeedAndTheCase) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const FuzzTarget failing{"marker", FailOnMarker, MarkerSeeds, NoMarker};
  EXPECT_DEATH(RunFixedSeed(failing, 0x1234, 10),
               "fuzz invariant does not hold: size == 0 \\|\\| data\\[0\\] != 0xAB\n"
               "fuzz marker: case 3 of seed 0x0000000000001234 failed; run it alone with TARNWICK_FUZZ_CASE=3\n"
               "input \\(1 bytes\\):\n  ab");
}

TEST(FuzzRunnerDeathTest, ACaseThatHangsIsStoppedAndNamed) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const FuzzTarget hanging{"marker", HangOnMarker, MarkerSeeds, NoMarker};
  EXPECT_DEATH(RunFixedSeed(hanging, 0x1234, 10, 1), "a hang\\)\nfuzz marker: case 4 of seed");
}

}  // namespace
}  // namespace tw::fuzz
