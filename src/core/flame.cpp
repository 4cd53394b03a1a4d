#include "core/flame.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <numeric>
#include <vector>

#include "core/noise.h"
#include "core/particles.h"

namespace vorn {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Shape, in pixels unless noted. "v" is height up a tongue: 0 at its base,
// 1 at its tip.
constexpr double kCentreX = kCellWidth / 2.0;
constexpr double kMeanHeight = 31.0;   // base to tip of the tallest tongue
constexpr double kRoundBottom = 0.09;  // depth of a tongue's rounded base, in v
constexpr double kBulge = 0.18;        // extra width of the belly over the base
constexpr double kBellyTop = 0.4;      // v where the belly has narrowed back
constexpr double kTaper = 0.85;        // exponent of the narrowing towards the tip
constexpr double kHotUntil = 0.06;     // v up to which a tongue burns at full heat
constexpr double kCooling = 0.95;      // heat lost between kHotUntil and the tip
constexpr double kCoolingCurve = 0.85;
constexpr double kWobblePixels = 3.0;    // noise push on the upper flame
constexpr double kStretch = 0.10;        // noise stretch of the height, in v
constexpr double kErosion = 0.55;        // how much noise eats the upper flame
constexpr double kOverlapBoost = 0.25;   // share of the other tongues' heat added
constexpr double kTongueFlicker = 0.13;  // relative height swing of a tongue
constexpr double kGlowPixels = 2.2;      // Gaussian radius (sigma) of the halo
constexpr double kGlowGain = 0.6;        // halo heat relative to the blurred body

// Turbulence: two noise layers that rise through the flame. Each repeats every
// kNoiseLoopPixels vertically and moves a whole number of repeats per loop.
constexpr double kNoiseLoopPixels = 64.0;
constexpr double kCoarseCellPixels = 8.0;
constexpr double kFineCellPixels = 4.0;
constexpr int kCoarseRepeatsPerLoop = 1;
constexpr int kFineRepeatsPerLoop = 2;
constexpr std::uint32_t kCoarseSeed = 0x5EED0001u;
constexpr std::uint32_t kFineSeed = 0x5EED0002u;
constexpr int kNoiseOctaves = 3;

// The colour ramp's stops; each keeps r >= g >= b, and a blend of two such
// colours keeps it too.
struct Stop {
  double heat;
  double r, g, b;
};
constexpr std::array<Stop, 8> kStops = {{
    {0.00, 0, 0, 0},
    {0.10, 70, 6, 0},
    {0.28, 170, 28, 2},
    {0.45, 235, 80, 6},
    {0.62, 255, 140, 20},
    {0.78, 255, 200, 50},
    {0.90, 255, 236, 130},
    {1.00, 255, 252, 215},
}};

// Heat below this becomes black, so the background stays exactly zero.
constexpr double kBlackCutoff = 0.03;

// amplitude * sin(2 pi (harmonic * loopPhase) + offset - perHeight * v).
// A whole-number harmonic repeats exactly over the loop; perHeight > 0 makes
// the wave travel up the flame.
struct Wave {
  double amplitude;
  int harmonic;
  double offset;
  double perHeight;
};

constexpr std::array<Wave, 3> kHeightWaves = {
    {{2.5, 1, 0.0, 0}, {1.8, 3, 1.1, 0}, {1.0, 5, 2.3, 0}}};
constexpr std::array<Wave, 2> kBrightnessWaves = {{{0.05, 2, 0.4, 0}, {0.04, 7, 1.9, 0}}};
// Sideways sway of a tongue in pixels, growing towards the tip as v^1.5.
constexpr std::array<Wave, 2> kSwayWaves = {{{1.6, 2, 0.0, 4.0}, {0.9, 3, 0.7, 6.0}}};
constexpr double kSwayCurve = 1.5;

template <std::size_t N>
double SumWaves(const std::array<Wave, N>& waves, double loopPhase, double v, double extraOffset) {
  return std::accumulate(waves.begin(), waves.end(), 0.0, [&](double sum, const Wave& w) {
    return sum + w.amplitude * std::sin(kTwoPi * loopPhase * w.harmonic + w.offset + extraOffset -
                                        w.perHeight * v);
  });
}

// The flame is a few teardrop tongues that flicker out of step.
struct Tongue {
  double offsetX;       // base centre from the cell centre
  double heightScale;   // fraction of the frame's flame height
  double halfWidth;     // at the base
  double lean;          // sideways bend of the tip (negative: left)
  int harmonic;         // loop harmonic of its height flicker
  double flickerPhase;  // radians
  double heat;          // peak heat (1 = white-hot core)
};

constexpr std::array<Tongue, 3> kTongues = {{
    {0.0, 1.00, 5.6, 0.0, 2, 0.0, 1.00},
    {-3.6, 0.56, 3.0, -4.2, 3, 1.7, 0.66},
    {3.9, 0.68, 3.0, 4.0, 4, 4.1, 0.66},
}};

struct FrameState {
  double phase;       // 0..1 across the loop
  double height;      // pixels from base to tip of the tallest tongue
  double brightness;  // overall heat multiplier
  double coarseScroll;
  double fineScroll;
};

// Every time-varying term below has a whole number of cycles per loop, so
// frame + kFrameCount renders the same picture as frame.
FrameState FrameStateOf(int frame) {
  const double phase = static_cast<double>(frame) / kFlameFrames;
  FrameState s{};
  s.phase = phase;
  s.height = kMeanHeight + SumWaves(kHeightWaves, phase, 0.0, 0.0);
  s.brightness = 1.0 + SumWaves(kBrightnessWaves, phase, 0.0, 0.0);
  s.coarseScroll = phase * kCoarseRepeatsPerLoop * kNoiseLoopPixels;
  s.fineScroll = phase * kFineRepeatsPerLoop * kNoiseLoopPixels;
  return s;
}

// Half-width of an undisturbed tongue at height v.
double HalfWidth(double baseHalfWidth, double v) {
  if (v < 0.0) {
    const double k = v / kRoundBottom;
    return baseHalfWidth * std::sqrt(std::max(0.0, 1.0 - k * k));
  }
  const double bulge = 1.0 + kBulge * std::sin(std::numbers::pi * std::min(1.0, v / kBellyTop));
  return baseHalfWidth * bulge * std::pow(std::max(0.0, 1.0 - v), kTaper);
}

// Noise in [-1, 1] that rises by `scroll` pixels; periodic over the loop.
double RisingNoise(double x, double y, double scroll, double cellPixels, std::uint32_t seed) {
  const int period = static_cast<int>(kNoiseLoopPixels / cellPixels);
  const double n =
      FractalNoise(x / cellPixels, (y + scroll) / cellPixels, period, kNoiseOctaves, seed);
  return 2.0 * n - 1.0;
}

// Turbulence at one point, shared by all tongues so they move as one fire.
struct Turbulence {
  double coarse;  // [-1, 1], pushes sideways
  double fine;    // [-1, 1], stretches and erodes
};

// Heat in [0, 1] of one tongue at the pixel centre (x, y).
double TongueHeat(const Tongue& t, const FrameState& s, const Turbulence& n, double x, double y) {
  const double flicker =
      1.0 + kTongueFlicker * std::sin(kTwoPi * s.phase * t.harmonic + t.flickerPhase);
  const double v = (kFlameBaseY - y) / (s.height * t.heightScale * flicker);
  const double up = std::max(0.0, v);
  const double sway = std::pow(up, kSwayCurve) * SumWaves(kSwayWaves, s.phase, up, t.flickerPhase);
  const double centre =
      kCentreX + t.offsetX + t.lean * up * up + sway + kWobblePixels * up * n.coarse;
  const double vNoisy = v + kStretch * up * n.fine;
  const double hw = HalfWidth(t.halfWidth, vNoisy);
  const double r = hw > 0.0 ? std::abs(x - centre) / hw : 1.0;
  if (r >= 1.0) {
    return 0.0;
  }
  const double cooled = kCooling * std::pow(std::max(0.0, vNoisy - kHotUntil), kCoolingCurve);
  const double vertical = std::clamp(1.0 - cooled, 0.0, 1.0);
  const double erosion = kErosion * std::pow(up, 1.5) * (0.5 + 0.5 * n.fine);
  return std::clamp((1.0 - r * r) * vertical * t.heat - erosion, 0.0, 1.0);
}

// Heat of the flame body at the pixel centre (x, y) of a cell; 0 outside.
double BodyHeat(const FrameState& s, double x, double y) {
  const Turbulence n{RisingNoise(x, y, s.coarseScroll, kCoarseCellPixels, kCoarseSeed),
                     RisingNoise(x, y, s.fineScroll, kFineCellPixels, kFineSeed)};
  // Overlapping tongues burn a little hotter than the hottest of them alone.
  double hottest = 0.0;
  double sum = 0.0;
  for (const Tongue& t : kTongues) {
    const double heat = TongueHeat(t, s, n, x, y);
    hottest = std::max(hottest, heat);
    sum += heat;
  }
  return std::min(1.0, hottest + kOverlapBoost * (sum - hottest)) * s.brightness;
}

// Heat per pixel of a cell, row-major.
struct HeatField {
  std::int32_t width, height;
  std::vector<double> heat;
  double& At(std::int32_t x, std::int32_t y) {
    return heat[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)];
  }
};

// The body sampled at the centre of each pixel of a cell `scale` times the
// 96-dpi size.
HeatField BodyField(const FrameState& s, std::int32_t width, std::int32_t height, double scale) {
  HeatField field{width, height, std::vector<double>(static_cast<std::size_t>(width * height))};
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      field.At(x, y) = BodyHeat(s, (x + 0.5) / scale, (y + 0.5) / scale);
    }
  }
  return field;
}

// One pass of a Gaussian blur of `sigma` pixels along x (dx = 1) or y (dy = 1),
// zero outside.
HeatField BlurPass(HeatField& in, std::int32_t dx, std::int32_t dy, double sigma) {
  const auto radius = static_cast<std::int32_t>(3.0 * sigma) + 1;
  std::vector<double> weights;
  double total = 0.0;
  for (std::int32_t k = -radius; k <= radius; ++k) {
    weights.push_back(std::exp(-0.5 * k * k / (sigma * sigma)));
    total += weights.back();
  }
  HeatField out{in.width, in.height, std::vector<double>(in.heat.size(), 0.0)};
  for (std::int32_t y = 0; y < in.height; ++y) {
    for (std::int32_t x = 0; x < in.width; ++x) {
      double sum = 0.0;
      for (std::size_t i = 0; i < weights.size(); ++i) {
        const std::int32_t k = static_cast<std::int32_t>(i) - radius;
        const std::int32_t sx = x + k * dx, sy = y + k * dy;
        if (sx >= 0 && sx < in.width && sy >= 0 && sy < in.height)
          sum += weights[i] * in.At(sx, sy);
      }
      out.At(x, y) = sum / total;
    }
  }
  return out;
}

}  // namespace

Pixel FireColour(double heat) {
  const double h = std::clamp(heat, 0.0, 1.0);
  std::size_t upper = 1;
  while (upper + 1 < kStops.size() && kStops[upper].heat < h) ++upper;
  const Stop& a = kStops[upper - 1];
  const Stop& b = kStops[upper];
  const double t = (h - a.heat) / (b.heat - a.heat);
  const auto channel = [t](double from, double to) {
    return static_cast<Pixel>(std::lround(std::clamp(from + (to - from) * t, 0.0, 255.0)));
  };
  return channel(a.r, b.r) << 16 | channel(a.g, b.g) << 8 | channel(a.b, b.b);
}

Surface RenderFlameCell(std::int32_t frame, std::int32_t dpi) {
  const FrameState state = FrameStateOf(frame);
  const double scale = static_cast<double>(dpi) / kBaseDpi;
  const CellSize size = ScaledCell(dpi);
  HeatField body = BodyField(state, size.width, size.height, scale);
  HeatField across = BlurPass(body, 1, 0, kGlowPixels * scale);
  HeatField glow = BlurPass(across, 0, 1, kGlowPixels * scale);
  Surface cell(size.width, size.height);
  for (std::int32_t y = 0; y < size.height; ++y) {
    for (std::int32_t x = 0; x < size.width; ++x) {
      const double heat = std::max(body.At(x, y), kGlowGain * glow.At(x, y));
      cell.Set(x, y, heat < kBlackCutoff ? 0 : FireColour(heat));
    }
  }
  return cell;
}

Surface RenderSpriteSheet(std::int32_t dpi) {
  const CellSize size = ScaledCell(dpi);
  Surface sheet(size.width * kSheetColumns, size.height * kSheetRows);
  for (std::int32_t frame = 0; frame < kFlameFrames; ++frame) {
    const Surface cell = RenderFlameCell(frame, dpi);
    Blit(sheet, frame % kSheetColumns * size.width, frame / kSheetColumns * size.height, size.width,
         size.height, cell, 0, 0, kRopSrcCopy);
  }
  return sheet;
}

}  // namespace vorn
