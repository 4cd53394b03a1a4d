// The local clock as the random source reads it: seconds since midnight, with
// the milliseconds, from the system's time and the local offset. The offset
// is taken afresh at least once a second (and whenever the time goes back), so
// a reading is the one the local time gives but for up to a second after a
// daylight-saving or time-zone change.
#pragma once

#include <cstdint>
#include <optional>

namespace vorn {

// Times in the system's ticks of 100 ns.
class LocalClock {
 public:
  static constexpr std::int64_t kTicksPerMs = 10'000;

  // Whether the local offset must be taken before reading at `utc`.
  bool NeedsOffset(std::int64_t utc) const {
    return !offsetTakenAt_ || utc < *offsetTakenAt_ || utc - *offsetTakenAt_ >= kOffsetLifetime;
  }
  // The local time minus the system's time, as taken at `utc`.
  void SetOffset(std::int64_t utc, std::int64_t offset) {
    offset_ = offset;
    offsetTakenAt_ = utc;
  }
  // As the local time's fields give it: whole seconds, then the milliseconds.
  float SecondsSinceMidnight(std::int64_t utc) const {
    std::int64_t msOfDay = (utc + offset_) / kTicksPerMs % kMsPerDay;
    if (msOfDay < 0) msOfDay += kMsPerDay;
    return static_cast<float>(static_cast<std::int32_t>(msOfDay / kMsPerSecond)) +
           static_cast<float>(static_cast<std::int32_t>(msOfDay % kMsPerSecond)) / 1000.0f;
  }

 private:
  static constexpr std::int64_t kMsPerSecond = 1000;
  static constexpr std::int64_t kMsPerDay = kMsPerSecond * 60 * 60 * 24;
  static constexpr std::int64_t kOffsetLifetime = kMsPerSecond * kTicksPerMs;

  std::int64_t offset_ = 0;
  std::optional<std::int64_t> offsetTakenAt_;
};

}  // namespace vorn
