#include "win32/mode_windows.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "resources/resource_ids.h"
#include "saver/saver.h"
// after windows.h, which they need
#include <versionhelpers.h>
#include <windowsx.h>
#include <wtsapi32.h>

namespace vorn::win32 {
namespace {

constexpr wchar_t kSaverClass[] = L"VornSaverWindow";
constexpr UINT_PTR kSaverTimerId = 1;
constexpr UINT kFineTimerResolutionMs = 1;  // for the waits inside the frame cycle
constexpr wchar_t kPreviewClass[] = L"VornPreviewWindow";
constexpr wchar_t kPreviewCaption[] = L"Preview Window";
// The power settings the saver follows. The display's power: the console's
// display (Windows 8 and later) and the monitors' power (Vista and 7), each a
// DWORD that is 0 while it is off. The power source (mains, battery or a
// UPS) and battery saver (Windows 10 and later).
constexpr GUID kConsoleDisplayState = {
    0x6FE69556, 0x704A, 0x47A0, {0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47}};
constexpr GUID kMonitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xE6, 0xE5, 0xA1, 0x7E, 0xBD, 0x1A, 0xEA}};
constexpr GUID kPowerSource = {
    0x5D3E9A59, 0xE9D5, 0x4B00, {0xA6, 0xBD, 0xFF, 0x34, 0xFF, 0x51, 0x65, 0x48}};
constexpr GUID kBatterySaver = {
    0xE00958C0, 0xC213, 0x4ACE, {0xAC, 0x77, 0xFE, 0xCC, 0xED, 0x2E, 0xEE, 0xA5}};
constexpr DWORD kNotifyForThisSession = 0;  // NOTIFY_FOR_THIS_SESSION

// Asks for the power settings' and the session's notifications. Both calls
// are looked up at run time: Windows before Vista (XP) lacks the first (the
// second). The registrations end with the process.
void RegisterNotifications(HWND window) {
  if (const auto registerFor = late::RegisterPowerSettingNotification()) {
    for (const GUID* setting : {IsWindows8OrGreater() ? &kConsoleDisplayState : &kMonitorPowerOn,
                                &kPowerSource, &kBatterySaver}) {
      registerFor(window, setting, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
  }
  if (const auto registerFor = late::WTSRegisterSessionNotification()) {
    registerFor(window, kNotifyForThisSession);
  }
}

// The value of a power broadcast about `setting`; nullopt for another one.
std::optional<DWORD> SettingValue(WPARAM event, LPARAM data, const GUID& setting) {
  const auto* notice = reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
  if (event != PBT_POWERSETTINGCHANGE || notice == nullptr) return std::nullopt;
  if (!IsEqualGUID(notice->PowerSetting, setting) || notice->DataLength < sizeof(DWORD)) {
    return std::nullopt;
  }
  DWORD value = 0;
  std::memcpy(&value, notice->Data, sizeof(value));
  return value;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT rect, LPARAM monitors) {
  reinterpret_cast<std::vector<Monitor>*>(monitors)->push_back(
      {{rect->left, rect->top, rect->right, rect->bottom}, MonitorDpi(monitor)});
  return TRUE;
}

}  // namespace

LRESULT CALLBACK SaverWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = Attached<SaverWindow>(window, message, lParam);
  if (message == WM_NCCREATE && self != nullptr) self->window_ = window;
  return self != nullptr ? self->Dispatch(message, wParam, lParam)
                         : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT SaverWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kSaverTimerId) events_.Timer1_Timer();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN: events_.Display_MouseDown(); return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: events_.Form_KeyDown(); return 0;  // also Alt, and keys pressed with it
    case WM_MOUSEMOVE:
      events_.Display_MouseMove(static_cast<float>(GET_X_LPARAM(lParam)),
                                static_cast<float>(GET_Y_LPARAM(lParam)));
      return 0;
    case WM_DISPLAYCHANGE: events_.Form_DisplayChange(); return 0;
    case WM_POWERBROADCAST: OnPowerBroadcast(wParam, lParam); return TRUE;
    case WM_WTSSESSION_CHANGE:
      if (wParam >= WTS_CONSOLE_CONNECT && wParam <= WTS_REMOTE_DISCONNECT) {
        events_.Form_SessionChange(GetSystemMetrics(SM_REMOTESESSION) != 0,
                                   wParam == WTS_CONSOLE_CONNECT || wParam == WTS_REMOTE_CONNECT);
      }
      return 0;
    case WM_ERASEBKGND:  // the frames cover every pixel; without a frame buffer, the black brush
      if (buffer_.Dc() != nullptr) return 1;
      break;
    case WM_PAINT: {  // the saver presents its next frame whole
      events_.Form_Paint();
      const PaintDc paint(window_);  // BeginPaint and EndPaint, with nothing drawn
      return 0;
    }
    case WM_SYSCOMMAND:
      // The system must not start another saver, or close or move this one.
      if ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_CLOSE) return 0;
      break;
    case WM_CLOSE: return 0;  // only the frame cycle closes the saver
    default: break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

SaverWindow::SaverWindow(HINSTANCE instance, SaverEvents& events)
    : events_(events), timerResolution_(kFineTimerResolutionMs) {
  RegisterWindowClass(instance, kSaverClass, &SaverWindow::Proc, CS_OWNDC,
                      LoadIconW(instance, MAKEINTRESOURCEW(IDI_VORN)),
                      static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  // cppcheck-suppress ignoredReturnValue ; the handle arrives in window_ with WM_NCCREATE
  CreateWindowExW(0, kSaverClass, Widen(kSaverCaption).c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                  nullptr, instance, this);
  displayDc_ = window_ != nullptr ? GetDC(window_) : nullptr;
  RegisterNotifications(window_);
  events_.Form_SessionChange(GetSystemMetrics(SM_REMOTESESSION) != 0, true);
}

void SaverWindow::OnPowerBroadcast(WPARAM event, LPARAM data) {
  for (const GUID* display : {&kConsoleDisplayState, &kMonitorPowerOn}) {
    if (const auto on = SettingValue(event, data, *display)) events_.Form_DisplayPower(*on != 0);
  }
  if (const auto source = SettingValue(event, data, kPowerSource)) {
    events_.Form_PowerSetting(PowerSetting::PowerSource, *source);
  }
  if (const auto saver = SettingValue(event, data, kBatterySaver)) {
    events_.Form_PowerSetting(PowerSetting::BatterySaver, *saver);
  }
}

// The saver composes its frames in the DIB section's memory; GDI copies the
// pieces to the window and is done with the memory before the next frame is
// drawn in it.
bool SaverWindow::Present(const std::vector<Rect>& pieces) {
  bool presented = true;
  for (const Rect& r : pieces) {
    presented &=
        ::BitBlt(displayDc_, r.x, r.y, r.width, r.height, buffer_.Dc(), r.x, r.y, SRCCOPY) != FALSE;
  }
  GdiFlush();
  return presented;
}

void SaverWindow::StartTimer(UINT intervalMs) {
  SetTimer(window_, kSaverTimerId, intervalMs, nullptr);
}

void SaverWindow::Close() {
  if (window_ != nullptr) KillTimer(window_, kSaverTimerId);
  // Ending the process takes the window with it at once; destroying it first
  // would only add a wait for the window system before the process ends.
  ExitProcess(0);
}

DisplayLayout CurrentDisplayLayout() {
  DisplayLayout layout;
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  layout.virtualScreen = width > 0 && height > 0 ? PixelRect{left, top, left + width, top + height}
                                                 : PixelRect{0, 0, GetSystemMetrics(SM_CXSCREEN),
                                                             GetSystemMetrics(SM_CYSCREEN)};
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&layout.monitors));
  if (layout.monitors.empty()) layout.monitors.push_back({layout.virtualScreen, ScreenDpi()});
  return layout;
}

LRESULT CALLBACK PreviewWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto* self = Attached<PreviewWindow>(window, message, lParam);
  if (message == WM_PAINT && self != nullptr) {
    // The class brush has painted the window black; the still goes on top,
    // unscaled, clipped to the image control (and by the system to the window).
    PaintDc paint(window);
    const MemorySurface& still = self->still_;
    const RECT& image = self->image_;
    const LONG width = std::min<LONG>(still.Width(), image.right - image.left);
    const LONG height = std::min<LONG>(still.Height(), image.bottom - image.top);
    if (paint.Get() != nullptr && still.Dc() != nullptr && width > 0 && height > 0) {
      ::BitBlt(paint.Get(), image.left, image.top, width, height, still.Dc(), 0, 0, SRCCOPY);
    }
    return 0;
  }
  if (message != WM_DESTROY) return DefWindowProcW(window, message, wParam, lParam);
  // The preview area that holds this window is gone (or is going): the
  // message loop ends and the process with it.
  PostQuitMessage(0);
  return 0;
}

PreviewWindow::PreviewWindow(HINSTANCE instance) {
  RegisterWindowClass(instance, kPreviewClass, &PreviewWindow::Proc, 0, nullptr,
                      static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  // Without the still the window stays plain black.
  still_.LoadBitmapResource32(instance, IDB_PREVIEW_STILL);
  window_ = CreateWindowExW(0, kPreviewClass, kPreviewCaption, WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, instance, this);
}

void PreviewWindow::Show() {
  ::ShowWindow(window_, SW_SHOWNA);
  area_ = GetAncestor(window_, GA_PARENT);
}

void PreviewWindow::RunMessageLoop() const {
  constexpr DWORD kAreaCheckMs = 250;
  while (window_ != nullptr && IsWindow(window_) && IsWindow(area_)) {
    // cppcheck-suppress nullPointer ; with a count of 0 there is no handle array to pass
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kAreaCheckMs, QS_ALLINPUT);
    PumpMessages(false);
  }
}

void PreviewWindow::MoveImage(const RECT& image) {
  image_ = image;
  if (window_ != nullptr) InvalidateRect(window_, nullptr, TRUE);
}

}  // namespace vorn::win32
