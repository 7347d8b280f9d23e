// The limits of the settings that more than one part of the program holds
// them to: the store when it loads them, the Magnifier's clicks and the
// Preferences dialog's controls.
#pragma once

#include <cstdint>

namespace tw {

// What a loaded setting is held to (SanitizeSettings). Scale and InfoScale
// divide; a lens larger than kMaxLensSize would make a gigantic capture
// bitmap and sums that overflow.
inline constexpr std::int32_t kMinLensSize = 1;
inline constexpr std::int32_t kMaxLensSize = 4096;
inline constexpr std::int32_t kMinScale = 1;
inline constexpr std::int32_t kMaxScale = kMaxLensSize;
inline constexpr std::int32_t kMinInfoScale = 1;
inline constexpr std::int32_t kMaxInfoScale = 50;
// A remembered info window position: a window coordinate as the messages
// that carry one hold it (16 bits with sign). Far beyond that, a caption drag
// of the window would overflow.
inline constexpr std::int32_t kMinWindowCoordinate = -32768;
inline constexpr std::int32_t kMaxWindowCoordinate = 32767;

// What the Magnifier's clicks and the Preferences dialog offer: the scale
// from kMinScale to kMaxOfferedScale, the lens in steps of kLensSizeStep
// pixels from kMinOfferedLensSize. A Shift-click grows the lens only while it
// is below kMaxClickLensSize.
inline constexpr std::int32_t kMaxOfferedScale = 10;
inline constexpr std::int32_t kLensSizeStep = 10;
inline constexpr std::int32_t kMinOfferedLensSize = 50;
inline constexpr std::int32_t kMaxClickLensSize = 500;

}  // namespace tw
