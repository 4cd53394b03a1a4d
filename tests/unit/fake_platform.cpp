#include "fake_platform.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <tuple>

namespace vorn::testing {
namespace {

std::string Lower(std::string_view text) {
  std::string lowered(text);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lowered;
}

std::string Quote(std::string_view text) { return "\"" + std::string(text) + "\""; }

template <typename... Args>
std::string Call(std::string_view name, const Args&... args) {
  std::ostringstream out;
  out << name << '(';
  const char* separator = "";
  ((out << separator << args, separator = ", "), ...);
  out << ')';
  return out.str();
}

std::string ProfileKey(std::string_view section, std::string_view key) {
  return Lower(section) + "/" + Lower(key);
}

}  // namespace

const char* SurfaceName(SurfaceId surface) {
  switch (surface) {
    case SurfaceId::SaverDisplay: return "Display";
    case SurfaceId::SaverBuffer: return "Buffer";
    case SurfaceId::SaverSprites: return "Pic_Vorn";
    case SurfaceId::DialogWindow: return "Vorn_P";
    case SurfaceId::DialogPicB: return "Pic_b";
    case SurfaceId::DialogDisplay: return "P.Display";
    case SurfaceId::DialogSprites: return "P.Pic_Vorn";
  }
  return "?";
}

const char* ControlName(DialogControl control) {
  static constexpr const char* kNames[] = {
      "Image1", "Label9",  "ImgExit", "Pic_a",   "Display", "Pic_b",  "lbl(1)",  "HS(1)",
      "lbl_HS(1)", "lbl(2)", "HS(2)", "lbl_HS(2)", "lbl(3)", "HS(3)", "lbl_HS(3)", "lbl(5)",
      "lbl(9)", "Img_Set", "lbl_Set", "Img_Can", "lbl_Can", "lbl_URL"};
  return kNames[static_cast<int>(control)];
}

namespace {

const char* PictureName(DialogPicture picture) {
  switch (picture) {
    case DialogPicture::ButtonReleased: return "Img_Off";
    case DialogPicture::ButtonPressed: return "Img_On";
    case DialogPicture::CloseReleased: return "imgImages(0)";
    case DialogPicture::ClosePressed: return "imgImages(1)";
  }
  return "?";
}

std::string RectText(const PixelRect& r) {
  std::ostringstream out;
  out << '(' << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom << ')';
  return out.str();
}

}  // namespace

FakePlatform::FakePlatform() { surfaces[SurfaceId::SaverSprites] = Surface(256, 256); }

void FakePlatform::SetProfileValue(const std::string& file, const std::string& section,
                                   const std::string& key, const std::string& value) {
  profiles[file][ProfileKey(section, key)] = value;
}

std::vector<std::string> FakePlatform::CallsStartingWith(const std::string& prefix) const {
  std::vector<std::string> matching;
  for (const std::string& call : calls) {
    if (call.starts_with(prefix)) matching.push_back(call);
  }
  return matching;
}

std::string FakePlatform::ArgumentText() { return argumentText; }
std::string FakePlatform::ProgramDirectory() { return programDirectory; }

void FakePlatform::EndProcess() {
  calls.push_back("EndProcess");
  ended = true;
}

WindowHandle FakePlatform::FindWindowByCaption(std::string_view caption) {
  calls.push_back(Call("FindWindow", "NULL", Quote(caption)));
  const bool open = std::find(openCaptions.begin(), openCaptions.end(), caption) != openCaptions.end();
  return open ? 0x1234 : kNoWindow;
}

std::int32_t FakePlatform::GetVersionExA(OsVersionInfo& info) {
  calls.push_back(Call("GetVersionExA", info.dwOSVersionInfoSize));
  if (versionResult == 1) info.dwPlatformId = platformId;
  return versionResult;
}

std::int32_t FakePlatform::SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam,
                                                 void* pvParam, std::uint32_t fWinIni) {
  std::ostringstream hex;
  hex << "0x" << std::hex << std::uppercase << uiParam;
  calls.push_back(Call("SystemParametersInfoA", action, hex.str(),
                       pvParam == nullptr ? "NULL" : "ptr", fWinIni));
  return 1;
}

std::int32_t FakePlatform::ShowCursor(std::int32_t show) {
  calls.push_back(Call("ShowCursor", show));
  cursorCounter += show != 0 ? 1 : -1;
  return cursorCounter;
}

void FakePlatform::PwdChangePasswordA(std::string_view regKeyName, WindowHandle parent,
                                      std::uint32_t r1, std::uint32_t r2) {
  calls.push_back(Call("PwdChangePasswordA", Quote(regKeyName), parent, r1, r2));
}

std::optional<std::int32_t> FakePlatform::VerifyScreenSavePwd(WindowHandle window) {
  calls.push_back(Call("VerifyScreenSavePwd", window));
  return passwordAnswer;
}

std::uint32_t FakePlatform::GetPrivateProfileStringA(std::string_view section,
                                                     std::string_view key,
                                                     std::string_view defaultText, char* buffer,
                                                     std::uint32_t size, std::string_view file) {
  const bool allNul = std::all_of(buffer, buffer + size, [](char c) { return c == '\0'; });
  calls.push_back(Call("GetPrivateProfileStringA", Quote(section), Quote(key), Quote(defaultText),
                       allNul ? "zeros" : "dirty", size, Quote(file)));
  std::string value(defaultText);
  if (auto fileIt = profiles.find(std::string(file)); fileIt != profiles.end()) {
    if (auto it = fileIt->second.find(ProfileKey(section, key)); it != fileIt->second.end()) {
      value = it->second;
    }
  }
  // Like the system: at most size - 1 characters, then a terminating NUL.
  const std::size_t count = std::min<std::size_t>(value.size(), size - 1);
  std::memcpy(buffer, value.data(), count);
  buffer[count] = '\0';
  return static_cast<std::uint32_t>(count);
}

void FakePlatform::WritePrivateProfileStringA(std::string_view section, std::string_view key,
                                              std::string_view value, std::string_view file) {
  calls.push_back(
      Call("WritePrivateProfileStringA", Quote(section), Quote(key), Quote(value), Quote(file)));
  SetProfileValue(std::string(file), std::string(section), std::string(key), std::string(value));
}

std::int32_t FakePlatform::GetWindowRect(WindowHandle window, PixelRect& rect) {
  calls.push_back(Call("GetWindowRect", window));
  if (window == kDialogWindow && !dialogClosed) {
    rect = {static_cast<std::int32_t>(dialogTwips.left / 15),
            static_cast<std::int32_t>(dialogTwips.top / 15),
            static_cast<std::int32_t>((dialogTwips.left + dialogTwips.width) / 15),
            static_cast<std::int32_t>((dialogTwips.top + dialogTwips.height) / 15)};
    return 1;
  }
  const auto it = windowRects.find(window);
  if (it == windowRects.end()) return 0;
  rect = it->second;
  return 1;
}

std::int32_t FakePlatform::GetWindowLongA(WindowHandle window, std::int32_t index) {
  calls.push_back(Call("GetWindowLongA", window, index));
  return previewStyle;
}

std::int32_t FakePlatform::SetWindowLongA(WindowHandle window, std::int32_t index,
                                          std::int32_t value) {
  std::ostringstream hex;
  hex << "0x" << std::hex << std::uppercase << static_cast<std::uint32_t>(value);
  calls.push_back(Call("SetWindowLongA", window, index, hex.str()));
  return previewStyle;
}

WindowHandle FakePlatform::SetParent(WindowHandle child, WindowHandle parent) {
  calls.push_back(Call("SetParent", child, parent));
  return kNoWindow;
}

std::int32_t FakePlatform::GetCursorPos(PixelPoint& point) {
  calls.push_back("GetCursorPos");
  if (cursorResult != 0) point = cursor;
  return cursorResult;
}

std::int32_t FakePlatform::DrawAnimatedRects(WindowHandle window, std::int32_t animation,
                                             const PixelRect& from, const PixelRect& to) {
  calls.push_back(Call("DrawAnimatedRects", window, animation, RectText(from), RectText(to)));
  return 1;
}

void FakePlatform::ShellExecuteA(WindowHandle window, std::string_view operation,
                                 std::string_view file, std::string_view parameters,
                                 std::string_view directory, std::int32_t showCommand) {
  calls.push_back(Call("ShellExecuteA", window, Quote(operation), Quote(file), Quote(parameters),
                       Quote(directory), showCommand));
}

WindowHandle FakePlatform::CreatePreviewWindow() {
  calls.push_back("CreatePreviewWindow");
  return kPreviewWindow;
}

void FakePlatform::MovePreviewImage(std::int32_t x, std::int32_t y, std::int32_t width,
                                    std::int32_t height) {
  calls.push_back(Call("MovePreviewImage", x, y, width, height));
}

void FakePlatform::ShowPreviewWindow(WindowHandle window) {
  calls.push_back(Call("ShowPreviewWindow", window));
}

WindowHandle FakePlatform::CreateDialogWindow(DialogEvents& events) {
  calls.push_back("CreateDialogWindow");
  dialogEvents = &events;
  surfaces[SurfaceId::DialogWindow] = Surface(396, 230);
  surfaces[SurfaceId::DialogPicB] = Surface(233, 93);
  surfaces[SurfaceId::DialogDisplay] = Surface(32, 64);
  Surface sheet(256, 256);
  for (std::int32_t y = 0; y < 256; ++y) {
    for (std::int32_t x = 0; x < 256; ++x) sheet.Set(x, y, static_cast<Pixel>(y / 64 * 8 + x / 32));
  }
  surfaces[SurfaceId::DialogSprites] = sheet;
  return kDialogWindow;
}

TwipsRect FakePlatform::GetScreenTwips() {
  return {0, 0, static_cast<float>(screen.width * 15), static_cast<float>(screen.height * 15)};
}

TwipsRect FakePlatform::GetWindowTwips(WindowHandle) { return dialogTwips; }

// Recorded as "PlaceWindowTwips(window, width 5940)", the values given in order.
void FakePlatform::PlaceWindowTwips(WindowHandle window, const TwipsPlacement& place) {
  std::ostringstream out;
  out << "PlaceWindowTwips(" << window;
  for (const auto& [name, value, field] :
       {std::tuple{"left", place.left, &dialogTwips.left},
        std::tuple{"top", place.top, &dialogTwips.top},
        std::tuple{"width", place.width, &dialogTwips.width},
        std::tuple{"height", place.height, &dialogTwips.height}}) {
    if (!value) continue;
    out << ", " << name << ' ' << *value;
    *field = *value;
  }
  calls.push_back(out.str() + ")");
}

ScreenSize FakePlatform::GetSurfaceSize(SurfaceId surface) {
  const Surface& s = surfaces[surface];
  return {s.Width(), s.Height()};
}

void FakePlatform::DrawLine(SurfaceId surface, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                            std::int32_t y2, std::uint32_t colourBgr) {
  if (recordDrawing) {
    calls.push_back(Call("DrawLine", SurfaceName(surface), x1, y1, x2, y2, colourBgr));
  }
  const Pixel rgb = ((colourBgr & 0xFF) << 16) | (colourBgr & 0xFF00) | ((colourBgr >> 16) & 0xFF);
  if (y1 == y2) surfaces[surface].FillInclusive(x1, y1, x2 - 1, y2, rgb);
}

void FakePlatform::RefreshSurface(SurfaceId surface) {
  if (recordDrawing) calls.push_back(Call("RefreshSurface", SurfaceName(surface)));
}

void FakePlatform::SetLabelCaption(DialogControl label, std::string_view text) {
  calls.push_back(Call("SetLabelCaption", ControlName(label), Quote(text)));
  captions[label] = std::string(text);
}

void FakePlatform::SetImagePicture(DialogControl image, DialogPicture picture) {
  calls.push_back(Call("SetImagePicture", ControlName(image), PictureName(picture)));
}

void FakePlatform::SetHandCursor(DialogControl control) {
  calls.push_back(Call("SetHandCursor", ControlName(control)));
}

std::int16_t FakePlatform::GetScrollValue(std::int16_t index) {
  return scrollValues[static_cast<std::size_t>(index - 1)];
}

void FakePlatform::SetScrollValue(std::int16_t index, std::int16_t value) {
  calls.push_back(Call("SetScrollValue", index, value));
  scrollValues[static_cast<std::size_t>(index - 1)] = value;
}

void FakePlatform::SetDialogTimer(bool enabled, std::uint32_t intervalMs) {
  calls.push_back(Call("SetDialogTimer", enabled ? "on" : "off", intervalMs));
  dialogTimerEnabled = enabled;
}

void FakePlatform::ShowDialogModal(WindowHandle window) {
  calls.push_back(Call("ShowDialogModal", window));
  if (onDialogShown) onDialogShown();
}

void FakePlatform::CloseDialog(WindowHandle window) {
  calls.push_back(Call("CloseDialog", window));
  if (dialogClosed) return;
  if (dialogEvents != nullptr) dialogEvents->Form_Unload();
  dialogClosed = true;
}

WindowHandle FakePlatform::CreateSaverWindow(SaverEvents& events) {
  calls.push_back("CreateSaverWindow");
  saverEvents = &events;
  return kSaverWindow;
}

ScreenSize FakePlatform::GetScreenSize() { return screen; }

void FakePlatform::MoveWindow(WindowHandle window, std::int32_t x, std::int32_t y,
                              std::int32_t width, std::int32_t height) {
  calls.push_back(Call("MoveWindow", window, x, y, width, height));
}

void FakePlatform::SizeSurface(SurfaceId surface, std::int32_t width, std::int32_t height) {
  calls.push_back(Call("SizeSurface", SurfaceName(surface), width, height));
  surfaces[surface] = Surface(width, height);
}

void FakePlatform::MoveSurface(SurfaceId surface, std::int32_t x, std::int32_t y) {
  calls.push_back(Call("MoveSurface", SurfaceName(surface), x, y));
}

void FakePlatform::FillRect(SurfaceId surface, std::int32_t left, std::int32_t top,
                            std::int32_t right, std::int32_t bottom, std::uint32_t colour) {
  if (recordDrawing) {
    calls.push_back(Call("FillRect", SurfaceName(surface), left, top, right, bottom, colour));
  }
  surfaces[surface].FillInclusive(left, top, right, bottom, colour);
}

std::int32_t FakePlatform::BitBlt(SurfaceId destination, std::int32_t x, std::int32_t y,
                                  std::int32_t width, std::int32_t height, SurfaceId source,
                                  std::int32_t sourceX, std::int32_t sourceY, std::uint32_t rop) {
  if (destination == SurfaceId::SaverDisplay) ++presents;
  if (recordDrawing) {
    std::ostringstream hex;
    hex << "0x" << std::hex << std::uppercase << rop;
    calls.push_back(Call("BitBlt", SurfaceName(destination), x, y, width, height,
                         SurfaceName(source), sourceX, sourceY, hex.str()));
  }
  return Blit(surfaces[destination], x, y, width, height, surfaces[source], sourceX, sourceY, rop)
             ? 1
             : 0;
}

void FakePlatform::StartTimer(std::uint32_t intervalMs) {
  calls.push_back(Call("StartTimer", intervalMs));
}

void FakePlatform::ShowWindow(WindowHandle window) {
  calls.push_back(Call("ShowWindow", window));
}

std::int32_t FakePlatform::SetWindowPos(WindowHandle window, WindowHandle insertAfter,
                                        std::int32_t x, std::int32_t y, std::int32_t cx,
                                        std::int32_t cy, std::uint32_t flags) {
  calls.push_back(Call("SetWindowPos", window, insertAfter, x, y, cx, cy, flags));
  return 1;
}

void FakePlatform::CloseSaverWindow() {
  calls.push_back("CloseSaverWindow");
  saverClosed = true;
}

void FakePlatform::DoEvents() {
  ++doEventsCount;
  if (recordDrawing) calls.push_back("DoEvents");
  if (onDoEvents) onDoEvents(doEventsCount);
  if (doEventsCount >= maxDoEvents && saverEvents != nullptr) saverEvents->Form_KeyDown();
}

void FakePlatform::WaitForEvents(std::uint32_t timeoutMs) {
  if (recordDrawing) calls.push_back(Call("WaitForEvents", timeoutMs));
  nowMicroseconds += std::int64_t{timeoutMs} * 1000;
}

}  // namespace vorn::testing
