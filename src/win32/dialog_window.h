// The settings dialog's window ("Vornの設定"), made only by the Win32 platform:
// a frameless window with three real scroll bars, whose messages go to the
// dialog's model and whose look is composed from the backing images the
// routines draw on and from what the model says each control shows.
#pragma once

#include <windowsx.h>

#include <algorithm>
#include <array>
#include <string>

#include "resources/resource_ids.h"
#include "settings_dialog/dialog_model.h"
#include "settings_dialog/geometry.h"
#include "win32/win32_platform.h"

namespace vorn::win32 {

constexpr wchar_t kDialogClass[] = L"VornDialogWindow";
constexpr UINT_PTR kPreviewTimerId = 1;
constexpr int kFirstBarId = 100;             // HS(index) has the id 100 + index
constexpr int kLabelPointsHundredths = 975;  // 9.75 pt
constexpr UINT kLabelFormat = DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;
constexpr auto kFirstSurface = static_cast<std::size_t>(SurfaceId::DialogWindow);
constexpr std::size_t kTitleBar = 4;  // the title bar's picture, after the DialogPicture ones
static_assert(SB_LINELEFT == 0 && SB_LINERIGHT == 1 && SB_PAGELEFT == 2 && SB_PAGERIGHT == 3 &&
              SB_THUMBPOSITION == 4 && SB_THUMBTRACK == 5 && SB_LEFT == 6 && SB_RIGHT == 7);

inline int ScreenDpi() {
  WindowDc screen(nullptr);
  const int dpi = screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
  return dpi > 0 ? dpi : 96;  // the usual resolution when the screen says nothing
}

inline void Fill(const MemorySurface& surface, COLORREF colour) {
  const RECT all{0, 0, surface.Width(), surface.Height()};
  SetDCBrushColor(surface.Dc(), colour);
  FillRect(surface.Dc(), &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

inline void Blt(HDC dc, const PixelRect& at, const MemorySurface& picture) {
  BitBlt(dc, at.left, at.top, picture.Width(), picture.Height(), picture.Dc(), 0, 0, SRCCOPY);
}

// Stretches a picture over `to`; with `framed`, its one-pixel frame stays one
// pixel wide and only the inside grows, so a button face keeps a crisp bevel.
inline void Stretch(HDC dc, const PixelRect& to, const MemorySurface& picture, bool framed) {
  const int w = picture.Width(), h = picture.Height();
  if (picture.Dc() == nullptr || (framed && (w < 3 || h < 3))) return;
  if (!framed) {
    StretchBlt(dc, to.left, to.top, Width(to), Height(to), picture.Dc(), 0, 0, w, h, SRCCOPY);
    return;
  }
  const int fromX[] = {0, 1, w - 1, w}, fromY[] = {0, 1, h - 1, h};
  const int toX[] = {to.left, to.left + 1, to.right - 1, to.right};
  const int toY[] = {to.top, to.top + 1, to.bottom - 1, to.bottom};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      StretchBlt(dc, toX[col], toY[row], toX[col + 1] - toX[col], toY[row + 1] - toY[row],
                 picture.Dc(), fromX[col], fromY[row], fromX[col + 1] - fromX[col],
                 fromY[row + 1] - fromY[row], SRCCOPY);
    }
  }
}

class DialogWindow final : public DialogView, NoCopy {
 public:
  DialogWindow(HINSTANCE instance, DialogEvents& events)
      : instance_(instance), model_(events, *this, ScreenDpi()) {}
  ~DialogWindow() {
    model_.Destroyed();
    if (window_ != nullptr) DestroyWindow(window_);
  }

  // Loads the pictures and makes the fixed-size surfaces, the labels' font,
  // then the hidden window and its scroll bars.
  bool Create() {
    RegisterWindowClass(instance_, kDialogClass, &DialogWindow::Proc, 0,
                        LoadIconW(instance_, MAKEINTRESOURCEW(IDI_VORN)), nullptr);
    constexpr int kPictures[] = {IDB_BUTTON_RELEASED, IDB_BUTTON_PRESSED, IDB_CLOSE_RELEASED,
                                 IDB_CLOSE_PRESSED, IDB_TITLE_BAR};
    for (std::size_t i = 0; i < pictures_.size(); ++i) {
      pictures_[i].LoadBitmapResource32(instance_, kPictures[i]);
    }
    Own(SurfaceId::DialogSprites).LoadBitmapResource32(instance_, IDB_SPRITE_SHEET);
    for (const auto& [surface, control] : {std::pair{SurfaceId::DialogPicB, DialogControl::PicB},
                                           {SurfaceId::DialogDisplay, DialogControl::Display}}) {
      const PixelRect place = model_.Rect(control);
      if (!Own(surface).CreateDib(Width(place), Height(place))) return false;  // black
    }
    Fill(Own(SurfaceId::DialogPicB), kPicBBackColour);
    font_.reset(CreateFontW(-MulDiv(kLabelPointsHundredths, model_.Dpi(), 7200), 0, 0, 0, FW_NORMAL,
                            FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                            L"ＭＳ Ｐゴシック"));
    handCursor_ = LoadCursorW(instance_, MAKEINTRESOURCEW(IDC_HAND_POINTER));
    // Frameless, so the client area is the whole window; listed on the taskbar.
    // cppcheck-suppress ignoredReturnValue ; the handle arrives in window_ with WM_NCCREATE
    CreateWindowExW(WS_EX_APPWINDOW, kDialogClass, Widen(kDialogCaption).c_str(),
                    WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, 0, nullptr, nullptr, instance_, this);
    if (window_ != nullptr) model_.Opened();
    return window_ != nullptr;
  }
  // Null once the window is destroyed; the surfaces outlive it.
  HWND Window() const { return window_; }
  DialogModel& Model() { return model_; }
  // The backing images of the dialog's surfaces; null for other surfaces.
  const MemorySurface* Surface(SurfaceId surface) const {
    const auto slot = static_cast<std::size_t>(surface) - kFirstSurface;
    return slot < surfaces_.size() ? &surfaces_[slot] : nullptr;  // wraps below the first
  }
  // A surface's backing image changed: show it.
  void Refresh(SurfaceId surface) {
    const MemorySurface* image = Surface(surface);
    if (window_ == nullptr || image == nullptr) return;
    if (surface == SurfaceId::DialogWindow) Repaint({0, 0, image->Width(), image->Height()});
    if (surface == SurfaceId::DialogPicB) Repaint(model_.Rect(DialogControl::PicB));
    if (surface != SurfaceId::DialogDisplay) return;
    // The preview changes many times a second: it goes on the screen at once
    // rather than through a repaint of the window around it.
    WindowDc dc(window_);
    Blt(dc.Get(), model_.Rect(DialogControl::Display), *image);
  }
  void SetPreviewTimer(bool enabled, UINT intervalMs) {
    model_.EnableTimer(enabled && window_ != nullptr);
    if (window_ == nullptr) return;
    if (!enabled) KillTimer(window_, kPreviewTimerId);
    if (enabled)
      SetTimer(window_, kPreviewTimerId, std::max<UINT>(intervalMs, USER_TIMER_MINIMUM), nullptr);
  }
  // Shows the window and serves messages until it is destroyed.
  void RunModal() {
    if (window_ == nullptr) return;
    const int resizesBefore = resizes_;
    ShowWindow(window_, SW_SHOW);
    // The first showing counts as a resize even when the size stays.
    // cppcheck-suppress knownConditionTrueFalse ; ShowWindow's WM_SIZE counts in resizes_
    if (resizes_ == resizesBefore) {
      RECT client{};
      GetClientRect(window_, &client);
      OnSize(client.right, client.bottom);
    }
    if (window_ != nullptr) SetForegroundWindow(window_);
    if (bars_[0] != nullptr) SetFocus(bars_[0]);
    MSG message;
    while (window_ != nullptr && GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
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
  ScreenSize PictureSize(DialogPicture picture) override {
    return {Picture(picture).Width(), Picture(picture).Height()};
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
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    const PixelPoint at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    HWND window = window_;
    switch (message) {
      case WM_CREATE: CreateScrollBars(); return 0;
      case WM_SIZE: OnSize(LOWORD(lParam), HIWORD(lParam)); return 0;
      case WM_ERASEBKGND: return 1;  // every pixel comes from the composed frame
      case WM_PAINT: OnPaint(); return 0;
      case WM_SETCURSOR: return OnSetCursor(wParam, lParam);
      case WM_LBUTTONDOWN: model_.ButtonDown(at, kLeftButton); return 0;
      case WM_RBUTTONDOWN: model_.ButtonDown(at, kRightButton); return 0;
      case WM_MBUTTONDOWN: model_.ButtonDown(at, kMiddleButton); return 0;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP: model_.ButtonUp(at); return 0;
      case WM_MOUSEMOVE: model_.MouseMove(at); return 0;
      case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != window) model_.CaptureLost();
        return 0;
      case WM_HSCROLL: {
        // Positions are 16-bit in the message: the thumb's is read from the bar.
        const std::int16_t index = BarIndex(reinterpret_cast<HWND>(lParam));
        SCROLLINFO track{sizeof(SCROLLINFO), SIF_TRACKPOS, 0, 0, 0, 0, 0};
        if (index == 0) return 0;
        const bool read = GetScrollInfo(bars_[BarSlot(index)], SB_CTL, &track);
        model_.Scroll(index, static_cast<ScrollCode>(LOWORD(wParam)),
                      read ? track.nTrackPos : HIWORD(wParam));
        return 0;
      }
      case WM_TIMER:
        if (wParam == kPreviewTimerId) model_.Tick();
        return 0;
      case WM_CLOSE: model_.CloseRequested(); return 0;
      case WM_DESTROY:
        KillTimer(window, kPreviewTimerId);
        model_.Destroyed();
        return 0;
      case WM_NCDESTROY:
        window_ = nullptr;
        bars_ = {};
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
      default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  // The bars keep their own keys (arrows, Page Up/Down, Home, End); Tab and
  // Shift+Tab move between them (BarProc).
  void CreateScrollBars() {
    for (std::int16_t index = 1; index <= kBarCount; ++index) {
      const PixelRect at = model_.Rect(kScrollControls[BarSlot(index)]);
      HWND bar = CreateWindowExW(
          0, L"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_HORZ, at.left, at.top,
          Width(at), Height(at), window_,
          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstBarId + index)), instance_, nullptr);
      if (bar == nullptr) continue;
      // A page of 0 gives the plain bar whose thumb keeps its size.
      const ScrollBarRange& r = kScrollBars[BarSlot(index)];
      const SCROLLINFO info{
          sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, r.min, r.max, 0, r.initial, 0};
      SetScrollInfo(bar, SB_CTL, &info, FALSE);
      SetWindowLongPtrW(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
      barClassProc_ = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DialogWindow::BarProc)));
      bars_[BarSlot(index)] = bar;
    }
  }
  static LRESULT CALLBACK BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(bar, GWLP_USERDATA));
    if (message != WM_KEYDOWN || wParam != VK_TAB) {
      return CallWindowProcW(self->barClassProc_, bar, message, wParam, lParam);
    }
    const std::int16_t from = std::max<std::int16_t>(self->BarIndex(bar), 1);
    if (HWND next = self->bars_[BarSlot(NextBar(from, GetKeyState(VK_SHIFT) < 0))]) SetFocus(next);
    return 0;
  }
  // HS(1) to HS(3); 0 for any other window.
  std::int16_t BarIndex(HWND bar) const {
    const auto found = std::find(bars_.begin(), bars_.end(), bar);
    if (bar == nullptr || found == bars_.end()) return 0;
    return static_cast<std::int16_t>(found - bars_.begin() + 1);
  }
  // The window's own image follows the client area; it starts grey.
  void OnSize(int width, int height) {
    MemorySurface& backing = Own(SurfaceId::DialogWindow);
    if (width != backing.Width() || height != backing.Height()) {
      if (backing.CreateDib(width, height)) Fill(backing, kDialogBackColour);
      frame_.CreateDib(width, height);
    }
    ++resizes_;
    model_.Resized();
    if (window_ != nullptr) InvalidateRect(window_, nullptr, FALSE);
  }
  // The whole client area is composed afresh: the backing images, the
  // pictures, the labels.
  void OnPaint() {
    PaintDc paint(window_);
    HDC dc = frame_.Dc();
    if (dc == nullptr) return;
    using C = DialogControl;
    const auto shown = [&](C image) -> const MemorySurface& {
      return Picture(model_.Shown(image).value_or(DialogPicture{}));
    };
    Blt(dc, {}, Own(SurfaceId::DialogWindow));
    SetStretchBltMode(dc, COLORONCOLOR);
    Stretch(dc, model_.Rect(C::Image1), pictures_[kTitleBar], false);
    Blt(dc, model_.PictureBox(C::ImgExit), shown(C::ImgExit));
    Stretch(dc, model_.Rect(C::ImgSet), shown(C::ImgSet), true);
    Stretch(dc, model_.Rect(C::ImgCan), shown(C::ImgCan), true);
    const RECT picA = ToRect(model_.Rect(C::PicA));
    FillRect(dc, &picA, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    Blt(dc, model_.Rect(C::Display), Own(SurfaceId::DialogDisplay));
    Blt(dc, model_.Rect(C::PicB), Own(SurfaceId::DialogPicB));
    Selection font(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    for (const ControlLayout& label : kDialogLayout) {
      if (label.caption == nullptr) continue;  // not a label
      const std::wstring text = Widen(model_.Caption(label.id));
      RECT box = ToRect(model_.TextBox(label.id));  // aligned where the model places it
      SetTextColor(dc, label.id == C::Label9   ? kTitleTextColour
                       : label.id == C::LblUrl ? kLinkTextColour
                                               : GetSysColor(COLOR_WINDOWTEXT));
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, kLabelFormat);
    }
    const RECT& area = paint.Area();
    BitBlt(paint.Get(), area.left, area.top, area.right - area.left, area.bottom - area.top, dc,
           area.left, area.top, SRCCOPY);
  }
  LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam) {
    const auto target = reinterpret_cast<HWND>(wParam);
    const std::int16_t bar = BarIndex(target);
    if (bar == 0 && (target != window_ || LOWORD(lParam) != HTCLIENT)) {
      return DefWindowProcW(window_, WM_SETCURSOR, wParam, lParam);
    }
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(window_, &point);
    const bool hand = model_.HandCursorOver(bar, {point.x, point.y}) && handCursor_ != nullptr;
    SetCursor(hand ? handCursor_ : LoadCursorW(nullptr, IDC_ARROW));
    return TRUE;
  }
  MemorySurface& Own(SurfaceId surface) {
    return surfaces_[static_cast<std::size_t>(surface) - kFirstSurface];
  }
  const MemorySurface& Picture(DialogPicture picture) const {
    return pictures_[static_cast<std::size_t>(picture)];
  }

  HINSTANCE instance_;
  DialogModel model_;
  HWND window_ = nullptr;
  std::array<HWND, kBarCount> bars_{};
  WNDPROC barClassProc_ = nullptr;
  HCURSOR handCursor_ = nullptr;           // a shared resource cursor: never destroyed
  std::array<MemorySurface, 4> surfaces_;  // Vorn_P, Pic_b, Display, Pic_Vorn, by SurfaceId
  MemorySurface frame_;                    // where a repaint is composed
  std::array<MemorySurface, 5> pictures_;  // by DialogPicture, then the title bar
  FontHandle font_{nullptr, &DeleteObject};
  int resizes_ = 0;
};

}  // namespace vorn::win32
