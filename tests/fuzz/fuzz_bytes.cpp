#include "fuzz/fuzz_bytes.h"

#include <algorithm>
#include <array>

namespace tw::fuzz {

std::span<const std::uint8_t> FuzzReader::Take(std::size_t count) {
  const std::size_t n = std::min(count, Left());
  const std::span<const std::uint8_t> bytes(data_ + pos_, n);
  pos_ += n;
  return bytes;
}

std::uint64_t FuzzRng::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::uint32_t ExtremeValue(FuzzRng& rng, int width, std::size_t dataSize, std::size_t offset) {
  const std::uint32_t all = width >= 4 ? 0xFFFFFFFFu : (1u << (8 * width)) - 1;
  const std::uint32_t sign = width >= 4 ? 0x80000000u : 1u << (8 * width - 1);
  const auto left = static_cast<std::uint32_t>(dataSize > offset ? dataSize - offset : 0);
  const std::array<std::uint32_t, 12> values{0,        1,        2,         all,       all - 1,      sign,
                                             sign - 1, sign + 1, left - 4u, left - 3u, left,         left + 1u};
  std::uint32_t v = rng.OneIn(8) ? static_cast<std::uint32_t>(rng.Next()) : values[rng.Below(values.size())];
  return v & all;
}

void Mutate(FuzzRng& rng, Bytes& data, std::span<const FieldHint> hints, int rounds) {
  static constexpr std::array<std::uint8_t, 8> kEdgeBytes{0x00, 0x01, 0x7F, 0x80, 0xFF, 0xFE, '"', '0'};
  for (int round = 0; round < rounds; ++round) {
    const auto size = static_cast<std::uint32_t>(data.size());
    switch (rng.Below(9)) {
      case 0:  // a bit flip
        if (size > 0) data[rng.Below(size)] ^= static_cast<std::uint8_t>(1u << rng.Below(8));
        break;
      case 1:  // a byte at an edge value
        if (size > 0) data[rng.Below(size)] = kEdgeBytes[rng.Below(kEdgeBytes.size())];
        break;
      case 2:  // a random byte
        if (size > 0) data[rng.Below(size)] = static_cast<std::uint8_t>(rng.Next());
        break;
      case 3:  // cut short
        data.resize(rng.Below(size + 1));
        break;
      case 4: {  // a run erased
        if (size == 0) break;
        const std::uint32_t at = rng.Below(size);
        const std::uint32_t n = 1 + rng.Below(std::min<std::uint32_t>(size - at, 64));
        data.erase(data.begin() + at, data.begin() + at + n);
        break;
      }
      case 5: {  // random bytes inserted
        const std::uint32_t at = rng.Below(size + 1);
        const std::uint32_t n = 1 + rng.Below(16);
        Bytes run(n);
        for (auto& b : run) b = static_cast<std::uint8_t>(rng.Next());
        data.insert(data.begin() + at, run.begin(), run.end());
        break;
      }
      case 6: {  // a run repeated somewhere else
        if (size == 0) break;
        const std::uint32_t from = rng.Below(size);
        const std::uint32_t n = 1 + rng.Below(std::min<std::uint32_t>(size - from, 256));
        const Bytes run(data.begin() + from, data.begin() + from + n);
        const std::uint32_t at = rng.Below(size + 1);
        data.insert(data.begin() + at, run.begin(), run.end());
        break;
      }
      default: {  // a length or count field at an extreme
        if (hints.empty()) break;
        const FieldHint& hint = hints[rng.Below(static_cast<std::uint32_t>(hints.size()))];
        if (hint.offset + static_cast<std::size_t>(hint.width) > data.size()) break;
        const std::uint32_t v = ExtremeValue(rng, hint.width, data.size(), hint.offset + hint.width);
        for (int i = 0; i < hint.width; ++i) data[hint.offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
        break;
      }
    }
  }
}

Bytes Utf16Data(std::u16string_view text) {
  Bytes out;
  out.reserve(text.size() * 2);
  for (const char16_t u : text) {
    out.push_back(static_cast<std::uint8_t>(u));
    out.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  return out;
}

Bytes AsciiUtf16Data(std::string_view text) {
  Bytes out;
  out.reserve(text.size() * 2);
  for (const char c : text) {
    out.push_back(static_cast<std::uint8_t>(c));
    out.push_back(0);
  }
  return out;
}

}  // namespace tw::fuzz
