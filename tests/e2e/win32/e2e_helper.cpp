// e2e_helper.exe: the end-to-end tests' hands on the Windows side.
//   running-copy main|dialog|<caption>: a running copy's stand-in, a window captioned
//     "Vorn_Main", "Vornの設定" (wide API: whatever the code page) or as given, painted #20C060
//   platform: exits with GetVersionEx's platform id (1: the 95/98 family, 2: NT)
//   settings read | write SPEED NUM INTVAL: LoadSettings (printed) or WriteSettings, real platform
//   preview <program>|in-process <left> <top> <width> <height> [--destroy-after-ms N | --stale]:
//     a preview area's stand-in (a magenta popup) that starts "<program> /p <its handle>" or runs
//     ShowVornR itself. It reports: "child <handle> at <x> <y> size <w> <h>" (the window found
//     in it); "destroyed" (N ms later); "exit <code> after <ms> ms" (from the start while the
//     area holds the program or with --stale, else from "destroyed") or "running after <ms> ms"
//     (20 s on; then terminated); "ended" (in-process: the preview's loop returned). --stale
//     hands over the handle of a window created hidden and destroyed before the start.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/win32/win32_platform.h"
#include "preview_window/preview.h"
#include "settings/settings.h"

namespace {

constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT_PTR kDestroyTimer = 2;
constexpr UINT kWatchIntervalMs = 20;
constexpr DWORD kProgramEndBudgetMs = 20000;
constexpr int kExitUsage = 2;
constexpr int kBase = 10;

UINT destroyAfterMs = 0;  // 0: the host stays

// Once the preview window shows inside the host it is reported, and the countdown starts.
void WatchForPreview(HWND window) {
  HWND child = GetWindow(window, GW_CHILD);
  if (child == nullptr || !IsWindowVisible(child)) return;
  KillTimer(window, kWatchTimer);
  RECT place{};
  GetWindowRect(child, &place);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
  std::printf("child %llu at %ld %ld size %ld %ld\n",
              static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(child)), place.left,
              place.top, place.right - place.left, place.bottom - place.top);
  if (destroyAfterMs > 0) SetTimer(window, kDestroyTimer, destroyAfterMs, nullptr);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_TIMER && wparam == kWatchTimer) WatchForPreview(window);
  if (message == WM_TIMER && wparam == kDestroyTimer) DestroyWindow(window);
  if (message == WM_DESTROY) PostQuitMessage(0);
  if (message == WM_TIMER || message == WM_DESTROY) return 0;
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND MakeWindow(const wchar_t* caption, DWORD style, COLORREF colour, const RECT& area) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = CreateSolidBrush(colour);  // lives as long as the process
  windowClass.lpszClassName = L"VornE2eHelper";
  RegisterClassExW(&windowClass);
  return CreateWindowExW(0, windowClass.lpszClassName, caption, style, area.left, area.top,
                         area.right - area.left, area.bottom - area.top, nullptr, nullptr,
                         windowClass.hInstance, nullptr);
}

int RunningCopy(const std::wstring& keyword) {
  const std::wstring caption = keyword == L"main"     ? L"Vorn_Main"
                               : keyword == L"dialog" ? L"Vorn\u306e\u8a2d\u5b9a"
                                                      : keyword;
  MakeWindow(caption.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, RGB(0x20, 0xC0, 0x60),
             {100, 80, 420, 280});
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

int Settings(int argc, wchar_t** argv) {
  vorn::win32::Win32Platform platform(GetModuleHandleW(nullptr));
  vorn::Settings settings;
  if (argc == 3 && std::wcscmp(argv[2], L"read") == 0) {
    vorn::LoadSettings(platform, settings);
    std::printf("Speed=%d\nNum=%d\nIntval=%d\n", static_cast<int>(settings.Speed),
                static_cast<int>(settings.Num), static_cast<int>(settings.Intval));
    return 0;
  }
  if (argc != 6 || std::wcscmp(argv[2], L"write") != 0) return kExitUsage;
  std::int32_t* fields[] = {&settings.Speed, &settings.Num, &settings.Intval};
  for (int i = 0; i < 3; ++i) *fields[i] = std::wcstol(argv[3 + i], nullptr, kBase);
  vorn::WriteSettings(platform, settings);
  return 0;
}

void ReportExit(HANDLE program, ULONGLONG sinceMs) {
  DWORD code = 0;
  GetExitCodeProcess(program, &code);
  std::printf("exit %lu after %llu ms\n", code, GetTickCount64() - sinceMs);
}

// Serves the host window until it is destroyed; true when the program ended meanwhile.
bool HostWhileWindowLives(HANDLE program, ULONGLONG startedMs) {
  bool ended = false;
  for (;;) {
    const DWORD woken = MsgWaitForMultipleObjects(ended ? 0 : 1, &program, FALSE, INFINITE,
                                                  QS_ALLINPUT);
    if (!ended && woken == WAIT_OBJECT_0) {
      ReportExit(program, startedMs);
      ended = true;
    }
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return ended;
      DispatchMessageW(&message);
    }
  }
}

int HostProgram(const wchar_t* program, HWND window, bool stale) {
  std::wstring commandLine = L"\"" + std::wstring(program) + L"\" /p " +
                             std::to_wstring(reinterpret_cast<ULONG_PTR>(window));
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  ULONGLONG startedMs = GetTickCount64();
  if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return kExitUsage;
  }
  bool ended = false;
  if (!stale) {
    SetTimer(window, kWatchTimer, kWatchIntervalMs, nullptr);
    ended = HostWhileWindowLives(process.hProcess, startedMs);
    std::printf("destroyed\n");
    startedMs = GetTickCount64();
  }
  if (!ended && WaitForSingleObject(process.hProcess, kProgramEndBudgetMs) == WAIT_OBJECT_0) {
    ReportExit(process.hProcess, startedMs);
  } else if (!ended) {
    std::printf("running after %llu ms\n", GetTickCount64() - startedMs);
    TerminateProcess(process.hProcess, 1);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

int Preview(int argc, wchar_t** argv) {
  const bool stale = argc == 8 && std::wcscmp(argv[7], L"--stale") == 0;
  if (argc == 9 && std::wcscmp(argv[7], L"--destroy-after-ms") == 0) {
    destroyAfterMs = static_cast<UINT>(std::wcstoul(argv[8], nullptr, kBase));
  }
  if (argc < 7 || (argc > 7 && !stale && destroyAfterMs == 0)) return kExitUsage;
  long place[4] = {};  // left, top, width, height
  for (int i = 0; i < 4; ++i) place[i] = std::wcstol(argv[3 + i], nullptr, kBase);
  const DWORD style = WS_POPUP | WS_CLIPCHILDREN | (stale ? 0 : WS_VISIBLE);
  HWND window = MakeWindow(L"Vorn preview host", style, RGB(0xFF, 0x00, 0xFF),
                           {place[0], place[1], place[0] + place[2], place[1] + place[3]});
  if (stale) DestroyWindow(window);
  if (std::wcscmp(argv[2], L"in-process") != 0) return HostProgram(argv[2], window, stale);
  vorn::win32::Win32Platform platform(GetModuleHandleW(nullptr));
  SetTimer(window, kWatchTimer, kWatchIntervalMs, nullptr);
  vorn::ShowVornR(platform, vorn::win32::FromHwnd(window));
  platform.RunPreviewMessageLoop();  // it serves the host window too
  std::printf("ended\n");
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // each report is read as soon as it is written
  const std::wstring command = argc >= 2 ? argv[1] : L"";
  if (command == L"running-copy" && argc == 3) return RunningCopy(argv[2]);
  if (command == L"platform") {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExW(&version) ? static_cast<int>(version.dwPlatformId) : 0;
  }
  if (command == L"settings") return Settings(argc, argv);
  if (command == L"preview") return Preview(argc, argv);
  std::fputs("usage: e2e_helper running-copy|platform|settings|preview ... (its source)\n", stderr);
  return kExitUsage;
}
