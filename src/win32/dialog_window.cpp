#include "win32/dialog_window.h"
// after windows.h, which they need
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "core/particles.h"
#include "resources/resource_ids.h"

namespace vorn::win32 {
namespace {

constexpr wchar_t kDialogClass[] = L"VornDialogWindow";
constexpr UINT_PTR kCloseBoxTool = 1;
constexpr int kFirstBarId = 100;             // HS(index) has the id 100 + index
constexpr int kLabelPointsHundredths = 975;  // 9.75 pt
constexpr int kPointsHundredthsPerInch = 7200;
static_assert(SB_LINELEFT == 0 && SB_LINERIGHT == 1 && SB_PAGELEFT == 2 && SB_PAGERIGHT == 3 &&
              SB_THUMBPOSITION == 4 && SB_THUMBTRACK == 5 && SB_LEFT == 6 && SB_RIGHT == 7);
static_assert(VK_TAB == 0x09 && VK_RETURN == 0x0D && VK_ESCAPE == 0x1B && VK_PRIOR == 0x21 &&
              VK_NEXT == 0x22 && VK_END == 0x23 && VK_HOME == 0x24 && VK_LEFT == 0x25 &&
              VK_UP == 0x26 && VK_RIGHT == 0x27 && VK_DOWN == 0x28);

bool HighContrastOn() {
  HIGHCONTRASTW contrast{sizeof(contrast), 0, nullptr};
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) != FALSE &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

// Whether the font has a glyph for every character of `text`.
bool DrawsAll(HDC dc, const LOGFONTW& face, const std::wstring& text) {
  FontHandle font(CreateFontIndirectW(&face), &DeleteObject);
  Selection selected(dc, font.get());
  std::vector<WORD> glyphs(text.size());
  const DWORD count = GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()),
                                       glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
  return count == text.size() && std::ranges::find(glyphs, WORD{0xFFFF}) == glyphs.end();
}

using FoundFamilies = std::tuple<HDC, std::wstring, std::vector<FontFamily>>;

int CALLBACK AddFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) {
  auto& [dc, labels, families] = *reinterpret_cast<FoundFamilies*>(found);
  const bool shiftJis = font->lfCharSet == SHIFTJIS_CHARSET;
  families.push_back({Narrow(font->lfFaceName), shiftJis, shiftJis && DrawsAll(dc, *font, labels)});
  return 1;  // on to the next
}

// The families installed, once for each character set they have; a Shift-JIS
// one is tried on the digits and every caption, all the labels can show.
std::vector<FontFamily> InstalledFamilies(HDC dc) {
  FoundFamilies found{dc, L"0123456789-", {}};
  for (const ControlLayout& label : kDialogLayout) {
    if (label.caption != nullptr) std::get<std::wstring>(found) += Widen(label.caption);
  }
  LOGFONTW all{};
  all.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExW(dc, &all, &AddFamily, reinterpret_cast<LPARAM>(&found), 0);
  return std::get<std::vector<FontFamily>>(found);
}

void Fill(const MemorySurface& surface, COLORREF colour) {
  const RECT all{0, 0, surface.Width(), surface.Height()};
  SetDCBrushColor(surface.Dc(), colour);
  FillRect(surface.Dc(), &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

}  // namespace

bool DialogWindow::Create() {
  RegisterWindowClass(instance_, kDialogClass, &DialogWindow::Proc, 0,
                      LoadIconW(instance_, MAKEINTRESOURCEW(IDI_VORN)), nullptr);
  constexpr int kPictures[] = {IDB_BUTTON_RELEASED, IDB_BUTTON_PRESSED, IDB_CLOSE_RELEASED,
                               IDB_CLOSE_PRESSED, IDB_TITLE_BAR};
  for (std::size_t i = 0; i < pictures_.size(); ++i) {
    pictures_[i].LoadBitmapResource32(instance_, kPictures[i]);
  }
  Own(SurfaceId::DialogSprites).LoadBitmapResource32(instance_, IDB_SPRITE_SHEET);
  // Display, one sprite cell, black, as the routines name it; their copies of
  // a cell into it go to the model, which shows that cell at the window's scale.
  if (!Own(SurfaceId::DialogDisplay).CreateDib(kCellWidth, kCellHeight)) return false;
  if (WindowDc screen(nullptr); screen.Get() != nullptr) {
    if (auto face = LabelFontFace(InstalledFamilies(screen.Get()))) face_ = Widen(*face);
  }
  handCursor_ = LoadCursorW(instance_, MAKEINTRESOURCEW(IDC_HAND_POINTER));
  // Frameless, so the client area is the whole window; listed on the taskbar.
  // cppcheck-suppress ignoredReturnValue ; the handle arrives in window_ with WM_NCCREATE
  CreateWindowExW(WS_EX_APPWINDOW, kDialogClass, Widen(kDialogCaption).c_str(),
                  WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, 0, nullptr, nullptr, instance_, this);
  if (window_ == nullptr) return false;
  model_.SetDpi(WindowDpi(window_));
  model_.SetHighContrast(HighContrastOn());
  Scale();
  model_.Opened();
  return true;
}

void DialogWindow::Scale() {
  LOGFONTW font{};
  if (face_) {
    face_->copy(font.lfFaceName, LF_FACESIZE - 1);
    font.lfCharSet = SHIFTJIS_CHARSET;
  } else {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);  // its face and set
  }
  font.lfHeight = -MulDiv(kLabelPointsHundredths, Dpi(), kPointsHundredthsPerInch);
  font.lfWidth = 0;
  font.lfWeight = FW_NORMAL;
  font_.reset(CreateFontIndirectW(&font));
  const PixelRect picB = model_.Rect(DialogControl::PicB);
  if (Own(SurfaceId::DialogPicB).CreateDib(Width(picB), Height(picB))) {
    Fill(Own(SurfaceId::DialogPicB), kPicBBackColour);
  }
  for (std::int16_t index = 1; index <= kBarCount; ++index) {
    const PixelRect at = model_.Rect(kScrollControls[BarSlot(index)]);
    if (HWND bar = bars_[BarSlot(index)])
      MoveWindow(bar, at.left, at.top, Width(at), Height(at), TRUE);
  }
  PlaceTooltip(false);
}

// Rendered when the preview first needs it (the window is up by then: at
// 200 % the rendering takes a quarter of a second), and again at a new scale.
void DialogWindow::FitSheet() {
  const int dpi = model_.Dpi();
  if (dpi == sheetDpi_) return;
  if (dpi != kDefaultDpi) {  // at 96 dpi the embedded sheet serves
    const vorn::Surface sheet = RenderSpriteSheet(dpi);
    scaledSheet_.CreateDib(sheet.Width(), sheet.Height(), sheet.Pixels());
  }
  sheetDpi_ = dpi;
}

// The window takes the place the system suggests; its new size repaints it.
void DialogWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  model_.SetDpi(dpi);
  FitSheet();
  Scale();
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void DialogWindow::Refresh(SurfaceId surface) {
  const MemorySurface* image = Surface(surface);
  if (window_ == nullptr || image == nullptr) return;
  if (surface == SurfaceId::DialogWindow) Repaint({0, 0, image->Width(), image->Height()});
  if (surface == SurfaceId::DialogPicB) Repaint(model_.Rect(DialogControl::PicB));
  if (surface != SurfaceId::DialogDisplay) return;
  // The preview changes many times a second: it goes on the screen at once
  // rather than through a repaint of the window around it.
  WindowDc dc(window_);
  Paint(dc.Get(), model_.PreviewStep());
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

LRESULT DialogWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  const PixelPoint at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  HWND window = window_;
  if (const auto answer = accessibility_.OnMessage(0, message, wParam, lParam)) return *answer;
  switch (message) {
    case WM_CREATE: CreateScrollBars(), AddTooltip(); return 0;
    case WM_SIZE: OnSize(LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_DPICHANGED: OnDpiChanged(LOWORD(wParam), *reinterpret_cast<RECT*>(lParam)); return 0;
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
    case WM_MOUSEWHEEL: {  // at a place on the screen
      POINT point{at.x, at.y};
      ScreenToClient(window, &point);
      model_.Wheel({point.x, point.y}, GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    }
    case WM_KEYDOWN:
      if (OnKey(0, wParam)) return 0;
      break;
    case WM_SETTINGCHANGE: model_.SetHighContrast(HighContrastOn()); break;
    case WM_ACTIVATE:  // each time, the first bar takes the keys
      model_.Activated(LOWORD(wParam) != WA_INACTIVE);
      if (LOWORD(wParam) == WA_INACTIVE || bars_[0] == nullptr) break;
      SetFocus(bars_[0]);
      return 0;
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
      tooltip_ = nullptr;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    default: break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The bars' keys and wheel go to the model, which steps them as a click does.
void DialogWindow::CreateScrollBars() {
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

LRESULT CALLBACK DialogWindow::BarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(bar, GWLP_USERDATA));
  if (message == WM_MOUSEWHEEL) return self->Dispatch(message, wParam, lParam);
  if (message == WM_SETFOCUS) self->model_.BarFocused(self->BarIndex(bar));
  if (message == WM_KILLFOCUS) self->model_.BarFocused(0);
  if (message == WM_KEYDOWN && self->OnKey(self->BarIndex(bar), wParam)) return 0;
  if (const auto answer =
          self->accessibility_.OnMessage(self->BarIndex(bar), message, wParam, lParam))
    return *answer;
  return CallWindowProcW(self->barClassProc_, bar, message, wParam, lParam);
}

bool DialogWindow::OnKey(std::int16_t bar, WPARAM key) {
  const auto focus = model_.KeyDown(bar, static_cast<Key>(LOWORD(key)), GetKeyState(VK_SHIFT) < 0);
  if (focus && IsBar(*focus) && bars_[BarSlot(*focus)] != nullptr) SetFocus(bars_[BarSlot(*focus)]);
  return focus.has_value();
}

// The close box's tip, "exit button", shown by the system's tooltip control.
void DialogWindow::AddTooltip() {
  const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES};
  const auto init = late::InitCommonControlsEx();
  if (init == nullptr || !init(&classes)) return;
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0,
                             0, 0, 0, window_, nullptr, instance_, nullptr);
  PlaceTooltip(true);
}

void DialogWindow::PlaceTooltip(bool add) {
  std::wstring text = Widen(kExitTooltip);
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;  // as comctl32 from version 4.70 on takes it
  tool.uFlags = TTF_SUBCLASS;         // the control watches the window's mouse itself
  tool.hwnd = window_;
  tool.uId = kCloseBoxTool;
  tool.rect = ToRect(model_.PictureBox(DialogControl::ImgExit));
  tool.lpszText = text.data();  // copied by the control
  if (tooltip_ != nullptr) {
    SendMessageW(tooltip_, add ? TTM_ADDTOOLW : TTM_NEWTOOLRECTW, 0, LPARAM(&tool));
  }
}

// The window's own image follows the client area; it starts grey.
void DialogWindow::OnSize(int width, int height) {
  MemorySurface& backing = Own(SurfaceId::DialogWindow);
  if (width != backing.Width() || height != backing.Height()) {
    if (backing.CreateDib(width, height)) Fill(backing, kDialogBackColour);
    frame_.CreateDib(width, height);
  }
  ++resizes_;
  model_.Resized();
  if (window_ != nullptr) InvalidateRect(window_, nullptr, FALSE);
}

const MemorySurface& DialogWindow::Image(PaintImage image) const {
  switch (image) {
    case PaintImage::Backing: return *Surface(SurfaceId::DialogWindow);
    case PaintImage::PicB: return *Surface(SurfaceId::DialogPicB);
    case PaintImage::Sheet:
      return sheetDpi_ == kDefaultDpi ? Own(SurfaceId::DialogSprites) : scaledSheet_;
    default: return pictures_[static_cast<std::size_t>(image)];
  }
}

// Parts of a size other than their place's are stretched smoothly.
void DialogWindow::Paint(HDC dc, const PaintStep& step) const {
  const RECT to = ToRect(step.to);
  const COLORREF colour =
      step.colour.system ? GetSysColor(static_cast<int>(step.colour.value)) : step.colour.value;
  const MemorySurface& image = Image(step.image);
  const PixelRect& from = step.from;
  switch (step.kind) {
    case PaintStep::Kind::Fill:
    case PaintStep::Kind::Frame:
      SetDCBrushColor(dc, colour);
      (step.kind == PaintStep::Kind::Fill ? FillRect : FrameRect)(
          dc, &to, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
      break;
    case PaintStep::Kind::Copy:
      if (image.Dc() == nullptr || Width(from) < 1 || Height(from) < 1) break;
      if (Width(from) == Width(step.to) && Height(from) == Height(step.to)) {
        BitBlt(dc, to.left, to.top, Width(from), Height(from), image.Dc(), from.left, from.top,
               SRCCOPY);
        break;
      }
      SetStretchBltMode(dc, HALFTONE);
      SetBrushOrgEx(dc, 0, 0, nullptr);  // as HALFTONE asks
      StretchBlt(dc, to.left, to.top, Width(step.to), Height(step.to), image.Dc(), from.left,
                 from.top, Width(from), Height(from), SRCCOPY);
      break;
    case PaintStep::Kind::Text: {
      const std::wstring text = Widen(step.text);
      RECT box = to;
      SetTextColor(dc, colour);
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, kLabelFormat);
      break;
    }
  }
}

// The whole client area is composed afresh, then the part to paint shown.
void DialogWindow::OnPaint() {
  PaintDc paint(window_);
  HDC dc = frame_.Dc();
  if (dc == nullptr) return;
  Selection font(dc, font_.get());
  SetBkMode(dc, TRANSPARENT);
  for (const PaintStep& step : model_.Paint()) Paint(dc, step);
  const RECT& area = paint.Area();
  BitBlt(paint.Get(), area.left, area.top, area.right - area.left, area.bottom - area.top, dc,
         area.left, area.top, SRCCOPY);
}

LRESULT DialogWindow::OnSetCursor(WPARAM wParam, LPARAM lParam) {
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

}  // namespace vorn::win32
