// The saver's full-screen window: creation, its messages and its surfaces.
#include <windowsx.h>

#include "platform/win32/win32_platform.h"
#include "resources/resource_ids.h"
#include "saver/saver.h"

namespace vorn::win32 {
namespace {

constexpr wchar_t kSaverClass[] = L"VornSaverWindow";
constexpr UINT_PTR kSaverTimerId = 1;

}  // namespace

LRESULT CALLBACK Win32Platform::SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* events = Attached<SaverEvents>(window, message, lParam);
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
    case WM_ERASEBKGND: return 1;  // the frame cycle paints every pixel
    case WM_PAINT: PaintDc{window}; return 0;
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
  saverWindow_ = CreateWindowExW(0, kSaverClass, Widen(kSaverCaption).c_str(), WS_POPUP, 0, 0, 0, 0,
                                 nullptr, nullptr, instance_, &events);
  displayDc_ = saverWindow_ != nullptr ? GetDC(saverWindow_) : nullptr;
  sprites_.LoadBitmapResource32(instance_, IDB_SPRITE_SHEET);
  spriteInk_.Forget();
  timerResolution_ = std::make_unique<TimerResolution>(kFineTimerResolutionMs);
  return FromHwnd(saverWindow_);
}

void Win32Platform::StartTimer(std::uint32_t intervalMs) {
  SetTimer(saverWindow_, kSaverTimerId, intervalMs, nullptr);
}

void Win32Platform::ShowWindow(WindowHandle window) {
  ::ShowWindow(ToHwnd(window), SW_SHOW);
  SetFocus(ToHwnd(window));
}

void Win32Platform::CloseSaverWindow() {
  if (saverWindow_ != nullptr) KillTimer(saverWindow_, kSaverTimerId);
  // Ending the process takes the window with it at once; destroying it first
  // would only add a wait for the window system before the process ends.
  ExitProcess(0);
}

}  // namespace vorn::win32
