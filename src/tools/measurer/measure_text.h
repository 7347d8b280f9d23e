// The Measurer's figures as text. Lengths are rounded from their exact
// values in 64-bit integers, halves away from zero: printf would round the
// nearest binary value instead (0.25 in would show "0.2", 190.5 mm "190").
#pragma once

#include <cstdint>
#include <string>

#include "core/short_text.h"

namespace tw {

// round(sqrt(t) / d), halves away from zero; d > 0.
std::uint64_t RoundSqrtOver(std::uint64_t t, std::uint64_t d);

// `tenths` as "<whole><separator><tenth>", appended to `out`.
void AppendTenths(ShortText& out, std::uint64_t tenths, const std::string& separator);

// The angle between the line and the horizontal, in degrees: 90 for a
// vertical line, 0 for a single point.
double LineAngle(std::int64_t dx, std::int64_t dy);

// What the rows show for a measurement by (dx, dy) at `dpi` pixels per inch.
struct MeasureTexts {
  ShortText offset, offsetInch, offsetMm, distance, distanceInch, distanceMm, angles;
};
MeasureTexts DescribeMeasurement(std::int64_t dx, std::int64_t dy, int dpi, const std::string& separator);

}  // namespace tw
