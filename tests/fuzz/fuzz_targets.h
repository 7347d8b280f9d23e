// The fuzz targets: one per input the program reads from outside. Each is a
// plain function over bytes that checks its invariants itself
// (TW_FUZZ_CHECK) and returns 0; libFuzzer calls it from
// tests/fuzz/libfuzzer, the unit layer from tests/unit/fuzz_test.cpp with
// inputs made by the target's own generator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_bytes.h"

namespace tw::fuzz {

// The registry's option values (any type, any bytes, missing, unreadable)
// loaded into the settings record, and the first-start record beside them.
int FuzzRegistrySettings(const std::uint8_t* data, std::size_t size);
// One value's raw data: the text the port takes from it, and the integer
// the store reads from that text.
int FuzzRegistryText(const std::uint8_t* data, std::size_t size);
// The icon list's stored form and the .ico files inside it.
int FuzzIconList(const std::uint8_t* data, std::size_t size);
// The command line's arguments at the start-up timer.
int FuzzCommandLine(const std::uint8_t* data, std::size_t size);
// The word processor's registered command and the GDI+ file chosen from it.
int FuzzGdiplusLibrary(const std::uint8_t* data, std::size_t size);

struct FuzzTarget {
  const char* name;
  int (*run)(const std::uint8_t* data, std::size_t size);
  // Real forms of the input, in the target's encoding: libFuzzer's seed
  // corpus, and what the generator starts from.
  std::vector<Bytes> (*seeds)();
  // One input made from the seeds into `input` (whose room it reuses), the
  // same for the same random state.
  void (*generate)(FuzzRng& rng, const std::vector<Bytes>& seeds, Bytes& input);
};

const FuzzTarget& RegistrySettingsTarget();
const FuzzTarget& RegistryTextTarget();
const FuzzTarget& IconListTarget();
const FuzzTarget& CommandLineTarget();
const FuzzTarget& GdiplusLibraryTarget();
std::vector<const FuzzTarget*> AllFuzzTargets();

// What one input did, for the checks that the generators reach past the
// first length check.
enum class FuzzOutcome { Accepted, Rejected };
FuzzOutcome RegistrySettingsOutcome(const std::uint8_t* data, std::size_t size);
FuzzOutcome IconListOutcome(const std::uint8_t* data, std::size_t size);

// The reference reading of a stored integer, written apart from the store:
// an optional sign, then decimal digits, within 32 bits.
std::optional<std::int32_t> ReferenceInteger(std::string_view text);

}  // namespace tw::fuzz
