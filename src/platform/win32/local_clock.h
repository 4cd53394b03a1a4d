// The local clock as seconds since midnight, read several times per particle
// per frame by the random source. GetLocalTime converts to local time on every
// call (about 0.4 us under Wine); this reads the system time (about 0.05 us,
// precisely from Windows 8 on, else as coarsely as GetLocalTime) and adds the
// local offset, taken afresh at least once a second: the reading GetLocalTime
// gives, but for up to a second after a daylight-saving or time-zone change.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/win32/system_library.h"

namespace vorn::win32 {

class LocalClock {
 public:
  float SecondsSinceMidnight() {
    FILETIME utcTime{};
    readTime_(&utcTime);
    const std::int64_t utc = Ticks(utcTime);
    if (!hasOffset_ || utc < offsetTakenAt_ || utc - offsetTakenAt_ >= kOffsetLifetime) {
      FILETIME localTime{};
      offset_ = FileTimeToLocalFileTime(&utcTime, &localTime) ? Ticks(localTime) - utc : 0;
      offsetTakenAt_ = utc;
      hasOffset_ = true;
    }
    std::int64_t msOfDay = (utc + offset_) / kTicksPerMs % kMsPerDay;
    if (msOfDay < 0) msOfDay += kMsPerDay;
    // As GetLocalTime's fields give it: whole seconds, then the milliseconds.
    return static_cast<float>(static_cast<std::int32_t>(msOfDay / kMsPerSecond)) +
           static_cast<float>(static_cast<std::int32_t>(msOfDay % kMsPerSecond)) / 1000.0f;
  }

 private:
  static constexpr std::int64_t kTicksPerMs = 10'000;  // FILETIME counts 100 ns ticks
  static constexpr std::int64_t kMsPerSecond = 1000;
  static constexpr std::int64_t kMsPerDay = kMsPerSecond * 60 * 60 * 24;
  static constexpr std::int64_t kOffsetLifetime = kMsPerSecond * kTicksPerMs;
  using ReadTimeFn = void(WINAPI*)(LPFILETIME);

  static std::int64_t Ticks(const FILETIME& time) {
    return static_cast<std::int64_t>((std::uint64_t{time.dwHighDateTime} << 32) |
                                     time.dwLowDateTime);
  }

  static ReadTimeFn PreciseOrPlain() {
    const auto precise = KernelFunction<ReadTimeFn>("GetSystemTimePreciseAsFileTime");
    return precise != nullptr ? precise : &GetSystemTimeAsFileTime;
  }

  ReadTimeFn readTime_ = PreciseOrPlain();
  std::int64_t offset_ = 0;
  std::int64_t offsetTakenAt_ = 0;
  bool hasOffset_ = false;
};

}  // namespace vorn::win32
