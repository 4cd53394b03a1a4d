// What the Windows benchmark programs share: the wall clock that the driver
// (bench/wine) reads too, the process's own processor time and memory, the
// arguments, and the report each program leaves for the driver.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::bench {

// Microseconds since 1970 on the wall clock. Under Wine this is the host's
// CLOCK_REALTIME, so the driver can compare it with the moment it started us.
std::int64_t UnixMicroseconds();

// A steady clock in microseconds (the performance counter).
std::int64_t SteadyMicroseconds();

// User plus kernel time of this process so far, microseconds.
std::int64_t ProcessCpuMicroseconds();

// The largest working set this process has had, bytes.
std::uint64_t PeakWorkingSetBytes();

// The arguments after the program's path.
std::vector<std::wstring> Arguments();

// A decimal argument; `fallback` when it is missing or not a number.
double NumberArgument(const std::vector<std::wstring>& args, std::size_t index, double fallback);

// Mean, 99th percentile and largest gap between consecutive times, ms.
struct IntervalStats {
  std::size_t count = 0;
  double meanMs = 0;
  double p99Ms = 0;
  double maxMs = 0;
};
IntervalStats Intervals(const std::vector<std::int64_t>& timesMicroseconds);

// "key value" lines, written to the file named on the command line.
class Report {
 public:
  explicit Report(std::wstring path) : path_(std::move(path)) {}
  void Add(std::string_view key, double value);
  void AddInteger(std::string_view key, std::int64_t value);
  void AddIntervals(std::string_view prefix, const IntervalStats& stats);
  // Writes every line added so far; false when the file cannot be written.
  bool Write() const;

 private:
  std::wstring path_;
  std::string text_;
};

// A topmost popup window over the whole screen, black behind, of a window
// class registered here with `classStyle` and `windowProc`. Not yet shown.
HWND CreateFullScreenWindow(HINSTANCE instance, const wchar_t* className, const wchar_t* caption,
                            WNDPROC windowProc, UINT classStyle);

// The measured stretch of a run: a warm-up, then the span that counts.
struct Schedule {
  std::int64_t warmUpMicroseconds = 0;
  std::int64_t measureMicroseconds = 0;
};

// Schedule from the arguments at `index` (warm-up) and `index + 1` (measured
// span), both in seconds.
Schedule ScheduleFrom(const std::vector<std::wstring>& args, std::size_t index);

}  // namespace vorn::bench
