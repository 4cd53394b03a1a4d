#include "win32/win32_platform.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <utility>

#include "win32/dialog_window.h"
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
  using Fn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
  SystemLibrary mpr(L"mpr.dll");
  if (auto* change = mpr.Function<Fn>("PwdChangePasswordA")) {
    change(std::string(regKeyName).c_str(), ToHwnd(parent), r1, r2);
  }
}

std::optional<std::int32_t> Win32Platform::VerifyScreenSavePwd(WindowHandle window) {
  using Fn = BOOL(WINAPI*)(HWND);
  SystemLibrary passwordCpl(L"password.cpl");
  auto* verify = passwordCpl.Function<Fn>("VerifyScreenSavePwd");
  if (verify == nullptr) return std::nullopt;
  const BOOL verified = verify(ToHwnd(window));
  bufferChanged_.Forget();  // the password dialog stood over the saver
  return verified;
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
  if (surface == SurfaceId::SaverBuffer) return &buffer_;
  if (surface == SurfaceId::SaverSprites) return &sprites_;
  if (const auto scaled = scaledSprites_.find(surface); scaled != scaledSprites_.end()) {
    return &scaled->second.sheet;
  }
  return dialog_ != nullptr ? dialog_->Surface(surface) : nullptr;
}

// The saver's frame is drawn by the core raster straight into the memory of
// its DIB sections: through GDI each of a frame's hundreds of cells would be a
// call into the system. The pixels are the ones GDI gives (a plain colour, a
// copy, a bitwise OR), clipped the same way. GDI must be done with the DIB
// sections first: they are flushed once after GDI has had them (the present
// reads the frame). The saver fills only its frame, with black.
void Win32Platform::FillRect(SurfaceId surface, std::int32_t left, std::int32_t top,
                             std::int32_t right, std::int32_t bottom, std::uint32_t colour) {
  const PixelView pixels = SaverPixels(surface);
  if (surface == SurfaceId::SaverSprites) spriteInk_.Forget();
  if (pixels.pixels == nullptr || colour > 0xFFFFFF) return;  // only plain RGB colours
  if (std::exchange(gdiPending_, false)) GdiFlush();
  const bool wholeFrame = left <= 0 && top <= 0 && right >= pixels.width - 1 &&
                          bottom >= pixels.height - 1 && surface == SurfaceId::SaverBuffer;
  if (wholeFrame && colour == 0) return bufferDrawn_.ClearToBlack(pixels);
  // A COLORREF (0x00BBGGRR) as a pixel of a 32-bit DIB (0x00RRGGBB).
  const Pixel pixel = (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
  FillInclusive(pixels, left, top, right, bottom, pixel);
  if (surface != SurfaceId::SaverBuffer) return;
  bufferDrawn_.Forget();  // the next clear is a full one
  bufferChanged_.Add(left, top, right - left + 1, bottom - top + 1);
}

std::int32_t Win32Platform::BitBlt(SurfaceId destination, std::int32_t x, std::int32_t y,
                                   std::int32_t width, std::int32_t height, SurfaceId source,
                                   std::int32_t sourceX, std::int32_t sourceY, std::uint32_t rop) {
  const PixelView to = SaverPixels(destination);
  const PixelView from = SaverPixels(source);
  if (destination == SurfaceId::SaverSprites) spriteInk_.Forget();
  // What is drawn into the frame is noted; a negative size (which GDI may
  // mirror) is not, and the next clear blackens the whole frame.
  const auto note = [&](std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    if (destination != SurfaceId::SaverBuffer) return;
    bufferChanged_.Add(x, y, w, h);
    if (w < 0 || h < 0) return bufferDrawn_.Forget();
    bufferDrawn_.Add(x, y, w, h);
  };
  // The present of the whole frame puts on the screen only where it changed.
  const bool wholeFrame = x == 0 && y == 0 && sourceX == 0 && sourceY == 0 &&
                          width == buffer_.Width() && height == buffer_.Height();
  if (destination == SurfaceId::SaverDisplay && source == SurfaceId::SaverBuffer &&
      rop == SRCCOPY && wholeFrame) {
    gdiPending_ = true;
    BOOL presented = TRUE;
    for (const Rect& r : bufferChanged_.Present()) {
      presented &=
          ::BitBlt(displayDc_, r.x, r.y, r.width, r.height, buffer_.Dc(), r.x, r.y, SRCCOPY);
    }
    return presented;
  }
  if (to.pixels != nullptr && from.pixels != nullptr && (rop == SRCCOPY || rop == SRCPAINT)) {
    if (std::exchange(gdiPending_, false)) GdiFlush();
    BlitArea area{x, y, width, height, sourceX, sourceY};
    // A cell is mostly black margin around its flame, and ORing black changes
    // nothing: only the flame is drawn, and only it has to be cleared again.
    if (rop == SRCPAINT && IsSaverSprites(source) &&
        !NarrowToInk(area, SpriteInk(source).Find(from, sourceX, sourceY, width, height))) {
      return TRUE;
    }
    note(area.x, area.y, area.w, area.h);
    return Blit(to, area.x, area.y, area.w, area.h, from, area.sx, area.sy, rop) ? TRUE : FALSE;
  }
  if (destination == SurfaceId::DialogDisplay && source == SurfaceId::DialogSprites && dialog_) {
    dialog_->ShowCell(sourceX, sourceY);  // the preview's flame, at the window's scale
    return TRUE;
  }
  note(x, y, width, height);
  gdiPending_ = true;
  return ::BitBlt(SurfaceDc(destination), x, y, width, height, SurfaceDc(source), sourceX, sourceY,
                  rop);
}

void Win32Platform::LoadSurface(SurfaceId surface, std::int32_t width, std::int32_t height,
                                const std::vector<std::uint32_t>& pixels) {
  if (!IsSaverSprites(surface) || surface == SurfaceId::SaverSprites) return;
  ScaledSprites& sprites = scaledSprites_[surface];
  sprites.ink.Forget();
  sprites.sheet.CreateDib(width, height, pixels);
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
