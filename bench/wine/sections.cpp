// The measurements: each runs the programs it compares in the same session,
// several times, and adds its figures to the table.
#include <array>
#include <cmath>
#include <thread>

#include "wine_bench.h"

namespace vorn::bench {
namespace {

using namespace std::chrono_literals;

constexpr char kSaverCaption[] = "Vorn_Main";
constexpr char kDialogCaption[] = "Vornの設定";
constexpr char kMinimalCaption[] = "Vorn minimal";
constexpr char kFrameBench[] = "frame_bench.exe";
constexpr char kReference[] = "gdi_reference.exe";
constexpr char kMinimal[] = "minimal_window.exe";
constexpr Millis kRunBudget = 120s;
constexpr Millis kShowBudget = 30s;
constexpr Millis kEndBudget = 10s;
constexpr auto kSettle = 1s;  // after a window shows, before it is measured
constexpr double kFramePeriodMs = 1000.0 / 60.0;
constexpr double kPreviewCellMs = 100.0;
constexpr double kMegabyte = 1024.0 * 1024.0;
constexpr int kUsualSwarm = 400;
constexpr int kDialogNum = 200;  // what the dialog shows; it draws no swarm
constexpr int kLargeSwarm = 100000;

std::string Verdict(bool met) { return met ? "met" : "missed"; }

// A program started in its own folder, with its window on the screen.
struct Running {
  std::unique_ptr<e2e::ProgramFolder> folder;
  std::unique_ptr<e2e::ChildProcess> child;
  fs::path report;
  std::int64_t startedUnix = 0;
};

Running Start(Session& session, const fs::path& program, int num,
              const std::vector<std::string>& args) {
  Running run;
  run.folder = session.Folder(program, num);
  run.report = run.folder->Dir() / "report.txt";
  run.startedUnix = UnixMicroseconds();
  run.child = session.Launch(*run.folder, args, run.report);
  return run;
}

Running StartWindowed(Session& session, const fs::path& program, int num,
                      const std::vector<std::string>& args, const char* caption) {
  Running run = Start(session, program, num, args);
  session.X().FindWindowByCaption(caption, e2e::Deadline::In(kShowBudget));
  return run;
}

// Milliseconds from the process's start to the first frame it reported.
double StartToFirstFrame(const Running& run) {
  const double first = ReadReport(run.report)["first_present_unix_us"];
  if (first <= 0) throw e2e::E2eError(run.child->Name() + " reported no first frame");
  return (first - static_cast<double>(run.startedUnix)) / 1000.0;
}

// Presses a key and returns the milliseconds until the process has ended.
double EndByKey(Session& session, Running& run) {
  const std::int64_t pressed = SteadyMicroseconds();
  session.X().TapKey("space");
  const std::optional<double> ms = WaitForEnd(run.child->Pid(), pressed, kEndBudget);
  if (!ms) throw e2e::E2eError(run.child->Name() + " did not end on a key press");
  run.child->TryWaitExit(e2e::Deadline::In(kEndBudget));
  return *ms;
}

// Processor time of the process (and of the X server and wineserver) over
// `span`, as a share of one core.
struct CpuShare {
  double process = 0;
  double helpers = 0;
};

CpuShare MeasureCpu(Session& session, pid_t pid, std::chrono::seconds span) {
  const auto helperSeconds = [&] {
    double total = 0;
    for (const pid_t helper : session.Helpers()) total += ProcessCpuSeconds(helper).value_or(0);
    return total;
  };
  const double process0 = ProcessCpuSeconds(pid).value_or(0);
  const double helpers0 = helperSeconds();
  const std::int64_t start = SteadyMicroseconds();
  std::this_thread::sleep_for(span);
  const double elapsed = static_cast<double>(SteadyMicroseconds() - start) / 1e6;
  const double process1 = ProcessCpuSeconds(pid).value_or(process0);
  return {(process1 - process0) / elapsed, (helperSeconds() - helpers0) / elapsed};
}

std::string ScreenText(const Session& session) {
  return std::to_string(session.Screen().width) + "x" + std::to_string(session.Screen().height);
}

std::string ScreenName(const Session& session, int num) {
  return ScreenText(session) + ", Num " + std::to_string(num);
}

struct Contender {
  fs::path program;
  std::vector<std::string> args;
  std::vector<double> fps;
  std::vector<double> share;
};

}  // namespace

void WarmUp(Session& session) {
  Running minimal = StartWindowed(session, session.Settings().Program(kMinimal), 0, {"{report}"},
                                  kMinimalCaption);
  std::this_thread::sleep_for(kSettle);
  EndByKey(session, minimal);
}

// Runs the three contenders round after round, in a rotating order, so that
// a slow spell of the machine falls on each of them alike.
std::vector<double> RunRounds(Session& session, int num, std::array<Contender, 3>& contenders) {
  std::vector<double> ratios;
  for (int round = 0; round < session.Settings().rounds; ++round) {
    for (std::size_t i = 0; i < contenders.size(); ++i) {
      Contender& next = contenders[(i + static_cast<std::size_t>(round)) % contenders.size()];
      Values values = session.RunToReport(next.program, num, next.args, kRunBudget);
      next.fps.push_back(values["fps"]);
      next.share.push_back(values["particle_share"]);
    }
    ratios.push_back(contenders[0].fps.back() / contenders[1].fps.back());
  }
  return ratios;
}

void MeasureThroughput(Session& session, int num, Table& table) {
  const BenchSettings& settings = session.Settings();
  const std::string warm = settings.quick ? "0.5" : "1";
  const std::string span = settings.quick ? "2" : "4";
  const std::string count = std::to_string(num);
  const fs::path frameBench = settings.Program(kFrameBench);
  const fs::path reference = settings.Program(kReference);
  std::array<Contender, 3> contenders{{
      {frameBench, {"unpaced", warm, span, "{report}"}, {}, {}},
      {reference, {"reference", count, warm, span, "{report}"}, {}, {}},
      {reference, {"floor", count, warm, span, "{report}"}, {}, {}},
  }};
  const std::vector<double> ratios = RunRounds(session, num, contenders);
  const std::string section = "throughput, " + ScreenName(session, num);
  const std::string rounds = std::to_string(ratios.size());
  table.Add({section, "Vorn frame cycle, unpaced (fps, median of " + rounds + ")",
             Fixed(Median(contenders[0].fps), 0),
             "GDI reference loop " + Fixed(Median(contenders[1].fps), 0) +
                 ", clear + present floor " + Fixed(Median(contenders[2].fps), 0),
             "≥ reference", Verdict(Median(ratios) >= 1.0)});
  table.Add({section, "Vorn / reference (median of the rounds' ratios)", Fixed(Median(ratios), 2),
             "", "≥ 1", ""});
  table.Add({section, "share of Vorn's frame spent stepping and drawing particles",
             Fixed(100 * Median(contenders[0].share), 0) + " %",
             "reference " + Fixed(100 * Median(contenders[1].share), 0) + " %", "", ""});
}

void MeasurePacedSaver(Session& session, int num, Table& table) {
  const BenchSettings& settings = session.Settings();
  const int seconds = settings.quick ? 5 : 20;
  const std::string span = std::to_string(seconds);
  const std::string section = "paced saver, " + ScreenName(session, num);
  Running saver = StartWindowed(session, settings.vornScr, num, {"/s"}, kSaverCaption);
  std::this_thread::sleep_for(kSettle);
  const CpuShare cpu = MeasureCpu(session, saver.child->Pid(), std::chrono::seconds(seconds));
  EndByKey(session, saver);
  Values floor = session.RunToReport(settings.Program(kReference), 0,
                                     {"floor", "0", "1", span, "{report}", "60"}, kRunBudget);
  table.Add({section, "Vorn.scr /s processor time over " + span + " s",
             Fixed(100 * cpu.process, 1) + " % of a core",
             "clear + present floor at 60 fps " + Fixed(floor["cpu_percent"], 1) +
                 " %; X server + wineserver " + Fixed(100 * cpu.helpers, 1) + " %",
             "< 15 %", Verdict(cpu.process < 0.15)});
  Values paced = session.RunToReport(settings.Program(kFrameBench), num,
                                     {"paced", "1", span, "{report}"}, kRunBudget);
  const double mean = paced["interval_mean_ms"];
  const double p99 = paced["interval_p99_ms"];
  table.Add({section, "frame interval, mean (ms)", Fixed(mean, 2), "1/60 s = 16.67 ms",
             "within 5 %", Verdict(std::abs(mean / kFramePeriodMs - 1) <= 0.05)});
  table.Add({section, "frame interval, 99th percentile (ms)", Fixed(p99, 2),
             "max " + Fixed(paced["interval_max_ms"], 1) + " ms", "< 25 ms", Verdict(p99 < 25)});
  table.Add({section, "processor time, the benchmark build's own accounting",
             Fixed(paced["cpu_percent"], 1) + " % of a core", "", "< 15 %",
             Verdict(paced["cpu_percent"] < 15)});
}

void MeasureStartAndEnd(Session& session, int num, Table& table) {
  const BenchSettings& settings = session.Settings();
  std::vector<double> minimalStart, saverStart, minimalEnd, saverEnd;
  for (int round = 0; round < settings.rounds; ++round) {
    Running minimal = StartWindowed(session, settings.Program(kMinimal), num, {"{report}"},
                                    kMinimalCaption);
    std::this_thread::sleep_for(kSettle);
    minimalEnd.push_back(EndByKey(session, minimal));
    minimalStart.push_back(StartToFirstFrame(minimal));
    Running measured =
        Start(session, settings.Program(kFrameBench), num, {"paced", "0", "0.3", "{report}"});
    measured.child->WaitExit(e2e::Deadline::In(kRunBudget));
    saverStart.push_back(StartToFirstFrame(measured));
    Running saver = StartWindowed(session, settings.vornScr, num, {"/s"}, kSaverCaption);
    std::this_thread::sleep_for(kSettle);
    saverEnd.push_back(EndByKey(session, saver));
  }
  const std::string section = "start and end, " + ScreenName(session, num);
  const double startAdded = Median(saverStart) - Median(minimalStart);
  const double endAdded = Median(saverEnd) - Median(minimalEnd);
  table.Add({section, "process start to first presented frame (ms)", Fixed(Median(saverStart), 0),
             "minimal window " + Fixed(Median(minimalStart), 0), "", ""});
  table.Add({section, "added by the saver (ms)", Fixed(startAdded, 0), "", "< 50 ms",
             Verdict(startAdded < 50)});
  table.Add({section, "key press to process exit (ms)", Fixed(Median(saverEnd), 0),
             "minimal window " + Fixed(Median(minimalEnd), 0), "", ""});
  table.Add({section, "added by the saver (ms)", Fixed(endAdded, 0), "", "< 50 ms",
             Verdict(endAdded < 50)});
}

// The peak resident set of a program a few seconds after its window shows, MB.
double PeakOf(Session& session, const fs::path& program, int num,
              const std::vector<std::string>& args, const char* caption) {
  Running run = StartWindowed(session, program, num, args, caption);
  std::this_thread::sleep_for(session.Settings().quick ? 1s : 3s);
  const double bytes = static_cast<double>(PeakResidentBytes(run.child->Pid()).value_or(0));
  EndByKey(session, run);
  return bytes / kMegabyte;
}

void MeasureMemory(Session& session, Table& table) {
  const BenchSettings& settings = session.Settings();
  std::vector<double> minimal;
  for (int round = 0; round < std::min(settings.rounds, 3); ++round) {
    const fs::path program = settings.Program(kMinimal);
    minimal.push_back(PeakOf(session, program, 0, {"{report}"}, kMinimalCaption));
  }
  const double baseline = Median(minimal);
  const std::string section = "memory, " + ScreenText(session);
  for (const auto& [num, limit] : {std::pair{kUsualSwarm, 16.0}, std::pair{kLargeSwarm, 20.0}}) {
    const double peak = PeakOf(session, settings.vornScr, num, {"/s"}, kSaverCaption);
    table.Add({section,
               "Vorn.scr /s, Num " + std::to_string(num) + ": peak working set above the minimal "
                   "window (MB)",
               Fixed(peak - baseline, 1),
               "minimal window " + Fixed(baseline, 1) + " MB, Vorn " + Fixed(peak, 1) + " MB",
               "< " + Fixed(limit, 0) + " MB", Verdict(peak - baseline < limit)});
  }
}

void MeasureDialog(Session& session, Table& table) {
  const BenchSettings& settings = session.Settings();
  const int seconds = settings.quick ? 3 : 10;
  Running dialog = StartWindowed(session, settings.vornScr, kDialogNum, {"/c"}, kDialogCaption);
  std::this_thread::sleep_for(kSettle);
  const CpuShare cpu = MeasureCpu(session, dialog.child->Pid(), std::chrono::seconds(seconds));
  dialog.child->Stop(e2e::Deadline::In(kEndBudget));
  const std::string section = "settings dialog (Vorn.scr /c)";
  table.Add({section, "processor time while open, " + std::to_string(seconds) + " s",
             Fixed(100 * cpu.process, 1) + " % of a core",
             "X server + wineserver " + Fixed(100 * cpu.helpers, 1) + " %", "< 3 %",
             Verdict(cpu.process < 0.03)});
  Values preview =
      session.RunToReport(settings.Program(kFrameBench), kDialogNum,
                          {"dialog", "1", std::to_string(seconds), "{report}"}, kRunBudget);
  const double mean = preview["interval_mean_ms"];
  table.Add({section, "preview cell interval, mean (ms)", Fixed(mean, 1),
             "p99 " + Fixed(preview["interval_p99_ms"], 1) + " ms", "100 ms ± 10 %",
             Verdict(std::abs(mean / kPreviewCellMs - 1) <= 0.10)});
}

}  // namespace vorn::bench
