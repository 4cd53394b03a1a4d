#include "frame_meter.h"

#include <algorithm>

namespace vorn::bench {
namespace {

// Room for every tick of a measured span at this many a second, taken before
// the run so that recording does not allocate.
constexpr std::int64_t kMostTicksPerSecond = 4000;
constexpr std::int64_t kLeastTickRoom = 1024;
constexpr std::int64_t kMicrosecondsPerSecondInt = 1'000'000;
constexpr double kMicrosecondsPerSecond = 1'000'000.0;
constexpr double kPercent = 100.0;

}  // namespace

FrameMeter::FrameMeter(Schedule schedule) : schedule_(schedule) {
  const std::int64_t room =
      schedule_.measureMicroseconds / kMicrosecondsPerSecondInt * kMostTicksPerSecond +
      kLeastTickRoom;
  tickTimes_.reserve(static_cast<std::size_t>(room));
}

void FrameMeter::EndParticles(std::int64_t now) {
  if (measureStart_ >= 0 && !finished_ && particleStart_ >= 0) {
    particleMicroseconds_ += now - particleStart_;
  }
  particleStart_ = -1;
}

bool FrameMeter::Tick(std::int64_t now) {
  if (finished_) return false;
  if (firstTick_ < 0) {
    firstTick_ = now;
    firstTickUnix_ = UnixMicroseconds();
  }
  if (measureStart_ < 0) {
    if (now - firstTick_ >= schedule_.warmUpMicroseconds) StartMeasuring(now);
    return false;
  }
  ++ticksMeasured_;
  if (tickTimes_.size() < tickTimes_.capacity()) tickTimes_.push_back(now);
  if (now - measureStart_ < schedule_.measureMicroseconds) return false;
  finished_ = true;
  measureEnd_ = now;
  cpuAtEnd_ = ProcessCpuMicroseconds();
  return true;
}

// The measured span starts at this tick; the ticks after it are counted.
void FrameMeter::StartMeasuring(std::int64_t now) {
  measureStart_ = now;
  cpuAtStart_ = ProcessCpuMicroseconds();
  particleMicroseconds_ = 0;
  tickTimes_.push_back(now);
}

void FrameMeter::AddTo(Report& report) const {
  const double span = static_cast<double>(std::max<std::int64_t>(measureEnd_ - measureStart_, 1));
  report.AddInteger("first_present_unix_us", firstTickUnix_);
  report.AddInteger("screen_width", GetSystemMetrics(SM_CXSCREEN));
  report.AddInteger("screen_height", GetSystemMetrics(SM_CYSCREEN));
  report.AddInteger("frames", ticksMeasured_);
  report.Add("seconds", span / kMicrosecondsPerSecond);
  report.Add("fps", static_cast<double>(ticksMeasured_) * kMicrosecondsPerSecond / span);
  report.Add("particle_share", static_cast<double>(particleMicroseconds_) / span);
  report.Add("cpu_percent", kPercent * static_cast<double>(cpuAtEnd_ - cpuAtStart_) / span);
  report.AddIntervals("interval", Intervals(tickTimes_));
  report.AddInteger("peak_working_set_bytes", static_cast<std::int64_t>(PeakWorkingSetBytes()));
}

}  // namespace vorn::bench
