#include "platform/registry_data.h"

namespace tw {

std::size_t RegistryTextLength(std::span<const std::uint8_t> data) {
  const std::size_t units = data.size() / 2;
  for (std::size_t i = 0; i < units; ++i)
    if (data[2 * i] == 0 && data[2 * i + 1] == 0) return i;
  return units;
}

}  // namespace tw
