#pragma once

#include <cstdint>

#include "core/pixmap.h"

namespace tw {

// Raises the contrast of every pixel in place around the pivot 128: mode 1
// by 1.5, mode 2 by 2; any other mode changes nothing.
void ApplyHighContrast(Pixmap& bitmap, std::uint8_t mode);

// One channel value through the contrast filter.
std::uint8_t HighContrastChannel(std::uint8_t c, std::uint8_t mode);

}  // namespace tw
