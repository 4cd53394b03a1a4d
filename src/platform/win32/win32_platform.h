// The real platform: the Win32 calls behind the seam.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include "platform/platform.h"
#include "platform/win32/gdi.h"

namespace vorn::win32 {

inline HWND ToHwnd(WindowHandle handle) {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(handle));
}

inline WindowHandle FromHwnd(HWND window) {
  return static_cast<WindowHandle>(reinterpret_cast<INT_PTR>(window));
}

// Waits inside the frame cycle are timed to this many milliseconds.
inline constexpr UINT kFineTimerResolutionMs = 1;

class Win32Platform final : public Platform {
 public:
  explicit Win32Platform(HINSTANCE instance);
  ~Win32Platform() override;

  // Serves the preview window's messages until it is gone.
  void RunPreviewMessageLoop();

  std::string ArgumentText() override;
  std::string ProgramDirectory() override;
  void EndProcess() override;
  float SecondsSinceMidnight() override;
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
  std::int64_t NowMicroseconds() override;

 private:
  static LRESULT CALLBACK SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HDC SurfaceDc(SurfaceId surface);

  HINSTANCE instance_;
  HWND saverWindow_ = nullptr;
  HDC displayDc_ = nullptr;
  MemorySurface buffer_;
  MemorySurface sprites_;
  HWND previewWindow_ = nullptr;
  LARGE_INTEGER counterFrequency_{};
  bool timerPeriodRaised_ = false;
};

}  // namespace vorn::win32
