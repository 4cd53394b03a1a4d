#include "core/particles.h"

#include <climits>
#include <deque>
#include <set>

#include "core/random_source.h"
#include "table_test.h"

namespace vorn {
namespace {

using Requests = std::vector<std::pair<std::int32_t, std::int32_t>>;

// A RandomRange that hands out scripted values in turn and keeps the ranges
// it was asked for.
struct ScriptedRandom {
  std::deque<std::int32_t> values;
  Requests requests{};
  RandomRangeFn Fn() {
    return [this](std::int32_t low, std::int32_t high) {
      requests.emplace_back(low, high);
      EXPECT_FALSE(values.empty()) << "more draws than scripted";
      if (values.empty()) return low;
      const std::int32_t value = values.front();
      values.pop_front();
      return value;
    };
  }
};

// Every value RandomSource::Range gives in 20,000 draws, all with the same
// clock reading mixed in first, as within one clock tick.
std::set<std::int32_t> Draws(std::int32_t low, std::int32_t high) {
  RandomSource random(42);
  std::set<std::int32_t> seen;
  for (int i = 0; i < 20000; ++i) {
    random.Reseed(100.0f);
    seen.insert(random.Range(low, high));
  }
  return seen;
}

// A draw outside its range (360 of 0..359, an overflow at the extremes), a
// value never drawn, truncation where the floor belongs, or a re-seed that
// restarts the sequence.
TEST(RandomRange, DrawsEveryValueOfItsRangeAndNoOther) {
  const std::set<std::int32_t> headings = Draws(0, 359);
  EXPECT_EQ(headings.size(), 360u);
  EXPECT_EQ(*headings.begin(), 0);
  EXPECT_EQ(*headings.rbegin(), 359);
  EXPECT_EQ(Draws(7, 7), std::set<std::int32_t>{7});
  EXPECT_EQ(Draws(1, 0), std::set<std::int32_t>{1});
  const std::set<std::int32_t> negativeSpeed = Draws(1, -5);  // floor(r * -5) + 1
  EXPECT_EQ(*negativeSpeed.begin(), -4);
  EXPECT_LE(*negativeSpeed.rbegin(), 1);
  EXPECT_GE(*Draws(1, INT_MAX).begin(), 1);
  EXPECT_GE(*Draws(1, INT_MIN).begin(), INT_MIN + 1);
  EXPECT_LE(*Draws(1, INT_MIN).rbegin(), 1);
}

// A source that favours some values.
TEST(RandomRange, IsUniform) {
  RandomSource random(3);
  std::array<int, 8> counts{};
  for (int i = 0; i < 80000; ++i) ++counts[static_cast<std::size_t>(random.Range(0, 7))];
  for (const int count : counts) EXPECT_NEAR(count, 10000, 1000);
}

// A centre truncated or rounded half up or down instead of to even, a heading
// not drawn per flame from 0..359, or a cell lost in the burst.
TEST(Particles, BurstToTheCentreKeepingTheirCells) {
  for (const auto& [w, h] : {std::pair{1023, 767}, {1025, 769}}) {
    Particles particles(2, Particle{1, 2, 3, 96, 128});
    ScriptedRandom random{{10, 359}};
    BurstParticles(particles, w, h, random.Fn());
    EXPECT_EQ(random.requests, (Requests{{0, 359}, {0, 359}}));
    for (const Particle& p : particles) {
      EXPECT_EQ(std::tuple(p.X, p.Y, p.SrcX, p.SrcY), std::tuple(512, 384, 96, 128)) << w;
    }
    EXPECT_EQ(particles[0].Angle, 10);
    EXPECT_EQ(particles[1].Angle, 359);
  }
}

// A row drawn before the column, or a cell off the sheet's grid.
TEST(Particles, StartInTheirDrawnCells) {
  Particles particles(2, Particle{1, 2, 3, -1, -1});
  ScriptedRandom random{{7, 3, 0, 1}};
  InitCells(particles, random.Fn());
  EXPECT_EQ(random.requests, (Requests{{0, 7}, {0, 3}, {0, 7}, {0, 3}}));
  EXPECT_EQ(std::pair(particles[0].SrcX, particles[0].SrcY), std::pair(224, 192));
  EXPECT_EQ(std::pair(particles[1].SrcX, particles[1].SrcY), std::pair(0, 64));
}

struct StepCase {
  const char* name;
  std::int32_t angle, turnDirection, turn, x, y, stepLength;
  Particle stepped;  // Angle, X, Y; the cell is not touched
};
using Step = ::testing::TestWithParam<StepCase>;

// Draws in the wrong order or range, a turn the wrong way, a heading not
// normalised at 0 and 360, rounding or truncation where the floor belongs, the
// axes swapped, a wrap that is off by one at an edge, or an overflow on a huge
// step length. The screen is 100 x 80.
TEST_P(Step, TurnsMovesAndWraps) {
  const StepCase& c = GetParam();
  Particle p{c.angle, c.x, c.y, 96, 128};
  ScriptedRandom random{{c.turnDirection, c.turn, c.stepLength}};
  StepParticle(p, 100, 80, 20, random.Fn());
  EXPECT_EQ(random.requests, (Requests{{1, 2}, {5, 10}, {1, 20}}));
  EXPECT_EQ(std::tuple(p.Angle, p.X, p.Y, p.SrcX, p.SrcY),
            std::tuple(c.stepped.Angle, c.stepped.X, c.stepped.Y, 96, 128));
}

VORN_TABLE(Step, {"Turn_right", 100, 1, 7, 50, 40, 0, {107, 50, 40}},
           {"Turn_left", 100, 2, 7, 50, 40, 0, {93, 50, 40}},
           {"Turn_left_below_0", 3, 2, 8, 50, 40, 0, {355, 50, 40}},
           {"Turn_left_to_0", 5, 2, 5, 50, 40, 0, {0, 50, 40}},
           {"Turn_right_to_359", 354, 1, 5, 50, 40, 0, {359, 50, 40}},
           {"Turn_right_to_360", 355, 1, 5, 50, 40, 0, {0, 50, 40}},
           {"Turn_right_beyond_360", 359, 1, 5, 50, 40, 0, {4, 50, 40}},
           {"Heading_0", 355, 1, 5, 50, 40, 3, {0, 53, 40}},
           {"Heading_90", 85, 1, 5, 50, 40, 3, {90, 50, 43}},
           {"Heading_180", 175, 1, 5, 50, 40, 3, {180, 47, 40}},
           {"Heading_270_drifts_left", 265, 1, 5, 50, 40, 3, {270, 49, 37}},
           {"Heading_45_short_step_stays", 40, 1, 5, 50, 40, 1, {45, 50, 40}},
           {"Heading_135_short_step_floors", 130, 1, 5, 50, 40, 1, {135, 49, 40}},
           {"Heading_45", 40, 1, 5, 50, 40, 3, {45, 52, 42}},
           {"Heading_225", 220, 1, 5, 50, 40, 3, {225, 47, 37}},
           {"Left_edge", 175, 1, 5, 1, 40, 1, {180, 0, 40}},
           {"Left_edge_minus_1", 175, 1, 5, 0, 40, 1, {180, 100, 40}},
           {"Right_edge", 355, 1, 5, 99, 40, 1, {0, 100, 40}},
           {"Right_edge_plus_1", 355, 1, 5, 100, 40, 1, {0, 0, 40}},
           {"Top_edge", 265, 1, 5, 50, 1, 1, {270, 49, 0}},
           {"Top_edge_minus_1", 265, 1, 5, 50, 0, 1, {270, 49, 80}},
           {"Bottom_edge", 85, 1, 5, 50, 79, 1, {90, 50, 80}},
           {"Bottom_edge_plus_1", 85, 1, 5, 50, 80, 1, {90, 50, 0}},
           {"Largest_step", 355, 1, 5, 50, 40, INT_MAX, {0, 0, 40}},
           {"Smallest_step", 355, 1, 5, 50, 40, INT_MIN, {0, 100, 40}});

// A cell advanced out of reading order, not wrapped at the end of a row or of
// the sheet.
TEST(Particles, AdvanceTheirCellsInReadingOrder) {
  const std::pair<std::pair<int, int>, std::pair<int, int>> kAdvances[] = {{{0, 0}, {32, 0}},
                                                                           {{192, 0}, {224, 0}},
                                                                           {{224, 0}, {0, 64}},
                                                                           {{224, 128}, {0, 192}},
                                                                           {{224, 192}, {0, 0}}};
  for (auto [from, to] : kAdvances) {
    std::pair cell = from;
    NextCell(cell.first, cell.second);
    EXPECT_EQ(cell, to);
  }
}

// A table for a count below 1 or beyond the limit, or none for a count within.
TEST(Particles, AreAllocatedWithinTheLimit) {
  for (const std::int32_t num : {1, 3, kMaxParticles}) {
    EXPECT_EQ(AllocateParticles(num).size(), static_cast<std::size_t>(num));
  }
  for (const std::int32_t num : {0, -1, INT_MIN, kMaxParticles + 1, INT_MAX}) {
    EXPECT_TRUE(AllocateParticles(num).empty()) << num;
  }
}

}  // namespace
}  // namespace vorn
