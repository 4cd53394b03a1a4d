// The saver's one source of randomness.
#pragma once

#include <cstdint>

namespace vorn {

// A pseudo-random generator whose state takes in a clock reading before every
// draw. Mixing does not restart the sequence: many draws that see the same
// reading still differ.
class RandomSource {
 public:
  explicit RandomSource(std::uint64_t seed = 0x5EED'F1A3'E5u) : state_(seed) {}

  // Mixes a clock reading (seconds since midnight) into the state.
  void Reseed(float secondsSinceMidnight);

  // A uniform single-precision value with 0 <= r < 1.
  float NextUnit();

  // floor(r * n) + low with n = high + 1 - low, for a fresh r; uniform over
  // low..high when low <= high, and low when high = low - 1. Computed wide, so
  // no argument pair overflows; the result is brought into the 32-bit range.
  std::int32_t Range(std::int32_t low, std::int32_t high);

 private:
  std::uint64_t NextBits();
  std::uint64_t state_;
};

}  // namespace vorn
