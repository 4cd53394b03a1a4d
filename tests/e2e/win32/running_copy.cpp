// running_copy.exe <caption> [seconds]
// running_copy.exe platform
//
// Stands in for a copy of Vorn that is already running: it shows one plain
// top-level window with the given caption and stays until it is closed, killed
// or the optional number of seconds has passed.
//
// With "platform" it shows nothing and exits at once with the platform id that
// GetVersionEx reports (1: the 95/98 family, 2: the NT family), so the tests
// can check the Windows version Wine pretends to be for one program.
//
// The caption is either a keyword or the text itself:
//   main    -> "Vorn_Main"    (the full-screen saver window)
//   dialog  -> "Vornの設定"   (the settings dialog)
//   other   -> used as given (Wine hands the UTF-8 command line over as UTF-16)
// The caption is set through the wide API so that the Japanese text survives
// whatever the ANSI code page is.
//
// The client area is painted in one known colour (kClientColour) so that an
// end-to-end test can recognise the window on a screenshot.
#include <windows.h>

#include <cwchar>
#include <cstdlib>
#include <string>

namespace {

constexpr wchar_t kClassName[] = L"VornE2eRunningCopy";
constexpr wchar_t kMainCaption[] = L"Vorn_Main";
constexpr wchar_t kDialogCaption[] = L"Vorn\u306e\u8a2d\u5b9a";  // "Vornの設定"
constexpr COLORREF kClientColour = RGB(0x20, 0xC0, 0x60);
constexpr int kWindowLeft = 100;
constexpr int kWindowTop = 80;
constexpr int kWindowWidth = 320;
constexpr int kWindowHeight = 200;
constexpr UINT_PTR kLifetimeTimer = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNoWindow = 3;
constexpr wchar_t kPlatformKeyword[] = L"platform";

std::wstring CaptionFromArgument(const wchar_t* argument) {
  if (std::wcscmp(argument, L"main") == 0) return kMainCaption;
  if (std::wcscmp(argument, L"dialog") == 0) return kDialogCaption;
  return argument;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      if (wparam == kLifetimeTimer) DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

bool RegisterWindowClass(HINSTANCE instance, HBRUSH background) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = kClassName;
  return RegisterClassExW(&windowClass) != 0;
}

HWND CreateCaptionedWindow(HINSTANCE instance, const std::wstring& caption) {
  return CreateWindowExW(0, kClassName, caption.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                         kWindowLeft, kWindowTop, kWindowWidth, kWindowHeight, nullptr, nullptr,
                         instance, nullptr);
}

int RunMessageLoop() {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

int PlatformId() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  if (!GetVersionExW(&version)) return 0;
  return static_cast<int>(version.dwPlatformId);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc < 2) return kExitUsage;
  if (std::wcscmp(argv[1], kPlatformKeyword) == 0) {
    LocalFree(argv);
    return PlatformId();
  }
  const std::wstring caption = CaptionFromArgument(argv[1]);
  const long seconds = argc >= 3 ? std::wcstol(argv[2], nullptr, 10) : 0;
  LocalFree(argv);

  HBRUSH background = CreateSolidBrush(kClientColour);
  if (!RegisterWindowClass(instance, background)) return kExitNoWindow;
  HWND window = CreateCaptionedWindow(instance, caption);
  if (window == nullptr) return kExitNoWindow;
  UpdateWindow(window);
  if (seconds > 0) SetTimer(window, kLifetimeTimer, static_cast<UINT>(seconds * 1000), nullptr);
  const int exitCode = RunMessageLoop();
  DeleteObject(background);
  return exitCode;
}
