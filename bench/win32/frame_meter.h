// Counts and times the frames a program presents: a warm-up from the first
// frame, then a measured span whose frames, processor time, particle work and
// frame intervals go into the report.
#pragma once

#include <cstdint>
#include <vector>

#include "bench_support.h"

namespace vorn::bench {

class FrameMeter {
 public:
  explicit FrameMeter(Schedule schedule);

  // The frame's stepping and drawing start (after its clear) and end (before
  // its present), steady clock.
  void BeginParticles(std::int64_t now) { particleStart_ = now; }
  void EndParticles(std::int64_t now);
  // A frame was presented at `now`; true once, when the measured span is over.
  bool Tick(std::int64_t now);
  bool Finished() const { return finished_; }
  // The figures of the measured span, and the process's peak working set.
  void AddTo(Report& report) const;

 private:
  void StartMeasuring(std::int64_t now);

  Schedule schedule_;
  std::int64_t firstTick_ = -1;
  std::int64_t firstTickUnix_ = 0;
  std::int64_t measureStart_ = -1;
  std::int64_t measureEnd_ = -1;
  std::int64_t cpuAtStart_ = 0;
  std::int64_t cpuAtEnd_ = 0;
  std::int64_t ticksMeasured_ = 0;
  std::int64_t particleStart_ = -1;
  std::int64_t particleMicroseconds_ = 0;
  std::vector<std::int64_t> tickTimes_;
  bool finished_ = false;
};

}  // namespace vorn::bench
