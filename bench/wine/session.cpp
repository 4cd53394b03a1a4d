// The screen and Wine session of a measurement, the programs' reports, and
// what the kernel counts for their processes.
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>

#include "wine_bench.h"

namespace vorn::bench {
namespace {

constexpr char kReportPlaceholder[] = "{report}";
constexpr char kReportFile[] = "report.txt";
constexpr std::int64_t kMicrosecondsPerSecond = 1'000'000;
constexpr std::int64_t kNanosecondsPerMicrosecond = 1000;
constexpr std::int64_t kBytesPerKilobyte = 1024;
// In /proc/<pid>/stat after the command's closing parenthesis: the state is
// field 3, utime field 14 and stime field 15.
constexpr std::size_t kUtimeAfterParen = 11;
constexpr std::size_t kStimeAfterParen = 12;

// Wine sees the host's root as drive Z:.
std::string WindowsPath(const fs::path& file) {
  std::string text = "Z:" + fs::absolute(file).string();
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

std::int64_t ClockMicroseconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return now.tv_sec * kMicrosecondsPerSecond + now.tv_nsec / kNanosecondsPerMicrosecond;
}

std::optional<std::string> ReadProcFile(pid_t pid, const char* name) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/" + name);
  if (!file) return std::nullopt;
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

e2e::WineOptions OptionsFor(const BenchSettings& settings) {
  e2e::WineOptions options;
  options.prefix = settings.prefix;
  options.temporary = false;  // booted once, kept for the next run
  options.logDir = settings.workDir / "logs";
  return options;
}

}  // namespace

std::int64_t SteadyMicroseconds() { return ClockMicroseconds(CLOCK_MONOTONIC); }
std::int64_t UnixMicroseconds() { return ClockMicroseconds(CLOCK_REALTIME); }

Session::Session(const BenchSettings& settings, e2e::Size screen)
    : settings_(settings),
      display_(settings.workDir / "logs", screen),
      wine_(display_.Name(), OptionsFor(settings)) {}

std::unique_ptr<e2e::ProgramFolder> Session::Folder(const fs::path& program, int num) const {
  e2e::RequireFile(program, program.filename().string(),
                   "build the win64 preset first (scripts/bench.sh does)");
  auto folder = std::make_unique<e2e::ProgramFolder>(program, settings_.workDir);
  folder->WriteSettings("[Section]\r\nNum=" + std::to_string(num) + "\r\n");
  return folder;
}

std::unique_ptr<e2e::ChildProcess> Session::Launch(const e2e::ProgramFolder& folder,
                                                   std::vector<std::string> args,
                                                   const fs::path& report) const {
  for (std::string& arg : args) {
    if (arg == kReportPlaceholder) arg = WindowsPath(report);
  }
  return wine_.Launch(folder.Program(), args, folder.Dir());
}

Values Session::RunToReport(const fs::path& program, int num, const std::vector<std::string>& args,
                            Millis budget) const {
  const auto folder = Folder(program, num);
  const fs::path report = folder->Dir() / kReportFile;
  const auto child = Launch(*folder, args, report);
  child->WaitExit(e2e::Deadline::In(budget));
  Values values = ReadReport(report);
  if (values.empty()) {
    throw e2e::E2eError(child->Name() + " wrote no report; its output:\n" + child->LogTail());
  }
  return values;
}

std::vector<pid_t> Session::Helpers() const {
  std::vector<pid_t> helpers;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || !std::all_of(name.begin(), name.end(), ::isdigit)) continue;
    const pid_t pid = std::stoi(name);
    const auto stat = ReadProcFile(pid, "stat");
    const auto comm = ReadProcFile(pid, "comm");
    if (!stat || !comm) continue;
    const std::size_t paren = stat->rfind(')');
    std::istringstream fields(stat->substr(paren + 1));
    std::string state;
    pid_t parent = 0;
    fields >> state >> parent;
    const bool ours = comm->starts_with("Xvfb") || comm->starts_with("wineserver");
    if (parent == getpid() && ours) helpers.push_back(pid);
  }
  return helpers;
}

std::optional<double> ProcessCpuSeconds(pid_t pid) {
  const auto stat = ReadProcFile(pid, "stat");
  if (!stat || stat->rfind(')') == std::string::npos) return std::nullopt;
  std::istringstream fields(stat->substr(stat->rfind(')') + 1));
  std::vector<std::string> after(std::istream_iterator<std::string>(fields), {});
  if (after.size() <= kStimeAfterParen) return std::nullopt;
  const double ticks = std::stod(after[kUtimeAfterParen]) + std::stod(after[kStimeAfterParen]);
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::optional<std::int64_t> PeakResidentBytes(pid_t pid) {
  const auto status = ReadProcFile(pid, "status");
  if (!status) return std::nullopt;
  const std::size_t at = status->find("VmHWM:");
  if (at == std::string::npos) return std::nullopt;
  return std::stoll(status->substr(at + 6)) * kBytesPerKilobyte;
}

std::optional<double> WaitForEnd(pid_t pid, std::int64_t since, Millis budget) {
  const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (pidfd < 0) return std::nullopt;  // already reaped
  pollfd watch{pidfd, POLLIN, 0};
  const int ready = poll(&watch, 1, static_cast<int>(budget.count()));
  const std::int64_t now = SteadyMicroseconds();
  close(pidfd);
  if (ready != 1) return std::nullopt;
  return static_cast<double>(now - since) / 1000.0;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

Values ReadReport(const fs::path& file) {
  Values values;
  std::ifstream in(file);
  std::string key;
  double value = 0;
  while (in >> key >> value) values[key] = value;
  return values;
}

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof(text), "%.*f", decimals, value);
  return text;
}

std::string Table::Markdown() const {
  std::string text =
      "| section | measured | value | against (same run) | target | |\n"
      "|---|---|---|---|---|---|\n";
  for (const Row& row : rows_) {
    text += "| " + row.section + " | " + row.what + " | " + row.value + " | " + row.reference +
            " | " + row.target + " | " + row.verdict + " |\n";
  }
  return text;
}

}  // namespace vorn::bench
