// A short text built in place, with no heap: the info window's rows are
// rewritten at every mouse move. Whatever does not fit is cut off.
#pragma once

#include <array>
#include <charconv>
#include <cstdint>
#include <string_view>

namespace tw {

class ShortText {
 public:
  ShortText() = default;
  explicit ShortText(std::string_view s) { *this << s; }

  ShortText& operator<<(std::string_view s) {
    for (char c : s) {
      if (size_ == buffer_.size()) break;
      buffer_[size_++] = c;
    }
    return *this;
  }
  ShortText& operator<<(std::int64_t v) {
    std::array<char, 24> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), v);
    return *this << std::string_view(digits.data(), static_cast<std::size_t>(result.ptr - digits.data()));
  }
  ShortText& operator<<(std::uint64_t v) {
    std::array<char, 24> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), v);
    return *this << std::string_view(digits.data(), static_cast<std::size_t>(result.ptr - digits.data()));
  }
  ShortText& operator<<(int v) { return *this << static_cast<std::int64_t>(v); }

  [[nodiscard]] std::string_view view() const { return {buffer_.data(), size_}; }
  operator std::string_view() const { return view(); }  // NOLINT: a text is what it is used as
  friend bool operator==(const ShortText& a, std::string_view b) { return a.view() == b; }
  // Into any output stream (test messages), without pulling <ostream> in here.
  template <typename Stream>
  friend auto operator<<(Stream& out, const ShortText& t) -> decltype(out << std::string_view{}) {
    return out << t.view();
  }

 private:
  std::array<char, 64> buffer_{};
  std::size_t size_ = 0;
};

}  // namespace tw
