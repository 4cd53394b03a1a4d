#include "fake_platform.h"

#include <algorithm>
#include <cstring>
#include <sstream>

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
  }
  return "?";
}

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

void FakePlatform::ShowSettingsDialog() { calls.push_back("ShowSettingsDialog"); }

void FakePlatform::ShowPreviewWindow(WindowHandle parent) {
  calls.push_back(Call("ShowPreviewWindow", parent));
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
