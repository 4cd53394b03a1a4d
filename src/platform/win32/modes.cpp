// The windows of configuration and preview mode.
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"
#include "resources/resource_ids.h"

namespace vorn::win32 {
namespace {

constexpr wchar_t kDialogClass[] = L"VornSettingsDialog";
constexpr wchar_t kDialogCaption[] = L"Vornの設定";
constexpr wchar_t kPreviewClass[] = L"VornPreviewWindow";
constexpr wchar_t kPreviewCaption[] = L"Preview Window";
constexpr int kDialogWidth = 396;
constexpr int kDialogHeight = 230;

LRESULT CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
    DestroyWindow(window);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterClassFor(HINSTANCE instance, const wchar_t* name, WNDPROC proc, int brush) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_VORN));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(brush));
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

}  // namespace

// The settings window: a frameless window with the dialog's caption and size,
// centred, closed with Escape or by the system.
void Win32Platform::ShowSettingsDialog() {
  RegisterClassFor(instance_, kDialogClass, &DialogProc, GRAY_BRUSH);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - kDialogWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kDialogHeight) / 2;
  HWND dialog = CreateWindowExW(0, kDialogClass, kDialogCaption, WS_POPUP | WS_VISIBLE, x, y,
                                kDialogWidth, kDialogHeight, nullptr, nullptr, instance_, nullptr);
  if (dialog == nullptr) return;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Win32Platform::ShowPreviewWindow(WindowHandle parent) {
  HWND parentWindow = ToHwnd(parent);
  RECT area{};
  // A handle that names no window would leave an invisible window behind for
  // ever: end instead.
  if (parent == kNoWindow || !IsWindow(parentWindow) || !GetWindowRect(parentWindow, &area)) {
    return EndProcess();
  }
  RegisterClassFor(instance_, kPreviewClass, &PreviewProc, BLACK_BRUSH);
  previewWindow_ = CreateWindowExW(0, kPreviewClass, kPreviewCaption, WS_POPUP, 0, 0, 0, 0,
                                   nullptr, nullptr, instance_, nullptr);
  if (previewWindow_ == nullptr) return EndProcess();
  const LONG style = GetWindowLongW(previewWindow_, GWL_STYLE);
  SetWindowLongW(previewWindow_, GWL_STYLE, style | WS_CHILD);
  SetParent(previewWindow_, parentWindow);
  ::MoveWindow(previewWindow_, 0, 0, area.right - area.left, area.bottom - area.top, TRUE);
  ::ShowWindow(previewWindow_, SW_SHOWNA);
}

void Win32Platform::RunPreviewMessageLoop() {
  if (previewWindow_ == nullptr) return;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace vorn::win32
