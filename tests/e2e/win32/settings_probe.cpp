// Runs the program's settings routines against the real platform, beside a
// copy of this program: "read" prints the loaded Speed, Num and Intval;
// "write S N I" stores those values the way the dialog's Set does.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "platform/win32/win32_platform.h"
#include "settings/settings.h"

int wmain(int argc, wchar_t** argv) {
  vorn::win32::Win32Platform platform(GetModuleHandleW(nullptr));
  vorn::Settings shared;
  if (argc == 2 && std::wcscmp(argv[1], L"read") == 0) {
    vorn::LoadSettings(platform, shared);
    std::printf("Speed=%d\nNum=%d\nIntval=%d\n", static_cast<int>(shared.Speed),
                static_cast<int>(shared.Num), static_cast<int>(shared.Intval));
    return 0;
  }
  if (argc == 5 && std::wcscmp(argv[1], L"write") == 0) {
    shared.Speed = static_cast<std::int32_t>(std::wcstol(argv[2], nullptr, 10));
    shared.Num = static_cast<std::int32_t>(std::wcstol(argv[3], nullptr, 10));
    shared.Intval = static_cast<std::int32_t>(std::wcstol(argv[4], nullptr, 10));
    vorn::WriteSettings(platform, shared);
    return 0;
  }
  std::fputs("usage: settings_probe read | write SPEED NUM INTVAL\n", stderr);
  return 2;
}
