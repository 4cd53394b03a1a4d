// The private Wine prefix, programs launched under Wine, and the shared bench.
#include <signal.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdlib>

#include "harness.h"

namespace vorn::e2e {
namespace {

constexpr Millis kBootBudget{180000};
constexpr Millis kBootServerExitBudget{60000};
constexpr Millis kServerStartBudget{15000};
constexpr Millis kServerKillBudget{30000};
constexpr Millis kServerStopBudget{10000};
constexpr Millis kRegistryBudget{30000};
constexpr std::string_view kPrefixDirPrefix = "e2e-prefix-";
constexpr std::size_t kMaxServerTempNameLength = 32;

// Makes Japanese captions and labels render with a font that is really here.
constexpr std::pair<std::string_view, std::string_view> kFontReplacements[] = {
    {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"ＭＳ ゴシック", "IPAGothic"},
};

std::string RegQuoted(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

std::string RegKey(std::string_view key) {
  const std::pair<std::string_view, std::string_view> roots[] = {
      {"HKCU\\", "HKEY_CURRENT_USER\\"}, {"HKLM\\", "HKEY_LOCAL_MACHINE\\"}};
  for (const auto& [shortRoot, longRoot] : roots) {
    if (key.starts_with(shortRoot)) return "[" + std::string(longRoot) + std::string(key.substr(5)) + "]";
  }
  return "[" + std::string(key) + "]";
}

EnvVars Overlay(EnvVars base, const EnvVars& extra) {
  for (const auto& [name, value] : extra) {
    const auto same = std::find_if(base.begin(), base.end(), [&](auto& kv) { return kv.first == name; });
    if (same != base.end()) same->second = value;
    else base.emplace_back(name, value);
  }
  return base;
}

std::string JoinForName(const fs::path& exe, const std::vector<std::string>& args) {
  std::string name = exe.filename().string();
  for (const auto& arg : args) name += " " + arg;
  return name;
}

// The server's socket appears in its working directory (…/server-<dev>-<inode>).
bool ServerListening(pid_t pid) {
  std::error_code error;
  const fs::path cwd = fs::read_symlink("/proc/" + std::to_string(pid) + "/cwd", error);
  if (error || cwd.filename().string().rfind("server-", 0) != 0) return false;
  return fs::exists(cwd / "socket", error);
}

// Debian's Wine keeps each prefix's server folder in a fresh /tmp/wine-XXXXXX and
// names it in <prefix>/wineserver; remove it once the prefix's server is gone.
void RemoveServerTempDir(const fs::path& prefix) {
  auto name = ReadFileBytes(prefix / "wineserver").value_or("");
  while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) name.pop_back();
  if (!name.starts_with("wine-") || name.find('/') != std::string::npos ||
      name.size() > kMaxServerTempNameLength) {
    return;
  }
  std::error_code ignored;
  for (const fs::path& tmp : {fs::temp_directory_path(ignored), fs::path("/tmp")}) {
    if (!tmp.empty() && fs::is_directory(tmp / name, ignored)) fs::remove_all(tmp / name, ignored);
  }
}

// Removes prefixes left by earlier runs of this program that died without teardown.
void RemoveStalePrefixes(const fs::path& buildDir) {
  std::error_code ignored;
  if (!fs::is_directory(buildDir, ignored)) return;
  for (const auto& entry : fs::directory_iterator(buildDir, ignored)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with(kPrefixDirPrefix)) continue;
    int pid = 0;
    const char* digits = name.data() + kPrefixDirPrefix.size();
    const auto [end, error] = std::from_chars(digits, name.data() + name.size(), pid);
    if (error != std::errc() || end != name.data() + name.size() || pid <= 0) continue;
    if (kill(pid, 0) == 0 || errno != ESRCH) continue;
    RemoveServerTempDir(entry.path());
    fs::remove_all(entry.path(), ignored);
  }
}

}  // namespace

// ---------------------------------------------------------------- WineSession

WineSession::WineSession(std::string displayName, WineOptions options)
    : display_(std::move(displayName)), options_(std::move(options)) {
  try {
    Boot();
    StartServer();
    std::string fonts = RegKey("HKCU\\Software\\Wine\\Fonts\\Replacements") + "\n";
    for (const auto& [font, replacement] : kFontReplacements) {
      fonts += RegQuoted(font) + "=" + RegQuoted(replacement) + "\n";
    }
    ImportRegistry(fonts);
  } catch (...) {
    TearDown();
    throw;
  }
}

WineSession::~WineSession() { TearDown(); }

void WineSession::TearDown() noexcept {
  try {
    StopServer();
    if (options_.temporary) {
      RemoveServerTempDir(options_.prefix);
      std::error_code ignored;
      fs::remove_all(options_.prefix, ignored);
    }
  } catch (...) {
    // Teardown must not throw; the server dies with this program anyway.
  }
}

EnvVars WineSession::Environment() const {
  return {{"WINEPREFIX", options_.prefix.string()},
          {"DISPLAY", display_},
          {"WINEDEBUG", "-all"},
          {"LC_ALL", options_.locale},
          {"WINEDLLOVERRIDES", "winemenubuilder.exe=d;mscoree,mshtml="}};
}

void WineSession::Boot() {
  const bool reuse = !options_.temporary && fs::exists(options_.prefix / "system.reg");
  fs::create_directories(options_.prefix);
  if (!reuse) {
    const int code = RunTool({"wineboot", "-i"}, Deadline::In(kBootBudget));
    if (code != 0) {
      throw E2eError("wineboot -i in " + options_.prefix.string() + " gave exit code " +
                     std::to_string(code));
    }
  }
  // wineboot leaves a short-lived server behind (and a kept prefix may still have
  // one); let it finish and go before ours starts.
  ChildProcess waiter({"wineserver -w", {"wineserver", "-w"}, Environment(), {},
                       NextLogFile(options_.logDir, "wineserver-w"), -1});
  waiter.WaitExit(Deadline::In(kBootServerExitBudget));
}

void WineSession::StartServer() {
  // On SIGINT wineserver ends all of its clients too, so nothing of this prefix
  // outlives a test program that dies without teardown.
  server_ = std::make_unique<ChildProcess>(
      SpawnOptions{"wineserver -f -p", {"wineserver", "-f", "-p"}, Environment(), {},
                   NextLogFile(options_.logDir, "wineserver"), -1, SIGINT});
  const Deadline deadline = Deadline::In(kServerStartBudget);
  const bool up = PollUntil(
      deadline, [&] { return !server_->IsRunning() || ServerListening(server_->Pid()); });
  if (up && server_->IsRunning()) return;
  throw E2eError("waited " + std::to_string(deadline.Budget().count()) +
                 " ms for a persistent wineserver on " + options_.prefix.string() + " to listen; it " +
                 (server_->IsRunning() ? "is still starting" : "exited (another server running?)") +
                 "; output:\n" + server_->LogTail());
}

void WineSession::StopServer() {
  if (!server_) return;
  ChildProcess killer({"wineserver -k", {"wineserver", "-k"}, Environment(), {},
                       NextLogFile(options_.logDir, "wineserver-k"), -1});
  killer.TryWaitExit(Deadline::In(kServerKillBudget));
  server_->Stop(Deadline::In(kServerStopBudget));
  server_.reset();
}

std::unique_ptr<ChildProcess> WineSession::Launch(const fs::path& exe,
                                                  const std::vector<std::string>& args,
                                                  const fs::path& workdir,
                                                  const EnvVars& extraEnv) const {
  std::vector<std::string> argv = {"wine", exe.string()};
  argv.insert(argv.end(), args.begin(), args.end());
  const std::string name = JoinForName(exe, args);
  return std::make_unique<ChildProcess>(SpawnOptions{name, argv, Overlay(Environment(), extraEnv),
                                                     workdir.empty() ? exe.parent_path() : workdir,
                                                     NextLogFile(options_.logDir, name), -1});
}

int WineSession::RunTool(const std::vector<std::string>& wineArgs, const Deadline& deadline) const {
  std::vector<std::string> argv = {"wine"};
  argv.insert(argv.end(), wineArgs.begin(), wineArgs.end());
  std::string name = "wine";
  for (const auto& arg : wineArgs) name += " " + arg;
  const std::string logName = wineArgs.empty() ? "wine" : "wine " + wineArgs.front();
  ChildProcess tool({name, argv, Environment(), {}, NextLogFile(options_.logDir, logName), -1});
  return tool.WaitExit(deadline);
}

void WineSession::ImportRegistry(std::string_view regLines) const {
  std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
  for (const char c : regLines) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
  text += "\r\n";
  const fs::path file = options_.prefix / "e2e-import.reg";
  WriteFileBytes(file, "\xFF\xFE" + Utf16LeFromUtf8(text));
  const int code = RunTool({"regedit", "/S", file.string()}, Deadline::In(kRegistryBudget));
  if (code != 0) throw E2eError("regedit /S gave exit code " + std::to_string(code) + " for:\n" + text);
}

std::string WineSession::ExportRegistry(std::string_view key) const {
  const std::string fullKey = RegKey(key);
  const fs::path file = options_.prefix / "e2e-export.reg";
  std::error_code ignored;
  fs::remove(file, ignored);
  const int code = RunTool({"regedit", "/E", file.string(), fullKey.substr(1, fullKey.size() - 2)},
                           Deadline::In(kRegistryBudget));
  const auto bytes = ReadFileBytes(file);
  if (code != 0 || !bytes) {
    throw E2eError("regedit /E " + fullKey + " gave exit code " + std::to_string(code) +
                   (bytes ? "" : " and wrote nothing"));
  }
  return Utf8FromUtf16Le(*bytes);
}

void WineSession::SetRegistryString(std::string_view key, std::string_view name,
                                    std::string_view value) const {
  ImportRegistry(RegKey(key) + "\n" + RegQuoted(name) + "=" + RegQuoted(value) + "\n");
}

void WineSession::DeleteRegistryValue(std::string_view key, std::string_view name) const {
  ImportRegistry(RegKey(key) + "\n" + RegQuoted(name) + "=-\n");
}

void WineSession::SetWindowsVersion(std::string_view exeName, std::string_view version) const {
  const std::string key = "HKCU\\Software\\Wine\\AppDefaults\\" + std::string(exeName);
  if (version.empty() || version == "default") DeleteRegistryValue(key, "Version");
  else SetRegistryString(key, "Version", version);
}

// ---------------------------------------------------------------- ProgramFolder

ProgramFolder::ProgramFolder(const fs::path& program, const fs::path& parent)
    : dir_(parent, "run-"), program_(dir_.Path() / program.filename()) {
  fs::copy_file(program, program_);
}

void ProgramFolder::WriteFile(std::string_view name, std::string_view bytes) const {
  WriteFileBytes(Dir() / name, bytes);
}

std::optional<std::string> ProgramFolder::ReadFile(std::string_view name) const {
  return ReadFileBytes(Dir() / name);
}

std::string ProgramFolder::WaitForFile(std::string_view name, const Deadline& deadline) const {
  std::optional<std::string> bytes;
  if (PollUntil(deadline, [&] { return (bytes = ReadFile(name)).has_value(); })) return *bytes;
  throw E2eError("waited " + std::to_string(deadline.Budget().count()) + " ms for " +
                 (Dir() / name).string() + " to be written; it does not exist");
}

// ---------------------------------------------------------------- Bench

namespace {
std::unique_ptr<Bench>& SharedInstance() {
  static std::unique_ptr<Bench> instance;
  return instance;
}
std::optional<std::string>& SharedFailure() {
  static std::optional<std::string> failure;
  return failure;
}
}  // namespace

WineOptions WineOptionsFor(const BenchPaths& paths) {
  WineOptions options;
  options.logDir = paths.artifactsDir / "logs";
  if (const char* locale = std::getenv("VORN_E2E_LOCALE"); locale != nullptr && *locale != '\0') {
    options.locale = locale;
  }
  if (!paths.keptPrefix.empty()) {
    options.prefix = paths.keptPrefix;
    options.temporary = false;
    return options;
  }
  RemoveStalePrefixes(paths.buildDir);
  options.prefix = paths.buildDir / (std::string(kPrefixDirPrefix) + std::to_string(getpid()));
  return options;
}

// The log folder holds this run's logs only.
fs::path FreshLogDir(const BenchPaths& paths) {
  const fs::path logDir = paths.artifactsDir / "logs";
  std::error_code ignored;
  fs::remove_all(logDir, ignored);
  fs::create_directories(logDir);
  return logDir;
}

Bench::Bench(BenchPaths paths)
    : paths_(std::move(paths)),
      display_(FreshLogDir(paths_)),
      wine_(display_.Name(), WineOptionsFor(paths_)) {}

Bench& Bench::Shared() {
  auto& instance = SharedInstance();
  if (instance) return *instance;
  if (SharedFailure()) throw E2eError("the test bench could not be set up: " + *SharedFailure());
  try {
    instance.reset(new Bench(DefaultBenchPaths()));
  } catch (const std::exception& error) {
    SharedFailure() = error.what();
    throw;
  }
  return *instance;
}

void Bench::ShutdownShared() { SharedInstance().reset(); }

fs::path Bench::SaveEvidence(const RgbImage& image, std::string_view name) const {
  std::string safe;
  for (const char c : name) safe += std::isalnum(static_cast<unsigned char>(c)) || c == '-' ? c : '_';
  const fs::path file = paths_.artifactsDir / (safe + ".png");
  image.WritePng(file);
  return file;
}

void RequireVornBuilt(const BenchPaths& paths) {
  RequireFile(paths.vornScr, "Vorn.scr",
              "build it first (cmake --preset win64 && cmake --build --preset win64), "
              "or point VORN_E2E_SCR at a build of it");
}

void RequireHelperBuilt(const BenchPaths& paths, std::string_view exeName) {
  RequireFile(paths.Helper(exeName), "test helper " + std::string(exeName),
              "build the win64 preset (cmake --preset win64 && cmake --build --preset win64), "
              "or point VORN_E2E_HELPERS at the folder holding it");
}

std::unique_ptr<ProgramFolder> Bench::FreshVornCopy() const {
  RequireVornBuilt(paths_);
  return std::make_unique<ProgramFolder>(paths_.vornScr, paths_.buildDir / "e2e-work");
}

std::unique_ptr<ChildProcess> Bench::LaunchHelper(std::string_view exeName,
                                                  const std::vector<std::string>& args) {
  RequireHelperBuilt(paths_, exeName);
  const fs::path helper = paths_.Helper(exeName);
  return wine_.Launch(helper, args, helper.parent_path());
}

}  // namespace vorn::e2e
