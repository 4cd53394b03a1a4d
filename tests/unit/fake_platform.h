// A recording fake of the platform: every call is kept as a line of text with
// its arguments, and the drawing surfaces are software rasters.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/raster.h"
#include "platform/platform.h"

namespace vorn::testing {

class FakePlatform : public Platform, public DialogControls {
 public:
  // --- Scripted answers -----------------------------------------------------
  std::string argumentText;
  std::string programDirectory = "C:\\Saver";
  std::vector<std::string> openCaptions;  // top-level windows that exist
  std::int32_t versionResult = 1;
  std::uint32_t platformId = kVerPlatformWin32Nt;
  std::int32_t cursorCounter = 0;  // the system's display counter
  std::optional<std::int32_t> passwordAnswer = 1;
  // Settings file contents by path, then "section/key" (already lower-cased).
  std::map<std::string, std::map<std::string, std::string>> profiles;
  ScreenSize screen{1024, 768};
  float clock = 1234.5f;
  // Runs inside each DoEvents, with the number of that call (1, 2, ...).
  std::function<void(int)> onDoEvents;
  // Ends a frame cycle that would otherwise run for ever.
  int maxDoEvents = 100000;
  bool recordDrawing = false;
  // Windows that exist, by handle, with their rectangles on the screen.
  std::map<WindowHandle, PixelRect> windowRects;
  std::int32_t previewStyle = 0x16CF0000;
  PixelPoint cursor{500, 300};
  std::int32_t cursorResult = 1;
  // Runs once the dialog is shown modally: the test plays the user.
  std::function<void()> onDialogShown;

  // --- What happened ----------------------------------------------------------
  std::vector<std::string> calls;
  bool ended = false;
  bool saverClosed = false;
  SaverEvents* saverEvents = nullptr;
  int doEventsCount = 0;
  int presents = 0;  // frames copied onto the saver's Display
  std::int64_t nowMicroseconds = 0;
  std::map<SurfaceId, Surface> surfaces;
  DialogEvents* dialogEvents = nullptr;
  bool dialogClosed = false;
  bool dialogTimerEnabled = false;
  TwipsRect dialogTwips{0, 0, 2000, 1000};
  std::array<std::int16_t, 3> scrollValues{4, 100, 30};
  std::map<DialogControl, std::string> captions;

  FakePlatform();
  void SetProfileValue(const std::string& file, const std::string& section,
                       const std::string& key, const std::string& value);
  // Only the calls whose text starts with `prefix`.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const;

  std::string ArgumentText() override;
  std::string ProgramDirectory() override;
  void EndProcess() override;
  float SecondsSinceMidnight() override { return clock; }
  WindowHandle FindWindowByCaption(std::string_view caption) override;
  std::int32_t GetVersionExA(OsVersionInfo& info) override;
  std::int32_t SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam, void* pvParam,
                                     std::uint32_t fWinIni) override;
  std::int32_t ShowCursor(std::int32_t show) override;
  void PwdChangePasswordA(std::string_view regKeyName, WindowHandle parent, std::uint32_t r1,
                          std::uint32_t r2) override;
  std::optional<std::int32_t> VerifyScreenSavePwd(WindowHandle window) override;
  std::uint32_t GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                         std::string_view defaultText, char* buffer,
                                         std::uint32_t size, std::string_view file) override;
  void WritePrivateProfileStringA(std::string_view section, std::string_view key,
                                  std::string_view value, std::string_view file) override;
  std::int32_t GetWindowRect(WindowHandle window, PixelRect& rect) override;
  std::int32_t GetWindowLongA(WindowHandle window, std::int32_t index) override;
  std::int32_t SetWindowLongA(WindowHandle window, std::int32_t index, std::int32_t value) override;
  WindowHandle SetParent(WindowHandle child, WindowHandle parent) override;
  std::int32_t GetCursorPos(PixelPoint& point) override;
  std::int32_t DrawAnimatedRects(WindowHandle window, std::int32_t animation, const PixelRect& from,
                                 const PixelRect& to) override;
  void ShellExecuteA(WindowHandle window, std::string_view operation, std::string_view file,
                     std::string_view parameters, std::string_view directory,
                     std::int32_t showCommand) override;
  WindowHandle CreatePreviewWindow() override;
  void MovePreviewImage(std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height) override;
  void ShowPreviewWindow(WindowHandle window) override;
  WindowHandle CreateDialogWindow(DialogEvents& events) override;
  TwipsRect GetScreenTwips() override;
  TwipsRect GetWindowTwips(WindowHandle window) override;
  void PlaceWindowTwips(WindowHandle window, const TwipsPlacement& place) override;
  ScreenSize GetSurfaceSize(SurfaceId surface) override;
  void DrawLine(SurfaceId surface, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                std::int32_t y2, std::uint32_t colourBgr) override;
  void RefreshSurface(SurfaceId surface) override;
  void SetLabelCaption(DialogControl label, std::string_view text) override;
  void SetImagePicture(DialogControl image, DialogPicture picture) override;
  void SetHandCursor(DialogControl control) override;
  DialogControls& Controls() override { return *this; }
  std::int16_t GetScrollValue(std::int16_t index) override;
  void SetScrollValue(std::int16_t index, std::int16_t value) override;
  void SetDialogTimer(bool enabled, std::uint32_t intervalMs) override;
  void ShowDialogModal(WindowHandle window) override;
  void CloseDialog(WindowHandle window) override;
  WindowHandle CreateSaverWindow(SaverEvents& events) override;
  ScreenSize GetScreenSize() override;
  void MoveWindow(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t height) override;
  void SizeSurface(SurfaceId surface, std::int32_t width, std::int32_t height) override;
  void MoveSurface(SurfaceId surface, std::int32_t x, std::int32_t y) override;
  void FillRect(SurfaceId surface, std::int32_t left, std::int32_t top, std::int32_t right,
                std::int32_t bottom, std::uint32_t colour) override;
  std::int32_t BitBlt(SurfaceId destination, std::int32_t x, std::int32_t y, std::int32_t width,
                      std::int32_t height, SurfaceId source, std::int32_t sourceX,
                      std::int32_t sourceY, std::uint32_t rop) override;
  void StartTimer(std::uint32_t intervalMs) override;
  void ShowWindow(WindowHandle window) override;
  std::int32_t SetWindowPos(WindowHandle window, WindowHandle insertAfter, std::int32_t x,
                            std::int32_t y, std::int32_t cx, std::int32_t cy,
                            std::uint32_t flags) override;
  void CloseSaverWindow() override;
  void DoEvents() override;
  void WaitForEvents(std::uint32_t timeoutMs) override;
  std::int64_t NowMicroseconds() override { return nowMicroseconds; }

  static constexpr WindowHandle kSaverWindow = 0x5A5A;
  static constexpr WindowHandle kPreviewWindow = 0x7E7E;
  static constexpr WindowHandle kDialogWindow = 0x3C3C;
};

// The names surfaces and controls have in the recorded calls.
const char* SurfaceName(SurfaceId surface);
const char* ControlName(DialogControl control);

}  // namespace vorn::testing
