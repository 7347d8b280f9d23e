// Reading a fuzz input as a sequence of small fields, writing one, and the
// deterministic generator of the unit layer's inputs: a seeded random source
// and the mutations it applies to real stored forms.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tw::fuzz {

using Bytes = std::vector<std::uint8_t>;

// Reads never past the end: what is missing reads as zero bytes, and a byte
// run is cut to what is left.
class FuzzReader {
 public:
  FuzzReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  [[nodiscard]] bool Empty() const { return pos_ >= size_; }
  [[nodiscard]] std::size_t Left() const { return size_ - pos_; }
  std::uint8_t Byte() { return Empty() ? 0 : data_[pos_++]; }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Byte() | (Byte() << 8)); }
  std::uint32_t U32() { return U16() | (static_cast<std::uint32_t>(U16()) << 16); }
  std::span<const std::uint8_t> Take(std::size_t count);
  std::span<const std::uint8_t> Rest() { return Take(Left()); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

struct FuzzWriter {
  Bytes out;
  void Byte(std::uint8_t b) { out.push_back(b); }
  void U16(std::uint16_t v) {
    Byte(static_cast<std::uint8_t>(v));
    Byte(static_cast<std::uint8_t>(v >> 8));
  }
  void U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v));
    U16(static_cast<std::uint16_t>(v >> 16));
  }
  void Append(std::span<const std::uint8_t> bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }
};

// SplitMix64: small, fast, and the same sequence on every machine.
class FuzzRng {
 public:
  explicit FuzzRng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  // 0 .. n - 1 (0 when n is 0).
  std::uint32_t Below(std::uint32_t n) { return n == 0 ? 0 : static_cast<std::uint32_t>(Next() % n); }
  bool OneIn(std::uint32_t n) { return Below(n) == 0; }
  template <typename T>
  const T& Pick(std::span<const T> items) {
    return items[Below(static_cast<std::uint32_t>(items.size()))];
  }

 private:
  std::uint64_t state_;
};

// A length or count field of a stored form: where it is and how wide (1, 2
// or 4 bytes, little-endian).
struct FieldHint {
  std::size_t offset;
  int width;
};

// Values that lengths and counts are checked against: 0, 1, all bits, the
// sign bit, the largest positive, and sizes around what the data holds.
std::uint32_t ExtremeValue(FuzzRng& rng, int width, std::size_t dataSize, std::size_t offset);

// `rounds` mutations of `data`: bit flips, bytes set to edge values, runs
// erased, inserted or repeated, truncation, and hinted fields set to
// extremes. Hints past the (changing) end are skipped.
void Mutate(FuzzRng& rng, Bytes& data, std::span<const FieldHint> hints, int rounds);

// Text as a registry value's data: UTF-16, little-endian.
Bytes Utf16Data(std::u16string_view text);
Bytes AsciiUtf16Data(std::string_view text);

}  // namespace tw::fuzz
