// The real platform: the Win32 calls behind the seam.
#pragma once

#include <mmsystem.h>
#include <windows.h>

#include <memory>

#include "platform/platform.h"
#include "platform/win32/gdi.h"
#include "platform/win32/local_clock.h"
#include "platform/win32/system_library.h"

namespace vorn::win32 {

inline HWND ToHwnd(WindowHandle handle) {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(handle));
}

inline WindowHandle FromHwnd(HWND window) {
  return static_cast<WindowHandle>(reinterpret_cast<INT_PTR>(window));
}

// Registers one of the program's window classes (again for a second window of
// the class: harmless), with the arrow pointer.
inline void RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, UINT style,
                                HICON icon, HBRUSH background) {
  const WNDCLASSEXW windowClass{sizeof(WNDCLASSEXW),
                                style,
                                proc,
                                0,
                                0,
                                instance,
                                icon,
                                LoadCursorW(nullptr, IDC_ARROW),
                                background,
                                nullptr,
                                name,
                                nullptr};
  RegisterClassExW(&windowClass);
}

// The object a window was made for (CreateWindowEx's last argument), kept in
// the window's user data from WM_NCCREATE on; null before.
template <typename T>
T* Attached(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Waits inside the frame cycle are timed to this many milliseconds.
inline constexpr UINT kFineTimerResolutionMs = 1;

// Not final: the benchmark build (bench/win32) derives from it to count and time
// the frames that the real adapter presents.
class Win32Platform : public Platform {
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

  // preview_window.cpp
  WindowHandle CreatePreviewWindow() override;
  void MovePreviewImage(std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height) override;
  void ShowPreviewWindow(WindowHandle window) override;

  // dialog_window.cpp
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
  std::int64_t NowMicroseconds() override;

 private:
  static LRESULT CALLBACK SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The memory surfaces (all but the saver's display); null before they exist.
  const MemorySurface* Memory(SurfaceId surface) const;
  HDC SurfaceDc(SurfaceId surface);
  // The memory of the saver's off-screen frame and sprite sheet, which the
  // core raster draws into directly; empty for the other surfaces.
  PixelView SaverPixels(SurfaceId surface) const;
  void FlushGdi();
  // Records a drawing into the saver's off-screen frame.
  void NoteDrawn(SurfaceId surface, std::int64_t x, std::int64_t y, std::int64_t width,
                 std::int64_t height);

  HINSTANCE instance_;
  HWND saverWindow_ = nullptr;
  HDC displayDc_ = nullptr;
  MemorySurface buffer_;
  MemorySurface sprites_;
  HWND previewWindow_ = nullptr;
  // preview window (preview_window.cpp)
  static LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void PaintPreview(HWND window);
  MemorySurface previewStill_;
  RECT previewImage_{};
  // end of preview window
  // The settings dialog's window and its state (dialog_window.cpp).
  std::unique_ptr<class DialogWindow> dialog_;
  LARGE_INTEGER counterFrequency_{};
  LocalClock localClock_;
  // What was drawn on the saver's frame since it was last black.
  DrawnRegion bufferDrawn_;
  // Where the cells of the saver's sprite sheet have their flames.
  InkBoundsCache spriteInk_;
  // A GDI call may still be working on the saver's DIB sections.
  bool gdiPending_ = true;
  // Raised while the saver runs (saver_window.cpp).
  std::unique_ptr<TimerResolution> timerResolution_;
};

}  // namespace vorn::win32
