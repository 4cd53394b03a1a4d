// Particles under any settings and screen: draws, headings, places and cells within bounds.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

#include "core/particles.h"
#include "core/random_source.h"
#include "fuzz_check.h"

namespace vorn::fuzz {

void Check(std::string_view data) {
  FuzzedDataProvider input(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
  const auto screenW = input.ConsumeIntegral<std::int32_t>();
  const auto screenH = input.ConsumeIntegral<std::int32_t>();
  const auto speed = input.ConsumeIntegral<std::int32_t>();
  Particles particles = AllocateParticles(input.ConsumeIntegralInRange<std::int32_t>(0, 32));
  const int steps = input.ConsumeIntegralInRange(0, 24);
  RandomSource source(input.ConsumeIntegral<std::uint64_t>());
  const float clock = input.ConsumeFloatingPoint<float>();
  const RandomRangeFn random = [&](std::int32_t low, std::int32_t high) {
    source.Reseed(clock);
    const std::int32_t value = source.Range(low, high);
    // floor(r * n) + low, 0 <= r < 1, n = high + 1 - low: low..high, or high + 1..low; in 32 bits
    const std::int64_t from = std::min<std::int64_t>(low, high + 1LL), to = std::max(low, high);
    Require(value >= std::max<std::int64_t>(from, INT32_MIN) && value <= to,
            "a draw beyond bounds");
    return value;
  };
  BurstParticles(particles, screenW, screenH, random);
  InitCells(particles, random);
  for (int step = 0; step < steps; ++step) {
    for (Particle& p : particles) {
      StepParticle(p, screenW, screenH, speed, random);
      NextCell(p.SrcX, p.SrcY);
      Require(p.Angle >= 0 && p.Angle <= 359, "a heading beyond 0..359");
      Require(screenW <= 0 || (p.X >= 0 && p.X <= screenW), "X off the screen");
      Require(screenH <= 0 || (p.Y >= 0 && p.Y <= screenH), "Y off the screen");
      Require(p.SrcX >= 0 && p.SrcX <= 224 && p.SrcY >= 0 && p.SrcY <= 192 &&
                  p.SrcX % 32 + p.SrcY % 64 == 0,
              "a cell off the sheet's grid of 32 x 64 cells");
    }
  }
  while (input.remaining_bytes() >= 2 * sizeof(std::int32_t)) {  // draws of bounds of their own
    const auto low = input.ConsumeIntegral<std::int32_t>();
    random(low, input.ConsumeIntegral<std::int32_t>());
  }
}

}  // namespace vorn::fuzz
