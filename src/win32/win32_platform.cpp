#include "win32/win32_platform.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <utility>

#include "resources/resource_ids.h"
#include "win32/dialog_window.h"
#include "win32/mode_windows.h"
// after windows.h, which it needs
#include <shlobj.h>

namespace vorn::win32 {
std::string Win32Platform::ProgramDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  // A path longer than the buffer arrives cut short: the buffer grows until it holds it.
  while (GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())) >= path.size()) {
    path.resize(path.size() * 2);
  }
  path.resize(std::wcslen(path.c_str()));
  const std::size_t slash = path.find_last_of(L"\\/");
  path.resize(slash == std::wstring::npos ? 0 : slash);
  if (path.size() == 2 && path[1] == L':') path += L'\\';  // a drive's root keeps its separator
  return Narrow(path);
}

// SHGetFolderPathW rather than the known-folder call: it is there from Windows
// 2000 on, and gives the same folder.
std::string Win32Platform::RoamingAppDataFolder() {
  std::wstring path(MAX_PATH, L'\0');
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path.data()))) {
    return {};
  }
  path.resize(std::wcslen(path.c_str()));
  return Narrow(path);
}

std::int32_t Win32Platform::GetVersionExA(OsVersionInfo& info) {
  OSVERSIONINFOA system{};
  system.dwOSVersionInfoSize = info.dwOSVersionInfoSize;
  const BOOL result = ::GetVersionExA(&system);
  info.dwMajorVersion = system.dwMajorVersion;
  info.dwMinorVersion = system.dwMinorVersion;
  info.dwBuildNumber = system.dwBuildNumber;
  info.dwPlatformId = system.dwPlatformId;
  std::memcpy(info.szCSDVersion, system.szCSDVersion, sizeof(info.szCSDVersion));
  return result;
}

void Win32Platform::PwdChangePasswordA(std::string_view regKeyName, WindowHandle parent,
                                       std::uint32_t r1, std::uint32_t r2) {
  if (const auto change = late::PwdChangePasswordA()) {
    change(std::string(regKeyName).c_str(), ToHwnd(parent), r1, r2);
  }
}

std::optional<std::int32_t> Win32Platform::VerifyScreenSavePwd(WindowHandle window) {
  const auto verify = late::VerifyScreenSavePwd();
  if (verify == nullptr) return std::nullopt;
  return verify(ToHwnd(window));
}

std::uint32_t Win32Platform::GetPrivateProfileStringA(std::string_view section,
                                                      std::string_view key,
                                                      std::string_view defaultText, char* buffer,
                                                      std::uint32_t size, std::string_view file) {
  if (size == 0) return 0;
  std::wstring wide(size, L'\0');
  const DWORD count =
      GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(),
                               Widen(defaultText).c_str(), wide.data(), size, Widen(file).c_str());
  std::string text = Narrow(std::wstring_view(wide.data(), std::min<DWORD>(count, size - 1)));
  text.resize(std::min<std::size_t>(text.size(), size - 1));
  std::memcpy(buffer, text.c_str(), text.size() + 1);  // with the terminating NUL
  return static_cast<std::uint32_t>(text.size());
}

const MemorySurface* Win32Platform::Memory(SurfaceId surface) const {
  return dialog_ != nullptr ? dialog_->Surface(surface) : nullptr;
}

WindowHandle Win32Platform::CreateSaverWindow(SaverEvents& events) {
  saver_ = std::make_unique<SaverWindow>(instance_, events);
  return FromHwnd(saver_->Window());
}
DisplayLayout Win32Platform::GetDisplayLayout() { return CurrentDisplayLayout(); }
PixelView Win32Platform::CreateFrameBuffer(std::int32_t width, std::int32_t height) {
  return saver_ != nullptr ? saver_->CreateFrameBuffer(width, height) : PixelView{};
}
bool Win32Platform::PresentFrame(const std::vector<Rect>& pieces) {
  return saver_ != nullptr && saver_->Present(pieces);
}
void Win32Platform::StartTimer(std::uint32_t intervalMs) {
  if (saver_ != nullptr) saver_->StartTimer(intervalMs);
}
void Win32Platform::CloseSaverWindow() {
  if (saver_ != nullptr) saver_->Close();
  ExitProcess(0);
}

WindowHandle Win32Platform::CreatePreviewWindow() {
  preview_ = std::make_unique<PreviewWindow>(instance_);
  return FromHwnd(preview_->Window());
}
void Win32Platform::MovePreviewImage(std::int32_t x, std::int32_t y, std::int32_t width,
                                     std::int32_t height) {
  if (preview_ != nullptr)
    preview_->MoveImage({x, y, x + std::max(width, 0), y + std::max(height, 0)});
}
void Win32Platform::ShowPreviewWindow(WindowHandle) {
  if (preview_ != nullptr) preview_->Show();
}
void Win32Platform::RunPreviewMessageLoop() const {
  if (preview_ != nullptr) preview_->RunMessageLoop();
}

// Unpacked straight into the frame's memory: the saver draws the sheet itself,
// so it needs no DIB section.
Surface Win32Platform::EmbeddedSpriteSheet() {
  const std::span packed = PackedPictureResource(instance_, IDB_SPRITE_SHEET);
  const auto size = PackedPictureSize(packed);  // none for a missing resource
  if (!size) return {};
  Surface sheet(size->width, size->height);
  return UnpackPicture(packed, sheet.View()) ? sheet : Surface{};
}

// A copy of a sheet cell into the dialog's preview tells its model which
// cell to show (at the window's scale); the other copies go through GDI.
std::int32_t Win32Platform::BitBlt(SurfaceId destination, std::int32_t x, std::int32_t y,
                                   std::int32_t width, std::int32_t height, SurfaceId source,
                                   std::int32_t sourceX, std::int32_t sourceY, std::uint32_t rop) {
  if (destination == SurfaceId::DialogDisplay && source == SurfaceId::DialogSprites && dialog_) {
    dialog_->ShowCell(sourceX, sourceY);
    return TRUE;
  }
  return ::BitBlt(SurfaceDc(destination), x, y, width, height, SurfaceDc(source), sourceX, sourceY,
                  rop);
}

Win32Platform::Win32Platform(HINSTANCE instance) : instance_(instance) {
  QueryPerformanceFrequency(&counterFrequency_);
}

Win32Platform::~Win32Platform() = default;

WindowHandle Win32Platform::CreateDialogWindow(DialogEvents& events) {
  dialog_ = std::make_unique<DialogWindow>(instance_, events);
  return dialog_->Create() ? FromHwnd(dialog_->Window()) : kNoWindow;
}

int Win32Platform::DialogDpi() const { return dialog_ != nullptr ? dialog_->Dpi() : ScreenDpi(); }

TwipsRect Win32Platform::GetScreenTwips() {
  return ToTwips({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, DialogDpi());
}

TwipsRect Win32Platform::GetWindowTwips(WindowHandle window) {
  PixelRect rect;
  return GetWindowRect(window, rect) ? ToTwips(rect, DialogDpi()) : TwipsRect{};
}

float Win32Platform::TwipsPerPixel(WindowHandle) {
  return static_cast<float>(kTwipsPerInch / DialogDpi());
}

void Win32Platform::PlaceWindowTwips(WindowHandle window, const TwipsPlacement& place) {
  PixelRect now;
  if (!GetWindowRect(window, now)) return;
  const PixelRect to = Placed(now, place, DialogDpi());
  const UINT keep =
      (place.left || place.top ? 0 : SWP_NOMOVE) | (place.width || place.height ? 0 : SWP_NOSIZE);
  ::SetWindowPos(ToHwnd(window), nullptr, to.left, to.top, Width(to), Height(to),
                 SWP_NOZORDER | SWP_NOACTIVATE | keep);
}

void Win32Platform::DrawLine(SurfaceId surface, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                             std::int32_t y2, std::uint32_t colourBgr) {
  HDC dc = SurfaceDc(surface);
  if (dc == nullptr) return;
  Selection pen(dc, GetStockObject(DC_PEN));
  SetDCPenColor(dc, colourBgr);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  // Shown at the next repaint, as drawing on a persistent image is.
  if (surface != SurfaceId::DialogDisplay) dialog_->Refresh(surface);
}

void Win32Platform::RefreshSurface(SurfaceId surface) { dialog_->Refresh(surface); }
DialogControls& Win32Platform::Controls() { return dialog_->Model(); }
void Win32Platform::SetDialogTimer(bool enabled, std::uint32_t intervalMs) {
  dialog_->SetPreviewTimer(enabled, intervalMs);
}
void Win32Platform::ShowDialogModal(WindowHandle window) {
  if (FromHwnd(dialog_->Window()) == window) dialog_->RunModal();
}
void Win32Platform::CloseDialog(WindowHandle window) {
  if (FromHwnd(dialog_->Window()) == window) dialog_->Close();
}

}  // namespace vorn::win32
