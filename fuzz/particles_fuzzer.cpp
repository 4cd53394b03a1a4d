// The particle model under any settings and screen: draws within their bounds, headings within
// 0..359, flames on a screen of positive size, cells on the grid, blits within the surfaces.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>

#include "core/particles.h"
#include "core/random_source.h"
#include "core/raster.h"
#include "fuzz_check.h"

namespace vorn::fuzz {
namespace {

void Run(FuzzedDataProvider& input) {
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
    // floor(r * n) + low with 0 <= r < 1, n = high + 1 - low: low..high, or high + 1..low when
    // that is no range; then brought into 32 bits.
    const std::int64_t from = std::min<std::int64_t>(low, high + 1LL), to = std::max(low, high);
    Require(value >= std::max<std::int64_t>(from, INT32_MIN) && value <= to,
            "a draw beyond bounds");
    return value;
  };
  const Surface sheet(kSheetSize, kSheetSize, 0x00FF8000);
  Surface screen(std::clamp(screenW, 0, 96), std::clamp(screenH, 0, 96));
  BurstParticles(particles, screenW, screenH, random);
  InitCells(particles, random);
  for (int step = 0; step < steps; ++step) {
    for (Particle& p : particles) {
      StepParticle(p, screenW, screenH, speed, random);
      Blit(screen, p.X, p.Y, kCellWidth, kCellHeight, sheet, p.SrcX, p.SrcY, kRopSrcPaint);
      NextCell(p.SrcX, p.SrcY);
      Require(p.Angle >= 0 && p.Angle <= 359, "a heading beyond 0..359");
      Require(screenW <= 0 || (p.X >= 0 && p.X <= screenW), "X off the screen");
      Require(screenH <= 0 || (p.Y >= 0 && p.Y <= screenH), "Y off the screen");
      Require(p.SrcX >= 0 && p.SrcX <= 224 && p.SrcX % 32 == 0 && p.SrcY >= 0 && p.SrcY <= 192 &&
                  p.SrcY % 64 == 0,
              "a cell off the sheet's grid of 8 x 4 cells of 32 x 64");
    }
  }
  while (input.remaining_bytes() >= 2 * sizeof(std::int32_t)) {  // draws of bounds of their own
    const auto low = input.ConsumeIntegral<std::int32_t>();
    random(low, input.ConsumeIntegral<std::int32_t>());
  }
}

}  // namespace
}  // namespace vorn::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  vorn::fuzz::Run(input);
  return 0;
}
