// Time, files, paths and child processes of the end-to-end bench.
#include "harness.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

extern char** environ;

namespace vorn::e2e {
namespace {

constexpr int kExecFailedCode = 127;
constexpr Millis kKillReapBudget{5000};

std::string Quote(const std::vector<std::string>& argv) {
  std::string text;
  for (const auto& arg : argv) {
    if (!text.empty()) text += ' ';
    text += arg.find(' ') == std::string::npos ? arg : "'" + arg + "'";
  }
  return text;
}

std::string ErrnoText(std::string_view what) {
  return std::string(what) + ": " + std::strerror(errno);
}

// Resolves a program name through PATH (done before fork, so the child only execs).
std::string ResolveProgram(const std::string& name) {
  if (name.find('/') != std::string::npos) return name;
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    const fs::path candidate = fs::path(dir.empty() ? "." : dir) / name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  throw E2eError("cannot start '" + name + "': not found in PATH");
}

std::vector<std::string> MergedEnvironment(const EnvVars& overrides) {
  std::vector<std::string> merged;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    const auto name = text.substr(0, text.find('='));
    const bool replaced = std::any_of(overrides.begin(), overrides.end(),
                                      [&](const auto& kv) { return kv.first == name; });
    if (!replaced) merged.emplace_back(text);
  }
  for (const auto& [name, value] : overrides) merged.push_back(name + "=" + value);
  return merged;
}

std::vector<char*> CStrings(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (auto& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

// What the forked child needs, all prepared before fork.
struct ChildSetup {
  const char* program;
  char* const* argv;
  char* const* envp;
  const char* workdir;
  int logFd;
  int fd3;
  int errorPipe;
  pid_t parent;
  int deathSignal;
};

[[noreturn]] void FailChild(int errorPipe) {
  const int error = errno;
  [[maybe_unused]] auto written = write(errorPipe, &error, sizeof error);
  _exit(kExecFailedCode);
}

// Runs in the forked child: only async-signal-safe calls until execve.
[[noreturn]] void ExecChild(const ChildSetup& setup) {
  prctl(PR_SET_PDEATHSIG, setup.deathSignal);
  if (getppid() != setup.parent) _exit(kExecFailedCode);
  signal(SIGPIPE, SIG_DFL);
  const int nullFd = open("/dev/null", O_RDONLY);
  if (nullFd >= 0) dup2(nullFd, STDIN_FILENO);
  dup2(setup.logFd, STDOUT_FILENO);
  dup2(setup.logFd, STDERR_FILENO);
  if (setup.fd3 == 3) fcntl(3, F_SETFD, 0);
  else if (setup.fd3 >= 0) dup2(setup.fd3, 3);
  if (setup.workdir[0] != '\0' && chdir(setup.workdir) != 0) FailChild(setup.errorPipe);
  execve(setup.program, setup.argv, setup.envp);
  FailChild(setup.errorPipe);
}

int OpenLog(const fs::path& logFile) {
  const char* target = logFile.empty() ? "/dev/null" : logFile.c_str();
  const int fd = open(target, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw E2eError(ErrnoText("cannot open log file " + std::string(target)));
  return fd;
}

std::string Getenv(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

// ---------------------------------------------------------------- time

Deadline Deadline::In(Millis budget) {
  const auto now = Clock::now();
  return Deadline(now, now + budget);
}

Millis Deadline::Remaining() const {
  const auto left = std::chrono::duration_cast<Millis>(end_ - Clock::now());
  return std::max(left, Millis{0});
}

Millis Deadline::Elapsed() const {
  return std::chrono::duration_cast<Millis>(Clock::now() - start_);
}

Millis Deadline::Budget() const { return std::chrono::duration_cast<Millis>(end_ - start_); }

// ---------------------------------------------------------------- files

TempDir::TempDir(const fs::path& parent, std::string_view namePrefix) {
  fs::create_directories(parent);
  std::string pattern = (parent / (std::string(namePrefix) + "XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) throw E2eError(ErrnoText("mkdtemp " + pattern));
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void WriteFileBytes(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw E2eError("cannot write " + file.string());
}

std::optional<std::string> ReadFileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void RequireFile(const fs::path& file, std::string_view what, std::string_view hint) {
  if (fs::is_regular_file(file)) return;
  throw E2eError(std::string(what) + " not found at " + file.string() + ": " + std::string(hint));
}

BenchPaths DefaultBenchPaths() {
  BenchPaths paths;
  paths.sourceDir = VORN_SOURCE_DIR;
  paths.buildDir = VORN_E2E_BUILD_DIR;
  const fs::path win64 = paths.sourceDir / "build" / "win64";
  const auto pick = [](const char* variable, const fs::path& fallback) {
    const std::string value = Getenv(variable);
    return value.empty() ? fallback : fs::path(value);
  };
  paths.vornScr = pick("VORN_E2E_SCR", win64 / "Vorn.scr");
  paths.helperDir = pick("VORN_E2E_HELPERS", win64 / "tests" / "e2e" / "win32");
  paths.artifactsDir = pick("VORN_E2E_ARTIFACTS", paths.buildDir / "e2e-artifacts");
  paths.keptPrefix = pick("VORN_E2E_PREFIX", {});
  return paths;
}

// ---------------------------------------------------------------- processes

std::string ExitStatus::Describe() const {
  if (exited) return "exit code " + std::to_string(code);
  return "killed by signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
}

fs::path NextLogFile(const fs::path& logDir, std::string_view name) {
  static std::atomic<int> counter{0};
  std::string safe;
  for (const char c : name) safe += std::isalnum(static_cast<unsigned char>(c)) || c == '.' ? c : '_';
  fs::create_directories(logDir);
  const std::string number = std::to_string(1000 + ++counter).substr(1);
  return logDir / (number + "-" + safe.substr(0, 60) + ".log");
}

ChildProcess::ChildProcess(SpawnOptions options) : options_(std::move(options)) {
  if (options_.argv.empty()) throw E2eError("ChildProcess '" + options_.name + "' has no argv");
  const std::string program = ResolveProgram(options_.argv.front());
  std::vector<std::string> argv = options_.argv;
  std::vector<std::string> env = MergedEnvironment(options_.env);
  const auto argvPointers = CStrings(argv);
  const auto envPointers = CStrings(env);
  const std::string workdir = options_.workdir.string();
  const int logFd = OpenLog(options_.logFile);
  int errorPipe[2];
  if (pipe2(errorPipe, O_CLOEXEC) != 0) throw E2eError(ErrnoText("pipe2"));
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ == 0) {
    ExecChild({program.c_str(), argvPointers.data(), envPointers.data(), workdir.c_str(), logFd,
               options_.inheritAsFd3, errorPipe[1], parent, options_.deathSignal});
  }
  const int forkErrno = errno;
  close(errorPipe[1]);
  close(logFd);
  int childErrno = 0;
  const auto got = pid_ > 0 ? read(errorPipe[0], &childErrno, sizeof childErrno) : 0;
  close(errorPipe[0]);
  if (pid_ < 0) throw E2eError("fork for " + options_.name + ": " + std::strerror(forkErrno));
  if (got == static_cast<ssize_t>(sizeof childErrno)) {
    Reap(0);
    throw E2eError("cannot start " + options_.name + " (" + Quote(options_.argv) + ") in '" +
                   workdir + "': " + std::strerror(childErrno));
  }
}

ChildProcess::~ChildProcess() {
  try {
    Kill();
  } catch (...) {
    // Nothing more can be done for a child that refuses to be reaped.
  }
}

bool ChildProcess::Reap(int flags) {
  if (status_) return true;
  int raw = 0;
  const pid_t result = waitpid(pid_, &raw, flags);
  if (result == 0) return false;
  if (result < 0) {
    if (errno == EINTR) return false;
    status_ = ExitStatus{false, 0, 0};  // ECHILD: nothing left to wait for
    return true;
  }
  status_ = WIFEXITED(raw) ? ExitStatus{true, WEXITSTATUS(raw), 0}
                           : ExitStatus{false, 0, WIFSIGNALED(raw) ? WTERMSIG(raw) : 0};
  return true;
}

bool ChildProcess::IsRunning() { return !Reap(WNOHANG); }

std::optional<ExitStatus> ChildProcess::TryWaitExit(const Deadline& deadline) {
  if (PollUntil(deadline, [&] { return Reap(WNOHANG); })) return status_;
  return std::nullopt;
}

int ChildProcess::WaitExit(const Deadline& deadline) {
  const auto status = TryWaitExit(deadline);
  if (!status) {
    throw E2eError("waited " + std::to_string(deadline.Budget().count()) + " ms for " +
                   options_.name + " (pid " + std::to_string(pid_) +
                   ") to exit, but it is still running; its output:\n" + LogTail());
  }
  if (!status->exited) {
    throw E2eError(options_.name + " (pid " + std::to_string(pid_) + ") did not exit normally: " +
                   status->Describe() + "; its output:\n" + LogTail());
  }
  return status->code;
}

ExitStatus ChildProcess::Stop(const Deadline& deadline) {
  if (IsRunning()) {
    kill(pid_, SIGTERM);
    if (!TryWaitExit(deadline)) Kill();
  }
  return *status_;
}

void ChildProcess::Kill() {
  if (pid_ <= 0 || !IsRunning()) return;
  kill(pid_, SIGKILL);
  if (!PollUntil(Deadline::In(kKillReapBudget), [&] { return Reap(WNOHANG); })) {
    throw E2eError(options_.name + " (pid " + std::to_string(pid_) + ") survived SIGKILL");
  }
}

std::string ChildProcess::Output() const {
  return options_.logFile.empty() ? std::string() : ReadFileBytes(options_.logFile).value_or("");
}

std::string ChildProcess::LogTail(std::size_t maxBytes) const {
  if (options_.logFile.empty()) return "(not logged)";
  const auto text = ReadFileBytes(options_.logFile).value_or("");
  if (text.empty()) return "(no output) [" + options_.logFile.string() + "]";
  const std::string tail = text.size() > maxBytes ? "…" + text.substr(text.size() - maxBytes) : text;
  return tail + "[" + options_.logFile.string() + "]";
}

}  // namespace vorn::e2e
