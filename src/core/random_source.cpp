#include "core/random_source.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "core/whole_numbers.h"

namespace vorn {
namespace {

// SplitMix64's finaliser: a bijection with good avalanche, so mixing in the same
// clock reading twice still leads to different states.
std::uint64_t Mix(std::uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

constexpr std::uint64_t kGoldenGamma = 0x9E3779B97F4A7C15u;
constexpr int kFloatMantissaBits = 24;

}  // namespace

void RandomSource::Reseed(float secondsSinceMidnight) {
  state_ ^= std::bit_cast<std::uint32_t>(secondsSinceMidnight);
}

std::uint64_t RandomSource::NextBits() {
  state_ += kGoldenGamma;
  return Mix(state_);
}

float RandomSource::NextUnit() {
  const auto bits = static_cast<std::uint32_t>(NextBits() >> (64 - kFloatMantissaBits));
  return static_cast<float>(bits) / static_cast<float>(1u << kFloatMantissaBits);
}

std::int32_t RandomSource::Range(std::int32_t low, std::int32_t high) {
  const double r = NextUnit();
  const std::int64_t n = std::int64_t{high} + 1 - low;
  const double value = FloorOf(r * static_cast<double>(n)) + low;
  const double clamped = std::clamp(value, double{std::numeric_limits<std::int32_t>::min()},
                                    double{std::numeric_limits<std::int32_t>::max()});
  return static_cast<std::int32_t>(clamped);
}

}  // namespace vorn
