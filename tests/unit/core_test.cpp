// The portable core: the program's readings of text (the command line: its arguments, the switch
// letter and the window handles; the value texts of the settings file, read and written), its
// pictures (the raster, the changed region, packed pictures) and its particles.
#include <bit>
#include <cmath>
#include <random>
#include <set>
#include <tuple>
#include <vector>

#include "core/changed_region.h"
#include "core/command_line.h"
#include "core/local_clock.h"
#include "core/packed_picture.h"
#include "core/particles.h"
#include "core/random_source.h"
#include "core/raster.h"
#include "core/settings_value.h"
#include "core/whole_numbers.h"
#include "table_test.h"

namespace vorn {
namespace {

struct CommandLineCase {
  const char* name;
  const wchar_t *commandLine, *arguments;
};
using Arguments = ::testing::TestWithParam<CommandLineCase>;

// The program's path or the blanks after it kept, or the arguments behind a quoted path lost.
TEST_P(Arguments, FollowTheProgramPath) {
  EXPECT_EQ(std::wstring(ArgumentsOf(GetParam().commandLine)), GetParam().arguments);
}

VORN_TABLE(Arguments, {"Plain_path", L"C:\\Vorn.scr /s", L"/s"},
           {"Quoted_path_with_blank", L"\"C:\\My Saver\\Vorn.scr\" /p 12", L"/p 12"},
           {"Quoted_path_then_switch", L"\"C:\\Vorn.scr\"/c", L"/c"},
           {"Blanks_and_tabs", L"Vorn.scr \t \t/a 5 ", L"/a 5 "}, {"Path_alone", L"Vorn.scr", L""},
           {"Empty", L"", L""}, {"Unterminated_quote", L"\"C:\\Vorn.scr /s", L""});

struct SwitchCase {
  const char *name, *argumentText, *letter, *handleText;
  std::int32_t lenient;  // the preview's reading of the handle text
};
using Switches = ::testing::TestWithParam<SwitchCase>;

// A letter taken from the wrong character or byte, not upper-cased or upper-cased beyond ASCII;
// the handle text from the wrong place; a lenient handle that does not skip blanks, reads past the
// digits, wraps beyond 32 bits or takes a sign (the password change's strict reading of it is
// StrictNumber, which the value texts' table checks on texts of each of these shapes).
TEST_P(Switches, ReadTheLetterAndTheHandle) {
  const SwitchCase& c = GetParam();
  EXPECT_EQ(SwitchLetter(c.argumentText), c.letter);
  EXPECT_EQ(HandleText(c.argumentText), c.handleText);
  EXPECT_EQ(LenientHandle(HandleText(c.argumentText)), c.lenient);
}

// clang-format off
VORN_TABLE(Switches,
    {"Empty", "", "", "", 0}, {"One_character", "s", "", "", 0}, {"Saver", "/s", "S", "", 0},
    {"Dash_upper", "-S", "S", "", 0}, {"Word", "/scr", "S", "r", 0},
    {"Not_a_letter", "/1", "1", "", 0}, {"Preview", "/p 1234", "P", "1234", 1234},
    {"Colon", "/c:1234", "C", "1234", 1234}, {"En_dash_first", "\u2013p 1234", "P", "1234", 1234},
    {"Two_byte_letter", "/\u00e9 7", "\u00e9", "7", 7},
    {"Blanks_and_tab", "/p  \t 12 ", "P", " \t 12 ", 12},
    {"Leading_zero", "/p 01234", "P", "01234", 1234},
    {"Digits_then_text", "/p 12ab", "P", "12ab", 12}, {"No_digits", "/p abc", "P", "abc", 0},
    {"Digits_then_blank", "/p 1 2", "P", "1 2", 1}, {"Sign", "/a -5", "A", "-5", 0},
    {"Largest", "/p 2147483647", "P", "2147483647", INT32_MAX},
    {"Beyond_32_bits", "/p 2147483648", "P", "2147483648", 0},
    {"Beyond_64_bits", "/p 99999999999999999999", "P", "99999999999999999999", 0});
// clang-format on

struct ReadingCase {
  const char *name, *text;
  ValueTextKind kind;
  std::int32_t value;  // for a number
};
using Reading = ::testing::TestWithParam<ReadingCase>;

// Each rule of the reading broken: blanks, sign, fraction, the half to even, the range checked
// before rounding or not at all, the 64-bit accumulator overflowing, text accepted around digits.
TEST_P(Reading, FollowsEachRuleOfTheValueText) {
  const ReadingCase& c = GetParam();
  const ParsedValue parsed = ParseValueText(c.text);
  const bool number = c.kind == ValueTextKind::Number;  // the value only then
  EXPECT_EQ(std::pair(parsed.kind, number ? parsed.value : 0), std::pair(c.kind, c.value));
  EXPECT_EQ(StrictNumber(c.text), number ? std::optional(c.value) : std::nullopt);
}

constexpr auto kNumber = ValueTextKind::Number, kInvalid = ValueTextKind::Invalid,
               kMissing = ValueTextKind::Missing;
// clang-format off
VORN_TABLE(Reading,
    {"Empty", "", kMissing, 0}, {"Blanks_only", " \t ", kMissing, 0}, {"Plain", "7", kNumber, 7},
    {"Blanks_around", " \t7\t ", kNumber, 7}, {"Plus", "+7", kNumber, 7},
    {"Minus", "-7", kNumber, -7}, {"Leading_zeros", "007", kNumber, 7},
    {"Half_to_even_down", "2.5", kNumber, 2}, {"Half_to_even_up", "3.5", kNumber, 4},
    {"Minus_half_even", "-2.5", kNumber, -2}, {"Minus_half_odd", "-3.5", kNumber, -4},
    {"Below_half", "2.4999", kNumber, 2}, {"Above_half_far_digit", "2.5000001", kNumber, 3},
    {"Half_with_zeros", "2.5000", kNumber, 2}, {"Point_no_fraction", "5.", kNumber, 5},
    {"Fraction_only", ".6", kNumber, 1}, {"Zero_and_a_half", "0.5", kNumber, 0},
    {"Largest", "2147483647", kNumber, INT32_MAX}, {"Lowest", "-2147483648", kNumber, INT32_MIN},
    {"Largest_plus_1", "2147483648", kInvalid, 0}, {"Lowest_minus_1", "-2147483649", kInvalid, 0},
    {"Largest_half_up_out", "2147483647.5", kInvalid, 0},
    {"Lowest_half_to_even_in", "-2147483648.5", kNumber, INT32_MIN},
    {"Half_below_largest_in", "2147483646.5", kNumber, 2147483646},
    {"Beyond_64_bits", "99999999999999999999999", kInvalid, 0},
    {"Wrapping_64_bits_to_5", "18446744073709551621", kInvalid, 0},
    {"Word", "abc", kInvalid, 0}, {"Digit_then_word", "5abc", kInvalid, 0},
    {"Grouping", "1,000", kInvalid, 0}, {"Basic_hex", "&H10", kInvalid, 0},
    {"Exponent", "1e3", kInvalid, 0}, {"Inner_blank", "1 2", kInvalid, 0},
    {"Sign_then_blank", "- 5", kInvalid, 0}, {"Sign_alone", "-", kInvalid, 0},
    {"Point_alone", ".", kInvalid, 0}, {"Two_points", "1.2.3", kInvalid, 0},
    {"Two_signs", "+-5", kInvalid, 0}, {"Sign_behind", "5-", kInvalid, 0},
    {"Other_blank", "\n5", kInvalid, 0});
// clang-format on

// A value written without its leading blank, with a blank before its minus, or not in digits.
TEST(ValueTextWriting, GivesOneBlankOrAMinus) {
  for (const auto& [value, text] : {std::pair{5, " 5"},
                                    {0, " 0"},
                                    {-1, "-1"},
                                    {INT32_MAX, " 2147483647"},
                                    {INT32_MIN, "-2147483648"}}) {
    EXPECT_EQ(FormatValueText(value), text);
  }
}

// The blit the plain way, in place: each pixel of `dst` in reading order takes the pixel of
// `src` (which may be `dst`) that the rectangle puts on it, if there is one.
void PlainBlit(Surface& dst, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
               const Surface& src, std::int64_t sx, std::int64_t sy, std::uint32_t rop) {
  for (std::int32_t ty = 0; ty < dst.Height(); ++ty) {
    for (std::int32_t tx = 0; tx < dst.Width(); ++tx) {
      const std::int64_t col = tx - x, row = ty - y, fx = sx + col, fy = sy + row;
      if (col < 0 || row < 0 || col >= w || row >= h || fx < 0 || fy < 0) continue;
      if (fx >= src.Width() || fy >= src.Height()) continue;
      const Pixel from = src.At(std::int32_t(fx), std::int32_t(fy));
      dst.Set(tx, ty, rop == kRopSrcPaint ? dst.At(tx, ty) | from : from);
    }
  }
}

// Clipping off by one or overflowing, OR and copy confused, or overlap mishandled.
TEST(Blit, AgreesWithThePlainBlitEverywhere) {
  // src: every pixel different but for a black margin (columns 0, 1 and 19, row 0).
  Surface src(20, 5), start(20, 4);
  for (std::int32_t y = 1; y < 5; ++y)
    for (std::int32_t x = 2; x < 19; ++x) src.Set(x, y, 0x010000 + Pixel(y * 256 + x));
  for (std::int32_t i = 0; i < 80; ++i) start.Set(i % 20, i / 20, 0x200000 + Pixel(i));
  for (const std::uint32_t rop : {kRopSrcCopy, kRopSrcPaint})
    for (const std::int32_t x : {INT32_MIN, -21, -1, 0, 1, 19, 20})
      for (const std::int32_t y : {INT32_MIN, -1, 0, 3, 4})
        for (const std::int32_t w : {0, 1, 9, 20, 21, INT32_MAX})
          for (const std::int32_t h : {0, 1, 4, 5, INT32_MAX})
            for (const std::int32_t sx : {INT32_MIN, -3, 0, 2, 20})
              for (const std::int32_t sy : {-1, 0, 4}) {
                Surface got = start, want = start;
                EXPECT_TRUE(Blit(got, x, y, w, h, src, sx, sy, rop));
                PlainBlit(want, x, y, w, h, src, sx, sy, rop);
                ASSERT_EQ(got.Pixels(), want.Pixels())
                    << x << "," << y << " " << w << "x" << h << " from " << sx << "," << sy;
                got = want = start;
                Blit(got, x, y, w, h, got, sx, sy, rop);
                PlainBlit(want, x, y, w, h, want, sx, sy, rop);
                ASSERT_EQ(got.Pixels(), want.Pixels()) << "within one surface";
              }
}

// Corners left out, no clipping, or a run filled wrong: short, long, bytes alike, whole rows.
TEST(Fill, FillsFromCornerToCornerClipped) {
  for (const std::int32_t width : {5, 300})
    for (const Pixel colour : {0x000000u, 0x123456u})
      for (const auto& [left, right] :
           {std::pair{-3, 0}, {1, 3}, {0, width - 1}, {2, width + 5}, {3, 2}})
        for (const auto& [top, bottom] : {std::pair{-1, 1}, {1, 2}, {0, 9}, {2, 1}}) {
          Surface s(width, 4, 0x777777);
          s.FillInclusive(left, top, right, bottom, colour);
          for (std::int32_t i = 0; i < width * 4; ++i) {
            const std::int32_t x = i % width, y = i / width;
            const bool inside = x >= left && x <= right && y >= top && y <= bottom;
            ASSERT_EQ(s.At(x, y), inside ? colour : 0x777777u) << x << "," << y;
          }
        }
}

// Trails of flames that moved on, flames missing, a screen lost and not repainted, unknown drawing
// or too many pieces trusted, or everything presented every time: frames of clears and draws,
// each presented in the pieces the region gives, leave the screen equal to the frame.
TEST(ChangedRegion, PresentsWhereTheFrameChangedAndNothingElse) {
  std::mt19937 random(11);
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution(low, high)(random);
  };
  Surface frame(300, 200), screen(300, 200, 0x777777);
  ChangedRegion changed;
  changed.Reset(300, 200);
  std::int64_t presented = 0;
  for (int step = 0; step < 300; ++step) {
    frame.FillInclusive(0, 0, 299, 199, 0);
    for (int i = step == 150 ? 1100 : pick(0, 12); i > 0; --i) {
      const int x = pick(-20, 310), y = pick(-20, 210), w = pick(1, 24), h = pick(1, 24);
      frame.FillInclusive(x, y, x + w - 1, y + h - 1, 0x100 * step + i);
      changed.Add(x, y, w, step % 40 == 9 ? -h : h);  // drawn mirrored: where is not known
    }
    if (step % 50 == 7) {  // the screen lost what it showed
      screen.FillInclusive(0, 0, 299, 199, 0x777777);
      changed.Forget();
    }
    for (const Rect& r : changed.Present()) {
      Blit(screen, r.x, r.y, r.width, r.height, frame, r.x, r.y, kRopSrcCopy);
      presented += std::int64_t{r.width} * r.height;
    }
    ASSERT_EQ(screen.Pixels(), frame.Pixels()) << "step " << step;
  }
  EXPECT_LT(presented, 300 * 300 * 200 / 4);
}

using Bytes = std::vector<std::uint8_t>;
constexpr Pixel kA = 0x102030, kB = 0x405060;

// Packets that lose or change pixels at their limits (runs of 2 and 129, literals of 1 and 128,
// runs across rows) or take more bytes than a run's 1 + 3 and a literal's 1 + 3 per pixel.
TEST(PackedPicture, UnpacksWhatWasPackedInTheFewestBytes) {
  std::vector<Pixel> distinct(129), runs(130, kA);
  for (Pixel i = 0; i < distinct.size(); ++i) distinct[i] = i << 8;
  runs.push_back(kB);  // 129, then a literal of 2
  for (const auto& [pixels, width, size] :
       {std::tuple{runs, 1, 4 + 4 + 7},
        {distinct, 129, 4 + 1 + 128 * 3 + 4},
        {std::vector(distinct.begin(), distinct.end() - 1), 128, 4 + 1 + 128 * 3},
        {std::vector<Pixel>{kA, kB, kB}, 3, 4 + 4 + 4}}) {
    const auto height = static_cast<std::int32_t>(pixels.size()) / width;
    const Bytes packed = PackPicture(ConstPixelView(pixels.data(), width, height, width));
    Surface out(width, height, 0xABCDEF);
    EXPECT_TRUE(UnpackPicture(packed, out.View()));
    EXPECT_EQ(std::pair(out.Pixels(), packed.size()), std::pair(pixels, std::size_t(size)));
  }
}

// An unpacker that reads past its data, or takes data that does not fill the picture exactly.
TEST(PackedPicture, RefusesDataThatDoesNotFitThePicture) {
  Surface out(2, 1);
  EXPECT_TRUE(UnpackPicture(Bytes{2, 0, 1, 0, 128, 1, 2, 3}, out.View()));
  for (const Bytes& bad : {Bytes{2, 0, 1}, Bytes{1, 0, 2, 0, 128, 1, 2, 3}, Bytes{2, 0, 1, 0, 0, 1},
                           Bytes{2, 0, 1, 0, 129, 1, 2, 3}, Bytes{2, 0, 1, 0, 0, 1, 2, 3}}) {
    EXPECT_FALSE(UnpackPicture(bad, out.View()));  // no size, another, cut short, 3, 1 pixels
  }
}

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

// Rounding that leaves the library's anywhere: ties, negatives, the sign of zero, fractions just
// short of a whole number, numbers too large to have one, infinities and NaN.
TEST(WholeNumbers, RoundAsTheLibraryDoes) {
  std::vector<double> values{-0.0,
                             0.49999999999999994,
                             -0.49999999999999994,
                             4503599627370495.5,
                             -4503599627370497.0,
                             1e300,
                             -INFINITY,
                             NAN};
  for (int i = -4000; i <= 4000; ++i) values.insert(values.end(), {i / 8.0, i / 8.0 + 1e-9});
  for (const double v : values) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(FloorOf(v)), std::bit_cast<std::uint64_t>(std::floor(v)))
        << v;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(NearestEven(v)),
              std::bit_cast<std::uint64_t>(std::nearbyint(v)))
        << v;
  }
}

// The random source's clock: local time of day to the millisecond, cut not
// rounded, wrapping at midnight both ways; the offset kept one second.
TEST(LocalClock, ReadsTheLocalTimeOfDayAndTakesTheOffsetEachSecond) {
  constexpr std::int64_t kMs = LocalClock::kTicksPerMs, kHour = 3'600'000 * kMs;
  constexpr std::int64_t kDay = 24 * kHour;
  constexpr std::int64_t kNoon = 150'000 * kDay + 12 * kHour;  // a day since 1601, at noon UTC
  LocalClock clock;
  EXPECT_TRUE(clock.NeedsOffset(kNoon));
  clock.SetOffset(kNoon, 2 * kHour);
  EXPECT_EQ(clock.SecondsSinceMidnight(kNoon + 500 * kMs + kMs - 1), 14 * 3600 + 0.5f);
  EXPECT_FALSE(clock.NeedsOffset(kNoon + 1000 * kMs - 1));
  EXPECT_TRUE(clock.NeedsOffset(kNoon + 1000 * kMs));
  EXPECT_TRUE(clock.NeedsOffset(kNoon - 1));  // the time was set back
  clock.SetOffset(kNoon, 12 * kHour + 250 * kMs);
  EXPECT_EQ(clock.SecondsSinceMidnight(kNoon), 0.25f);
  clock.SetOffset(kNoon, -12 * kHour - 250 * kMs);
  EXPECT_EQ(clock.SecondsSinceMidnight(kNoon), 86399.75f);
  clock.SetOffset(0, -kMs);  // before the system's first day
  EXPECT_EQ(clock.SecondsSinceMidnight(0), 86399 + 0.999f);
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
