// The windows of saver mode (full-screen, showing the frames) and preview mode
// (borderless and black, showing the still, a miniature of the running saver;
// it takes no input and lives as long as the preview area that holds it).
#include <algorithm>
#include <cstring>
#include <optional>

#include "resources/resource_ids.h"
#include "saver/saver.h"
#include "win32/win32_platform.h"
// after windows.h, which they need
#include <versionhelpers.h>
#include <windowsx.h>

namespace vorn::win32 {
namespace {

constexpr wchar_t kSaverClass[] = L"VornSaverWindow";
constexpr UINT_PTR kSaverTimerId = 1;
constexpr UINT kFineTimerResolutionMs = 1;  // for the waits inside the frame cycle
constexpr wchar_t kPreviewClass[] = L"VornPreviewWindow";
constexpr wchar_t kPreviewCaption[] = L"Preview Window";
// The display's power: the console's display (Windows 8 and later) and the
// monitors' power (Vista and 7), each a DWORD that is 0 while it is off.
constexpr GUID kConsoleDisplayState = {
    0x6FE69556, 0x704A, 0x47A0, {0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47}};
constexpr GUID kMonitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xE6, 0xE5, 0xA1, 0x7E, 0xBD, 0x1A, 0xEA}};

// Asks for the display's power notifications. The call is looked up at run
// time: Windows before Vista lacks it. The registration ends with the process.
void RegisterDisplayPower(HWND window) {
  using Fn = HPOWERNOTIFY(WINAPI*)(HANDLE, LPCGUID, DWORD);
  const auto registerFor =
      ModuleFunction<Fn>(GetModuleHandleW(L"user32.dll"), "RegisterPowerSettingNotification");
  const GUID& setting = IsWindows8OrGreater() ? kConsoleDisplayState : kMonitorPowerOn;
  if (registerFor != nullptr) registerFor(window, &setting, DEVICE_NOTIFY_WINDOW_HANDLE);
}

// Whether the display is on (also when dimmed) after a power broadcast;
// nullopt for a broadcast that is not about the display.
std::optional<bool> DisplayPower(WPARAM event, LPARAM data) {
  const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
  if (event != PBT_POWERSETTINGCHANGE || setting == nullptr) return std::nullopt;
  const bool display = IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) ||
                       IsEqualGUID(setting->PowerSetting, kMonitorPowerOn);
  if (!display || setting->DataLength < sizeof(DWORD)) return std::nullopt;
  DWORD state = 0;
  std::memcpy(&state, setting->Data, sizeof(state));
  return state != 0;
}

// GetDpiForMonitor of shcore.dll (Windows 8.1 and later), with the effective
// dots per inch: the scaling the user chose for the monitor.
using DpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kMdtEffectiveDpi = 0;

struct MonitorQuery {
  std::vector<Monitor>& monitors;
  DpiForMonitorFn dpiForMonitor;  // null where the system lacks it
  std::int32_t systemDpi;         // each monitor's then
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT rect, LPARAM query) {
  const auto& [monitors, dpiForMonitor, systemDpi] = *reinterpret_cast<MonitorQuery*>(query);
  UINT dpiX = 0, dpiY = 0;
  const bool known = dpiForMonitor != nullptr &&
                     SUCCEEDED(dpiForMonitor(monitor, kMdtEffectiveDpi, &dpiX, &dpiY)) && dpiX > 0;
  monitors.push_back({{rect->left, rect->top, rect->right, rect->bottom},
                      known ? static_cast<std::int32_t>(dpiX) : systemDpi});
  return TRUE;
}

}  // namespace

LRESULT CALLBACK Win32Platform::SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = Attached<Win32Platform>(window, message, lParam);
  SaverEvents* events = self != nullptr ? self->saverEvents_ : nullptr;
  if (events == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_TIMER:
      if (wParam == kSaverTimerId) events->Timer1_Timer();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN: events->Display_MouseDown(); return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: events->Form_KeyDown(); return 0;  // also Alt, and keys pressed with it
    case WM_MOUSEMOVE:
      events->Display_MouseMove(static_cast<float>(GET_X_LPARAM(lParam)),
                                static_cast<float>(GET_Y_LPARAM(lParam)));
      return 0;
    case WM_DISPLAYCHANGE: events->Form_DisplayChange(); return 0;
    case WM_POWERBROADCAST:
      if (const std::optional<bool> on = DisplayPower(wParam, lParam)) {
        events->Form_DisplayPower(*on);
      }
      return TRUE;
    case WM_ERASEBKGND:  // the frames cover every pixel; without a frame buffer, the black brush
      if (self->buffer_.Dc() != nullptr) return 1;
      break;
    case WM_PAINT: {  // the saver presents its next frame whole
      events->Form_Paint();
      const PaintDc paint(window);  // BeginPaint and EndPaint, with nothing drawn
      return 0;
    }
    case WM_SYSCOMMAND:
      // The system must not start another saver, or close or move this one.
      if ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_CLOSE) return 0;
      break;
    case WM_CLOSE: return 0;  // only the frame cycle closes the saver
    default: break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

WindowHandle Win32Platform::CreateSaverWindow(SaverEvents& events) {
  RegisterWindowClass(instance_, kSaverClass, &Win32Platform::SaverProc, CS_OWNDC,
                      LoadIconW(instance_, MAKEINTRESOURCEW(IDI_VORN)),
                      static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  saverEvents_ = &events;
  saverWindow_ = CreateWindowExW(0, kSaverClass, Widen(kSaverCaption).c_str(), WS_POPUP, 0, 0, 0, 0,
                                 nullptr, nullptr, instance_, this);
  displayDc_ = saverWindow_ != nullptr ? GetDC(saverWindow_) : nullptr;
  RegisterDisplayPower(saverWindow_);
  timerResolution_ = std::make_unique<TimerResolution>(kFineTimerResolutionMs);
  shcore_ = std::make_unique<SystemLibrary>(L"shcore.dll");
  return FromHwnd(saverWindow_);
}

DisplayLayout Win32Platform::GetDisplayLayout() {
  DisplayLayout layout;
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  layout.virtualScreen = width > 0 && height > 0 ? PixelRect{left, top, left + width, top + height}
                                                 : PixelRect{0, 0, GetSystemMetrics(SM_CXSCREEN),
                                                             GetSystemMetrics(SM_CYSCREEN)};
  const WindowDc screenDc(nullptr);
  MonitorQuery query{layout.monitors,
                     shcore_ ? shcore_->Function<DpiForMonitorFn>("GetDpiForMonitor") : nullptr,
                     GetDeviceCaps(screenDc.Get(), LOGPIXELSX)};
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&query));
  if (layout.monitors.empty()) layout.monitors.push_back({layout.virtualScreen, query.systemDpi});
  return layout;
}

void Win32Platform::StartTimer(std::uint32_t intervalMs) {
  SetTimer(saverWindow_, kSaverTimerId, intervalMs, nullptr);
}

void Win32Platform::CloseSaverWindow() {
  if (saverWindow_ != nullptr) KillTimer(saverWindow_, kSaverTimerId);
  // Ending the process takes the window with it at once; destroying it first
  // would only add a wait for the window system before the process ends.
  ExitProcess(0);
}

LRESULT CALLBACK Win32Platform::PreviewProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  const auto* self = Attached<Win32Platform>(window, message, lParam);
  if (message == WM_PAINT && self != nullptr) {
    // The class brush has painted the window black; the still goes on top,
    // unscaled, clipped to the image control (and by the system to the window).
    PaintDc paint(window);
    const MemorySurface& still = self->previewStill_;
    const RECT& image = self->previewImage_;
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

WindowHandle Win32Platform::CreatePreviewWindow() {
  RegisterWindowClass(instance_, kPreviewClass, &Win32Platform::PreviewProc, 0, nullptr,
                      static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  // Without the still the window stays plain black.
  previewStill_.LoadBitmapResource32(instance_, IDB_PREVIEW_STILL);
  previewWindow_ = CreateWindowExW(0, kPreviewClass, kPreviewCaption, WS_POPUP, 0, 0, 0, 0, nullptr,
                                   nullptr, instance_, this);
  return FromHwnd(previewWindow_);
}

void Win32Platform::RunPreviewMessageLoop() {
  constexpr DWORD kAreaCheckMs = 250;
  while (previewWindow_ != nullptr && IsWindow(previewWindow_) && IsWindow(previewArea_)) {
    // cppcheck-suppress nullPointer ; with a count of 0 there is no handle array to pass
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kAreaCheckMs, QS_ALLINPUT);
    PumpMessages(false);
  }
}

void Win32Platform::MovePreviewImage(std::int32_t x, std::int32_t y, std::int32_t width,
                                     std::int32_t height) {
  previewImage_ = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
  if (previewWindow_ != nullptr) InvalidateRect(previewWindow_, nullptr, TRUE);
}

}  // namespace vorn::win32
