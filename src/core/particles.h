// The particle model of the flame swarm.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace vorn {

// Sprite sheet geometry: 8 columns x 4 rows of 32 x 64 pixel cells, played in
// reading order.
inline constexpr std::int32_t kSheetSize = 256;
inline constexpr std::int32_t kCellWidth = 32;
inline constexpr std::int32_t kCellHeight = 64;
inline constexpr std::int32_t kSheetColumns = kSheetSize / kCellWidth;
inline constexpr std::int32_t kSheetRows = kSheetSize / kCellHeight;

// Scaling. A display of `dpi` dots per inch is kBaseDpi / dpi of a 96-dpi one:
// its flames move in logical pixels (1/96 inch) and are drawn in its own.
inline constexpr std::int32_t kBaseDpi = 96;
// The scales a sprite sheet is made for: 50 % to 500 %, the most Windows offers.
inline constexpr std::int32_t kMinDpi = kBaseDpi / 2;
inline constexpr std::int32_t kMaxDpi = kBaseDpi * 5;

struct CellSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// Degrees to radians, exactly this double (a hair below pi / 180).
inline constexpr double kDegreesToRadians = 0.017453292519943;

struct Particle {
  std::int32_t Angle = 0;  // heading in whole degrees, 0 = +x, 90 = +y (down)
  std::int32_t X = 0;      // top-left corner of the sprite on the screen, pixels
  std::int32_t Y = 0;
  std::int32_t SrcX = 0;  // top-left corner of the current cell in the sheet
  std::int32_t SrcY = 0;
};

// The particle table. The saver counts its records from 1 to Num; here record i
// is element i - 1, and every pass visits them in that order.
using Particles = std::vector<Particle>;

// RandomRange(low, high): a whole number uniform in low..high.
using RandomRangeFn = std::function<std::int32_t(std::int32_t, std::int32_t)>;

// The most flames a table holds: 250 times what the settings dialog offers. Each
// frame draws every flame before it looks at input again, so a count far beyond
// what can be drawn at a useful rate would leave a saver that no key press ends
// in good time, even where the memory for it can be had (a frame of 100,000
// flames takes a few tenths of a second, one of 1,000,000 several seconds). A
// larger count is treated like one that cannot be allocated.
inline constexpr std::int32_t kMaxParticles = 100'000;

// A table of `num` zeroed records; empty for a count below 1, above
// kMaxParticles, or one that cannot be allocated.
Particles AllocateParticles(std::int32_t num);

// Every particle to the centre of the screen with a random heading; cells kept.
void BurstParticles(Particles& particles, std::int32_t screenW, std::int32_t screenH,
                    const RandomRangeFn& randomRange);

// Every particle to a random one of the 32 cells (column drawn first, then row).
void InitCells(Particles& particles, const RandomRangeFn& randomRange);

// Turns, moves and wraps one particle.
void StepParticle(Particle& p, std::int32_t screenW, std::int32_t screenH, std::int32_t speed,
                  const RandomRangeFn& randomRange);

// Advances a cell position to the next frame of the animation, in place.
void NextCell(std::int32_t& srcX, std::int32_t& srcY);

// Half a screen extent, rounded to the nearest whole number, ties to even.
std::int32_t HalfExtent(std::int32_t extent);

// A length in logical pixels as pixels of a display of `dpi` (kMinDpi to
// kMaxDpi), and back; rounded as HalfExtent rounds. The same length at kBaseDpi.
std::int32_t ToPhysical(std::int32_t logical, std::int32_t dpi);
std::int32_t ToLogical(std::int32_t physical, std::int32_t dpi);

// A sprite cell on a display of `dpi`: 32 x 64 logical pixels in its own.
CellSize ScaledCell(std::int32_t dpi);

}  // namespace vorn
