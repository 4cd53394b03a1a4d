// preview_host.exe <program> <left> <top> <width> <height> [options]
// preview_host.exe in-process <left> <top> <width> <height> [options]
//
// Stands in for the display settings' preview area: a borderless top-level
// window (WS_POPUP, so its client area is the whole window) of the given size
// at the given place, painted in one colour, that starts
//   <program> /p <its window handle in decimal>
// or, with "in-process", runs the program's own preview routine (ShowVornR on
// the real platform, with the program's resources linked in) in this process.
// It reports on standard output, one line each:
//   hwnd <handle>         the handle handed to the program
//   pid <process id>      the program's Windows process id
//   child <handle> at <x> <y> size <width> <height>
//                         the first visible child window, in client coordinates
//   destroyed             (with --destroy-after-ms) the host window is gone
//   exit <code> after <ms> ms   how the program ended: counted from its start
//                         when it ends while the window holds it (or with
//                         --stale), else from "destroyed"
//   running after <ms> ms       it had not ended by then (it is then terminated)
//   ended                 (in-process) the preview's message loop returned
//
// Options:
//   --colour RRGGBB       the background (default FF00FF, magenta)
//   --destroy-after-ms N  destroys the window N ms after the preview window has
//                         appeared inside it, then waits for the program to end
//   --stale               the handle names a window that was created hidden and
//                         destroyed before the program starts; waits for its end
// Without --destroy-after-ms or --stale the host stays until it is killed.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/win32/win32_platform.h"
#include "preview_window/preview.h"

namespace {

constexpr wchar_t kClassName[] = L"VornE2ePreviewHost";
constexpr wchar_t kCaption[] = L"Vorn preview host";
constexpr wchar_t kInProcess[] = L"in-process";
constexpr COLORREF kDefaultColour = RGB(0xFF, 0x00, 0xFF);
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT_PTR kDestroyTimer = 2;
constexpr UINT kWatchIntervalMs = 20;
constexpr DWORD kChildExitBudgetMs = 20000;
constexpr int kExitUsage = 2;
constexpr int kExitNoWindow = 3;
constexpr int kExitNoProcess = 4;
constexpr int kHexBase = 16;
constexpr int kDecimalBase = 10;

struct HostOptions {
  std::wstring program;
  RECT area{};
  COLORREF colour = kDefaultColour;
  long destroyAfterMs = -1;
  bool stale = false;
  bool InProcess() const { return program == kInProcess; }
};

void Report(const char* line) {
  std::fputs(line, stdout);
  std::fflush(stdout);
}

void Report(const char* format, unsigned long long a, unsigned long long b = 0) {
  std::printf(format, a, b);
  std::fflush(stdout);
}

COLORREF ParseColour(const wchar_t* text) {
  const unsigned long rgb = std::wcstoul(text, nullptr, kHexBase);
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

bool ParseOptions(int argc, wchar_t** argv, HostOptions& options) {
  if (argc < 6) return false;
  options.program = argv[1];
  const long left = std::wcstol(argv[2], nullptr, kDecimalBase);
  const long top = std::wcstol(argv[3], nullptr, kDecimalBase);
  options.area = RECT{left, top, left + std::wcstol(argv[4], nullptr, kDecimalBase),
                      top + std::wcstol(argv[5], nullptr, kDecimalBase)};
  for (int i = 6; i < argc; ++i) {
    const std::wstring option = argv[i];
    const bool hasValue = i + 1 < argc;
    if (option == L"--stale") options.stale = true;
    else if (option == L"--colour" && hasValue) options.colour = ParseColour(argv[++i]);
    else if (option == L"--destroy-after-ms" && hasValue)
      options.destroyAfterMs = std::wcstol(argv[++i], nullptr, kDecimalBase);
    else return false;
  }
  return true;
}

void ReportChild(HWND window, HWND child) {
  RECT place{};
  GetWindowRect(child, &place);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
  std::printf("child %llu at %ld %ld size %ld %ld\n",
              static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(child)), place.left,
              place.top, place.right - place.left, place.bottom - place.top);
  std::fflush(stdout);
}

// Once the preview window shows inside the host it is reported, and the
// countdown to the host's end (if any) starts.
void WatchForPreview(HWND window) {
  HWND child = GetWindow(window, GW_CHILD);
  if (child == nullptr || !IsWindowVisible(child)) return;
  KillTimer(window, kWatchTimer);
  ReportChild(window, child);
  const LONG_PTR destroyAfterMs = GetWindowLongPtrW(window, GWLP_USERDATA);
  if (destroyAfterMs >= 0) SetTimer(window, kDestroyTimer, static_cast<UINT>(destroyAfterMs), nullptr);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      if (wparam == kWatchTimer) WatchForPreview(window);
      if (wparam == kDestroyTimer) DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

HWND CreateHostWindow(HINSTANCE instance, const HostOptions& options, HBRUSH background) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = kClassName;
  if (RegisterClassExW(&windowClass) == 0) return nullptr;
  const DWORD style = WS_POPUP | WS_CLIPCHILDREN | (options.stale ? 0 : WS_VISIBLE);
  const RECT& a = options.area;
  HWND window = CreateWindowExW(0, kClassName, kCaption, style, a.left, a.top, a.right - a.left,
                                a.bottom - a.top, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return nullptr;
  SetWindowLongPtrW(window, GWLP_USERDATA, options.destroyAfterMs);
  if (options.stale) DestroyWindow(window);
  else UpdateWindow(window);
  return window;
}

bool StartProgram(const HostOptions& options, HWND window, PROCESS_INFORMATION& process) {
  const unsigned long long handle = reinterpret_cast<ULONG_PTR>(window);
  std::wstring commandLine = L"\"" + options.program + L"\" /p " + std::to_wstring(handle);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  return CreateProcessW(options.program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &process) != 0;
}

void ReportExit(HANDLE program, ULONGLONG elapsedMs) {
  DWORD code = 0;
  GetExitCodeProcess(program, &code);
  Report("exit %llu after %llu ms\n", code, elapsedMs);
}

// Serves the host window until it is destroyed. A program that ends while the
// window still holds it is reported at once (counted from its start).
bool HostWhileWindowLives(HANDLE program, ULONGLONG startedAt) {
  bool ended = false;
  for (;;) {
    const DWORD waited = MsgWaitForMultipleObjects(ended ? 0 : 1, &program, FALSE, INFINITE, QS_ALLINPUT);
    if (!ended && waited == WAIT_OBJECT_0) {
      ReportExit(program, GetTickCount64() - startedAt);
      ended = true;
    }
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return ended;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

void ReportProgramEnd(HANDLE program) {
  const ULONGLONG start = GetTickCount64();
  const DWORD waited = WaitForSingleObject(program, kChildExitBudgetMs);
  if (waited != WAIT_OBJECT_0) {
    Report("running after %llu ms\n", GetTickCount64() - start);
    TerminateProcess(program, 1);
    return;
  }
  ReportExit(program, GetTickCount64() - start);
}

int HostProgram(const HostOptions& options, HWND window) {
  PROCESS_INFORMATION process{};
  const ULONGLONG startedAt = GetTickCount64();
  if (!StartProgram(options, window, process)) return kExitNoProcess;
  Report("pid %llu\n", process.dwProcessId);
  bool ended = false;
  if (!options.stale) {
    SetTimer(window, kWatchTimer, kWatchIntervalMs, nullptr);
    ended = HostWhileWindowLives(process.hProcess, startedAt);
    Report("destroyed\n");
  }
  if (!ended) ReportProgramEnd(process.hProcess);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

// The program's preview routine against the real platform, in this process:
// the preview window's message loop serves the host window too.
int HostInProcess(HINSTANCE instance, HWND window) {
  vorn::win32::Win32Platform platform(instance);
  SetTimer(window, kWatchTimer, kWatchIntervalMs, nullptr);
  vorn::ShowVornR(platform, vorn::win32::FromHwnd(window));
  platform.RunPreviewMessageLoop();
  Report("ended\n");
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  HostOptions options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs("usage: preview_host <program>|in-process <left> <top> <width> <height>"
               " [--colour RRGGBB] [--destroy-after-ms N] [--stale]\n",
               stderr);
    return kExitUsage;
  }
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  HBRUSH background = CreateSolidBrush(options.colour);
  HWND window = CreateHostWindow(instance, options, background);
  if (window == nullptr) return kExitNoWindow;
  Report("hwnd %llu\n", reinterpret_cast<ULONG_PTR>(window));
  const int code = options.InProcess() ? HostInProcess(instance, window) : HostProgram(options, window);
  DeleteObject(background);
  return code;
}
