#include "palette.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vorn::art {

namespace {

struct Stop {
  double heat;
  double r, g, b;
};

// Each stop keeps r >= g >= b, and a blend of two such colours keeps it too.
constexpr std::array<Stop, 8> kStops = {{
    {0.00, 0, 0, 0},
    {0.10, 70, 6, 0},
    {0.28, 170, 28, 2},
    {0.45, 235, 80, 6},
    {0.62, 255, 140, 20},
    {0.78, 255, 200, 50},
    {0.90, 255, 236, 130},
    {1.00, 255, 252, 215},
}};

std::uint8_t ToByte(double value) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 255.0)));
}

}  // namespace

Rgb FirePalette(double heat) {
  const double h = std::clamp(heat, 0.0, 1.0);
  std::size_t upper = 1;
  while (upper + 1 < kStops.size() && kStops[upper].heat < h) {
    ++upper;
  }
  const Stop& a = kStops[upper - 1];
  const Stop& b = kStops[upper];
  const double t = (h - a.heat) / (b.heat - a.heat);
  return Rgb{ToByte(a.r + (b.r - a.r) * t), ToByte(a.g + (b.g - a.g) * t),
             ToByte(a.b + (b.b - a.b) * t)};
}

}  // namespace vorn::art
