// The settings dialog's window ("Vornの設定"): DialogCanvas holds its look (the
// backing images the routines draw on, the pictures and captions of its
// controls, and how they are composed into one frame); DialogWindow is the
// frameless window with its three real scroll bars and the routing of its
// messages to the dialog's event handlers (dialog_window.cpp).
#pragma once

#include <windows.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "platform/win32/gdi.h"
#include "platform/win32/text.h"
#include "resources/resource_ids.h"
#include "settings_dialog/layout.h"

namespace vorn::win32 {

// The layout table lists the controls in the order of DialogControl, so a
// control's entry is found by its value.
constexpr bool LayoutFollowsControlOrder() {
  for (std::size_t i = 0; i < kDialogLayout.size(); ++i) {
    if (static_cast<std::size_t>(kDialogLayout[i].id) != i) return false;
  }
  return true;
}
static_assert(LayoutFollowsControlOrder());

inline constexpr std::size_t kDialogControlCount = kDialogLayout.size();
constexpr std::size_t SlotOf(DialogControl control) { return static_cast<std::size_t>(control); }

// ------------------------------------------------------------ GDI scopes

// A font, deleted with its owner.
class Font {
 public:
  Font() = default;
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;
  ~Font() { Reset(nullptr); }
  void Reset(HFONT font) {
    if (font_ != nullptr) DeleteObject(font_);
    font_ = font;
  }
  HFONT Get() const { return font_; }

 private:
  HFONT font_ = nullptr;
};

// A GDI object selected into a device context for one scope.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() { SelectObject(dc_, previous_); }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A window's device context (the screen's for no window), released with the scope.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint to EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window) { BeginPaint(window_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  ~PaintDc() { EndPaint(window_, &paint_); }
  HDC Get() const { return paint_.hdc; }
  const RECT& Area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
};

// ------------------------------------------------------------ geometry

// Twips per screen pixel, horizontally and vertically (15 at 96 dpi).
struct TwipsPerPixel {
  double x = 15;
  double y = 15;
};

inline TwipsPerPixel ScreenTwipsPerPixel() {
  WindowDc screen(nullptr);
  TwipsPerPixel twips;
  if (screen.Get() == nullptr) return twips;
  const int dpiX = GetDeviceCaps(screen.Get(), LOGPIXELSX);
  const int dpiY = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  if (dpiX > 0) twips.x = 1440.0 / dpiX;
  if (dpiY > 0) twips.y = 1440.0 / dpiY;
  return twips;
}

inline int ToPixels(double twips, double twipsPerPixel) {
  return static_cast<int>(std::lround(twips / twipsPerPixel));
}
inline int Width(const RECT& rect) { return rect.right - rect.left; }
inline int Height(const RECT& rect) { return rect.bottom - rect.top; }
inline RECT Union(const RECT& a, const RECT& b) {
  RECT both{};
  UnionRect(&both, &a, &b);
  return both;
}

// ------------------------------------------------------------ the look

class DialogCanvas {
 public:
  explicit DialogCanvas(TwipsPerPixel twips) : twips_(twips) {
    for (const ControlLayout& control : kDialogLayout) {
      if (control.caption != nullptr) captions_[SlotOf(control.id)] = Widen(control.caption);
    }
    shown_[SlotOf(DialogControl::ImgExit)] = DialogPicture::CloseReleased;
    shown_[SlotOf(DialogControl::ImgSet)] = DialogPicture::ButtonReleased;
    shown_[SlotOf(DialogControl::ImgCan)] = DialogPicture::ButtonReleased;
  }

  // The pictures, the fixed-size surfaces and the labels' font.
  bool Load(HINSTANCE instance) {
    titleBar_.LoadBitmapResource(instance, IDB_TITLE_BAR);
    Picture(DialogPicture::ButtonReleased).LoadBitmapResource(instance, IDB_BUTTON_RELEASED);
    Picture(DialogPicture::ButtonPressed).LoadBitmapResource(instance, IDB_BUTTON_PRESSED);
    Picture(DialogPicture::CloseReleased).LoadBitmapResource(instance, IDB_CLOSE_RELEASED);
    Picture(DialogPicture::ClosePressed).LoadBitmapResource(instance, IDB_CLOSE_PRESSED);
    sprites_.LoadBitmapResource(instance, IDB_SPRITE_SHEET);
    const RECT picB = Rect(DialogControl::PicB);
    const RECT display = Rect(DialogControl::Display);
    if (!picB_.CreateDib(Width(picB), Height(picB))) return false;
    if (!display_.CreateDib(Width(display), Height(display))) return false;  // black
    Fill(picB_, kPicBBackColour);
    const int dpi = static_cast<int>(std::lround(1440.0 / twips_.y));
    font_.Reset(CreateFontW(-MulDiv(kLabelPointsHundredths, dpi, 7200), 0, 0, 0, FW_NORMAL, FALSE,
                            FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"ＭＳ Ｐゴシック"));
    return true;
  }

  // The window's own image follows the client area; it starts grey.
  void Resize(int width, int height) {
    if (width == backing_.Width() && height == backing_.Height()) return;
    if (backing_.CreateDib(width, height)) Fill(backing_, kDialogBackColour);
    frame_.CreateDib(width, height);
  }

  const MemorySurface* Surface(SurfaceId surface) const {
    switch (surface) {
      case SurfaceId::DialogWindow: return &backing_;
      case SurfaceId::DialogPicB: return &picB_;
      case SurfaceId::DialogDisplay: return &display_;
      case SurfaceId::DialogSprites: return &sprites_;
      default: return nullptr;
    }
  }

  // A control's place in the client area, pixels.
  RECT Rect(DialogControl control) const {
    const ControlLayout& layout = kDialogLayout[SlotOf(control)];
    int x = ToPixels(layout.left, twips_.x);
    int y = ToPixels(layout.top, twips_.y);
    if (layout.parent) {
      x += ToPixels(kDialogLayout[SlotOf(*layout.parent)].left, twips_.x);
      y += ToPixels(kDialogLayout[SlotOf(*layout.parent)].top, twips_.y);
    }
    return {x, y, x + ToPixels(layout.width, twips_.x), y + ToPixels(layout.height, twips_.y)};
  }

  // Where a label's text lies: its box, or the text's own extent where the
  // text is wider than the box or narrower (labels sized to their text).
  RECT TextBox(DialogControl label) const {
    const RECT box = Rect(label);
    const std::wstring& text = captions_[SlotOf(label)];
    if (frame_.Dc() == nullptr || text.empty()) return box;
    RECT measured = box;
    {
      Selection font(frame_.Dc(), font_.Get());
      DrawTextW(frame_.Dc(), text.c_str(), static_cast<int>(text.size()), &measured,
                kLabelFormat | DT_CALCRECT);
    }
    const int width = Width(measured);
    const ControlKind kind = kDialogLayout[SlotOf(label)].kind;
    if (kind == ControlKind::LabelRight) measured.left = box.right - width;
    if (kind == ControlKind::LabelCentred) measured.left = box.left + (Width(box) - width) / 2;
    measured.right = measured.left + width;
    return measured;
  }

  // Where an image's picture is drawn: stretched over the button images, at
  // its own size for the close box.
  RECT PictureBox(DialogControl image) const {
    RECT box = Rect(image);
    const std::optional<DialogPicture> shown = shown_[SlotOf(image)];
    if (image != DialogControl::ImgExit || !shown) return box;
    box.right = box.left + Picture(*shown).Width();
    box.bottom = box.top + Picture(*shown).Height();
    return box;
  }

  // The control a press at this point belongs to, the ones on top first. A
  // press on a button's picture counts as one on its caption; one on the
  // title text drags the window like the rest of the title bar.
  std::optional<DialogControl> ControlAt(POINT point) const {
    constexpr std::pair<DialogControl, DialogControl> kAreas[] = {
        {DialogControl::ImgExit, DialogControl::ImgExit},
        {DialogControl::LblSet, DialogControl::LblSet},
        {DialogControl::ImgSet, DialogControl::LblSet},
        {DialogControl::LblCan, DialogControl::LblCan},
        {DialogControl::ImgCan, DialogControl::LblCan},
        {DialogControl::Image1, DialogControl::Image1},
    };
    for (const auto& [area, target] : kAreas) {
      const RECT box = area == DialogControl::ImgExit ? PictureBox(area) : Rect(area);
      if (PtInRect(&box, point)) return target;
    }
    const RECT link = TextBox(DialogControl::LblUrl);
    if (PtInRect(&link, point)) return DialogControl::LblUrl;
    return std::nullopt;
  }

  // Each returns the area to paint again.
  RECT SetCaption(DialogControl label, std::wstring text) {
    const RECT before = Union(Rect(label), TextBox(label));
    captions_[SlotOf(label)] = std::move(text);
    return Union(before, TextBox(label));
  }
  RECT SetPicture(DialogControl image, DialogPicture picture) {
    const RECT before = PictureBox(image);
    shown_[SlotOf(image)] = picture;
    return Union(before, PictureBox(image));
  }

  // The whole client area, composed afresh from the backing images.
  const MemorySurface& Compose() {
    HDC dc = frame_.Dc();
    if (dc == nullptr) return frame_;
    BitBlt(dc, 0, 0, frame_.Width(), frame_.Height(), backing_.Dc(), 0, 0, SRCCOPY);
    DrawPictures(dc);
    DrawLabels(dc);
    return frame_;
  }

 private:
  static constexpr int kLabelPointsHundredths = 975;  // 9.75 pt
  static constexpr UINT kLabelFormat = DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;

  static void Fill(const MemorySurface& surface, COLORREF colour) {
    const RECT all{0, 0, surface.Width(), surface.Height()};
    SetDCBrushColor(surface.Dc(), colour);
    FillRect(surface.Dc(), &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
  static void Stretch(HDC dc, const RECT& to, const MemorySurface& picture) {
    if (picture.Dc() == nullptr) return;
    StretchBlt(dc, to.left, to.top, Width(to), Height(to), picture.Dc(), 0, 0, picture.Width(),
               picture.Height(), SRCCOPY);
  }
  // Stretches a picture whose one-pixel frame stays one pixel wide: only the
  // inside grows, so a button face keeps a crisp bevel at any size.
  static void StretchFramed(HDC dc, const RECT& to, const MemorySurface& picture) {
    if (picture.Dc() == nullptr || picture.Width() < 3 || picture.Height() < 3) return;
    const int fromX[] = {0, 1, picture.Width() - 1, picture.Width()};
    const int fromY[] = {0, 1, picture.Height() - 1, picture.Height()};
    const int toX[] = {to.left, to.left + 1, to.right - 1, to.right};
    const int toY[] = {to.top, to.top + 1, to.bottom - 1, to.bottom};
    for (int row = 0; row < 3; ++row) {
      for (int column = 0; column < 3; ++column) {
        StretchBlt(dc, toX[column], toY[row], toX[column + 1] - toX[column],
                   toY[row + 1] - toY[row], picture.Dc(), fromX[column], fromY[row],
                   fromX[column + 1] - fromX[column], fromY[row + 1] - fromY[row], SRCCOPY);
      }
    }
  }
  static void Blt(HDC dc, const RECT& at, const MemorySurface& picture) {
    BitBlt(dc, at.left, at.top, picture.Width(), picture.Height(), picture.Dc(), 0, 0, SRCCOPY);
  }
  MemorySurface& Picture(DialogPicture picture) {
    return pictures_[static_cast<std::size_t>(picture)];
  }
  const MemorySurface& Picture(DialogPicture picture) const {
    return pictures_[static_cast<std::size_t>(picture)];
  }

  void DrawPictures(HDC dc) const {
    SetStretchBltMode(dc, COLORONCOLOR);
    Stretch(dc, Rect(DialogControl::Image1), titleBar_);
    // cppcheck-suppress assignmentInCondition ; a declaration in the condition
    if (const auto shown = shown_[SlotOf(DialogControl::ImgExit)]) {
      Blt(dc, PictureBox(DialogControl::ImgExit), Picture(*shown));
    }
    for (DialogControl button : {DialogControl::ImgSet, DialogControl::ImgCan}) {
      // cppcheck-suppress assignmentInCondition ; a declaration in the condition
      if (const auto shown = shown_[SlotOf(button)]) StretchFramed(dc, Rect(button), Picture(*shown));
    }
    const RECT picA = Rect(DialogControl::PicA);
    FillRect(dc, &picA, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    Blt(dc, Rect(DialogControl::Display), display_);
    Blt(dc, Rect(DialogControl::PicB), picB_);
  }

  void DrawLabels(HDC dc) const {
    Selection font(dc, font_.Get());
    SetBkMode(dc, TRANSPARENT);
    for (const ControlLayout& control : kDialogLayout) {
      UINT format = kLabelFormat;
      if (control.kind == ControlKind::LabelRight) format |= DT_RIGHT;
      if (control.kind == ControlKind::LabelCentred) format |= DT_CENTER;
      if (control.caption == nullptr) continue;  // not a label
      const std::wstring& text = captions_[SlotOf(control.id)];
      RECT box = Rect(control.id);
      SetTextColor(dc, TextColour(control.id));
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format);
    }
  }

  static COLORREF TextColour(DialogControl label) {
    if (label == DialogControl::Label9) return kTitleTextColour;
    if (label == DialogControl::LblUrl) return kLinkTextColour;
    return GetSysColor(COLOR_WINDOWTEXT);
  }

  TwipsPerPixel twips_;
  MemorySurface backing_;  // DialogWindow: the client area
  MemorySurface picB_;     // DialogPicB
  MemorySurface display_;  // DialogDisplay
  MemorySurface sprites_;  // DialogSprites
  MemorySurface frame_;    // where a repaint is composed
  MemorySurface titleBar_;
  std::array<MemorySurface, 4> pictures_;  // by DialogPicture
  std::array<std::optional<DialogPicture>, kDialogControlCount> shown_{};
  std::array<std::wstring, kDialogControlCount> captions_;
  Font font_;
};

// ------------------------------------------------------------ the window

class DialogWindow {
 public:
  DialogWindow(HINSTANCE instance, DialogEvents& events);
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;
  ~DialogWindow();

  // Makes the hidden window, its scroll bars, pictures and font.
  bool Create();
  // Null once the window is destroyed; the surfaces outlive it.
  HWND Window() const { return window_; }
  const DialogCanvas& Canvas() const { return canvas_; }
  // A surface's backing image changed: show it.
  void Refresh(SurfaceId surface);
  void SetCaption(DialogControl label, std::wstring text);
  void SetPicture(DialogControl image, DialogPicture picture);
  void SetHandCursor(DialogControl control) { hand_[SlotOf(control)] = true; }
  // index 1 to 3; 0 for any other.
  std::int16_t ScrollValue(std::int16_t index) const;
  void SetScrollValue(std::int16_t index, std::int16_t value);
  void SetPreviewTimer(bool enabled, UINT intervalMs);
  // Shows the window and serves messages until it is destroyed.
  void RunModal();
  // Runs Form_Unload and destroys the window, once.
  void Close();

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnCreate();
  LRESULT OnSize(LPARAM lParam);
  LRESULT OnPaint();
  LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
  LRESULT OnButtonDown(int button, LPARAM lParam);
  LRESULT OnButtonUp(LPARAM lParam);
  LRESULT OnMouseMove(LPARAM lParam);
  LRESULT OnCaptureChanged(LPARAM lParam);
  LRESULT OnHScroll(WPARAM wParam, LPARAM lParam);
  LRESULT OnTimer(WPARAM wParam);
  LRESULT OnClose();
  LRESULT OnDestroy();
  LRESULT OnNcDestroy(WPARAM wParam, LPARAM lParam);
  LRESULT OnBarKey(HWND bar);

  void CreateScrollBars();
  void Invalidate(const RECT& area);
  int BarIndex(HWND bar) const;
  void CommitScroll(int slot, int value);

  HINSTANCE instance_;
  DialogEvents& events_;
  DialogCanvas canvas_;
  HWND window_ = nullptr;
  std::array<HWND, 3> bars_{};
  std::array<std::int16_t, 3> values_{};
  WNDPROC barClassProc_ = nullptr;
  std::array<bool, kDialogControlCount> hand_{};
  HCURSOR handCursor_ = nullptr;  // a shared resource cursor: never destroyed
  std::optional<DialogControl> pressed_;
  int pressedButton_ = 0;
  bool ready_ = false;  // events flow once the window is made, until it is destroyed
  bool timerEnabled_ = false;
  bool inTimer_ = false;
  bool closing_ = false;
  int resizes_ = 0;
};

}  // namespace vorn::win32
