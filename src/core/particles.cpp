#include "core/particles.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <new>
#include <stdexcept>

#include "core/whole_numbers.h"

namespace vorn {
namespace {

constexpr std::int32_t kFullTurn = 360;
constexpr std::int32_t kMinTurn = 5;
constexpr std::int32_t kMaxTurn = 10;

// Applies the wrap rule to a coordinate computed wide, so that a step of any
// size lands on the screen again.
std::int32_t Wrap(std::int64_t position, std::int32_t extent) {
  if (position < 0) position = extent;
  if (position > extent) position = 0;
  return static_cast<std::int32_t>(position);
}

// The cosine and sine of each whole angle of a turn, as the library gives them.
struct Direction {
  double cos, sin;
};
Direction DirectionOf(std::int32_t degrees) {
  static const auto table = [] {
    std::array<Direction, kFullTurn> all{};
    for (std::int32_t a = 0; a < kFullTurn; ++a) {
      const double radians = a * kDegreesToRadians;
      all[std::size_t(a)] = {std::cos(radians), std::sin(radians)};
    }
    return all;
  }();
  if (degrees >= 0 && degrees < kFullTurn) return table[std::size_t(degrees)];
  const double radians = degrees * kDegreesToRadians;
  return {std::cos(radians), std::sin(radians)};
}

std::int64_t FloorStep(double component, std::int32_t stepLength) {
  return static_cast<std::int64_t>(FloorOf(component * static_cast<double>(stepLength)));
}

}  // namespace

Particles AllocateParticles(std::int32_t num) {
  if (num < 1 || num > kMaxParticles) return {};
  try {
    return Particles(static_cast<std::size_t>(num));
  } catch (const std::bad_alloc&) {
    return {};
  } catch (const std::length_error&) {
    return {};
  }
}

std::int32_t HalfExtent(std::int32_t extent) {
  return static_cast<std::int32_t>(NearestEven(static_cast<double>(extent) / 2.0));
}

namespace {

// `length` times `numerator` / `denominator`, to the nearest whole number (ties
// to even), within the 32-bit range.
std::int32_t Rescale(std::int32_t length, std::int32_t numerator, std::int32_t denominator) {
  if (numerator == denominator) return length;  // 100 %
  const double scaled = NearestEven(static_cast<double>(length) * numerator / denominator);
  return static_cast<std::int32_t>(std::clamp<double>(scaled, INT32_MIN, INT32_MAX));
}

}  // namespace

std::int32_t ToPhysical(std::int32_t logical, std::int32_t dpi) {
  return Rescale(logical, dpi, kBaseDpi);
}

std::int32_t ToLogical(std::int32_t physical, std::int32_t dpi) {
  return Rescale(physical, kBaseDpi, dpi);
}

CellSize ScaledCell(std::int32_t dpi) {
  return {ToPhysical(kCellWidth, dpi), ToPhysical(kCellHeight, dpi)};
}

void BurstParticles(Particles& particles, std::int32_t screenW, std::int32_t screenH,
                    const RandomRangeFn& randomRange) {
  for (Particle& p : particles) {
    p.Angle = randomRange(0, kFullTurn - 1);
    p.X = HalfExtent(screenW);
    p.Y = HalfExtent(screenH);
  }
}

void InitCells(Particles& particles, const RandomRangeFn& randomRange) {
  for (Particle& p : particles) {
    const std::int32_t column = randomRange(0, kSheetColumns - 1);
    const std::int32_t row = randomRange(0, kSheetRows - 1);
    p.SrcX = kCellWidth * column;
    p.SrcY = kCellHeight * row;
  }
}

void StepParticle(Particle& p, std::int32_t screenW, std::int32_t screenH, std::int32_t speed,
                  const RandomRangeFn& randomRange) {
  const std::int32_t direction = randomRange(1, 2);
  const std::int32_t turn = randomRange(kMinTurn, kMaxTurn);
  p.Angle += direction == 1 ? turn : -turn;
  if (p.Angle < 0) p.Angle += kFullTurn;
  if (p.Angle > kFullTurn - 1) p.Angle -= kFullTurn;

  const std::int32_t stepLength = randomRange(1, speed);
  const Direction heading = DirectionOf(p.Angle);
  p.X = Wrap(std::int64_t{p.X} + FloorStep(heading.cos, stepLength), screenW);
  p.Y = Wrap(std::int64_t{p.Y} + FloorStep(heading.sin, stepLength), screenH);
}

void NextCell(std::int32_t& srcX, std::int32_t& srcY) {
  srcX += kCellWidth;
  if (srcX >= kSheetSize) {
    srcY += kCellHeight;
    if (srcY >= kSheetSize) srcY = 0;
    srcX = 0;
  }
}

}  // namespace vorn
