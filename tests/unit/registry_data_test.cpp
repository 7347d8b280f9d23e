#include "platform/registry_data.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tw {
namespace {

struct TextLengthCase {
  const char* name;
  std::vector<std::uint8_t> data;
  std::size_t units;
};

TEST(RegistryTextLength, CountsTheUnitsBeforeTheFirstZeroWithinTheWholeUnits) {
  const std::vector<TextLengthCase> cases{
      {"empty", {}, 0},
      {"one odd byte", {'7'}, 0},
      {"terminated", {'4', 0, '2', 0, 0, 0}, 2},
      {"unterminated", {'4', 0, '2', 0}, 2},
      {"odd byte after the text", {'4', 0, '2', 0, '9'}, 2},
      {"several zeros", {'5', 0, 0, 0, 0, 0, 0, 0}, 1},
      {"more after the first zero", {'1', 0, 0, 0, '2', 0}, 1},
      {"zero first", {0, 0, '3', 0}, 0},
      // A zero byte is half of a unit, not a terminator: U+0100 and U+3100.
      {"zero low byte", {0, 1, 0, 0x31}, 2},
      {"zero high byte", {'8', 0, 0x41, 0}, 2},
      // The odd byte is never paired with a zero beyond the data.
      {"odd zero byte", {'1', 0, 0}, 1},
  };
  for (const auto& c : cases) EXPECT_EQ(RegistryTextLength(c.data), c.units) << c.name;
}

}  // namespace
}  // namespace tw
