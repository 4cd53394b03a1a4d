// The end-to-end test bench: a private X display (Xvfb), a private Wine prefix
// with a persistent wineserver, Windows programs launched under Wine, windows
// found by caption, screenshots and synthetic input through XTest.
//
// Every wait takes a Deadline and polls; a wait that runs out throws E2eError
// naming what it waited for and what it saw last.
//
// Xlib is kept out of this header (its macros clash with test code): window
// ids are plain unsigned longs and keys go by their X keysym names.
#pragma once

#include <sys/types.h>

#include <algorithm>
#include <csignal>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

struct _XDisplay;

namespace vorn::e2e {

namespace fs = std::filesystem;
using Millis = std::chrono::milliseconds;

inline constexpr Millis kPollInterval{20};

class E2eError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// ---------------------------------------------------------------- time

class Deadline {
 public:
  using Clock = std::chrono::steady_clock;
  static Deadline In(Millis budget);
  bool Expired() const { return Clock::now() >= end_; }
  Millis Remaining() const;
  Millis Elapsed() const;
  Millis Budget() const;

 private:
  Deadline(Clock::time_point start, Clock::time_point end) : start_(start), end_(end) {}
  Clock::time_point start_;
  Clock::time_point end_;
};

// Calls ready() until it returns true (→ true) or the deadline passes (→ false).
// ready() is always called at least once, and once more after the deadline.
template <typename Predicate>
bool PollUntil(const Deadline& deadline, Predicate ready, Millis interval = kPollInterval) {
  for (;;) {
    const bool last = deadline.Expired();
    if (ready()) return true;
    if (last) return false;
    std::this_thread::sleep_for(std::min(interval, deadline.Remaining() + Millis{1}));
  }
}

// ---------------------------------------------------------------- files

// A fresh directory (mkdtemp) removed with its contents on destruction.
class TempDir {
 public:
  TempDir(const fs::path& parent, std::string_view namePrefix);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

void WriteFileBytes(const fs::path& file, std::string_view bytes);
std::optional<std::string> ReadFileBytes(const fs::path& file);
// Throws "<what> not found at <file>: <hint>" when the file is missing.
void RequireFile(const fs::path& file, std::string_view what, std::string_view hint);

// Where the bench finds its programs and puts its evidence. Built-in defaults
// come from the build; each can be overridden by an environment variable:
//   VORN_E2E_SCR        the Vorn.scr under test   (build/win64/Vorn.scr)
//   VORN_E2E_HELPERS    folder of helper .exe      (build/win64/tests/e2e/win32)
//   VORN_E2E_ARTIFACTS  screenshots and logs       (build/native/e2e-artifacts)
//   VORN_E2E_PREFIX     a Wine prefix to keep and reuse between runs
//                       (default: a temporary one under build/native)
//   VORN_E2E_LOCALE     LC_ALL of the Wine processes (default C.UTF-8: code page
//                       1252, LCID 0409; ja_JP.UTF-8 gives 932 and 0411)
struct BenchPaths {
  fs::path sourceDir;
  fs::path buildDir;
  fs::path vornScr;
  fs::path helperDir;
  fs::path artifactsDir;
  fs::path keptPrefix;  // empty: use a temporary prefix
  fs::path Helper(std::string_view exeName) const { return helperDir / exeName; }
};
BenchPaths DefaultBenchPaths();
// Fail with a message telling how to build what is missing.
void RequireVornBuilt(const BenchPaths& paths);
void RequireHelperBuilt(const BenchPaths& paths, std::string_view exeName);

// Windows' wide text: UTF-16LE without a byte order mark (Utf8FromUtf16Le skips one).
std::string Utf16LeFromUtf8(std::string_view utf8);
std::string Utf8FromUtf16Le(std::string_view utf16);

// ---------------------------------------------------------------- processes

using EnvVars = std::vector<std::pair<std::string, std::string>>;

struct ExitStatus {
  bool exited = false;  // false: ended by a signal
  int code = 0;
  int signal = 0;
  std::string Describe() const;
};

struct SpawnOptions {
  std::string name;                // for messages, e.g. "Vorn.scr /s"
  std::vector<std::string> argv;   // argv[0] is looked up in PATH
  EnvVars env;                     // set on top of this process's environment
  fs::path workdir;                // empty: inherit
  fs::path logFile;                // stdout and stderr; empty: /dev/null
  int inheritAsFd3 = -1;           // a descriptor the child gets as fd 3
  int deathSignal = SIGKILL;       // sent to the child when the test program dies
};

// A child process started by the bench. It is killed (by its pid) and reaped on
// destruction if it is still running; it also dies with the test program.
class ChildProcess {
 public:
  explicit ChildProcess(SpawnOptions options);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t Pid() const { return pid_; }
  const std::string& Name() const { return options_.name; }
  bool IsRunning();
  std::optional<ExitStatus> TryWaitExit(const Deadline& deadline);
  // The exit code; throws if it still runs at the deadline or died by a signal.
  int WaitExit(const Deadline& deadline);
  // SIGTERM, then SIGKILL if it has not ended when the deadline passes.
  ExitStatus Stop(const Deadline& deadline);
  void Kill();
  std::string LogTail(std::size_t maxBytes = 1500) const;
  // Everything the process wrote to its standard output and error so far.
  std::string Output() const;

 private:
  bool Reap(int flags);
  SpawnOptions options_;
  pid_t pid_ = -1;
  std::optional<ExitStatus> status_;
};

fs::path NextLogFile(const fs::path& logDir, std::string_view name);

// ---------------------------------------------------------------- images

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};
std::string Describe(const Rgb& colour);
bool Near(const Rgb& a, const Rgb& b, int tolerance);

struct Point {
  int x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};
struct Size {
  int width = 0, height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};
struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
  Point Center() const { return {x + width / 2, y + height / 2}; }
  bool Contains(Point p) const { return p.x >= x && p.y >= y && p.x < x + width && p.y < y + height; }
  friend bool operator==(const Rect&, const Rect&) = default;
};
std::string Describe(const Rect& rect);

class RgbImage {
 public:
  RgbImage() = default;
  RgbImage(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  Rgb At(int x, int y) const;
  void Set(int x, int y, Rgb colour);
  std::size_t CountNear(Rgb colour, int tolerance) const;
  RgbImage Crop(const Rect& rect) const;
  std::string EncodePng() const;
  void WritePng(const fs::path& file) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> rgb_;
};

// ---------------------------------------------------------------- X display

struct WindowInfo {
  unsigned long id = 0;
  std::string caption;   // _NET_WM_NAME, else WM_NAME, as UTF-8
  Rect geometry;         // on screen
  bool viewable = false;
  long pid = -1;         // _NET_WM_PID (Wine sets the process's Unix pid); -1 unknown
  std::string Describe() const;
};

// One Xlib connection. X errors about windows that vanish mid-query are ignored.
class XClient {
 public:
  explicit XClient(const std::string& displayName);
  ~XClient();
  XClient(const XClient&) = delete;
  XClient& operator=(const XClient&) = delete;

  _XDisplay* Raw() const { return display_; }
  Size ScreenSize() const;
  void Sync() const;

  // Every window under the root (recursively) that has a caption.
  std::vector<WindowInfo> ListWindows() const;
  std::vector<WindowInfo> FindWindows(std::string_view caption) const;
  std::optional<WindowInfo> ReadWindow(unsigned long id) const;
  // Waits for a viewable window with the caption.
  WindowInfo FindWindowByCaption(std::string_view caption, const Deadline& deadline) const;
  // Waits until no viewable window has the caption.
  void WaitWindowGone(std::string_view caption, const Deadline& deadline) const;

  RgbImage Capture() const;
  RgbImage Capture(const Rect& rect) const;
  // Captures rect until accept(image) holds (a window is mapped before it is
  // painted); returns that capture or throws naming `what` and what was seen.
  RgbImage WaitForCapture(const Rect& rect, const std::function<bool(const RgbImage&)>& accept,
                          std::string_view what, const Deadline& deadline) const;

  void MoveMouseTo(Point position) const;
  void MoveMouseBy(int dx, int dy) const;
  void PressButton(int button) const;
  void ReleaseButton(int button) const;
  void ClickButton(int button) const;
  // Keys by keysym name as X spells it: "Shift_L", "Control_L", "a", "Return".
  void PressKey(std::string_view keysymName) const;
  void ReleaseKey(std::string_view keysymName) const;
  void TapKey(std::string_view keysymName) const;
  Point PointerPosition() const;
  bool IsKeyDown(std::string_view keysymName) const;
  bool IsButtonDown(int button) const;

 private:
  void CollectWindows(unsigned long parent, int depth, std::vector<WindowInfo>& out) const;
  unsigned KeycodeFor(std::string_view keysymName) const;
  _XDisplay* display_ = nullptr;
};

// Records every top-level window mapped while it lives (even one that flashes
// by between two polls), through its own connection.
class MapWatch {
 public:
  explicit MapWatch(const std::string& displayName);
  // Windows mapped since the watch started; each read when first seen (a window
  // already gone by then has an empty caption and pid -1).
  const std::vector<WindowInfo>& Mapped();

 private:
  XClient client_;
  std::vector<WindowInfo> mapped_;
};

// Xvfb on a free display number, chosen by the server itself (-displayfd).
class VirtualDisplay {
 public:
  static constexpr Size kDefaultSize{1024, 768};
  explicit VirtualDisplay(const fs::path& logDir, Size screen = kDefaultSize);
  ~VirtualDisplay();
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  const std::string& Name() const { return name_; }  // ":N"
  Size ScreenSize() const { return size_; }
  XClient& Client() { return *client_; }

 private:
  std::unique_ptr<ChildProcess> server_;
  std::string name_;
  Size size_;
  std::unique_ptr<XClient> client_;
};

// ---------------------------------------------------------------- Wine

struct WineOptions {
  fs::path prefix;
  bool temporary = true;            // remove the prefix on teardown
  std::string locale = "C.UTF-8";   // LC_ALL of every Wine process
  fs::path logDir;
};

// A Wine prefix booted once (wineboot -i) with a wineserver kept alive until
// teardown, so each launch is quick. Teardown: wineserver -k for this prefix.
class WineSession {
 public:
  WineSession(std::string displayName, WineOptions options);
  ~WineSession();
  WineSession(const WineSession&) = delete;
  WineSession& operator=(const WineSession&) = delete;

  const fs::path& Prefix() const { return options_.prefix; }
  // C:\windows\system32 of the prefix (64-bit programs' system folder).
  fs::path SystemFolder() const { return options_.prefix / "drive_c" / "windows" / "system32"; }
  EnvVars Environment() const;

  // Starts `wine <exe> <args...>` in workdir (empty: the exe's folder).
  std::unique_ptr<ChildProcess> Launch(const fs::path& exe, const std::vector<std::string>& args,
                                       const fs::path& workdir = {},
                                       const EnvVars& extraEnv = {}) const;
  // Runs a Wine tool (e.g. {"reg", "query", ...}) to its end; returns the exit code.
  int RunTool(const std::vector<std::string>& wineArgs, const Deadline& deadline) const;

  // Imports .reg lines (UTF-8, without the "Windows Registry Editor" header).
  void ImportRegistry(std::string_view regLines) const;
  // The key and everything below it as .reg text (UTF-8), via regedit /E.
  std::string ExportRegistry(std::string_view key) const;
  void SetRegistryString(std::string_view key, std::string_view name, std::string_view value) const;
  void DeleteRegistryValue(std::string_view key, std::string_view name) const;
  // Version Wine reports to one program: "win98", "winxp", "win10"…; "default" clears it.
  void SetWindowsVersion(std::string_view exeName, std::string_view version) const;

 private:
  void Boot();
  void StartServer();
  void StopServer();
  void TearDown() noexcept;
  std::string display_;
  WineOptions options_;
  std::unique_ptr<ChildProcess> server_;
};

// A fresh temporary folder with a copy of one program (e.g. Vorn.scr), where
// the test writes the settings file and reads what the program wrote.
class ProgramFolder {
 public:
  static constexpr std::string_view kSettingsFile = "Vorn.ini";
  ProgramFolder(const fs::path& program, const fs::path& parent);
  const fs::path& Dir() const { return dir_.Path(); }
  fs::path Program() const { return program_; }
  void WriteFile(std::string_view name, std::string_view bytes) const;
  void WriteSettings(std::string_view text) const { WriteFile(kSettingsFile, text); }
  std::optional<std::string> ReadFile(std::string_view name) const;
  std::string WaitForFile(std::string_view name, const Deadline& deadline) const;

 private:
  TempDir dir_;
  fs::path program_;
};

// ---------------------------------------------------------------- the bench

// One display and one prefix for a whole test program run, created on first use.
class Bench {
 public:
  static Bench& Shared();
  static void ShutdownShared();

  const BenchPaths& Paths() const { return paths_; }
  VirtualDisplay& Display() { return display_; }
  XClient& X() { return display_.Client(); }
  WineSession& Wine() { return wine_; }
  fs::path LogDir() const { return paths_.artifactsDir / "logs"; }
  // Saves a screenshot under the artifacts folder; returns its path.
  fs::path SaveEvidence(const RgbImage& image, std::string_view name) const;
  // A temporary folder holding a copy of Vorn.scr; fails clearly if it is not built.
  std::unique_ptr<ProgramFolder> FreshVornCopy() const;
  // Starts a helper from the helper folder; fails clearly if it is not built.
  std::unique_ptr<ChildProcess> LaunchHelper(std::string_view exeName,
                                             const std::vector<std::string>& args);

 private:
  explicit Bench(BenchPaths paths);
  BenchPaths paths_;
  VirtualDisplay display_;
  WineSession wine_;
};

WineOptions WineOptionsFor(const BenchPaths& paths);

}  // namespace vorn::e2e
