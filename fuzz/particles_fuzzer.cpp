// The particle model under any settings and screen: headings stay whole
// degrees, flames stay on a screen of positive size, cells stay on the sprite
// sheet's grid, every random draw stays within its documented bounds, and
// drawing a flame anywhere stays within the surfaces.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "core/particles.h"
#include "core/random_source.h"
#include "core/raster.h"
#include "fuzz_check.h"

namespace vorn::fuzz {
namespace {

constexpr std::int32_t kMostFlames = 32;
constexpr int kMostSteps = 24;
constexpr std::int32_t kMostDrawnExtent = 96;  // the surface flames are drawn on

std::string Pair(std::int64_t a, std::int64_t b) {
  return "(" + std::to_string(a) + ", " + std::to_string(b) + ")";
}

// floor(r * n) + low for 0 <= r < 1 and n = high + 1 - low: low..high when
// that is a range, high + 1..low when it is not; then brought into 32 bits.
void CheckDraw(std::int32_t low, std::int32_t high, std::int32_t value) {
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  const std::int64_t from =
      std::clamp(std::min<std::int64_t>(low, std::int64_t{high} + 1), kMin, kMax);
  const std::int64_t to = std::clamp(std::max<std::int64_t>(low, high), kMin, kMax);
  Require(value >= from && value <= to,
          [&] { return "Range" + Pair(low, high) + " gave " + std::to_string(value); });
}

struct Scene {
  std::int32_t screenW;
  std::int32_t screenH;
  std::int32_t speed;
  Particles particles;
};

void CheckParticle(const Scene& scene, const Particle& p) {
  Require(p.Angle >= 0 && p.Angle <= 359, [&] { return "heading " + std::to_string(p.Angle); });
  if (scene.screenW > 0) {
    Require(p.X >= 0 && p.X <= scene.screenW, [&] {
      return "X " + std::to_string(p.X) + " on width " + std::to_string(scene.screenW);
    });
  }
  if (scene.screenH > 0) {
    Require(p.Y >= 0 && p.Y <= scene.screenH, [&] {
      return "Y " + std::to_string(p.Y) + " on height " + std::to_string(scene.screenH);
    });
  }
  Require(p.SrcX >= 0 && p.SrcX < kSheetSize && p.SrcX % kCellWidth == 0,
          [&] { return "cell column " + std::to_string(p.SrcX); });
  Require(p.SrcY >= 0 && p.SrcY < kSheetSize && p.SrcY % kCellHeight == 0,
          [&] { return "cell row " + std::to_string(p.SrcY); });
}

void Run(FuzzedDataProvider& input) {
  Scene scene{input.ConsumeIntegral<std::int32_t>(), input.ConsumeIntegral<std::int32_t>(),
              input.ConsumeIntegral<std::int32_t>(),
              AllocateParticles(input.ConsumeIntegralInRange<std::int32_t>(0, kMostFlames))};
  const int steps = input.ConsumeIntegralInRange(0, kMostSteps);
  RandomSource source(input.ConsumeIntegral<std::uint64_t>());
  const float clock = input.ConsumeFloatingPoint<float>();
  const RandomRangeFn random = [&](std::int32_t low, std::int32_t high) {
    source.Reseed(clock);
    const std::int32_t value = source.Range(low, high);
    CheckDraw(low, high, value);
    return value;
  };
  const Surface sheet(kSheetSize, kSheetSize, 0x00FF8000);
  Surface screen(std::clamp(scene.screenW, 0, kMostDrawnExtent),
                 std::clamp(scene.screenH, 0, kMostDrawnExtent));
  BurstParticles(scene.particles, scene.screenW, scene.screenH, random);
  InitCells(scene.particles, random);
  for (int step = 0; step < steps; ++step) {
    for (Particle& p : scene.particles) {
      StepParticle(p, scene.screenW, scene.screenH, scene.speed, random);
      Blit(screen, p.X, p.Y, kCellWidth, kCellHeight, sheet, p.SrcX, p.SrcY, kRopSrcPaint);
      NextCell(p.SrcX, p.SrcY);
      CheckParticle(scene, p);
    }
  }
  // Draws with the remaining input as bounds of their own.
  while (input.remaining_bytes() >= 2 * sizeof(std::int32_t)) {
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
