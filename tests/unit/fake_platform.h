// A recording fake of the platform: every call is kept as a line of text with
// its arguments ("ShowCursor(0)", texts in quotes), and the drawing surfaces
// are software rasters.
#pragma once

#include <algorithm>
#include <array>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/raster.h"
#include "platform/platform.h"

namespace vorn::testing {

struct Hex {  // a number recorded as 0x...
  std::uint32_t value;
  friend std::ostream& operator<<(std::ostream& out, Hex h) {
    return out << "0x" << std::hex << std::uppercase << h.value << std::dec;
  }
};
inline std::string Quote(std::string_view text) { return "\"" + std::string(text) + "\""; }
template <typename T>
void Put(std::ostream& out, const T& arg) {
  out << arg;
}
inline void Put(std::ostream& out, std::string_view text) { out << Quote(text); }

// "Name(arg, arg)", or "Name" alone without arguments; text views are quoted.
template <typename... Args>
std::string Call(std::string_view name, const Args&... args) {
  std::ostringstream out;
  out << name;
  if constexpr (sizeof...(args) > 0) {
    const char* separator = "(";
    ((out << std::exchange(separator, ", "), Put(out, args)), ...);
    out << ')';
  }
  return out.str();
}

const char* SurfaceName(SurfaceId surface);  // as the recorded calls name them
const char* ControlName(DialogControl control);

class FakePlatform : public Platform, public DialogControls {
 public:
  static constexpr WindowHandle kSaverWindow = 0x5A5A;
  static constexpr WindowHandle kPreviewWindow = 0x7E7E;
  static constexpr WindowHandle kDialogWindow = 0x3C3C;
  static constexpr int kMostDoEvents = 100000;  // a frame cycle that runs on fails the test

  // --- Scripted answers -----------------------------------------------------
  std::string argumentText;
  std::string programDirectory = "C:\\Saver";
  std::vector<std::string> openCaptions;           // top-level windows that exist
  std::int32_t versionResult = 1;                  // GetVersionExA's return value
  std::uint32_t platformId = kVerPlatformWin32Nt;  // filled in whatever it returns
  std::int32_t cursorCounter = 0;                  // the system's display counter
  // VerifyScreenSavePwd's answers in turn, the last one repeating.
  std::deque<std::optional<std::int32_t>> passwordAnswers{1};
  std::map<std::string, std::string> iniValues;  // by key, whatever file and section
  ScreenSize screen{1024, 768};
  std::map<WindowHandle, PixelRect> windowRects;  // windows that exist
  std::int32_t previewStyle = 0x16CF0000;
  std::function<void(int)> onDoEvents;  // runs in each DoEvents with its number (1, 2, ...)
  bool recordDrawing = false;           // records fills, blits, yields and waits too

  // --- What happened --------------------------------------------------------
  std::vector<std::string> calls;
  bool ended = false;
  bool saverClosed = false;
  SaverEvents* saverEvents = nullptr;
  int doEventsCount = 0;
  std::int64_t nowMicroseconds = 0;
  std::map<SurfaceId, Surface> surfaces{{SurfaceId::SaverSprites, Surface(256, 256)}};

  // --- The settings dialog --------------------------------------------------
  PixelPoint cursor{500, 300};
  std::int32_t cursorResult = 1;
  // Runs once the dialog is shown modally: the test plays the user.
  std::function<void()> onDialogShown;
  DialogEvents* dialogEvents = nullptr;
  bool dialogClosed = false;
  bool dialogTimerEnabled = false;
  TwipsRect dialogTwips{0, 0, 2000, 1000};
  std::array<std::int16_t, 3> scrollValues{4, 100, 30};
  std::map<DialogControl, std::string> captions;

  template <typename... Args>
  void Record(std::string_view name, const Args&... args) {
    calls.push_back(Call(name, args...));
  }
  template <typename T, typename... Args>  // records the call and answers `result`
  T Answer(T result, std::string_view name, const Args&... args) {
    Record(name, args...);
    return result;
  }
  // Only the calls whose text starts with `prefix`.
  std::vector<std::string> CallsStartingWith(std::string_view prefix) const {
    std::vector<std::string> matching;
    for (const std::string& call : calls) {
      if (call.starts_with(prefix)) matching.push_back(call);
    }
    return matching;
  }

  using I32 = std::int32_t;
  using U32 = std::uint32_t;
  using Text = std::string_view;
  using Window = WindowHandle;
  std::string ArgumentText() override { return argumentText; }
  std::string ProgramDirectory() override { return programDirectory; }
  void EndProcess() override { ended = Answer(true, "EndProcess"); }
  float SecondsSinceMidnight() override { return 1234.5f; }
  Window FindWindowByCaption(Text caption) override {
    const bool open = std::ranges::find(openCaptions, caption) != openCaptions.end();
    return Answer(open ? 0x1234 : kNoWindow, "FindWindow", "NULL", caption);
  }
  I32 GetVersionExA(OsVersionInfo& info) override {
    info.dwPlatformId = platformId;
    return Answer(versionResult, "GetVersionExA", info.dwOSVersionInfoSize);
  }
  I32 SystemParametersInfoA(U32 action, U32 uiParam, void* pv, U32 winIni) override {
    return Answer(1, "SystemParametersInfoA", action, Hex{uiParam}, pv ? "ptr" : "NULL", winIni);
  }
  I32 ShowCursor(I32 show) override {
    return Answer(cursorCounter += show ? 1 : -1, "ShowCursor", show);
  }
  void PwdChangePasswordA(Text key, Window parent, U32 r1, U32 r2) override {
    Record("PwdChangePasswordA", key, parent, r1, r2);
  }
  std::optional<I32> VerifyScreenSavePwd(Window window) override {
    const std::optional<I32> answer = passwordAnswers.front();
    if (passwordAnswers.size() > 1) passwordAnswers.pop_front();
    return Answer(answer, "VerifyScreenSavePwd", window);
  }
  U32 GetPrivateProfileStringA(Text section, Text key, Text defaultText, char* buffer, U32 size,
                               Text file) override {
    const bool zeros = std::all_of(buffer, buffer + size, [](char c) { return c == '\0'; });
    Record("GetPrivateProfileStringA", section, key, defaultText, zeros ? "zeros" : "dirty", size,
           file);
    const auto found = iniValues.find(std::string(key));
    const std::string value = found == iniValues.end() ? std::string(defaultText) : found->second;
    return std::snprintf(buffer, size, "%s", value.c_str());  // cut, and ended with a NUL
  }
  void WritePrivateProfileStringA(Text section, Text key, Text value, Text file) override {
    Record("WritePrivateProfileStringA", section, key, value, file);
    iniValues[std::string(key)] = value;
  }
  I32 GetWindowRect(Window window, PixelRect& rect) override;
  I32 GetWindowLongA(Window w, I32 index) override {
    return Answer(previewStyle, "GetWindowLongA", w, index);
  }
  I32 SetWindowLongA(Window w, I32 index, I32 value) override {
    return Answer(previewStyle, "SetWindowLongA", w, index, Hex{U32(value)});
  }
  Window SetParent(Window w, Window parent) override {
    return Answer(kNoWindow, "SetParent", w, parent);
  }
  Window CreatePreviewWindow() override { return Answer(kPreviewWindow, "CreatePreviewWindow"); }
  void MovePreviewImage(I32 x, I32 y, I32 w, I32 h) override {
    Record("MovePreviewImage", x, y, w, h);
  }
  void ShowPreviewWindow(Window w) override { Record("ShowPreviewWindow", w); }

  // --- The settings dialog --------------------------------------------------
  std::int32_t GetCursorPos(PixelPoint& point) override;
  std::int32_t DrawAnimatedRects(WindowHandle window, std::int32_t animation, const PixelRect& from,
                                 const PixelRect& to) override;
  void ShellExecuteA(WindowHandle window, std::string_view operation, std::string_view file,
                     std::string_view parameters, std::string_view directory,
                     std::int32_t showCommand) override;
  WindowHandle CreateDialogWindow(DialogEvents& events) override;
  TwipsRect GetScreenTwips() override;
  TwipsRect GetWindowTwips(WindowHandle window) override;
  void PlaceWindowTwips(WindowHandle window, const TwipsPlacement& place) override;
  ScreenSize GetSurfaceSize(SurfaceId surface) override;
  void DrawLine(SurfaceId surface, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                std::int32_t y2, std::uint32_t colourBgr) override;
  void RefreshSurface(SurfaceId surface) override;
  void SetLabelCaption(DialogControl label, std::string_view text) override;
  void SetImagePicture(DialogControl image, DialogPicture picture) override;
  void SetHandCursor(DialogControl control) override;
  DialogControls& Controls() override { return *this; }
  std::int16_t GetScrollValue(std::int16_t index) override;
  void SetScrollValue(std::int16_t index, std::int16_t value) override;
  void SetDialogTimer(bool enabled, std::uint32_t intervalMs) override;
  void ShowDialogModal(WindowHandle window) override;
  void CloseDialog(WindowHandle window) override;

  // --- The saver window -----------------------------------------------------
  Window CreateSaverWindow(SaverEvents& events) override {
    saverEvents = &events;
    return Answer(kSaverWindow, "CreateSaverWindow");
  }
  ScreenSize GetScreenSize() override { return screen; }
  void MoveWindow(Window w, I32 x, I32 y, I32 cx, I32 cy) override {
    Record("MoveWindow", w, x, y, cx, cy);
  }
  void SizeSurface(SurfaceId s, I32 width, I32 height) override {
    surfaces[s] = Answer(Surface(width, height), "SizeSurface", SurfaceName(s), width, height);
  }
  void MoveSurface(SurfaceId s, I32 x, I32 y) override {
    Record("MoveSurface", SurfaceName(s), x, y);
  }
  void FillRect(SurfaceId s, I32 left, I32 top, I32 right, I32 bottom, U32 colour) override {
    if (recordDrawing) Record("FillRect", SurfaceName(s), left, top, right, bottom, colour);
    surfaces[s].FillInclusive(left, top, right, bottom, colour);
  }
  I32 BitBlt(SurfaceId to, I32 x, I32 y, I32 w, I32 h, SurfaceId from, I32 fromX, I32 fromY,
             U32 rop) override {
    if (recordDrawing) {
      Record("BitBlt", SurfaceName(to), x, y, w, h, SurfaceName(from), fromX, fromY, Hex{rop});
    }
    return Blit(surfaces[to], x, y, w, h, surfaces[from], fromX, fromY, rop);
  }
  void StartTimer(U32 intervalMs) override { Record("StartTimer", intervalMs); }
  void ShowWindow(Window w) override { Record("ShowWindow", w); }
  I32 SetWindowPos(Window w, Window after, I32 x, I32 y, I32 cx, I32 cy, U32 flags) override {
    return Answer(1, "SetWindowPos", w, after, x, y, cx, cy, flags);
  }
  void CloseSaverWindow() override { saverClosed = Answer(true, "CloseSaverWindow"); }
  void DoEvents() override {
    if (recordDrawing) Record("DoEvents");
    if (++doEventsCount >= kMostDoEvents && saverEvents != nullptr) {
      throw std::runtime_error("the saver's frame cycle did not end");
    }
    if (onDoEvents) onDoEvents(doEventsCount);
  }
  void WaitForEvents(U32 timeoutMs) override {
    if (recordDrawing) Record("WaitForEvents", timeoutMs);
    nowMicroseconds += std::int64_t{timeoutMs} * 1000;
  }
  std::int64_t NowMicroseconds() override { return nowMicroseconds; }
};

}  // namespace vorn::testing
