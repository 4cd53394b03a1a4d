// The saver's own code under a meter: the program's routines (VornS, its
// frame cycle, the start-up routine) on the real Win32 adapter, with the
// resources of Vorn.scr, reading Vorn.ini beside this program.
//
//   frame_bench.exe unpaced WARMUP SECONDS REPORT   frames as fast as they come
//   frame_bench.exe paced   WARMUP SECONDS REPORT   "Vorn.scr /s" as users run it
//   frame_bench.exe dialog  WARMUP SECONDS REPORT   "Vorn.scr /c", the preview timed
//
// WARMUP and SECONDS are seconds counted from the first presented frame (or
// preview cell); REPORT is the file the figures go to (bench/wine reads it).
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench_support.h"
#include "measured_platform.h"
#include "saver/saver.h"
#include "settings/settings.h"
#include "startup/main.h"

namespace {

constexpr std::size_t kModeArgument = 0;
constexpr std::size_t kScheduleArgument = 1;
constexpr std::size_t kReportArgument = 3;
constexpr int kUsageExitCode = 2;
// The frame cycle with no pacing wait: a frame is drawn as soon as the last
// one is presented and the waiting messages are dispatched.
constexpr std::int64_t kUnpaced = 0;

int Usage() {
  std::fputs("usage: frame_bench.exe unpaced|paced|dialog WARMUP SECONDS REPORT\n", stderr);
  return kUsageExitCode;
}

// The saver's window and frame cycle as Vorn.scr runs them for a plain start,
// with the pacing wait left out.
void RunUnpaced(vorn::Platform& platform) {
  vorn::Settings settings;
  vorn::LoadSettings(platform, settings);
  vorn::VornS saver(platform, settings, 0, kUnpaced);
  saver.Load();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const std::vector<std::wstring> args = vorn::bench::Arguments();
  if (args.size() <= kReportArgument) return Usage();
  const std::wstring& mode = args[kModeArgument];
  const vorn::bench::Schedule schedule = vorn::bench::ScheduleFrom(args, kScheduleArgument);
  vorn::bench::Report report(args[kReportArgument]);
  if (mode == L"unpaced") {
    vorn::bench::MeasuredPlatform platform(instance, "", schedule, std::move(report));
    RunUnpaced(platform);
    return 0;
  }
  const char* argumentText = mode == L"paced" ? "/s" : mode == L"dialog" ? "/c" : nullptr;
  if (argumentText == nullptr) return Usage();
  vorn::bench::MeasuredPlatform platform(instance, argumentText, schedule, std::move(report));
  vorn::Main(platform);
  return 0;
}
