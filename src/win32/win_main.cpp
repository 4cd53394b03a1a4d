// The program's entry: narrows where libraries may come from, then hands the
// real platform to the start-up routine.
#include <windows.h>

#include "startup/main.h"
#include "win32/system_library.h"
#include "win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Libraries asked for by name load from the system folder only, never from the
  // program's folder or the current one, where a copy could be planted (with or
  // without SetDefaultDllDirectories). Both are looked up so that older systems
  // start (Windows 2000 has neither; the program loads by full path anyway).
  namespace late = vorn::win32::late;
  if (const auto setDefault = late::SetDefaultDllDirectories()) {
    setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  if (const auto setDirectory = late::SetDllDirectoryW()) setDirectory(L"");
  vorn::win32::Win32Platform platform(instance);
  vorn::Main(platform);
  // Only preview mode comes back here: it lives as long as its window.
  platform.RunPreviewMessageLoop();
  return 0;
}
