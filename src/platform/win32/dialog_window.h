// The settings dialog's window ("Vornの設定"): a frameless window with three
// real scroll bars, whose messages go to the dialog's model and whose look is
// composed from the backing images the routines draw on and from what the
// model says each control shows.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/platform.h"
#include "platform/win32/gdi.h"
#include "settings_dialog/dialog_model.h"

namespace vorn::win32 {

class DialogWindow final : public DialogView, NoCopy {
 public:
  DialogWindow(HINSTANCE instance, DialogEvents& events);
  ~DialogWindow();

  // Makes the hidden window, its scroll bars, pictures and font.
  bool Create();
  // Null once the window is destroyed; the surfaces outlive it.
  HWND Window() const { return window_; }
  DialogModel& Model() { return model_; }
  // The backing images of the dialog's surfaces; null for other surfaces.
  const MemorySurface* Surface(SurfaceId surface) const;
  // A surface's backing image changed: show it.
  void Refresh(SurfaceId surface);
  void SetPreviewTimer(bool enabled, UINT intervalMs);
  // Shows the window and serves messages until it is destroyed.
  void RunModal();
  // Runs Form_Unload and destroys the window, once.
  void Close();

  std::optional<ScreenSize> MeasureText(std::string_view text) override;
  ScreenSize PictureSize(DialogPicture picture) override;
  void Repaint(const PixelRect& area) override;
  void ShowThumb(std::int16_t index, std::int32_t value) override;
  void Capture(bool take) override;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateScrollBars();
  void OnSize(int width, int height);
  void OnPaint();
  LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
  // HS(1) to HS(3); 0 for any other window.
  std::int16_t BarIndex(HWND bar) const;
  MemorySurface& Own(SurfaceId surface) {
    return surfaces_[static_cast<std::size_t>(surface) - kFirst];
  }

  static constexpr std::size_t kFirst = static_cast<std::size_t>(SurfaceId::DialogWindow);
  HINSTANCE instance_;
  DialogModel model_;
  HWND window_ = nullptr;
  std::array<HWND, kBarCount> bars_{};
  WNDPROC barClassProc_ = nullptr;
  HCURSOR handCursor_ = nullptr;           // a shared resource cursor: never destroyed
  std::array<MemorySurface, 4> surfaces_;  // Vorn_P, Pic_b, Display, Pic_Vorn, by SurfaceId
  MemorySurface frame_;                    // where a repaint is composed
  MemorySurface titleBar_;
  std::array<MemorySurface, 4> pictures_;  // by DialogPicture
  FontHandle font_;
  int resizes_ = 0;
};

}  // namespace vorn::win32
