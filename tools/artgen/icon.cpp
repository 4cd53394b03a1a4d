#include "icon.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "palette.h"

namespace vorn::art {

namespace {

// One layer of the flame in unit icon space (0..1, y down): a teardrop whose
// round bottom sits `bottomDepth` below (baseX, baseY) and whose tip rises
// `height` above it, curling sideways by `lean`. Layers nest: each inner one
// burns hotter, so the icon reads as red rim, orange body, white-yellow core.
struct Layer {
  double baseX;
  double baseY;
  double height;
  double halfWidth;
  double bottomDepth;
  double lean;
  double heat;      // palette heat at the layer's rim
  double heatRise;  // extra heat towards the layer's middle
};

constexpr std::array<Layer, 5> kLayers = {{
    {0.50, 0.70, 0.67, 0.34, 0.26, 0.10, 0.34, 0.14},   // outer flame, tip curling right
    {0.31, 0.68, 0.40, 0.13, 0.10, -0.10, 0.34, 0.10},  // left lick
    {0.72, 0.70, 0.34, 0.11, 0.10, 0.08, 0.34, 0.10},   // right lick
    {0.52, 0.79, 0.48, 0.23, 0.15, 0.05, 0.58, 0.14},   // orange body
    {0.52, 0.85, 0.28, 0.14, 0.09, 0.02, 0.84, 0.16},   // white-yellow core
}};

constexpr double kPi = std::numbers::pi;
constexpr double kBulge = 0.22;     // extra width of a layer's belly over its base
constexpr double kBellyTop = 0.55;  // fraction of the height where the belly has narrowed back
constexpr double kTaper = 0.95;     // exponent of the narrowing towards the tip

// Depth inside the layer in [0, 1] (1 on its axis), or a negative number outside.
double LayerDepth(const Layer& l, double x, double y) {
  const double rise = l.baseY - y;
  double hw = 0.0;
  double centre = l.baseX;
  if (rise < 0.0) {
    const double k = rise / l.bottomDepth;
    hw = l.halfWidth * std::sqrt(std::max(0.0, 1.0 - k * k));
  } else {
    const double v = rise / l.height;
    if (v >= 1.0) {
      return -1.0;
    }
    const double bulge = 1.0 + kBulge * std::sin(kPi * std::min(1.0, v / kBellyTop));
    hw = l.halfWidth * bulge * std::pow(1.0 - v, kTaper);
    centre += l.lean * v * v;
  }
  if (hw <= 0.0) {
    return -1.0;
  }
  const double r = std::abs(x - centre) / hw;
  return r < 1.0 ? 1.0 - r * r : -1.0;
}

// Palette heat of the whole flame at a point; negative means transparent.
double IconField(double x, double y) {
  double best = -1.0;
  for (const Layer& l : kLayers) {
    const double depth = LayerDepth(l, x, y);
    if (depth >= 0.0) {
      best = std::max(best, l.heat + l.heatRise * depth);
    }
  }
  return best;
}

int SamplesPerSide(int size) {
  constexpr int kSmallIconSamples = 8;  // 64 samples per pixel at 16..48 px
  constexpr int kLargeIconSamples = 3;
  constexpr int kLargeFrom = 128;
  return size >= kLargeFrom ? kLargeIconSamples : kSmallIconSamples;
}

// Covers pixel (px, py) with n x n samples: alpha is the covered share, the
// colour is the mean of the covered samples (straight alpha).
Rgba SamplePixel(int px, int py, int size, int n) {
  const double step = 1.0 / (size * n);
  double r = 0.0, g = 0.0, b = 0.0;
  int covered = 0;
  for (int sy = 0; sy < n; ++sy) {
    for (int sx = 0; sx < n; ++sx) {
      const double heat = IconField((px * n + sx + 0.5) * step, (py * n + sy + 0.5) * step);
      if (heat < 0.0) {
        continue;
      }
      const Rgb c = FirePalette(heat);
      r += c.r;
      g += c.g;
      b += c.b;
      ++covered;
    }
  }
  if (covered == 0) {
    return Rgba{};
  }
  const auto mean = [covered](double sum) {
    return static_cast<std::uint8_t>(std::lround(sum / covered));
  };
  const auto alpha = static_cast<std::uint8_t>(std::lround(255.0 * covered / (n * n)));
  return Rgba{mean(r), mean(g), mean(b), alpha};
}

}  // namespace

RgbaImage RenderIcon(int size) {
  RgbaImage image(size, size);
  const int n = SamplesPerSide(size);
  for (int py = 0; py < size; ++py) {
    for (int px = 0; px < size; ++px) {
      image.at(px, py) = SamplePixel(px, py, size, n);
    }
  }
  return image;
}

}  // namespace vorn::art
