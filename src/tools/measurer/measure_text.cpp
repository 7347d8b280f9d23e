#include "tools/measurer/measure_text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tw {

namespace {

std::uint64_t ISqrt(std::uint64_t t) {
  auto r = static_cast<std::uint64_t>(std::sqrt(static_cast<long double>(t)));
  while (r > 0 && r * r > t) --r;
  while ((r + 1) * (r + 1) <= t) ++r;
  return r;
}

// Angles to one decimal, halves away from zero.
void AppendAngle(ShortText& out, double degrees, const std::string& separator) {
  const auto tenths = static_cast<std::uint64_t>(std::floor(static_cast<long double>(degrees) * 10 + 0.5L));
  AppendTenths(out, tenths, separator);
}

}  // namespace

std::uint64_t RoundSqrtOver(std::uint64_t t, std::uint64_t d) {
  // k = floor(sqrt(t) / d); one more when sqrt(t) / d >= k + 1/2, that is
  // when 4t >= d^2 (2k + 1)^2, all in integers.
  const std::uint64_t k = ISqrt(t) / d;
  const std::uint64_t odd = 2 * k + 1;
  return 4 * t >= d * d * odd * odd ? k + 1 : k;
}

void AppendTenths(ShortText& out, std::uint64_t tenths, const std::string& separator) {
  out << tenths / 10 << separator << tenths % 10;
}

double LineAngle(std::int64_t dx, std::int64_t dy) {
  const long double ax = static_cast<long double>(dx < 0 ? -dx : dx);
  const long double ay = static_cast<long double>(dy < 0 ? -dy : dy);
  if (ax == 0) return ay == 0 ? 0.0 : 90.0;
  return static_cast<double>(std::atan(ay / ax) * 180 / std::numbers::pi_v<long double>);
}

MeasureTexts DescribeMeasurement(std::int64_t dx, std::int64_t dy, int dpi, const std::string& separator) {
  // The pointer stays on the virtual desktop, far inside this bound; it
  // keeps every product below 2^64.
  constexpr std::uint64_t kLimit = 1u << 20;
  const std::uint64_t ax = std::min<std::uint64_t>(static_cast<std::uint64_t>(dx < 0 ? -dx : dx), kLimit);
  const std::uint64_t ay = std::min<std::uint64_t>(static_cast<std::uint64_t>(dy < 0 ? -dy : dy), kLimit);
  const std::uint64_t d = static_cast<std::uint64_t>(std::max(dpi, 1));
  const std::uint64_t squares = ax * ax + ay * ay;
  // inch = px / dpi; mm = px * 25.4 / dpi = px * 254 / (10 dpi).
  const auto inchTenths = [&](std::uint64_t px) { return RoundSqrtOver(100 * px * px, d); };
  const auto mm = [&](std::uint64_t px) { return RoundSqrtOver(254 * 254 * px * px, 10 * d); };
  const double a = LineAngle(dx, dy);
  MeasureTexts t;
  t.offset << "x: " << ax << "\t y: " << ay;
  t.offsetInch << "x: ";
  AppendTenths(t.offsetInch, inchTenths(ax), separator);
  t.offsetInch << " \t y: ";
  AppendTenths(t.offsetInch, inchTenths(ay), separator);
  t.offsetMm << "x: " << mm(ax) << " \t y: " << mm(ay);
  AppendTenths(t.distance, RoundSqrtOver(100 * squares, 1), separator);
  AppendTenths(t.distanceInch, RoundSqrtOver(100 * squares, d), separator);
  t.distanceMm << RoundSqrtOver(254 * 254 * squares, 10 * d);
  t.angles << "x: ";
  AppendAngle(t.angles, a, separator);
  t.angles << " \t y: ";
  AppendAngle(t.angles, 90 - a, separator);
  return t;
}

}  // namespace tw
