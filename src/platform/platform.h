// The platform seam: every service the program's routines ask of the operating
// system, with the arguments the routines pass. The Win32 adapter (win32/) is
// the real implementation; the unit tests use a recording fake.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorn {

// An opaque window handle, as the command line and the system calls carry it.
using WindowHandle = std::int64_t;
inline constexpr WindowHandle kNoWindow = 0;
inline constexpr WindowHandle kHwndTopmost = -1;

// OSVERSIONINFOA: five 32-bit fields and 128 characters, 148 bytes.
struct OsVersionInfo {
  std::uint32_t dwOSVersionInfoSize = 0;
  std::uint32_t dwMajorVersion = 0;
  std::uint32_t dwMinorVersion = 0;
  std::uint32_t dwBuildNumber = 0;
  std::uint32_t dwPlatformId = 0;
  char szCSDVersion[128] = {};
};
static_assert(sizeof(OsVersionInfo) == 148);

inline constexpr std::uint32_t kVerPlatformWin32Nt = 2;
inline constexpr std::uint32_t kSpiSetScreenSaveActive = 17;
inline constexpr std::uint32_t kSpiSetScreenSaverRunning = 97;

// The drawing surfaces the program's windows own.
enum class SurfaceId {
  SaverDisplay,  // the saver's visible surface
  SaverBuffer,   // its off-screen frame
  SaverSprites,  // the flame sprite sheet (Pic_Vorn)
};

struct ScreenSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// What the saver window exposes to the platform: its event handlers, run only
// while the frame cycle yields.
class SaverEvents {
 public:
  virtual void Timer1_Timer() = 0;
  virtual void Display_MouseDown() = 0;
  virtual void Form_KeyDown() = 0;
  virtual void Display_MouseMove(float x, float y) = 0;

 protected:
  ~SaverEvents() = default;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // --- Process --------------------------------------------------------------
  // The command line after the program's path, without the blanks between them.
  virtual std::string ArgumentText() = 0;
  // The folder that holds the program file, as the system gives it (no
  // trailing separator added or removed).
  virtual std::string ProgramDirectory() = 0;
  // Ends the process at once; nothing runs after it in the real program.
  virtual void EndProcess() = 0;
  // Seconds since midnight, the clock reading mixed into the random source.
  virtual float SecondsSinceMidnight() = 0;

  // --- System ---------------------------------------------------------------
  // A top-level window with this caption (UTF-8), or kNoWindow.
  virtual WindowHandle FindWindowByCaption(std::string_view caption) = 0;
  virtual std::int32_t GetVersionExA(OsVersionInfo& info) = 0;
  virtual std::int32_t SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam,
                                             void* pvParam, std::uint32_t fWinIni) = 0;
  virtual std::int32_t ShowCursor(std::int32_t show) = 0;
  // The 95/98 password services; nullopt when the service cannot be loaded.
  virtual void PwdChangePasswordA(std::string_view regKeyName, WindowHandle parent,
                                  std::uint32_t reserved1, std::uint32_t reserved2) = 0;
  virtual std::optional<std::int32_t> VerifyScreenSavePwd(WindowHandle window) = 0;

  // --- Settings file --------------------------------------------------------
  virtual std::uint32_t GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                                 std::string_view defaultText, char* buffer,
                                                 std::uint32_t size, std::string_view file) = 0;
  virtual void WritePrivateProfileStringA(std::string_view section, std::string_view key,
                                          std::string_view value, std::string_view file) = 0;

  // --- Modes that are windows of their own ----------------------------------
  // Shows the settings dialog modally and returns when it is closed.
  virtual void ShowSettingsDialog() = 0;
  // Builds the preview-mode window inside `parent` and shows it, not modally.
  virtual void ShowPreviewWindow(WindowHandle parent) = 0;

  // --- The saver window -----------------------------------------------------
  // Creates the hidden, borderless "Vorn_Main" window with key preview.
  virtual WindowHandle CreateSaverWindow(SaverEvents& events) = 0;
  virtual ScreenSize GetScreenSize() = 0;
  virtual void MoveWindow(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width,
                          std::int32_t height) = 0;
  virtual void SizeSurface(SurfaceId surface, std::int32_t width, std::int32_t height) = 0;
  virtual void MoveSurface(SurfaceId surface, std::int32_t x, std::int32_t y) = 0;
  // Fills from (left, top) to (right, bottom), both corners included.
  virtual void FillRect(SurfaceId surface, std::int32_t left, std::int32_t top, std::int32_t right,
                        std::int32_t bottom, std::uint32_t colour) = 0;
  virtual std::int32_t BitBlt(SurfaceId destination, std::int32_t x, std::int32_t y,
                              std::int32_t width, std::int32_t height, SurfaceId source,
                              std::int32_t sourceX, std::int32_t sourceY, std::uint32_t rop) = 0;
  virtual void StartTimer(std::uint32_t intervalMs) = 0;
  virtual void ShowWindow(WindowHandle window) = 0;
  virtual std::int32_t SetWindowPos(WindowHandle window, WindowHandle insertAfter, std::int32_t x,
                                    std::int32_t y, std::int32_t cx, std::int32_t cy,
                                    std::uint32_t flags) = 0;
  // Unloads the saver window and ends the process.
  virtual void CloseSaverWindow() = 0;

  // --- Message dispatch -----------------------------------------------------
  // Dispatches every waiting message (timer ticks, input, painting) and returns
  // without waiting for more.
  virtual void DoEvents() = 0;
  // Blocks until a message arrives or `timeoutMs` pass, dispatching nothing.
  virtual void WaitForEvents(std::uint32_t timeoutMs) = 0;
  // A steady clock in microseconds.
  virtual std::int64_t NowMicroseconds() = 0;
};

}  // namespace vorn
