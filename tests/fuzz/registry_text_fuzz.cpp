// One registry value's raw data: the text the port takes from it
// (RegistryTextLength) and the integer the store reads from that text
// (ParseRegistryInteger), each held to a reading written apart from it.
//
// Input: the value's data, any bytes.
#include <array>
#include <limits>

#include "app/settings_store.h"
#include "fakes/fake_registry.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"
#include "platform/registry_data.h"

namespace tw::fuzz {

std::optional<std::int32_t> ReferenceInteger(std::string_view text) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
  if (i == text.size()) return std::nullopt;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > std::int64_t{1} << 31) return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

namespace {

bool ZeroUnit(std::span<const std::uint8_t> data, std::size_t unit) {
  return data[2 * unit] == 0 && data[2 * unit + 1] == 0;
}

int RunRegistryText(const std::uint8_t* bytes, std::size_t size) {
  const std::span<const std::uint8_t> data(bytes, size);
  const std::size_t units = RegistryTextLength(data);
  TW_FUZZ_CHECK(units <= size / 2);
  // No zero inside the text, and the text stops only at a zero or the end.
  for (std::size_t i = 0; i < units; ++i) TW_FUZZ_CHECK(!ZeroUnit(data, i));
  TW_FUZZ_CHECK(units == size / 2 || ZeroUnit(data, units));
  // The odd byte of an odd count is never read: the same answer without it.
  if (size % 2 == 1) TW_FUZZ_CHECK(RegistryTextLength(data.first(size - 1)) == units);

  // The store reads an integer from any text, whatever bytes it holds: as
  // the port hands it over, and as the raw bytes themselves.
  const std::string text = fakes::RegistryDataText(data);
  TW_FUZZ_CHECK(text.find('\0') == std::string::npos);
  for (const std::string_view candidate :
       {std::string_view(text), std::string_view(reinterpret_cast<const char*>(bytes), size)}) {
    const std::optional<std::int32_t> value = ParseRegistryInteger(candidate);
    TW_FUZZ_CHECK(value == ReferenceInteger(candidate));
  }
  return 0;
}

// Texts the options hold, and the edges of what reads as an integer.
constexpr std::array<std::string_view, 18> kSeedTexts{
    "0",  "1",          "2",           "10",          "50",          "96",  "100", "49220", "-1610",
    "+7", "2147483647", "2147483648",  "-2147483648", "-2147483649", "+-7", "",    " 5",   "0x10"};

std::vector<Bytes> RegistryTextSeeds() {
  std::vector<Bytes> seeds;
  for (const std::string_view text : kSeedTexts) {
    Bytes data = AsciiUtf16Data(text);
    data.insert(data.end(), {0, 0});
    seeds.push_back(data);
  }
  seeds.push_back(AsciiUtf16Data("42"));        // unterminated
  seeds.push_back({'7', 0, '8'});               // an odd byte count
  seeds.push_back({'1', 0, 0, 0, '2', 0, 0, 0});  // more after the first zero
  return seeds;
}

void GenerateRegistryText(FuzzRng& rng, const std::vector<Bytes>& seeds, Bytes& data) {
  data = seeds[rng.Below(static_cast<std::uint32_t>(seeds.size()))];
  if (rng.OneIn(4)) {
    // A surrogate, a digit of another script or a zero among the digits.
    static constexpr std::array<char16_t, 9> kUnits{0xD800, 0xDBFF, 0xDC00, 0xDFFF, u'\u0663',
                                                    u'\uFF15', 0,      u'-',   u'+'};
    const Bytes unit = Utf16Data(std::u16string(1, kUnits[rng.Below(kUnits.size())]));
    const std::size_t at = 2 * rng.Below(static_cast<std::uint32_t>(data.size() / 2 + 1));
    data.insert(data.begin() + static_cast<std::ptrdiff_t>(at), unit.begin(), unit.end());
  }
  if (rng.OneIn(16)) {
    const Bytes digits = AsciiUtf16Data(std::string(1 + rng.Below(40), static_cast<char>('0' + rng.Below(10))));
    data.insert(data.begin(), digits.begin(), digits.end());
  }
  Mutate(rng, data, {}, 1 + static_cast<int>(rng.Below(3)));
}

}  // namespace

int FuzzRegistryText(const std::uint8_t* data, std::size_t size) { return RunRegistryText(data, size); }

const FuzzTarget& RegistryTextTarget() {
  static const FuzzTarget target{"registry_text", FuzzRegistryText, RegistryTextSeeds, GenerateRegistryText};
  return target;
}

}  // namespace tw::fuzz
