#include "core/particles.h"

#include <deque>
#include <set>

#include <gtest/gtest.h>

#include "core/random_source.h"

namespace vorn {
namespace {

// A RandomRange that hands out scripted values in order, checking each against
// the range it was asked for.
class ScriptedRandom {
 public:
  explicit ScriptedRandom(std::deque<std::int32_t> values) : values_(std::move(values)) {}
  RandomRangeFn Fn() {
    return [this](std::int32_t low, std::int32_t high) {
      requests.emplace_back(low, high);
      EXPECT_FALSE(values_.empty()) << "more random draws than scripted";
      if (values_.empty()) return low;
      const std::int32_t v = values_.front();
      values_.pop_front();
      return v;
    };
  }
  std::vector<std::pair<std::int32_t, std::int32_t>> requests;

 private:
  std::deque<std::int32_t> values_;
};

TEST(RandomSource, RangeStaysWithinItsBounds) {
  RandomSource random(42);
  std::set<std::int32_t> seen;
  for (int i = 0; i < 20000; ++i) {
    random.Reseed(100.0f);
    const std::int32_t v = random.Range(0, 359);
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 359);
    seen.insert(v);
  }
  EXPECT_EQ(seen.size(), 360u);  // every heading occurs, 360 never does
}

TEST(RandomSource, DegenerateRanges) {
  RandomSource random(7);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(random.Range(7, 7), 7);
    EXPECT_EQ(random.Range(1, 0), 1);
  }
}

TEST(RandomSource, ExtremeBoundsDoNotOverflow) {
  RandomSource random(9);
  for (int i = 0; i < 1000; ++i) {
    const std::int32_t big = random.Range(1, 2147483647);
    EXPECT_GE(big, 1);
    // A negative speed -k gives step lengths from 1 - k to 1.
    const std::int32_t negative = random.Range(1, -2147483647 - 1);
    EXPECT_LE(negative, 1);
    EXPECT_GE(negative, -2147483647);
  }
}

TEST(RandomSource, ManyDrawsWithinOneClockTickDiffer) {
  RandomSource random(1);
  std::set<std::int32_t> headings;
  for (int i = 0; i < 200; ++i) {
    random.Reseed(43210.5f);  // the same clock reading every time
    headings.insert(random.Range(0, 359));
  }
  EXPECT_GT(headings.size(), 100u);
}

TEST(RandomSource, IsRoughlyUniform) {
  RandomSource random(3);
  std::array<int, 8> counts{};
  constexpr int kDraws = 80000;
  for (int i = 0; i < kDraws; ++i) ++counts[static_cast<std::size_t>(random.Range(0, 7))];
  for (int count : counts) EXPECT_NEAR(count, kDraws / 8, kDraws / 80);
}

TEST(Burst, PutsEveryParticleAtTheCentreAndKeepsItsCell) {
  Particles particles(3);
  particles[1].SrcX = 96;
  particles[1].SrcY = 128;
  ScriptedRandom random({10, 20, 359});
  BurstParticles(particles, 1024, 768, random.Fn());
  EXPECT_EQ(particles[0].Angle, 10);
  EXPECT_EQ(particles[2].Angle, 359);
  for (const Particle& p : particles) {
    EXPECT_EQ(p.X, 512);
    EXPECT_EQ(p.Y, 384);
  }
  EXPECT_EQ(particles[1].SrcX, 96);
  EXPECT_EQ(particles[1].SrcY, 128);
  EXPECT_EQ(random.requests, (std::vector<std::pair<std::int32_t, std::int32_t>>(3, {0, 359})));
}

TEST(Burst, CentreOfOddExtentsRoundsHalvesToEven) {
  EXPECT_EQ(HalfExtent(1023), 512);
  EXPECT_EQ(HalfExtent(1025), 512);
  EXPECT_EQ(HalfExtent(1027), 514);
  EXPECT_EQ(HalfExtent(768), 384);
  EXPECT_EQ(HalfExtent(1), 0);
  EXPECT_EQ(HalfExtent(3), 2);
}

TEST(InitCells, DrawsAColumnThenARowForEachParticle) {
  Particles particles(2);
  ScriptedRandom random({7, 3, 0, 1});
  InitCells(particles, random.Fn());
  EXPECT_EQ(particles[0].SrcX, 224);
  EXPECT_EQ(particles[0].SrcY, 192);
  EXPECT_EQ(particles[1].SrcX, 0);
  EXPECT_EQ(particles[1].SrcY, 64);
  EXPECT_EQ(random.requests, (std::vector<std::pair<std::int32_t, std::int32_t>>{
                                 {0, 7}, {0, 3}, {0, 7}, {0, 3}}));
}

TEST(InitCells, EveryCellIsReachedWithTheRealSource) {
  RandomSource source(11);
  Particles particles(4000);
  InitCells(particles, [&](std::int32_t lo, std::int32_t hi) { return source.Range(lo, hi); });
  std::set<std::pair<std::int32_t, std::int32_t>> cells;
  for (const Particle& p : particles) cells.emplace(p.SrcX, p.SrcY);
  EXPECT_EQ(cells.size(), 32u);
}

// Steps one particle with a scripted turn (d, t) and step length s.
Particle Step(Particle p, std::int32_t d, std::int32_t t, std::int32_t s, std::int32_t speed = 20,
              std::int32_t w = 1024, std::int32_t h = 768) {
  ScriptedRandom random({d, t, s});
  StepParticle(p, w, h, speed, random.Fn());
  EXPECT_EQ(random.requests, (std::vector<std::pair<std::int32_t, std::int32_t>>{
                                 {1, 2}, {5, 10}, {1, speed}}));
  return p;
}

TEST(StepParticle, TurnsAndNormalisesTheHeading) {
  struct Case { std::int32_t angle, d, t, expected; };
  for (const Case& c : {Case{3, 2, 8, 355}, Case{355, 1, 10, 5}, Case{0, 2, 5, 355},
                        Case{359, 1, 5, 4}, Case{100, 1, 7, 107}, Case{100, 2, 7, 93}}) {
    Particle p;
    p.Angle = c.angle;
    p.X = 500;
    p.Y = 300;
    EXPECT_EQ(Step(p, c.d, c.t, 1).Angle, c.expected) << c.angle;
  }
}

TEST(StepParticle, MovesByTheFlooredComponents) {
  struct Case { std::int32_t angle, s, dx, dy; };
  // The turn is scripted as +5 then subtracted from the heading given here.
  for (const Case& c : {Case{0, 3, 3, 0}, Case{90, 3, 0, 3}, Case{180, 3, -3, 0},
                        Case{270, 3, -1, -3}, Case{45, 1, 0, 0}, Case{135, 1, -1, 0},
                        Case{45, 3, 2, 2}, Case{225, 3, -3, -3}}) {
    Particle p;
    p.Angle = (c.angle + 355) % 360;  // turned +5 onto the heading under test
    p.X = 500;
    p.Y = 300;
    const Particle moved = Step(p, 1, 5, c.s);
    ASSERT_EQ(moved.Angle, c.angle);
    EXPECT_EQ(moved.X - 500, c.dx) << "heading " << c.angle;
    EXPECT_EQ(moved.Y - 300, c.dy) << "heading " << c.angle;
  }
}

TEST(StepParticle, WrapsAtTheEdges) {
  auto stepFrom = [](std::int32_t x, std::int32_t y, std::int32_t heading) {
    Particle p;
    p.Angle = heading - 5;
    p.X = x;
    p.Y = y;
    return Step(p, 1, 5, 1, 20, 100, 80);
  };
  EXPECT_EQ(stepFrom(0, 40, 180).X, 100);   // -1 becomes the width
  EXPECT_EQ(stepFrom(99, 40, 0).X, 100);    // the width itself stays
  EXPECT_EQ(stepFrom(100, 40, 0).X, 0);     // width + 1 becomes 0
  EXPECT_EQ(stepFrom(50, 0, 270).Y, 80);
  EXPECT_EQ(stepFrom(50, 79, 90).Y, 80);
  EXPECT_EQ(stepFrom(50, 80, 90).Y, 0);
}

TEST(StepParticle, HugeStepsStayOnTheScreen) {
  for (std::int32_t s : {2147483647, -2147483647 - 1}) {
    for (std::int32_t heading : {5, 95, 185, 275}) {
      Particle p;
      p.Angle = heading - 5;
      p.X = 1000;
      p.Y = 700;
      const Particle moved = Step(p, 1, 5, s, s);
      EXPECT_GE(moved.X, 0);
      EXPECT_LE(moved.X, 1024);
      EXPECT_GE(moved.Y, 0);
      EXPECT_LE(moved.Y, 768);
    }
  }
}

TEST(NextCell, AdvancesInReadingOrderAndLoops) {
  std::int32_t x = 0, y = 0;
  NextCell(x, y);
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(32, 0));
  x = 224, y = 0;
  NextCell(x, y);
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(0, 64));
  x = 224, y = 192;
  NextCell(x, y);
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(0, 0));
}

TEST(NextCell, ThirtyTwoAdvancesVisitEveryCellOnceAndReturn) {
  std::int32_t x = 96, y = 128;
  std::set<std::pair<std::int32_t, std::int32_t>> visited;
  for (int i = 0; i < 32; ++i) {
    visited.emplace(x, y);
    NextCell(x, y);
  }
  EXPECT_EQ(visited.size(), 32u);
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(96, 128));
}

TEST(AllocateParticles, GivesZeroedRecordsOrNone) {
  const Particles table = AllocateParticles(3);
  ASSERT_EQ(table.size(), 3u);
  EXPECT_EQ(table[2].Angle + table[2].X + table[2].Y + table[2].SrcX + table[2].SrcY, 0);
  EXPECT_TRUE(AllocateParticles(0).empty());
  EXPECT_TRUE(AllocateParticles(-1).empty());
  EXPECT_TRUE(AllocateParticles(-2147483647 - 1).empty());
}

// A count that could be allocated but not drawn in good time (a billion flames
// is 20 GB, which overcommit may well grant) gives the empty table too, so the
// saver shows black and still ends on input.
TEST(AllocateParticles, ACountBeyondThePracticalLimitGivesNone) {
  EXPECT_EQ(AllocateParticles(kMaxParticles).size(), static_cast<std::size_t>(kMaxParticles));
  EXPECT_TRUE(AllocateParticles(kMaxParticles + 1).empty());
  EXPECT_TRUE(AllocateParticles(1'000'000).empty());  // several seconds a frame
  EXPECT_TRUE(AllocateParticles(1'000'000'000).empty());
  EXPECT_TRUE(AllocateParticles(2147483647).empty());
}

}  // namespace
}  // namespace vorn
