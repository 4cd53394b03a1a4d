// The driver of the Windows benchmarks: it runs Vorn.scr and the programs of
// bench/win32 under Wine on private Xvfb screens of the sizes measured, reads
// what they report and what the kernel counts for their processes, and
// collects the figures into one table.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "harness.h"

namespace vorn::bench {

namespace fs = std::filesystem;
using e2e::Millis;

// "key value" lines that a benchmark program wrote.
using Values = std::map<std::string, double>;

struct BenchSettings {
  fs::path vornScr;       // build/win64/Vorn.scr
  fs::path programsDir;   // build/win64/bench/win32
  fs::path workDir;       // copies of the programs, reports, logs
  fs::path prefix;        // the Wine prefix, kept between runs
  int rounds = 5;         // repetitions of each comparison
  bool quick = false;     // shorter spans: a check that everything runs
  fs::path Program(std::string_view exe) const { return programsDir / exe; }
};

// One figure of the table.
struct Row {
  std::string section;
  std::string what;
  std::string value;
  std::string reference;  // what it is measured against, in the same run
  std::string target;
  std::string verdict;    // "met", "missed" or "" (no target)
};

class Table {
 public:
  void Add(Row row) { rows_.push_back(std::move(row)); }
  std::string Markdown() const;

 private:
  std::vector<Row> rows_;
};

// One Xvfb screen and a Wine session on it.
class Session {
 public:
  Session(const BenchSettings& settings, e2e::Size screen);
  e2e::Size Screen() const { return display_.ScreenSize(); }
  e2e::XClient& X() { return display_.Client(); }
  const BenchSettings& Settings() const { return settings_; }

  // A fresh folder with a copy of `program` and a Vorn.ini setting Num.
  std::unique_ptr<e2e::ProgramFolder> Folder(const fs::path& program, int num) const;
  // Starts the program in its folder; `args` may hold "{report}", which
  // becomes the Windows path of `report`.
  std::unique_ptr<e2e::ChildProcess> Launch(const e2e::ProgramFolder& folder,
                                            std::vector<std::string> args,
                                            const fs::path& report = {}) const;
  // Runs the program to its end and returns its report.
  Values RunToReport(const fs::path& program, int num, const std::vector<std::string>& args,
                     Millis budget) const;
  // The other processes that work for a Wine program: the X server and the
  // wineserver, by pid.
  std::vector<pid_t> Helpers() const;

 private:
  const BenchSettings& settings_;
  e2e::VirtualDisplay display_;
  e2e::WineSession wine_;
};

// --- what the kernel counts for a process --------------------------------
// User plus system time, seconds; nullopt once the process is gone.
std::optional<double> ProcessCpuSeconds(pid_t pid);
// The peak resident set (VmHWM), bytes; nullopt once the process is gone.
std::optional<std::int64_t> PeakResidentBytes(pid_t pid);
// Waits for the process to end (without reaping it); the milliseconds from
// `since` (SteadyMicroseconds) to the moment it ended, or nullopt at `budget`.
std::optional<double> WaitForEnd(pid_t pid, std::int64_t since, Millis budget);

std::int64_t SteadyMicroseconds();
std::int64_t UnixMicroseconds();
double Median(std::vector<double> values);
Values ReadReport(const fs::path& file);
std::string Fixed(double value, int decimals);

// --- the measurements (sections.cpp) --------------------------------------
// Starts and ends one program, so that the first measured one does not pay
// for the Wine session's own start (its desktop process).
void WarmUp(Session& session);
void MeasureThroughput(Session& session, int num, Table& table);
void MeasurePacedSaver(Session& session, int num, Table& table);
void MeasureStartAndEnd(Session& session, int num, Table& table);
void MeasureMemory(Session& session, Table& table);
void MeasureDialog(Session& session, Table& table);

}  // namespace vorn::bench
