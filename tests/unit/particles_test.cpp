#include "core/particles.h"

#include <set>

#include "core/random_source.h"
#include "table_test.h"

namespace vorn {
namespace {

using Requests = std::vector<std::pair<std::int32_t, std::int32_t>>;

// A RandomRange that hands out scripted values in turn (a draw beyond them throws) and keeps the
// ranges asked for.
struct ScriptedRandom {
  std::vector<std::int32_t> values;
  Requests requests{};
  RandomRangeFn Fn() {
    return [this](std::int32_t low, std::int32_t high) {
      requests.emplace_back(low, high);
      return values.at(requests.size() - 1);
    };
  }
};

// Every value of 20,000 draws of RandomSource::Range, the same clock reading mixed in each time.
std::set<std::int32_t> Draws(std::int32_t low, std::int32_t high) {
  RandomSource random(42);
  std::set<std::int32_t> seen;
  for (int i = 0; i < 20000; ++i) {
    random.Reseed(100.0f);
    seen.insert(random.Range(low, high));
  }
  return seen;
}

// A value never drawn, truncation, or a re-seed that restarts (bounds: the particles fuzz target).
TEST(RandomRange, DrawsEveryValueOfItsRange) {
  EXPECT_EQ(Draws(0, 359).size(), 360u);
  EXPECT_EQ(*Draws(1, -5).begin(), -4);  // floor(r * -5) + 1
}

// A centre not rounded half to even, headings not drawn per flame, cells lost or drawn row first.
TEST(Particles, BurstToTheCentreAndStartInTheirDrawnCells) {
  for (const auto& [w, h] : {std::pair{1023, 767}, {1025, 769}}) {
    Particles particles(2, Particle{1, 2, 3, 96, 128});
    ScriptedRandom random{{10, 359}};
    BurstParticles(particles, w, h, random.Fn());
    EXPECT_EQ(random.requests, (Requests{{0, 359}, {0, 359}}));
    EXPECT_EQ(std::tuple(particles[0].Angle, particles[0].X, particles[0].Y, particles[0].SrcX,
                         particles[0].SrcY, particles[1].Angle, particles[1].Y),
              std::tuple(10, 512, 384, 96, 128, 359, 384))
        << w;
  }
  Particles particles(2, Particle{1, 2, 3, -1, -1});
  ScriptedRandom random{{7, 3, 0, 1}};
  InitCells(particles, random.Fn());
  EXPECT_EQ(random.requests, (Requests{{0, 7}, {0, 3}, {0, 7}, {0, 3}}));
  EXPECT_EQ(std::tuple(particles[0].SrcX, particles[0].SrcY, particles[1].SrcX, particles[1].SrcY),
            std::tuple(224, 192, 0, 64));
}

struct StepCase {
  const char* name;
  std::int32_t angle, turnDirection, turn, x, y, stepLength;
  std::int32_t steppedAngle, steppedX, steppedY;
};
using Step = ::testing::TestWithParam<StepCase>;

// Draws reordered, a turn reversed, no normalising, no floor, or a wrap off by one (on 100 x 80).
TEST_P(Step, TurnsMovesAndWraps) {
  const StepCase& c = GetParam();
  Particle p{c.angle, c.x, c.y, 96, 128};
  ScriptedRandom random{{c.turnDirection, c.turn, c.stepLength}};
  StepParticle(p, 100, 80, 20, random.Fn());
  EXPECT_EQ(random.requests, (Requests{{1, 2}, {5, 10}, {1, 20}}));
  EXPECT_EQ(std::tuple(p.Angle, p.X, p.Y, p.SrcX, p.SrcY),
            std::tuple(c.steppedAngle, c.steppedX, c.steppedY, 96, 128));
}

VORN_TABLE(Step, {"Turn_right", 100, 1, 7, 50, 40, 0, 107, 50, 40},
           {"Turn_left_below_0", 3, 2, 8, 50, 40, 0, 355, 50, 40},
           {"Turn_left_to_0", 5, 2, 5, 50, 40, 0, 0, 50, 40},
           {"Turn_right_to_359", 354, 1, 5, 50, 40, 0, 359, 50, 40},
           {"Turn_right_to_360", 355, 1, 5, 50, 40, 0, 0, 50, 40},
           {"Turn_right_beyond_360", 359, 1, 5, 50, 40, 0, 4, 50, 40},
           {"Heading_0", 355, 1, 5, 50, 40, 3, 0, 53, 40},
           {"Heading_90", 85, 1, 5, 50, 40, 3, 90, 50, 43},
           {"Heading_270_drifts_left", 265, 1, 5, 50, 40, 3, 270, 49, 37},
           {"Heading_135_short_step_floors", 130, 1, 5, 50, 40, 1, 135, 49, 40},
           {"Heading_225", 220, 1, 5, 50, 40, 3, 225, 47, 37},
           {"Left_edge", 175, 1, 5, 1, 40, 1, 180, 0, 40},
           {"Left_edge_minus_1", 175, 1, 5, 0, 40, 1, 180, 100, 40},
           {"Right_edge", 355, 1, 5, 99, 40, 1, 0, 100, 40},
           {"Right_edge_plus_1", 355, 1, 5, 100, 40, 1, 0, 0, 40},
           {"Top_edge", 265, 1, 5, 50, 1, 1, 270, 49, 0},
           {"Top_edge_minus_1", 265, 1, 5, 50, 0, 1, 270, 49, 80},
           {"Bottom_edge", 85, 1, 5, 50, 79, 1, 90, 50, 80},
           {"Bottom_edge_plus_1", 85, 1, 5, 50, 80, 1, 90, 50, 0},
           {"Largest_step", 355, 1, 5, 50, 40, INT32_MAX, 0, 0, 40},
           {"Smallest_step", 355, 1, 5, 50, 40, INT32_MIN, 0, 100, 40});

// A table for a count below 1 or beyond the limit, or none for a count within.
TEST(Particles, AreAllocatedWithinTheLimit) {
  // clang-format off
  const std::pair<std::int32_t, std::size_t> kCounts[] = {
      {1, 1}, {100'000, 100'000}, {0, 0}, {-1, 0}, {INT32_MIN, 0}, {100'001, 0}, {INT32_MAX, 0}};
  // clang-format on
  for (const auto& [num, size] : kCounts) EXPECT_EQ(AllocateParticles(num).size(), size) << num;
}

}  // namespace
}  // namespace vorn
