// vorn_wine_bench: measures Vorn.scr and its yardsticks under Wine and prints
// the table of docs/performance.md.
//
//   vorn_wine_bench [--quick] [--rounds N] [--only throughput,paced,start,memory,dialog]
//
// --quick shortens every span (a check that the bench works, not figures);
// --rounds sets how often each comparison repeats (5); --only picks sections.
// VORN_E2E_SCR names the Vorn.scr under test and VORN_BENCH_PROGRAMS the
// folder of the benchmark programs (<win64 build>/bench/win32).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

#include "wine_bench.h"

namespace vorn::bench {
namespace {

constexpr e2e::Size kSmallScreen{1024, 768};
constexpr e2e::Size kLargeScreen{1920, 1080};
constexpr int kSmallSwarm = 200;
constexpr int kLargeSwarm = 400;

struct Options {
  BenchSettings settings;
  std::set<std::string> sections = {"throughput", "paced", "start", "memory", "dialog"};
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  const e2e::BenchPaths paths = e2e::DefaultBenchPaths();
  options.settings.vornScr = paths.vornScr;
  const char* programs = std::getenv("VORN_BENCH_PROGRAMS");
  options.settings.programsDir = programs != nullptr && *programs != '\0'
                                     ? fs::path(programs)
                                     : paths.vornScr.parent_path() / "bench" / "win32";
  options.settings.workDir = fs::path(VORN_BENCH_BUILD_DIR) / "bench-work";
  options.settings.prefix = options.settings.workDir / "prefix";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--quick") {
      options.settings.quick = true;
      options.settings.rounds = 1;
    } else if (arg == "--rounds" && i + 1 < argc) {
      options.settings.rounds = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--only" && i + 1 < argc) {
      options.sections.clear();
      std::stringstream list(argv[++i]);
      for (std::string name; std::getline(list, name, ',');) options.sections.insert(name);
    } else {
      throw e2e::E2eError("unknown argument '" + arg + "'; see the top of wine_bench_main.cpp");
    }
  }
  return options;
}

std::string FirstLineWith(const char* file, const std::string& key) {
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with(key)) return line.substr(line.find(':') + 1);
  }
  return "?";
}

std::string MachineText() {
  std::ifstream load("/proc/loadavg");
  std::string one, five;
  load >> one >> five;
  return std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + " cores," +
         FirstLineWith("/proc/cpuinfo", "model name") + ", load average " + one + " / " + five;
}

void Run(const Options& options, Table& table) {
  const auto wanted = [&](const char* name) { return options.sections.count(name) > 0; };
  if (wanted("throughput")) {
    Session small(options.settings, kSmallScreen);
    WarmUp(small);
    MeasureThroughput(small, kSmallSwarm, table);
  }
  Session large(options.settings, kLargeScreen);
  WarmUp(large);
  if (wanted("throughput")) MeasureThroughput(large, kLargeSwarm, table);
  if (wanted("paced")) MeasurePacedSaver(large, kLargeSwarm, table);
  if (wanted("start")) MeasureStartAndEnd(large, kLargeSwarm, table);
  if (wanted("memory")) MeasureMemory(large, table);
  if (wanted("dialog")) MeasureDialog(large, table);
}

}  // namespace
}  // namespace vorn::bench

int main(int argc, char** argv) {
  using namespace vorn::bench;
  try {
    const Options options = ParseOptions(argc, argv);
    fs::create_directories(options.settings.workDir / "logs");
    const std::string before = MachineText();
    Table table;
    Run(options, table);
    std::ostringstream text;
    text << "machine: " << before << " at the start; " << MachineText() << " at the end\n\n"
         << table.Markdown();
    std::cout << text.str();
    std::ofstream(options.settings.workDir / "results.md") << text.str();
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "vorn_wine_bench: " << error.what() << "\n";
    return 1;
  }
}
