// The local clock as seconds since midnight, read several times per particle
// per frame by the random source. GetLocalTime converts the system time to
// local time on every call, which costs about 0.4 us under Wine; this reads
// the system time (about 0.05 us) and adds the local offset, which is taken
// afresh from the system at least once a second. The precise reading exists
// from Windows 8 on and is looked up when the clock is made; before that the
// plain one serves, which ticks as coarsely as GetLocalTime does. The reading
// is the one GetLocalTime gives at that moment, except for at most a second
// after a daylight-saving change or a change of time zone.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/win32/system_library.h"

namespace vorn::win32 {

class LocalClock {
 public:
  LocalClock() {
    if (const auto precise = KernelFunction<ReadTimeFn>("GetSystemTimePreciseAsFileTime")) {
      readTime_ = precise;
    }
  }

  float SecondsSinceMidnight() {
    FILETIME utcTime{};
    readTime_(&utcTime);
    const std::int64_t utc = Ticks(utcTime);
    if (!hasOffset_ || utc < offsetTakenAt_ || utc - offsetTakenAt_ >= kOffsetLifetime) {
      TakeOffset(utcTime);
    }
    std::int64_t msOfDay = (utc + offset_) / kTicksPerMs % kMsPerDay;
    if (msOfDay < 0) msOfDay += kMsPerDay;
    // As GetLocalTime's fields give it: whole seconds, then the milliseconds.
    return static_cast<float>(static_cast<std::int32_t>(msOfDay / kMsPerSecond)) +
           static_cast<float>(static_cast<std::int32_t>(msOfDay % kMsPerSecond)) / 1000.0f;
  }

 private:
  // FILETIME counts 100 ns ticks.
  static constexpr std::int64_t kTicksPerMs = 10'000;
  static constexpr std::int64_t kMsPerSecond = 1000;
  static constexpr std::int64_t kMsPerDay = kMsPerSecond * 60 * 60 * 24;
  static constexpr std::int64_t kOffsetLifetime = kMsPerSecond * kTicksPerMs;

  using ReadTimeFn = void(WINAPI*)(LPFILETIME);

  static std::int64_t Ticks(const FILETIME& time) {
    return static_cast<std::int64_t>((std::uint64_t{time.dwHighDateTime} << 32) |
                                     time.dwLowDateTime);
  }

  void TakeOffset(const FILETIME& utcTime) {
    FILETIME localTime{};
    offset_ = FileTimeToLocalFileTime(&utcTime, &localTime) ? Ticks(localTime) - Ticks(utcTime) : 0;
    offsetTakenAt_ = Ticks(utcTime);
    hasOffset_ = true;
  }

  ReadTimeFn readTime_ = &GetSystemTimeAsFileTime;
  std::int64_t offset_ = 0;
  std::int64_t offsetTakenAt_ = 0;
  bool hasOffset_ = false;
};

}  // namespace vorn::win32
