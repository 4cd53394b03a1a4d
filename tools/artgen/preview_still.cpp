#include "preview_still.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <vector>

#include "core/particles.h"
#include "core/random_source.h"
#include "core/raster.h"
#include "flame.h"

namespace vorn::art {

namespace {

constexpr vorn::Pixel kBlack = 0;
constexpr int kRedShift = 16;
constexpr int kGreenShift = 8;
constexpr vorn::Pixel kChannelMask = 0xFF;

vorn::Surface ToSurface(const RgbImage& image) {
  vorn::Surface surface(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const Rgb& p = image.at(x, y);
      surface.Set(x, y, vorn::Pixel{p.r} << kRedShift | vorn::Pixel{p.g} << kGreenShift | p.b);
    }
  }
  return surface;
}

RgbImage FromSurface(const vorn::Surface& surface) {
  RgbImage image(surface.Width(), surface.Height());
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const vorn::Pixel p = surface.At(x, y);
      image.at(x, y) = Rgb{static_cast<std::uint8_t>(p >> kRedShift & kChannelMask),
                           static_cast<std::uint8_t>(p >> kGreenShift & kChannelMask),
                           static_cast<std::uint8_t>(p & kChannelMask)};
    }
  }
  return image;
}

// One frame of the saver's frame cycle, drawn into its back buffer.
void DrawFrame(vorn::Surface& buffer, vorn::Particles& particles, const vorn::Surface& sprites,
               const SwarmRun& run, const vorn::RandomRangeFn& random) {
  buffer.FillInclusive(0, 0, run.screenWidth, run.screenHeight, kBlack);
  for (vorn::Particle& p : particles) {
    vorn::StepParticle(p, run.screenWidth, run.screenHeight, run.speed, random);
    vorn::Blit(buffer, p.X, p.Y, vorn::kCellWidth, vorn::kCellHeight, sprites, p.SrcX, p.SrcY,
               vorn::kRopSrcPaint);
    vorn::NextCell(p.SrcX, p.SrcY);
  }
}

// Where one output pixel of a box filter reads: a source index and the length
// of the overlap, in units of 1 / (output size) source pixels.
struct Tap {
  int index;
  std::uint64_t weight;
};
using AxisTaps = std::vector<std::vector<Tap>>;

// Source pixel i spans [i * out, (i + 1) * out) and output pixel o spans
// [o * in, (o + 1) * in) on a common integer scale, so the overlaps are exact
// and the weights of each output pixel add up to `in`.
AxisTaps AxisTapsOf(int in, int out) {
  AxisTaps taps(static_cast<std::size_t>(out));
  for (int o = 0; o < out; ++o) {
    const std::int64_t low = std::int64_t{o} * in;
    const std::int64_t high = low + in;
    for (std::int64_t i = low / out; i * out < high; ++i) {
      const std::int64_t overlap = std::min(high, (i + 1) * out) - std::max(low, i * out);
      if (overlap > 0) {
        taps[static_cast<std::size_t>(o)].push_back(
            Tap{static_cast<int>(i), static_cast<std::uint64_t>(overlap)});
      }
    }
  }
  return taps;
}

Rgb WeightedMean(const RgbImage& source, const std::vector<Tap>& columns,
                 const std::vector<Tap>& rows, std::uint64_t total) {
  std::array<std::uint64_t, 3> sum{};
  for (const Tap& row : rows) {
    for (const Tap& column : columns) {
      const Rgb& p = source.at(column.index, row.index);
      const std::uint64_t weight = row.weight * column.weight;
      sum[0] += weight * p.r;
      sum[1] += weight * p.g;
      sum[2] += weight * p.b;
    }
  }
  const auto rounded = [total](std::uint64_t s) {
    return static_cast<std::uint8_t>((s + total / 2) / total);
  };
  return Rgb{rounded(sum[0]), rounded(sum[1]), rounded(sum[2])};
}

}  // namespace

RgbImage RenderSwarmFrame(const SwarmRun& run, const RgbImage& sheet) {
  const vorn::Surface sprites = ToSurface(sheet);
  vorn::RandomSource source(run.seed);
  const vorn::RandomRangeFn random = [&source](std::int32_t low, std::int32_t high) {
    return source.Range(low, high);
  };
  vorn::Particles particles = vorn::AllocateParticles(run.count);
  vorn::BurstParticles(particles, run.screenWidth, run.screenHeight, random);
  vorn::InitCells(particles, random);
  vorn::Surface buffer(run.screenWidth, run.screenHeight);
  vorn::Surface display(run.screenWidth, run.screenHeight);
  for (int frame = 0; frame < run.frames; ++frame) {
    DrawFrame(buffer, particles, sprites, run, random);
    vorn::Blit(display, 0, 0, run.screenWidth, run.screenHeight, buffer, 0, 0, vorn::kRopSrcCopy);
  }
  return FromSurface(display);
}

RgbImage BoxReduce(const RgbImage& source, int width, int height) {
  if (width < 1 || height < 1 || source.width() < 1 || source.height() < 1) {
    throw std::invalid_argument("BoxReduce needs a picture and a size of at least 1 x 1");
  }
  const AxisTaps columns = AxisTapsOf(source.width(), width);
  const AxisTaps rows = AxisTapsOf(source.height(), height);
  const std::uint64_t total =
      static_cast<std::uint64_t>(source.width()) * static_cast<std::uint64_t>(source.height());
  RgbImage result(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      result.at(x, y) = WeightedMean(source, columns[static_cast<std::size_t>(x)],
                                     rows[static_cast<std::size_t>(y)], total);
    }
  }
  return result;
}

RgbImage RenderPreviewStill() {
  return BoxReduce(RenderSwarmFrame(kStillRun, RenderSpriteSheet()), kStillWidth, kStillHeight);
}

}  // namespace vorn::art
