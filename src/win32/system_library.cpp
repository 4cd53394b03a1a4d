#include "win32/system_library.h"

#include <array>
#include <iterator>
#include <optional>
#include <string>

#include "win32/gdi.h"

namespace vorn::win32 {
namespace {

constexpr const wchar_t* kDllFiles[] = {
    L"kernel32.dll", L"user32.dll",   L"shcore.dll", L"comctl32.dll", L"winmm.dll", L"mpr.dll",
    L"password.cpl", L"wtsapi32.dll", L"ole32.dll",  L"oleaut32.dll", L"oleacc.dll"};
constexpr int kMdtEffectiveDpi = 0;  // the monitor's scaling as the user chose it

HMODULE LoadFromSystemFolder(const wchar_t* fileName) {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L"\\" + fileName;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

HMODULE SystemModule(SystemDll dll) {
  const auto slot = static_cast<std::size_t>(dll);
  if (dll == SystemDll::Kernel32 || dll == SystemDll::User32) {
    return GetModuleHandleW(kDllFiles[slot]);
  }
  static std::array<std::optional<HMODULE>, std::size(kDllFiles)> loaded;
  if (!loaded[slot]) loaded[slot] = LoadFromSystemFolder(kDllFiles[slot]);
  return *loaded[slot];
}

int ScreenDpi() {
  const WindowDc screen(nullptr);
  const int dpi = screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int MonitorDpi(HMONITOR monitor) {
  UINT dpiX = 0, dpiY = 0;
  const auto dpiForMonitor = late::GetDpiForMonitor();
  const bool known = dpiForMonitor != nullptr &&
                     SUCCEEDED(dpiForMonitor(monitor, kMdtEffectiveDpi, &dpiX, &dpiY)) && dpiX > 0;
  return known ? static_cast<int>(dpiX) : ScreenDpi();
}

int WindowDpi(HWND window) {
  const auto dpiForWindow = late::GetDpiForWindow();
  const UINT dpi = dpiForWindow != nullptr ? dpiForWindow(window) : 0;
  return dpi > 0 ? static_cast<int>(dpi) : ScreenDpi();
}

}  // namespace vorn::win32
