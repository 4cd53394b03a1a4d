// The platform seam: every service the program's routines ask of the operating
// system, with the arguments the routines pass. The Win32 adapter (win32/) is
// the real implementation; the unit tests use a recording fake.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/raster.h"

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
inline constexpr std::uint32_t kWaitForever = 0xFFFFFFFF;

// The drawing surfaces of the settings dialog.
enum class SurfaceId : std::int32_t {
  DialogWindow,   // the settings dialog's own backing image
  DialogPicB,     // the dialog's panel behind the scroll bars (Pic_b)
  DialogDisplay,  // the dialog's 32 x 64 preview (Display)
  DialogSprites,  // the dialog's copy of the sprite sheet (Pic_Vorn)
};

// The dots per inch of a monitor at 100 % scaling.
inline constexpr std::int32_t kDefaultDpi = 96;

// A rectangle in screen pixels, the system's RECT layout.
struct PixelRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct PixelPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// A window's place in twips, as the dialog's load and drag work with it.
struct TwipsRect {
  float left = 0;
  float top = 0;
  float width = 0;
  float height = 0;
};

// A change of a window's place in twips: an absent value keeps the window's own.
struct TwipsPlacement {
  std::optional<float> left{}, top{}, width{}, height{};
};

// The settings dialog's controls that the routines address.
// clang-format off
enum class DialogControl {
  Image1, Label9, ImgExit, PicA, Display, PicB, Lbl1, Hs1, LblHs1, Lbl2, Hs2, LblHs2, Lbl3, Hs3,
  LblHs3, Lbl5, Lbl9, ImgSet, LblSet, ImgCan, LblCan, LblUrl,
};
// clang-format on

// The pictures the dialog's images can show.
enum class DialogPicture {
  ButtonReleased,  // Img_Off
  ButtonPressed,   // Img_On
  CloseReleased,   // imgImages(0)
  ClosePressed,    // imgImages(1)
};

struct ScreenSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// A monitor's rectangle on the desktop, and its dots per inch (its scaling).
struct Monitor : PixelRect {
  std::int32_t dpi = kDefaultDpi;
  friend bool operator==(const Monitor&, const Monitor&) = default;
};

// The desktop in screen pixels: the virtual screen, which spans every monitor
// (its origin may be negative), and each monitor on it.
struct DisplayLayout {
  PixelRect virtualScreen;
  std::vector<Monitor> monitors;
  friend bool operator==(const DisplayLayout&, const DisplayLayout&) = default;
};

// What the saver window exposes to the platform: its event handlers, run only
// while the frame cycle yields.
// The power settings whose changes the saver follows.
enum class PowerSetting { PowerSource, BatterySaver };

class SaverEvents {
 public:
  virtual void Timer1_Timer() = 0;
  virtual void Display_MouseDown() = 0;
  virtual void Form_KeyDown() = 0;
  virtual void Display_MouseMove(float x, float y) = 0;
  // The monitors were added, removed, moved or re-sized.
  virtual void Form_DisplayChange() = 0;
  // The display was turned off (false) or on again (true).
  virtual void Form_DisplayPower(bool on) = 0;
  // The window has to be painted: the screen may have lost the frame.
  virtual void Form_Paint() = 0;
  // A power setting has a new value (see ApplyPowerSetting).
  virtual void Form_PowerSetting(PowerSetting setting, std::uint32_t value) = 0;
  // The session is (still) remote or not; it was connected to its display or
  // disconnected from it.
  virtual void Form_SessionChange(bool remote, bool connected) = 0;

 protected:
  ~SaverEvents() = default;
};

// The mouse buttons as the dialog's handlers number them.
inline constexpr std::int16_t kLeftButton = 1;
inline constexpr std::int16_t kRightButton = 2;
inline constexpr std::int16_t kMiddleButton = 4;

// What the settings dialog exposes to the platform: its event handlers. The
// platform calls them from the dialog's message handling.
class DialogEvents {
 public:
  virtual void Form_Resize() = 0;
  virtual void Form_Unload() = 0;
  virtual void Timer1_Timer() = 0;
  virtual void HS_Change(std::int16_t index) = 0;
  virtual void lbl_Set_MouseDown() = 0;
  virtual void lbl_Set_MouseUp() = 0;
  virtual void lbl_Can_MouseDown() = 0;
  virtual void lbl_Can_MouseUp() = 0;
  virtual void ImgExit_MouseDown() = 0;
  virtual void ImgExit_MouseUp() = 0;
  // Button: kLeftButton, kRightButton or kMiddleButton.
  virtual void Image1_MouseDown(std::int16_t button) = 0;
  virtual void Image1_MouseMove() = 0;
  virtual void Image1_MouseUp() = 0;
  virtual void lbl_URL_Click() = 0;

 protected:
  ~DialogEvents() = default;
};

// The settings dialog's controls as the routines set and read them.
class DialogControls {
 public:
  virtual void SetLabelCaption(DialogControl label, std::string_view text) = 0;
  virtual void SetImagePicture(DialogControl image, DialogPicture picture) = 0;
  virtual void SetHandCursor(DialogControl control) = 0;
  // A scroll bar's value (HS(1) to HS(3)); setting it raises no notification.
  // The value set is one in the bar's range.
  virtual std::int16_t GetScrollValue(std::int16_t index) = 0;
  virtual void SetScrollValue(std::int16_t index, std::int16_t value) = 0;

 protected:
  ~DialogControls() = default;
};

// What the saver's window offers its frames, as SDL's window framebuffer does:
// memory to compose them in, and a present of the rectangles that changed.
class FrameHost {
 public:
  // The saver window's frame buffer: width x height pixels that the saver
  // composes its frames in and the platform shows from, at the window's origin
  // pixel for pixel. It replaces the one before. Empty where it cannot be made
  // (the window then stays black).
  virtual PixelView CreateFrameBuffer(std::int32_t width, std::int32_t height) = 0;
  // Puts these rectangles of the frame buffer on the screen; false when any of
  // them may not have arrived.
  virtual bool PresentFrame(const std::vector<Rect>& pieces) = 0;
  // The program's flame sprite sheet (Pic_Vorn, for 96 dpi); empty where it
  // cannot be loaded.
  virtual Surface EmbeddedSpriteSheet() = 0;

 protected:
  ~FrameHost() = default;
};

class Platform : public FrameHost {
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
  // Non-zero once the value is in the file.
  virtual std::int32_t WritePrivateProfileStringA(std::string_view section, std::string_view key,
                                                  std::string_view value,
                                                  std::string_view file) = 0;
  // The user's Roaming application data folder (CSIDL_APPDATA), as the system
  // gives it; empty where the system knows none.
  virtual std::string RoamingAppDataFolder() = 0;
  // A file (not a folder) at `path`.
  virtual bool FileExists(std::string_view path) = 0;
  // Creates the folder `path` within an existing one; true when it exists after.
  virtual bool CreateFolder(std::string_view path) = 0;
  // A message box owned by `window`, `type` its buttons and icon (MB_*);
  // returns once the user has closed it.
  virtual void MessageBoxA(WindowHandle window, std::string_view text, std::string_view caption,
                           std::uint32_t type) = 0;

  // --- Windows in general ---------------------------------------------------
  virtual std::int32_t GetWindowRect(WindowHandle window, PixelRect& rect) = 0;
  virtual std::int32_t GetWindowLongA(WindowHandle window, std::int32_t index) = 0;
  virtual std::int32_t SetWindowLongA(WindowHandle window, std::int32_t index,
                                      std::int32_t value) = 0;
  virtual WindowHandle SetParent(WindowHandle child, WindowHandle parent) = 0;
  virtual std::int32_t GetCursorPos(PixelPoint& point) = 0;
  virtual std::int32_t DrawAnimatedRects(WindowHandle window, std::int32_t animation,
                                         const PixelRect& from, const PixelRect& to) = 0;
  virtual void ShellExecuteA(WindowHandle window, std::string_view operation, std::string_view file,
                             std::string_view parameters, std::string_view directory,
                             std::int32_t showCommand) = 0;

  // --- The preview-mode window (Vorn_R) -------------------------------------
  // Creates the hidden, borderless, black "Preview Window" with its still.
  virtual WindowHandle CreatePreviewWindow() = 0;
  // Places the still's image control (Img_Prev) within the window, pixels.
  virtual void MovePreviewImage(std::int32_t x, std::int32_t y, std::int32_t width,
                                std::int32_t height) = 0;
  // Shows the preview window without activating it.
  virtual void ShowPreviewWindow(WindowHandle window) = 0;

  // --- The settings dialog (Vorn_P) -----------------------------------------
  // Creates the hidden, frameless "Vornの設定" window with its controls.
  virtual WindowHandle CreateDialogWindow(DialogEvents& events) = 0;
  // The screen's size and the window's place, in twips.
  virtual TwipsRect GetScreenTwips() = 0;
  virtual TwipsRect GetWindowTwips(WindowHandle window) = 0;
  // The twips a pixel measures where the window stands: 1440 / its dots per
  // inch (15 at 96, 10 at 144).
  virtual float TwipsPerPixel(WindowHandle window) = 0;
  // One move or resize of the window (a separate call for each step the
  // routines take one after the other).
  virtual void PlaceWindowTwips(WindowHandle window, const TwipsPlacement& place) = 0;
  // The inner size of a surface, pixels.
  virtual ScreenSize GetSurfaceSize(SurfaceId surface) = 0;
  // A one-pixel line from (x1, y) to (x2, y), the end point left out as GDI does.
  virtual void DrawLine(SurfaceId surface, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                        std::int32_t y2, std::uint32_t colourBgr) = 0;
  // Puts a surface's backing image on the screen.
  virtual void RefreshSurface(SurfaceId surface) = 0;
  // The controls of the window CreateDialogWindow made.
  virtual DialogControls& Controls() = 0;
  virtual void SetDialogTimer(bool enabled, std::uint32_t intervalMs) = 0;
  // Shows the dialog modally; returns once it is closed.
  virtual void ShowDialogModal(WindowHandle window) = 0;
  // Unloads the dialog: runs its Form_Unload, then destroys the window.
  virtual void CloseDialog(WindowHandle window) = 0;
  // Brings a window (a running copy's dialog) to the front and activates it.
  virtual void SetForegroundWindow(WindowHandle window) = 0;

  // --- The saver window -----------------------------------------------------
  // Creates the hidden, borderless "Vorn_Main" window with key preview.
  virtual WindowHandle CreateSaverWindow(SaverEvents& events) = 0;
  virtual DisplayLayout GetDisplayLayout() = 0;
  virtual void MoveWindow(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width,
                          std::int32_t height) = 0;
  // The dialog's preview: a 32 x 64 cell of its sprite sheet.
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
  // Blocks until a message arrives or `timeoutMs` pass (kWaitForever: no
  // limit), dispatching nothing. False when the time ran out with no message
  // waiting: there is nothing to look at.
  virtual bool WaitForEvents(std::uint32_t timeoutMs) = 0;
  // A steady clock in microseconds.
  virtual std::int64_t NowMicroseconds() = 0;
};

}  // namespace vorn
