// The software raster (src/core/raster.cpp) drawing a saver frame at
// 1920 x 1080: clear, 400 OR-blits of a 32 x 64 cell, and a copy of the whole
// frame, against the floor of the same memory traffic, a memset of the frame
// and a memcpy of it.
//
// It also draws the frame as the saver does (saver/frame.h), with its flames,
// at 1920 x 1080 and 3840 x 2160: the clear and the OR limited to the flames'
// ink, the copy to what changed; back to back, and paced as the saver is.
//
// After the usual table it prints the frame's time as a multiple of the
// floor's, both measured in this run (run it with --benchmark_repetitions=10
// --benchmark_enable_random_interleaving=true for a steady figure).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/flame.h"
#include "core/particles.h"
#include "core/raster.h"
#include "saver/frame.h"

namespace {

using vorn::Pixel;
using vorn::Surface;

constexpr std::int32_t kScreenWidth = 1920;
constexpr std::int32_t kScreenHeight = 1080;
constexpr std::int32_t kCells = 400;
constexpr std::int32_t kCellWidth = 32;
constexpr std::int32_t kCellHeight = 64;
constexpr std::int32_t kSheetSize = 256;
// Cell positions spread over the screen, some across its right and bottom
// edges, as a swarm leaves them.
constexpr std::int32_t kStrideX = 397;
constexpr std::int32_t kStrideY = 211;
// Paced: a sixtieth of a second between two frames, two seconds of them (the
// time measured alone would take hundreds of waits to reach the usual minimum).
constexpr std::int64_t kFramePauseUs = 16'667;
constexpr std::int64_t kPacedFrames = 120;
constexpr char kFrameName[] = "RasterFrame";
constexpr char kFloorName[] = "MemsetMemcpyFloor";

Surface SpriteSheet() {
  Surface sheet(kSheetSize, kSheetSize);
  for (std::int32_t y = 0; y < kSheetSize; ++y)
    for (std::int32_t x = 0; x < kSheetSize; ++x) {
      sheet.Set(x, y, static_cast<Pixel>(x * 0x10101 ^ y));
    }
  return sheet;
}

// The saver's wait for its next frame, left out of the time measured.
void WaitUntimed(benchmark::State& state, std::int64_t microseconds) {
  if (microseconds <= 0) return;
  state.PauseTiming();
  usleep(static_cast<useconds_t>(microseconds));
  state.ResumeTiming();
}

void RasterFrame(benchmark::State& state) {
  const Surface sheet = SpriteSheet();
  Surface buffer(kScreenWidth, kScreenHeight);
  Surface display(kScreenWidth, kScreenHeight);
  for (auto _ : state) {
    buffer.FillInclusive(0, 0, kScreenWidth, kScreenHeight, 0);
    for (std::int32_t i = 0; i < kCells; ++i) {
      const std::int32_t x = i * kStrideX % (kScreenWidth + kCellWidth / 2);
      const std::int32_t y = i * kStrideY % (kScreenHeight + kCellHeight / 2);
      const std::int32_t cell = i % (kSheetSize / kCellWidth * (kSheetSize / kCellHeight));
      vorn::Blit(buffer, x, y, kCellWidth, kCellHeight, sheet, cell % 8 * kCellWidth,
                 cell / 8 * kCellHeight, vorn::kRopSrcPaint);
    }
    vorn::Blit(display, 0, 0, kScreenWidth, kScreenHeight, buffer, 0, 0, vorn::kRopSrcCopy);
    benchmark::DoNotOptimize(display.Pixels().data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(RasterFrame)->Name(kFrameName)->Unit(benchmark::kMicrosecond);

void MemsetMemcpyFloor(benchmark::State& state) {
  const std::size_t count = std::size_t{kScreenWidth} * kScreenHeight;
  std::vector<Pixel> buffer(count);
  std::vector<Pixel> display(count);
  for (auto _ : state) {
    std::memset(buffer.data(), 0, count * sizeof(Pixel));
    benchmark::ClobberMemory();
    std::memcpy(display.data(), buffer.data(), count * sizeof(Pixel));
    benchmark::DoNotOptimize(display.data());
    benchmark::ClobberMemory();
    WaitUntimed(state, state.range(0));
  }
}
BENCHMARK(MemsetMemcpyFloor)->Name(kFloorName)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(MemsetMemcpyFloor)
    ->Name("PacedFloor")
    ->Arg(kFramePauseUs)
    ->Iterations(kPacedFrames)
    ->Unit(benchmark::kMicrosecond);

// The frame as the saver draws it, with a swarm that moves on each time: the
// flames' ink runs cleared and ORed, and only the pieces where the frame changed
// copied to the display.
class Host final : public vorn::FrameHost {
 public:
  Host(std::int32_t width, std::int32_t height) : buffer_(width, height), display_(width, height) {}
  vorn::PixelView CreateFrameBuffer(std::int32_t, std::int32_t) override { return buffer_.View(); }
  bool PresentFrame(const std::vector<vorn::Rect>& pieces) override {
    for (const vorn::Rect& r : pieces) {
      vorn::Blit(display_, r.x, r.y, r.width, r.height, buffer_, r.x, r.y, vorn::kRopSrcCopy);
    }
    benchmark::DoNotOptimize(display_.Pixels().data());
    return true;
  }
  Surface EmbeddedSpriteSheet() override { return vorn::RenderSpriteSheet(vorn::kBaseDpi); }

 private:
  Surface buffer_, display_;
};

void ChangedFrame(benchmark::State& state) {
  const auto width = static_cast<std::int32_t>(state.range(0));
  const auto height = static_cast<std::int32_t>(state.range(1));
  const auto pauseUs = state.range(2);
  Host host(width, height);
  vorn::SaverFrame frame(host);
  frame.Resize(width, height);
  frame.LoadSheet(vorn::kBaseDpi);
  for (std::int32_t step = 0; auto _ : state) {
    frame.Clear();
    for (std::int32_t i = 0; i < kCells; ++i) {
      const std::int32_t x = (i * kStrideX + step % 8) % (width + kCellWidth / 2);
      const std::int32_t y = (i * kStrideY + step % 8) % (height + kCellHeight / 2);
      frame.OrCell(vorn::kBaseDpi, {x, y, kCellWidth, kCellHeight, i % 8 * kCellWidth, 0});
    }
    frame.Present();
    ++step;
    benchmark::ClobberMemory();
    WaitUntimed(state, pauseUs);
  }
}
// Back to back, then with the saver's wait of a sixtieth of a second between
// two frames: what the caches keep of the frame over that wait decides the
// cost of the next one.
BENCHMARK(ChangedFrame)
    ->Args({1920, 1080, 0})
    ->Args({3840, 2160, 0})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(ChangedFrame)
    ->Args({1920, 1080, kFramePauseUs})
    ->Args({3840, 2160, kFramePauseUs})
    ->Iterations(kPacedFrames)
    ->Unit(benchmark::kMicrosecond);

// The console table, and the processor time per iteration of every run kept
// for the ratio printed at the end. Processor time rather than wall time: on a
// machine shared with other work it counts only the time spent drawing.
class RatioReporter final : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal.
  RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const std::string& name = run.run_name.function_name;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        medians_[name] = run.GetAdjustedCPUTime();
      } else if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
        times_[name].push_back(run.GetAdjustedCPUTime());
      }
    }
  }
  // The median over the repetitions (--benchmark_repetitions), or 0.
  double Median(const std::string& name) const {
    if (const auto aggregate = medians_.find(name); aggregate != medians_.end()) {
      return aggregate->second;
    }
    const auto found = times_.find(name);
    if (found == times_.end() || found->second.empty()) return 0.0;
    std::vector<double> times = found->second;
    std::sort(times.begin(), times.end());
    const std::size_t middle = times.size() / 2;
    return times.size() % 2 == 1 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
  }

 private:
  std::map<std::string, std::vector<double>> times_;
  std::map<std::string, double> medians_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  const double frame = reporter.Median(kFrameName);
  const double floor = reporter.Median(kFloorName);
  if (frame > 0 && floor > 0) {
    std::printf(
        "raster frame %.0f us, memset+memcpy floor %.0f us (processor time, median), "
        "ratio %.2f\n",
        frame, floor, frame / floor);
  }
  return 0;
}
