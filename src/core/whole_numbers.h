// Rounding on the frame's path without the C library's calls: MinGW's floor
// and nearbyint are calls that take more time than the arithmetic around them,
// a few thousand times a frame. Both give exactly what the library gives.
#pragma once

#include <cmath>

namespace vorn {

// Doubles this large or larger are whole already.
inline constexpr double kWholeFrom = 4503599627370496.0;  // 2^52

// The largest whole number not above x (std::floor).
inline double FloorOf(double x) {
  if (!(std::fabs(x) < kWholeFrom)) return x;  // whole, infinite or not a number
  const auto truncated = static_cast<double>(static_cast<long long>(x));
  if (truncated == x) return x;  // whole, also -0
  return truncated > x ? truncated - 1.0 : truncated;
}

// x to the nearest whole number, ties to even (std::nearbyint in the default
// rounding mode): adding 2^52 leaves no bits for a fraction, and the sum is
// rounded the same way.
inline double NearestEven(double x) {
  if (!(std::fabs(x) < kWholeFrom)) return x;
  return std::copysign(std::fabs(x) + kWholeFrom - kWholeFrom, x);
}

}  // namespace vorn
