// The settings dialog's window ("Vornの設定"), made only by the Win32 platform:
// a frameless window with three real scroll bars, whose messages go to the
// dialog's model and whose look is composed from the backing images the
// routines draw on and from what the model says each control shows. It is laid
// out at the resolution of the screen it stands on, and follows it to another.
#pragma once

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "core/flame.h"
#include "core/particles.h"
#include "settings_dialog/dialog_model.h"
#include "settings_dialog/geometry.h"
#include "win32/dialog_accessible.h"
#include "win32/win32_platform.h"

namespace vorn::win32 {

inline constexpr auto kFirstSurface = static_cast<std::size_t>(SurfaceId::DialogWindow);
inline constexpr UINT_PTR kPreviewTimerId = 1;
inline constexpr UINT kLabelFormat = DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;

class DialogWindow final : public DialogView, NoCopy {
 public:
  DialogWindow(HINSTANCE instance, DialogEvents& events)
      : instance_(instance), model_(events, *this, ScreenDpi()) {}
  ~DialogWindow() {
    model_.Destroyed();
    if (window_ != nullptr) DestroyWindow(window_);
  }

  // Loads the pictures, makes the fixed-size surfaces and chooses the labels'
  // font, then the hidden window with its scroll bars and the close box's tip,
  // laid out at the resolution where the window stands.
  bool Create();
  // Null once the window is destroyed; the surfaces outlive it.
  HWND Window() const { return window_; }
  DialogModel& Model() { return model_; }
  int Dpi() const { return model_.Dpi(); }
  // The backing images of the dialog's surfaces; null for other surfaces.
  const MemorySurface* Surface(SurfaceId surface) const {
    const auto slot = static_cast<std::size_t>(surface) - kFirstSurface;
    return slot < surfaces_.size() ? &surfaces_[slot] : nullptr;  // wraps below the first
  }
  // A surface's backing image changed: show it.
  void Refresh(SurfaceId surface);
  // The preview's copy of the 96 dpi sheet's cell at (x, y): the model shows
  // the same cell of the sheet at the window's scale.
  void ShowCell(std::int32_t x, std::int32_t y) {
    FitSheet();
    model_.ShowCell(x, y);
  }

  void SetPreviewTimer(bool enabled, UINT intervalMs) {
    model_.EnableTimer(enabled && window_ != nullptr);
    if (window_ == nullptr) return;
    if (!enabled) KillTimer(window_, kPreviewTimerId);
    if (enabled)
      SetTimer(window_, kPreviewTimerId, std::max<UINT>(intervalMs, USER_TIMER_MINIMUM), nullptr);
  }
  // Shows the window and serves messages until it is destroyed.
  void RunModal();
  // Runs Form_Unload and destroys the window, once.
  void Close() {
    if (window_ == nullptr || !model_.Unload()) return;
    // cppcheck-suppress knownConditionTrueFalse ; the routine just run may have destroyed it
    if (window_ != nullptr) DestroyWindow(window_);
  }

  std::optional<ScreenSize> MeasureText(std::string_view text) override {
    if (frame_.Dc() == nullptr) return std::nullopt;
    const std::wstring wide = Widen(text);
    RECT measured{};
    Selection font(frame_.Dc(), font_.get());
    DrawTextW(frame_.Dc(), wide.c_str(), static_cast<int>(wide.size()), &measured,
              kLabelFormat | DT_CALCRECT);
    return ScreenSize{measured.right - measured.left, measured.bottom - measured.top};
  }
  ScreenSize ImageSize(PaintImage image) override {
    return {Image(image).Width(), Image(image).Height()};
  }
  void Repaint(const PixelRect& area) override {
    const RECT rect = ToRect(area);
    if (window_ != nullptr) InvalidateRect(window_, &rect, FALSE);
  }
  void ShowThumb(std::int16_t index, std::int32_t value) override {
    if (HWND bar = bars_[BarSlot(index)]) SetScrollPos(bar, SB_CTL, value, TRUE);
  }
  void Capture(bool take) override {
    if (take) SetCapture(window_);
    if (!take) ReleaseCapture();
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = Attached<DialogWindow>(window, message, lParam);
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCCREATE) self->window_ = window;
    return self->Dispatch(message, wParam, lParam);
  }
  static LRESULT CALLBACK BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateScrollBars();
  void AddTooltip();
  // Where the close box's tip shows; `add`: the first time.
  void PlaceTooltip(bool add);
  // What follows the resolution: the labels' font, Pic_b's image, the bars'
  // places and the close box's tip.
  void Scale();
  void OnDpiChanged(int dpi, const RECT& suggested);
  // A key on HS(bar) or (bar 0) on the window; false when it is not the dialog's.
  bool OnKey(std::int16_t bar, WPARAM key);
  void OnSize(int width, int height);
  void OnPaint();
  LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
  // HS(1) to HS(3); 0 for any other window.
  std::int16_t BarIndex(HWND bar) const {
    const auto found = std::find(bars_.begin(), bars_.end(), bar);
    if (bar == nullptr || found == bars_.end()) return 0;
    return static_cast<std::int16_t>(found - bars_.begin() + 1);
  }
  MemorySurface& Own(SurfaceId surface) {
    return surfaces_[static_cast<std::size_t>(surface) - kFirstSurface];
  }
  const MemorySurface& Own(SurfaceId surface) const {
    return surfaces_[static_cast<std::size_t>(surface) - kFirstSurface];
  }
  const MemorySurface& Image(PaintImage image) const;
  // The sheet the model shows the preview's cell from follows the window's
  // scale: whenever the model shows a cell, Image(PaintImage::Sheet) is the
  // sheet of its scale.
  void FitSheet();
  // Carries out one step of the dialog's picture on `dc`.
  void Paint(HDC dc, const PaintStep& step) const;

  HINSTANCE instance_;
  DialogModel model_;
  HWND window_ = nullptr;
  std::array<HWND, kBarCount> bars_{};
  WNDPROC barClassProc_ = nullptr;
  HCURSOR handCursor_ = nullptr;           // a shared resource cursor: never destroyed
  std::array<MemorySurface, 4> surfaces_;  // Vorn_P, Pic_b, Display, Pic_Vorn, by SurfaceId
  MemorySurface frame_;                    // where a repaint is composed
  std::array<MemorySurface, 5> pictures_;  // by DialogPicture, then the title bar
  MemorySurface scaledSheet_;              // the sprite sheet at sheetDpi_
  int sheetDpi_ = kDefaultDpi;
  std::optional<std::wstring> face_;  // the labels' font family; none: the system's GUI font
  FontHandle font_{nullptr, &DeleteObject};
  HWND tooltip_ = nullptr;  // owned by the window, gone with it
  int resizes_ = 0;
  DialogAccessibility accessibility_{model_, window_, bars_};  // what a screen reader is told
};

}  // namespace vorn::win32
