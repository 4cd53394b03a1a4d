// A recording fake of the platform: every call is kept as a line of text with
// its arguments, and the drawing surfaces are software rasters.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/raster.h"
#include "platform/platform.h"

namespace vorn::testing {

class FakePlatform : public Platform {
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

  // --- What happened ----------------------------------------------------------
  std::vector<std::string> calls;
  bool ended = false;
  bool saverClosed = false;
  SaverEvents* saverEvents = nullptr;
  int doEventsCount = 0;
  int presents = 0;  // frames copied onto the saver's Display
  std::int64_t nowMicroseconds = 0;
  std::map<SurfaceId, Surface> surfaces;

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
  void ShowSettingsDialog() override;
  void ShowPreviewWindow(WindowHandle parent) override;
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
};

// The name a surface has in the recorded calls.
const char* SurfaceName(SurfaceId surface);

}  // namespace vorn::testing
