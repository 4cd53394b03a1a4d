// Services of the system's own: its libraries, loaded by their full path in
// the system folder, never from the program's folder or the search path; the
// timer's resolution; the local clock.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace vorn::win32 {

struct NoCopy {
  NoCopy() = default;
  NoCopy(const NoCopy&) = delete;
  NoCopy& operator=(const NoCopy&) = delete;
};

// The function `name` of `module` with its type; null when either is missing.
template <typename Fn>
Fn ModuleFunction(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  // Through a generic function pointer: FARPROC's own type says nothing.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// A function of kernel32, looked up at run time because older Windows lacks
// it. kernel32 is in every process and is not looked for on any path.
template <typename Fn>
Fn KernelFunction(const char* name) {
  return ModuleFunction<Fn>(GetModuleHandleW(L"kernel32.dll"), name);
}

// A library of the system's own.
class SystemLibrary : NoCopy {
 public:
  explicit SystemLibrary(const wchar_t* fileName) {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const std::wstring path = std::wstring(folder, length) + L"\\" + fileName;
    module_ = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  ~SystemLibrary() {
    if (module_ != nullptr) FreeLibrary(module_);
  }

  template <typename Fn>
  Fn Function(const char* name) const {
    return ModuleFunction<Fn>(module_, name);
  }

 private:
  HMODULE module_ = nullptr;
};

// The system timer's finer resolution (timeBeginPeriod), held while this lives.
// winmm.dll is not one of the system's known libraries, so a plain import of it
// would be looked for beside the program first; it is loaded by its full path.
class TimerResolution : NoCopy {
 public:
  explicit TimerResolution(UINT periodMs) : winmm_(L"winmm.dll"), periodMs_(periodMs) {
    const auto begin = winmm_.Function<PeriodFn>("timeBeginPeriod");
    const auto end = winmm_.Function<PeriodFn>("timeEndPeriod");
    if (begin != nullptr && end != nullptr && begin(periodMs_) == kTimerNoError) end_ = end;
  }
  ~TimerResolution() {
    if (end_ != nullptr) end_(periodMs_);
  }

 private:
  using PeriodFn = UINT(WINAPI*)(UINT);     // returns an MMRESULT
  static constexpr UINT kTimerNoError = 0;  // TIMERR_NOERROR
  SystemLibrary winmm_;
  UINT periodMs_;
  PeriodFn end_ = nullptr;  // set once the period is raised
};

// The local clock as seconds since midnight, read several times per particle
// per frame by the random source. GetLocalTime converts to local time on every
// call (about 0.4 us under Wine); this reads the system time (about 0.05 us,
// precisely from Windows 8 on, else as coarsely as GetLocalTime) and adds the
// local offset, taken afresh at least once a second: the reading GetLocalTime
// gives, but for up to a second after a daylight-saving or time-zone change.
class LocalClock {
 public:
  float SecondsSinceMidnight() {
    FILETIME utcTime{};
    readTime_(&utcTime);
    const std::int64_t utc = Ticks(utcTime);
    if (!offsetTakenAt_ || utc < *offsetTakenAt_ || utc - *offsetTakenAt_ >= kOffsetLifetime) {
      FILETIME localTime{};
      offset_ = FileTimeToLocalFileTime(&utcTime, &localTime) ? Ticks(localTime) - utc : 0;
      offsetTakenAt_ = utc;
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
  std::optional<std::int64_t> offsetTakenAt_;
};

}  // namespace vorn::win32
