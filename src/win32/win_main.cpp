// The program's entry: narrows where libraries may come from, then hands the
// real platform to the start-up routine.
#include <windows.h>

#include "startup/main.h"
#include "win32/system_library.h"
#include "win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Libraries asked for by name load from the system folder only, never from the
  // program's folder or the current one, where a copy could be planted (with or
  // without SetDefaultDllDirectories, looked up so that older systems start).
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  if (const auto setDefault =
          vorn::win32::KernelFunction<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories")) {
    setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  SetDllDirectoryW(L"");
  vorn::win32::Win32Platform platform(instance);
  vorn::Main(platform);
  // Only preview mode comes back here: it lives as long as its window.
  platform.RunPreviewMessageLoop();
  return 0;
}
