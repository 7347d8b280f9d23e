// Registry string data as the registry hands it over: bytes of UTF-16 in
// little-endian order, which other programs may have written carelessly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tw {

// How many UTF-16 code units of `data` are text: those before the first zero
// unit, within the whole units the bytes hold. The data need not end in a
// zero, may end in several, may hold more after the first, and may even have
// an odd byte count (the odd byte is no part of the text).
std::size_t RegistryTextLength(std::span<const std::uint8_t> data);

}  // namespace tw
