#include "core/noise.h"

#include <cmath>

namespace vorn {

namespace {

// Quintic fade: zero first and second derivatives at the lattice points.
double Fade(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }

double Lerp(double a, double b, double t) { return a + (b - a) * t; }

double LatticeValue(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  constexpr double kTwoTo32 = 4294967296.0;
  return static_cast<double>(HashLattice(x, y, seed)) / kTwoTo32;
}

std::int32_t wrap(std::int32_t value, int period) {
  const std::int32_t r = value % period;
  return r < 0 ? r + period : r;
}

}  // namespace

std::uint32_t HashLattice(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  // Two rounds of the "lowbias32" integer mixer over the packed coordinates.
  constexpr std::uint32_t kMixA = 0x7FEB352Du;
  constexpr std::uint32_t kMixB = 0x846CA68Bu;
  constexpr std::uint32_t kGoldenRatio = 0x9E3779B9u;
  std::uint32_t h = seed ^ static_cast<std::uint32_t>(x) * kGoldenRatio;
  h ^= static_cast<std::uint32_t>(y) + kMixA + (h << 6) + (h >> 2);
  for (int round = 0; round < 2; ++round) {
    h ^= h >> 16;
    h *= kMixA;
    h ^= h >> 15;
    h *= kMixB;
    h ^= h >> 16;
  }
  return h;
}

double ValueNoise(double x, double y, int periodY, std::uint32_t seed) {
  const double fx = std::floor(x);
  const double fy = std::floor(y);
  const auto x0 = static_cast<std::int32_t>(fx);
  const auto y0 = static_cast<std::int32_t>(fy);
  const std::int32_t ya = wrap(y0, periodY);
  const std::int32_t yb = wrap(y0 + 1, periodY);
  const double tx = Fade(x - fx);
  const double ty = Fade(y - fy);
  const double top = Lerp(LatticeValue(x0, ya, seed), LatticeValue(x0 + 1, ya, seed), tx);
  const double bottom = Lerp(LatticeValue(x0, yb, seed), LatticeValue(x0 + 1, yb, seed), tx);
  return Lerp(top, bottom, ty);
}

double FractalNoise(double x, double y, int periodY, int octaves, std::uint32_t seed) {
  constexpr std::uint32_t kOctaveSeedStep = 0x68E31DA4u;
  double sum = 0.0;
  double weight = 1.0;
  double totalWeight = 0.0;
  double scale = 1.0;
  int period = periodY;
  for (int octave = 0; octave < octaves; ++octave) {
    const std::uint32_t octaveSeed = seed + kOctaveSeedStep * static_cast<std::uint32_t>(octave);
    sum += weight * ValueNoise(x * scale, y * scale, period, octaveSeed);
    totalWeight += weight;
    weight *= 0.5;
    scale *= 2.0;
    period *= 2;
  }
  return sum / totalWeight;
}

}  // namespace vorn
