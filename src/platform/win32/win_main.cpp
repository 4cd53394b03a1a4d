// The program's entry: hands the real platform to the start-up routine.
#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "startup/vorn_b.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  vorn::win32::Win32Platform platform(instance);
  vorn::VornB shared;
  vorn::Main(platform, shared);
  // Only preview mode comes back here: it lives as long as its window.
  platform.RunPreviewMessageLoop();
  return 0;
}
