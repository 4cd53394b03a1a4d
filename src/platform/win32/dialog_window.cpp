// The settings dialog's window: creation, input routing, the scroll bars, the
// preview timer, its life, and the Win32Platform services the routines call.
#include "platform/win32/dialog_window.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "platform/win32/win32_platform.h"
#include "settings_dialog/layout.h"

namespace vorn::win32 {
namespace {

constexpr wchar_t kDialogClass[] = L"VornDialogWindow";
constexpr UINT_PTR kPreviewTimerId = 1;
constexpr int kFirstBarId = 101;

// Moves and sizes a top-level window in twips; an absent value keeps the
// window's own.
struct TwipsPlacement {
  std::optional<float> left{}, top{}, width{}, height{};
};

void PlaceWindow(WindowHandle handle, const TwipsPlacement& place) {
  HWND window = ToHwnd(handle);
  RECT now{};
  if (!GetWindowRect(window, &now)) return;
  const TwipsPerPixel twips = ScreenTwipsPerPixel();
  const int x = place.left ? ToPixels(*place.left, twips.x) : now.left;
  const int y = place.top ? ToPixels(*place.top, twips.y) : now.top;
  const int cx = place.width ? ToPixels(*place.width, twips.x) : Width(now);
  const int cy = place.height ? ToPixels(*place.height, twips.y) : Height(now);
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (!place.left && !place.top) flags |= SWP_NOMOVE;
  if (!place.width && !place.height) flags |= SWP_NOSIZE;
  SetWindowPos(window, nullptr, x, y, cx, cy, flags);
}

}  // namespace

// ------------------------------------------------------------ the window

DialogWindow::DialogWindow(HINSTANCE instance, DialogEvents& events)
    : instance_(instance), events_(events), canvas_(ScreenTwipsPerPixel()) {
  hand_[SlotOf(DialogControl::ImgExit)] = true;
}

DialogWindow::~DialogWindow() {
  ready_ = false;
  if (window_ != nullptr) DestroyWindow(window_);
}

bool DialogWindow::Create() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &DialogWindow::Proc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_VORN));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kDialogClass;
  RegisterClassExW(&windowClass);  // already there for a second dialog: fine
  if (!canvas_.Load(instance_)) return false;
  handCursor_ = LoadCursorW(instance_, MAKEINTRESOURCEW(IDC_HAND_POINTER));
  const std::wstring caption = Widen(kDialogCaption);
  // Frameless, so the client area is the whole window; listed on the taskbar.
  // cppcheck-suppress ignoredReturnValue ; the handle arrives in window_ with WM_NCCREATE
  CreateWindowExW(WS_EX_APPWINDOW, kDialogClass, caption.c_str(), WS_POPUP | WS_CLIPCHILDREN, 0,
                  0, 0, 0, nullptr, nullptr, instance_, this);
  ready_ = window_ != nullptr;
  return ready_;
}

LRESULT CALLBACK DialogWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<DialogWindow*>(
        reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return self->Dispatch(message, wParam, lParam);
}

LRESULT DialogWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate();
    case WM_SIZE: return OnSize(lParam);
    case WM_ERASEBKGND: return 1;  // every pixel comes from the composed frame
    case WM_PAINT: return OnPaint();
    case WM_SETCURSOR: return OnSetCursor(wParam, lParam);
    case WM_LBUTTONDOWN: return OnButtonDown(1, lParam);
    case WM_RBUTTONDOWN: return OnButtonDown(2, lParam);
    case WM_MBUTTONDOWN: return OnButtonDown(4, lParam);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: return OnButtonUp(lParam);
    case WM_MOUSEMOVE: return OnMouseMove(lParam);
    case WM_CAPTURECHANGED: return OnCaptureChanged(lParam);
    case WM_HSCROLL: return OnHScroll(wParam, lParam);
    case WM_TIMER: return OnTimer(wParam);
    case WM_CLOSE: return OnClose();
    case WM_DESTROY: return OnDestroy();
    case WM_NCDESTROY: return OnNcDestroy(wParam, lParam);
    default: return DefWindowProcW(window_, message, wParam, lParam);
  }
}

LRESULT DialogWindow::OnCreate() {
  CreateScrollBars();
  return 0;
}

void DialogWindow::CreateScrollBars() {
  for (std::size_t i = 0; i < bars_.size(); ++i) {
    const RECT place = canvas_.Rect(kScrollControls[i]);
    HWND bar = CreateWindowExW(0, L"SCROLLBAR", nullptr,
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_HORZ, place.left,
                               place.top, Width(place), Height(place), window_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstBarId + i)),
                               instance_, nullptr);
    if (bar == nullptr) continue;
    // A page of 0 gives the plain bar whose thumb keeps its size.
    const SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, kScrollBars[i].min,
                          kScrollBars[i].max, 0, kScrollBars[i].initial, 0};
    SetScrollInfo(bar, SB_CTL, &info, FALSE);
    values_[i] = kScrollBars[i].initial;
    SetWindowLongPtrW(bar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    barClassProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DialogWindow::BarProc)));
    bars_[i] = bar;
  }
}

// The bars keep their own keys (arrows, Page Up/Down, Home, End); Tab and
// Shift+Tab move between them, HS(1) → HS(2) → HS(3).
LRESULT CALLBACK DialogWindow::BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(bar, GWLP_USERDATA));
  if (message == WM_KEYDOWN && wParam == VK_TAB) return self->OnBarKey(bar);
  return CallWindowProcW(self->barClassProc_, bar, message, wParam, lParam);
}

LRESULT DialogWindow::OnBarKey(HWND bar) {
  const int count = static_cast<int>(bars_.size());
  const int step = GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1;
  HWND next = bars_[static_cast<std::size_t>((std::max(BarIndex(bar), 0) + step) % count)];
  if (next != nullptr) SetFocus(next);
  return 0;
}

LRESULT DialogWindow::OnSize(LPARAM lParam) {
  canvas_.Resize(LOWORD(lParam), HIWORD(lParam));
  ++resizes_;
  if (ready_) events_.Form_Resize();
  if (window_ != nullptr) InvalidateRect(window_, nullptr, FALSE);
  return 0;
}

LRESULT DialogWindow::OnPaint() {
  PaintDc paint(window_);
  const MemorySurface& frame = canvas_.Compose();
  if (frame.Dc() == nullptr) return 0;
  const RECT& area = paint.Area();
  BitBlt(paint.Get(), area.left, area.top, Width(area), Height(area), frame.Dc(), area.left,
         area.top, SRCCOPY);
  return 0;
}

void DialogWindow::Invalidate(const RECT& area) {
  if (window_ != nullptr) InvalidateRect(window_, &area, FALSE);
}

void DialogWindow::SetCaption(DialogControl label, std::wstring text) {
  Invalidate(canvas_.SetCaption(label, std::move(text)));
}

void DialogWindow::SetPicture(DialogControl image, DialogPicture picture) {
  Invalidate(canvas_.SetPicture(image, picture));
}

void DialogWindow::Refresh(SurfaceId surface) {
  const MemorySurface* image = canvas_.Surface(surface);
  if (window_ == nullptr || image == nullptr) return;
  if (surface == SurfaceId::DialogWindow) Invalidate({0, 0, image->Width(), image->Height()});
  if (surface == SurfaceId::DialogPicB) Invalidate(canvas_.Rect(DialogControl::PicB));
  if (surface != SurfaceId::DialogDisplay) return;
  // The preview changes many times a second: it goes on the screen at once
  // rather than through a repaint of the window around it.
  WindowDc dc(window_);
  const RECT display = canvas_.Rect(DialogControl::Display);
  BitBlt(dc.Get(), display.left, display.top, image->Width(), image->Height(), image->Dc(), 0, 0,
         SRCCOPY);
}

// ------------------------------------------------------------ input

LRESULT DialogWindow::OnSetCursor(WPARAM wParam, LPARAM lParam) {
  const auto target = reinterpret_cast<HWND>(wParam);
  bool hand = false;
  if (const int slot = BarIndex(target); slot >= 0) {
    hand = hand_[SlotOf(kScrollControls[static_cast<std::size_t>(slot)])];
  } else if (target == window_ && LOWORD(lParam) == HTCLIENT) {
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(window_, &point);
    const std::optional<DialogControl> control = canvas_.ControlAt(point);
    hand = control && hand_[SlotOf(*control)];
  } else {
    return DefWindowProcW(window_, WM_SETCURSOR, wParam, lParam);
  }
  SetCursor(hand && handCursor_ != nullptr ? handCursor_ : LoadCursorW(nullptr, IDC_ARROW));
  return TRUE;
}

// A press belongs to its control until a button is released, wherever the
// pointer is then.
LRESULT DialogWindow::OnButtonDown(int button, LPARAM lParam) {
  if (pressed_) return 0;
  const std::optional<DialogControl> target =
      canvas_.ControlAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  if (!target) return 0;
  pressed_ = target;
  pressedButton_ = button;
  SetCapture(window_);
  switch (*target) {
    case DialogControl::ImgExit: events_.ImgExit_MouseDown(); break;
    case DialogControl::LblSet: events_.lbl_Set_MouseDown(); break;
    case DialogControl::LblCan: events_.lbl_Can_MouseDown(); break;
    case DialogControl::Image1: events_.Image1_MouseDown(static_cast<std::int16_t>(button)); break;
    default: break;  // the link acts on its release
  }
  return 0;
}

LRESULT DialogWindow::OnButtonUp(LPARAM lParam) {
  if (!pressed_) return 0;
  const DialogControl control = *pressed_;
  const bool leftPress = pressedButton_ == 1;
  pressed_.reset();
  ReleaseCapture();
  // Last: the handler may close the window.
  switch (control) {
    case DialogControl::ImgExit: events_.ImgExit_MouseUp(); break;
    case DialogControl::LblSet: events_.lbl_Set_MouseUp(); break;
    case DialogControl::LblCan: events_.lbl_Can_MouseUp(); break;
    case DialogControl::Image1: events_.Image1_MouseUp(); break;
    case DialogControl::LblUrl:
      if (leftPress && canvas_.ControlAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) == control) {
        events_.lbl_URL_Click();
      }
      break;
    default: break;
  }
  return 0;
}

LRESULT DialogWindow::OnMouseMove(LPARAM lParam) {
  const bool overTitle = canvas_.ControlAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) ==
                         DialogControl::Image1;
  if (pressed_ == DialogControl::Image1 || (!pressed_ && overTitle)) events_.Image1_MouseMove();
  return 0;
}

// Capture taken away mid-press (another window, a system dialog): a drag ends
// there; a button's press is dropped without acting.
LRESULT DialogWindow::OnCaptureChanged(LPARAM lParam) {
  if (!pressed_ || reinterpret_cast<HWND>(lParam) == window_) return 0;
  const bool dragging = pressed_ == DialogControl::Image1;
  pressed_.reset();
  if (dragging) events_.Image1_MouseUp();
  return 0;
}

// ------------------------------------------------------------ scroll bars

int DialogWindow::BarIndex(HWND bar) const {
  if (bar == nullptr) return -1;
  const auto found = std::find(bars_.begin(), bars_.end(), bar);
  return found == bars_.end() ? -1 : static_cast<int>(found - bars_.begin());
}

// The bar never moves by itself: each committed step comes here, and the
// value changes (and HS_Change runs) only when the step lands elsewhere.
// Dragging the thumb only moves the thumb until it is let go.
LRESULT DialogWindow::OnHScroll(WPARAM wParam, LPARAM lParam) {
  const int slot = BarIndex(reinterpret_cast<HWND>(lParam));
  if (slot < 0) return 0;
  HWND bar = bars_[static_cast<std::size_t>(slot)];
  const ScrollBarRange& range = kScrollBars[static_cast<std::size_t>(slot)];
  SCROLLINFO track{sizeof(SCROLLINFO), SIF_TRACKPOS, 0, 0, 0, 0, 0};
  const int tracked = GetScrollInfo(bar, SB_CTL, &track) ? track.nTrackPos : HIWORD(wParam);
  const int value = values_[static_cast<std::size_t>(slot)];
  switch (LOWORD(wParam)) {
    case SB_LINELEFT: CommitScroll(slot, value - range.smallChange); break;
    case SB_LINERIGHT: CommitScroll(slot, value + range.smallChange); break;
    case SB_PAGELEFT: CommitScroll(slot, value - range.largeChange); break;
    case SB_PAGERIGHT: CommitScroll(slot, value + range.largeChange); break;
    case SB_LEFT: CommitScroll(slot, range.min); break;
    case SB_RIGHT: CommitScroll(slot, range.max); break;
    case SB_THUMBPOSITION: CommitScroll(slot, tracked); break;
    case SB_THUMBTRACK: SetScrollPos(bar, SB_CTL, tracked, TRUE); break;
    default: break;
  }
  return 0;
}

void DialogWindow::CommitScroll(int slot, int value) {
  const auto index = static_cast<std::size_t>(slot);
  const ScrollBarRange& range = kScrollBars[index];
  const auto clamped = static_cast<std::int16_t>(std::clamp<int>(value, range.min, range.max));
  SetScrollPos(bars_[index], SB_CTL, clamped, TRUE);
  if (clamped == values_[index]) return;
  values_[index] = clamped;
  events_.HS_Change(static_cast<std::int16_t>(slot + 1));
}

std::int16_t DialogWindow::ScrollValue(std::int16_t index) const {
  if (index < 1 || index > static_cast<int>(values_.size())) return 0;
  return values_[static_cast<std::size_t>(index - 1)];
}

void DialogWindow::SetScrollValue(std::int16_t index, std::int16_t value) {
  if (index < 1 || index > static_cast<int>(values_.size())) return;
  const auto slot = static_cast<std::size_t>(index - 1);
  values_[slot] = std::clamp(value, kScrollBars[slot].min, kScrollBars[slot].max);
  if (bars_[slot] != nullptr) SetScrollPos(bars_[slot], SB_CTL, values_[slot], TRUE);
}

// ------------------------------------------------------------ timer and life

void DialogWindow::SetPreviewTimer(bool enabled, UINT intervalMs) {
  timerEnabled_ = enabled && window_ != nullptr;
  if (window_ == nullptr) return;
  if (enabled) {
    ::SetTimer(window_, kPreviewTimerId, std::max<UINT>(intervalMs, USER_TIMER_MINIMUM), nullptr);
  } else {
    KillTimer(window_, kPreviewTimerId);
  }
}

// The preview's handler runs for as long as the dialog is open and pumps
// messages itself; a tick that arrives meanwhile is not run inside it.
LRESULT DialogWindow::OnTimer(WPARAM wParam) {
  if (wParam != kPreviewTimerId || !timerEnabled_ || inTimer_ || !ready_) return 0;
  inTimer_ = true;
  events_.Timer1_Timer();
  inTimer_ = false;
  return 0;
}

// Alt+F4 (or any other request to close) does what the close box does, as a
// user expects of a window: closes without saving. It goes through the close
// box's own handler, which also ends the preview that runs while the dialog
// is open; destroying the window alone would leave that running unseen.
LRESULT DialogWindow::OnClose() {
  if (ready_ && !closing_) events_.ImgExit_MouseUp();
  return 0;
}

void DialogWindow::Close() {
  if (window_ == nullptr || closing_) return;
  closing_ = true;
  events_.Form_Unload();
  // cppcheck-suppress knownConditionTrueFalse ; the routine just run may have destroyed it
  if (window_ != nullptr) DestroyWindow(window_);
}

LRESULT DialogWindow::OnDestroy() {
  KillTimer(window_, kPreviewTimerId);
  timerEnabled_ = false;
  ready_ = false;
  return 0;
}

LRESULT DialogWindow::OnNcDestroy(WPARAM wParam, LPARAM lParam) {
  HWND window = std::exchange(window_, nullptr);
  bars_ = {};
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  return DefWindowProcW(window, WM_NCDESTROY, wParam, lParam);
}

void DialogWindow::RunModal() {
  if (window_ == nullptr) return;
  const int resizesBefore = resizes_;
  ShowWindow(window_, SW_SHOW);
  // The first showing counts as a resize even when the size stays.
  // cppcheck-suppress knownConditionTrueFalse ; ShowWindow's WM_SIZE counts in resizes_
  if (resizes_ == resizesBefore) {
    RECT client{};
    GetClientRect(window_, &client);
    OnSize(MAKELPARAM(client.right, client.bottom));
  }
  if (window_ != nullptr) SetForegroundWindow(window_);
  if (bars_[0] != nullptr) SetFocus(bars_[0]);
  MSG message;
  while (window_ != nullptr) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
    if (got <= 0) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// ------------------------------------------------------------ the platform

WindowHandle Win32Platform::CreateDialogWindow(DialogEvents& events) {
  dialog_ = std::make_unique<DialogWindow>(instance_, events);
  return dialog_->Create() ? FromHwnd(dialog_->Window()) : kNoWindow;
}

HDC Win32Platform::DialogSurfaceDc(SurfaceId surface) {
  const MemorySurface* image = dialog_ != nullptr ? dialog_->Canvas().Surface(surface) : nullptr;
  return image != nullptr ? image->Dc() : nullptr;
}

TwipsRect Win32Platform::GetScreenTwips() {
  const TwipsPerPixel twips = ScreenTwipsPerPixel();
  return {0, 0, static_cast<float>(GetSystemMetrics(SM_CXSCREEN) * twips.x),
          static_cast<float>(GetSystemMetrics(SM_CYSCREEN) * twips.y)};
}

TwipsRect Win32Platform::GetWindowTwips(WindowHandle window) {
  RECT area{};
  if (!::GetWindowRect(ToHwnd(window), &area)) return {};
  const TwipsPerPixel twips = ScreenTwipsPerPixel();
  return {static_cast<float>(area.left * twips.x), static_cast<float>(area.top * twips.y),
          static_cast<float>(Width(area) * twips.x), static_cast<float>(Height(area) * twips.y)};
}

void Win32Platform::SetWindowWidthTwips(WindowHandle window, float width) {
  PlaceWindow(window, {.width = width});
}

void Win32Platform::SetWindowHeightTwips(WindowHandle window, float height) {
  PlaceWindow(window, {.height = height});
}

void Win32Platform::SetWindowLeftTwips(WindowHandle window, float left) {
  PlaceWindow(window, {.left = left});
}

void Win32Platform::SetWindowTopTwips(WindowHandle window, float top) {
  PlaceWindow(window, {.top = top});
}

void Win32Platform::MoveWindowTwips(WindowHandle window, float left, float top) {
  PlaceWindow(window, {.left = left, .top = top});
}

ScreenSize Win32Platform::GetSurfaceSize(SurfaceId surface) {
  RECT client{};
  switch (surface) {
    case SurfaceId::SaverDisplay:  // the saver window's client area
      if (saverWindow_ == nullptr || !GetClientRect(saverWindow_, &client)) return GetScreenSize();
      return {client.right, client.bottom};
    case SurfaceId::SaverBuffer: return {buffer_.Width(), buffer_.Height()};
    case SurfaceId::SaverSprites: return {sprites_.Width(), sprites_.Height()};
    default: break;
  }
  const MemorySurface* image = dialog_ != nullptr ? dialog_->Canvas().Surface(surface) : nullptr;
  return image != nullptr ? ScreenSize{image->Width(), image->Height()} : ScreenSize{};
}

void Win32Platform::DrawLine(SurfaceId surface, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                             std::int32_t y2, std::uint32_t colourBgr) {
  HDC dc = SurfaceDc(surface);
  if (dc == nullptr) return;
  {
    Selection pen(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, colourBgr);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
  }
  // Shown at the next repaint, as drawing on a persistent image is.
  if (dialog_ != nullptr && surface != SurfaceId::DialogDisplay) dialog_->Refresh(surface);
}

void Win32Platform::RefreshSurface(SurfaceId surface) {
  if (dialog_ != nullptr) dialog_->Refresh(surface);
}

void Win32Platform::SetLabelCaption(DialogControl label, std::string_view text) {
  if (dialog_ != nullptr) dialog_->SetCaption(label, Widen(text));
}

void Win32Platform::SetImagePicture(DialogControl image, DialogPicture picture) {
  if (dialog_ != nullptr) dialog_->SetPicture(image, picture);
}

void Win32Platform::SetHandCursor(DialogControl control) {
  if (dialog_ != nullptr) dialog_->SetHandCursor(control);
}

std::int16_t Win32Platform::GetScrollValue(std::int16_t index) {
  return dialog_ != nullptr ? dialog_->ScrollValue(index) : std::int16_t{0};
}

void Win32Platform::SetScrollValue(std::int16_t index, std::int16_t value) {
  if (dialog_ != nullptr) dialog_->SetScrollValue(index, value);
}

void Win32Platform::SetDialogTimer(bool enabled, std::uint32_t intervalMs) {
  if (dialog_ != nullptr) dialog_->SetPreviewTimer(enabled, intervalMs);
}

void Win32Platform::ShowDialogModal(WindowHandle window) {
  if (dialog_ != nullptr && FromHwnd(dialog_->Window()) == window) dialog_->RunModal();
}

void Win32Platform::CloseDialog(WindowHandle window) {
  if (dialog_ != nullptr && FromHwnd(dialog_->Window()) == window) dialog_->Close();
}

}  // namespace vorn::win32
