// The real platform: the Win32 calls behind the seam. The short services are
// defined here, the others in win32_platform.cpp and, for the windows of saver
// and preview mode, mode_windows.cpp.
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <memory>
#include <string>
#include <string_view>

#include "core/command_line.h"
#include "platform/platform.h"
#include "win32/gdi.h"
#include "win32/system_library.h"

namespace vorn::win32 {

inline HWND ToHwnd(WindowHandle handle) {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(handle));
}
inline WindowHandle FromHwnd(HWND window) {
  return static_cast<WindowHandle>(reinterpret_cast<INT_PTR>(window));
}
inline RECT ToRect(const PixelRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// The program's UTF-8 text for the wide-character API, and back.
inline std::wstring Widen(std::string_view text) {
  std::wstring wide(text.size(), L'\0');  // never more UTF-16 units than UTF-8 bytes
  const int size = static_cast<int>(text.size());
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), size)));
  return wide;
}

inline std::string Narrow(std::wstring_view text) {
  std::string narrow(text.size() * 3, '\0');  // at most three UTF-8 bytes per UTF-16 unit
  const int size = static_cast<int>(text.size());
  narrow.resize(static_cast<std::size_t>(WideCharToMultiByte(
      CP_UTF8, 0, text.data(), size, narrow.data(), size * 3, nullptr, nullptr)));
  return narrow;
}

// Registers one of the program's window classes, with the arrow pointer (again
// for a second window of the class: harmless).
inline void RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, UINT style,
                                HICON icon, HBRUSH background) {
  // clang-format off
  const WNDCLASSEXW windowClass{sizeof(WNDCLASSEXW), style, proc, 0, 0, instance, icon,
                                LoadCursorW(nullptr, IDC_ARROW), background, nullptr, name, nullptr};
  // clang-format on
  RegisterClassExW(&windowClass);
}

// The object a window was made for (CreateWindowEx's last argument), kept in
// the window's user data from WM_NCCREATE on; null before.
template <typename T>
T* Attached(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Dispatches the waiting messages; with `wait`, waits for them until WM_QUIT.
inline void PumpMessages(bool wait) {
  MSG message;
  while (wait ? GetMessageW(&message, nullptr, 0, 0) > 0
              : PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Not final: the benchmark build (bench/win32) derives from it to count and time
// the frames that the real adapter presents.
class Win32Platform : public Platform {
 public:
  // Both where the dialog's window is a complete type.
  explicit Win32Platform(HINSTANCE instance);
  ~Win32Platform() override;

  // Serves the preview window's messages until it is gone, or its preview
  // area is: when the area's process is killed, nothing tells the window.
  void RunPreviewMessageLoop() const;

  std::string ArgumentText() override { return Narrow(ArgumentsOf(GetCommandLineW())); }
  std::string ProgramDirectory() override;
  void EndProcess() override { ExitProcess(0); }
  float SecondsSinceMidnight() override { return clock_.SecondsSinceMidnight(); }
  WindowHandle FindWindowByCaption(std::string_view caption) override {
    return FromHwnd(FindWindowW(nullptr, Widen(caption).c_str()));
  }
  std::int32_t GetVersionExA(OsVersionInfo& info) override;
  std::int32_t SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam, void* pvParam,
                                     std::uint32_t fWinIni) override {
    return ::SystemParametersInfoA(action, uiParam, pvParam, fWinIni);
  }
  std::int32_t ShowCursor(std::int32_t show) override { return ::ShowCursor(show); }
  void PwdChangePasswordA(std::string_view regKeyName, WindowHandle parent, std::uint32_t r1,
                          std::uint32_t r2) override;
  std::optional<std::int32_t> VerifyScreenSavePwd(WindowHandle window) override;
  std::uint32_t GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                         std::string_view defaultText, char* buffer,
                                         std::uint32_t size, std::string_view file) override;
  std::int32_t WritePrivateProfileStringA(std::string_view section, std::string_view key,
                                          std::string_view value, std::string_view file) override {
    return WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(),
                                      Widen(value).c_str(), Widen(file).c_str());
  }
  std::string RoamingAppDataFolder() override;
  bool FileExists(std::string_view path) override {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }
  bool CreateFolder(std::string_view path) override {
    return CreateDirectoryW(Widen(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
  }
  void MessageBoxA(WindowHandle window, std::string_view text, std::string_view caption,
                   std::uint32_t type) override {
    ::MessageBoxW(ToHwnd(window), Widen(text).c_str(), Widen(caption).c_str(), type);
  }
  std::int32_t GetWindowRect(WindowHandle window, PixelRect& rect) override {
    RECT area{};
    const BOOL result = ::GetWindowRect(ToHwnd(window), &area);
    if (result) rect = {area.left, area.top, area.right, area.bottom};
    return result;
  }
  std::int32_t GetWindowLongA(WindowHandle window, std::int32_t index) override {
    return ::GetWindowLongA(ToHwnd(window), index);
  }
  std::int32_t SetWindowLongA(WindowHandle window, std::int32_t index,
                              std::int32_t value) override {
    return ::SetWindowLongA(ToHwnd(window), index, value);
  }
  WindowHandle SetParent(WindowHandle child, WindowHandle parent) override {
    return FromHwnd(::SetParent(ToHwnd(child), ToHwnd(parent)));
  }
  std::int32_t GetCursorPos(PixelPoint& point) override {
    POINT position{};
    const BOOL result = ::GetCursorPos(&position);
    if (result) point = {position.x, position.y};
    return result;
  }
  std::int32_t DrawAnimatedRects(WindowHandle window, std::int32_t animation, const PixelRect& from,
                                 const PixelRect& to) override {
    const RECT fromRect = ToRect(from), toRect = ToRect(to);
    return ::DrawAnimatedRects(ToHwnd(window), animation, &fromRect, &toRect);
  }
  // Wide text, so that an address outside the code page arrives whole.
  void ShellExecuteA(WindowHandle window, std::string_view operation, std::string_view file,
                     std::string_view parameters, std::string_view directory,
                     std::int32_t showCommand) override {
    ::ShellExecuteW(ToHwnd(window), Widen(operation).c_str(), Widen(file).c_str(),
                    Widen(parameters).c_str(), Widen(directory).c_str(), showCommand);
  }

  WindowHandle CreatePreviewWindow() override;
  void MovePreviewImage(std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height) override;
  void ShowPreviewWindow(WindowHandle window) override;

  WindowHandle CreateDialogWindow(DialogEvents& events) override;
  TwipsRect GetScreenTwips() override;
  TwipsRect GetWindowTwips(WindowHandle window) override;
  float TwipsPerPixel(WindowHandle window) override;
  void PlaceWindowTwips(WindowHandle window, const TwipsPlacement& place) override;
  ScreenSize GetSurfaceSize(SurfaceId surface) override {
    const MemorySurface* memory = Memory(surface);
    return memory != nullptr ? ScreenSize{memory->Width(), memory->Height()} : ScreenSize{};
  }
  void DrawLine(SurfaceId surface, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                std::int32_t y2, std::uint32_t colourBgr) override;
  void RefreshSurface(SurfaceId surface) override;
  DialogControls& Controls() override;
  void SetDialogTimer(bool enabled, std::uint32_t intervalMs) override;
  void ShowDialogModal(WindowHandle window) override;
  void CloseDialog(WindowHandle window) override;
  void SetForegroundWindow(WindowHandle window) override { ::SetForegroundWindow(ToHwnd(window)); }

  WindowHandle CreateSaverWindow(SaverEvents& events) override;
  DisplayLayout GetDisplayLayout() override;
  void MoveWindow(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t height) override {
    ::MoveWindow(ToHwnd(window), x, y, width, height, TRUE);
  }
  PixelView CreateFrameBuffer(std::int32_t width, std::int32_t height) override;
  bool PresentFrame(const std::vector<Rect>& pieces) override;
  Surface EmbeddedSpriteSheet() override;
  std::int32_t BitBlt(SurfaceId destination, std::int32_t x, std::int32_t y, std::int32_t width,
                      std::int32_t height, SurfaceId source, std::int32_t sourceX,
                      std::int32_t sourceY, std::uint32_t rop) override;
  void StartTimer(std::uint32_t intervalMs) override;
  void ShowWindow(WindowHandle window) override {
    ::ShowWindow(ToHwnd(window), SW_SHOW);
    SetFocus(ToHwnd(window));
  }
  std::int32_t SetWindowPos(WindowHandle window, WindowHandle insertAfter, std::int32_t x,
                            std::int32_t y, std::int32_t cx, std::int32_t cy,
                            std::uint32_t flags) override {
    return ::SetWindowPos(ToHwnd(window), ToHwnd(insertAfter), x, y, cx, cy, flags);
  }
  void CloseSaverWindow() override;
  void DoEvents() override { PumpMessages(false); }
  bool WaitForEvents(std::uint32_t timeoutMs) override {
    // cppcheck-suppress nullPointer ; with a count of 0 there is no handle array to pass
    return MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE) !=
           WAIT_TIMEOUT;
  }
  std::int64_t NowMicroseconds() override {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    const std::int64_t frequency = counterFrequency_.QuadPart > 0 ? counterFrequency_.QuadPart : 1;
    return now.QuadPart / frequency * 1'000'000 + now.QuadPart % frequency * 1'000'000 / frequency;
  }

 private:
  // The dialog's twips convert at the resolution where it stands.
  int DialogDpi() const;
  // The dialog's memory surfaces; null before they exist.
  const MemorySurface* Memory(SurfaceId surface) const;
  HDC SurfaceDc(SurfaceId surface) const {
    return Memory(surface) != nullptr ? Memory(surface)->Dc() : nullptr;
  }

  HINSTANCE instance_;
  LARGE_INTEGER counterFrequency_{};
  SystemClock clock_;
  // Each mode's window, made when the mode asks for it.
  std::unique_ptr<class SaverWindow> saver_;      // mode_windows.h
  std::unique_ptr<class PreviewWindow> preview_;  // mode_windows.h
  std::unique_ptr<class DialogWindow> dialog_;    // dialog_window.h
};

}  // namespace vorn::win32
