#include "bench_support.h"

#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <memory>

namespace vorn::bench {
namespace {

// FILETIME counts 100 ns steps from 1601; the Unix epoch is this many later.
constexpr std::int64_t kUnixEpochIn100ns = 116'444'736'000'000'000;
constexpr std::int64_t k100nsPerMicrosecond = 10;
constexpr double kPercentile = 0.99;
constexpr double kMicrosecondsPerMs = 1000.0;
constexpr double kMicrosecondsPerSecond = 1'000'000.0;

std::int64_t FileTimeValue(const FILETIME& time) {
  return static_cast<std::int64_t>((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
}

struct ArgvDeleter {
  void operator()(wchar_t** argv) const { LocalFree(argv); }
};

}  // namespace

std::int64_t UnixMicroseconds() {
  FILETIME now{};
  GetSystemTimePreciseAsFileTime(&now);
  return (FileTimeValue(now) - kUnixEpochIn100ns) / k100nsPerMicrosecond;
}

std::int64_t SteadyMicroseconds() {
  static const std::int64_t frequency = [] {
    LARGE_INTEGER value{};
    QueryPerformanceFrequency(&value);
    return value.QuadPart > 0 ? value.QuadPart : 1;
  }();
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return now.QuadPart / frequency * 1'000'000 + now.QuadPart % frequency * 1'000'000 / frequency;
}

std::int64_t ProcessCpuMicroseconds() {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  return (FileTimeValue(kernel) + FileTimeValue(user)) / k100nsPerMicrosecond;
}

std::uint64_t PeakWorkingSetBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return 0;
  return counters.PeakWorkingSetSize;
}

std::vector<std::wstring> Arguments() {
  int count = 0;
  const std::unique_ptr<wchar_t*, ArgvDeleter> argv(CommandLineToArgvW(GetCommandLineW(), &count));
  std::vector<std::wstring> args;
  for (int i = 1; argv && i < count; ++i) args.emplace_back(argv.get()[i]);
  return args;
}

double NumberArgument(const std::vector<std::wstring>& args, std::size_t index, double fallback) {
  if (index >= args.size()) return fallback;
  wchar_t* end = nullptr;
  const double value = std::wcstod(args[index].c_str(), &end);
  return end != args[index].c_str() && *end == L'\0' ? value : fallback;
}

IntervalStats Intervals(const std::vector<std::int64_t>& timesMicroseconds) {
  IntervalStats stats;
  if (timesMicroseconds.size() < 2) return stats;
  std::vector<std::int64_t> gaps;
  gaps.reserve(timesMicroseconds.size() - 1);
  for (std::size_t i = 1; i < timesMicroseconds.size(); ++i) {
    gaps.push_back(timesMicroseconds[i] - timesMicroseconds[i - 1]);
  }
  std::sort(gaps.begin(), gaps.end());
  stats.count = gaps.size();
  stats.meanMs = static_cast<double>(timesMicroseconds.back() - timesMicroseconds.front()) /
                 static_cast<double>(gaps.size()) / kMicrosecondsPerMs;
  const auto rank = static_cast<std::size_t>(kPercentile * static_cast<double>(gaps.size() - 1));
  stats.p99Ms = static_cast<double>(gaps[rank]) / kMicrosecondsPerMs;
  stats.maxMs = static_cast<double>(gaps.back()) / kMicrosecondsPerMs;
  return stats;
}

void Report::Add(std::string_view key, double value) {
  char line[128];
  std::snprintf(line, sizeof(line), " %.6g\n", value);
  text_ += std::string(key) + line;
}

void Report::AddInteger(std::string_view key, std::int64_t value) {
  text_ += std::string(key) + " " + std::to_string(value) + "\n";
}

void Report::AddIntervals(std::string_view prefix, const IntervalStats& stats) {
  const std::string name(prefix);
  AddInteger(name + "_count", static_cast<std::int64_t>(stats.count));
  Add(name + "_mean_ms", stats.meanMs);
  Add(name + "_p99_ms", stats.p99Ms);
  Add(name + "_max_ms", stats.maxMs);
}

bool Report::Write() const {
  FILE* file = _wfopen(path_.c_str(), L"wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(text_.data(), 1, text_.size(), file) == text_.size();
  return std::fclose(file) == 0 && written;
}

Schedule ScheduleFrom(const std::vector<std::wstring>& args, std::size_t index) {
  return {static_cast<std::int64_t>(NumberArgument(args, index, 1.0) * kMicrosecondsPerSecond),
          static_cast<std::int64_t>(NumberArgument(args, index + 1, 5.0) * kMicrosecondsPerSecond)};
}

HWND CreateFullScreenWindow(HINSTANCE instance, const wchar_t* className, const wchar_t* caption,
                            WNDPROC windowProc, UINT classStyle) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = classStyle;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = className;
  RegisterClassExW(&windowClass);
  return CreateWindowExW(WS_EX_TOPMOST, className, caption, WS_POPUP, 0, 0,
                         GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                         nullptr, instance, nullptr);
}

}  // namespace vorn::bench
