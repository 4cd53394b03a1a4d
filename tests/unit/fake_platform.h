// A recording fake of the platform: every call is kept as a line of text with
// its arguments ("ShowCursor(0)", texts in quotes), and the drawing surfaces
// are software rasters.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <type_traits>
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

// "Name(arg, arg)", or "Name" alone without arguments; text views are quoted.
template <typename... Args>
std::string Call(std::string_view name, const Args&... args) {
  std::ostringstream out;
  out << name;
  const char* separator = "(";
  [[maybe_unused]] const auto put = [&]<typename T>(const T& arg) {
    out << std::exchange(separator, ", ");
    if constexpr (std::is_same_v<T, std::string_view>)
      out << Quote(arg);
    else
      out << arg;
  };
  (put(args), ...);
  if (sizeof...(args) > 0) out << ')';
  return out.str();
}

const char* SurfaceName(SurfaceId surface);  // as the recorded calls name them
const char* ControlName(DialogControl control);

class FakePlatform : public Platform {
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
  // Records the call and answers `result`.
  template <typename T, typename... Args>
  T Answer(T result, std::string_view name, const Args&... args) {
    Record(name, args...);
    return result;
  }
  // Only the calls whose text starts with `prefix`.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const;

  std::string ArgumentText() override { return argumentText; }
  std::string ProgramDirectory() override { return programDirectory; }
  void EndProcess() override { ended = Answer(true, "EndProcess"); }
  float SecondsSinceMidnight() override { return 1234.5f; }
  WindowHandle FindWindowByCaption(std::string_view caption) override;
  std::int32_t GetVersionExA(OsVersionInfo& info) override {
    info.dwPlatformId = platformId;
    return Answer(versionResult, "GetVersionExA", info.dwOSVersionInfoSize);
  }
  std::int32_t SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam, void* pvParam,
                                     std::uint32_t fWinIni) override {
    return Answer(1, "SystemParametersInfoA", action, Hex{uiParam}, pvParam ? "ptr" : "NULL",
                  fWinIni);
  }
  std::int32_t ShowCursor(std::int32_t show) override {
    return Answer(cursorCounter += show != 0 ? 1 : -1, "ShowCursor", show);
  }
  void PwdChangePasswordA(std::string_view regKeyName, WindowHandle parent, std::uint32_t r1,
                          std::uint32_t r2) override {
    Record("PwdChangePasswordA", regKeyName, parent, r1, r2);
  }
  std::optional<std::int32_t> VerifyScreenSavePwd(WindowHandle window) override;
  std::uint32_t GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                         std::string_view defaultText, char* buffer,
                                         std::uint32_t size, std::string_view file) override;
  void WritePrivateProfileStringA(std::string_view section, std::string_view key,
                                  std::string_view value, std::string_view file) override {
    Record("WritePrivateProfileStringA", section, key, value, file);
    iniValues[std::string(key)] = value;
  }
  std::int32_t GetWindowRect(WindowHandle window, PixelRect& rect) override;
  std::int32_t GetWindowLongA(WindowHandle window, std::int32_t index) override {
    return Answer(previewStyle, "GetWindowLongA", window, index);
  }
  std::int32_t SetWindowLongA(WindowHandle window, std::int32_t index,
                              std::int32_t value) override {
    return Answer(previewStyle, "SetWindowLongA", window, index, Hex{std::uint32_t(value)});
  }
  WindowHandle SetParent(WindowHandle child, WindowHandle parent) override {
    return Answer(kNoWindow, "SetParent", child, parent);
  }
  WindowHandle CreatePreviewWindow() override {
    return Answer(kPreviewWindow, "CreatePreviewWindow");
  }
  void MovePreviewImage(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) override {
    Record("MovePreviewImage", x, y, w, h);
  }
  void ShowPreviewWindow(WindowHandle window) override { Record("ShowPreviewWindow", window); }

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
  void SetWindowWidthTwips(WindowHandle window, float width) override;
  void SetWindowHeightTwips(WindowHandle window, float height) override;
  void SetWindowLeftTwips(WindowHandle window, float left) override;
  void SetWindowTopTwips(WindowHandle window, float top) override;
  void MoveWindowTwips(WindowHandle window, float left, float top) override;
  ScreenSize GetSurfaceSize(SurfaceId surface) override;
  void DrawLine(SurfaceId surface, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                std::int32_t y2, std::uint32_t colourBgr) override;
  void RefreshSurface(SurfaceId surface) override;
  void SetLabelCaption(DialogControl label, std::string_view text) override;
  void SetImagePicture(DialogControl image, DialogPicture picture) override;
  void SetHandCursor(DialogControl control) override;
  std::int16_t GetScrollValue(std::int16_t index) override;
  void SetScrollValue(std::int16_t index, std::int16_t value) override;
  void SetDialogTimer(bool enabled, std::uint32_t intervalMs) override;
  void ShowDialogModal(WindowHandle window) override;
  void CloseDialog(WindowHandle window) override;

  // --- The saver window -----------------------------------------------------
  WindowHandle CreateSaverWindow(SaverEvents& events) override {
    saverEvents = &events;
    return Answer(kSaverWindow, "CreateSaverWindow");
  }
  ScreenSize GetScreenSize() override { return screen; }
  void MoveWindow(WindowHandle window, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t height) override {
    Record("MoveWindow", window, x, y, width, height);
  }
  void SizeSurface(SurfaceId surface, std::int32_t width, std::int32_t height) override {
    surfaces[surface] =
        Answer(Surface(width, height), "SizeSurface", SurfaceName(surface), width, height);
  }
  void MoveSurface(SurfaceId surface, std::int32_t x, std::int32_t y) override {
    Record("MoveSurface", SurfaceName(surface), x, y);
  }
  void FillRect(SurfaceId surface, std::int32_t left, std::int32_t top, std::int32_t right,
                std::int32_t bottom, std::uint32_t colour) override;
  std::int32_t BitBlt(SurfaceId destination, std::int32_t x, std::int32_t y, std::int32_t width,
                      std::int32_t height, SurfaceId source, std::int32_t sourceX,
                      std::int32_t sourceY, std::uint32_t rop) override;
  void StartTimer(std::uint32_t intervalMs) override { Record("StartTimer", intervalMs); }
  void ShowWindow(WindowHandle window) override { Record("ShowWindow", window); }
  std::int32_t SetWindowPos(WindowHandle window, WindowHandle insertAfter, std::int32_t x,
                            std::int32_t y, std::int32_t cx, std::int32_t cy,
                            std::uint32_t flags) override {
    return Answer(1, "SetWindowPos", window, insertAfter, x, y, cx, cy, flags);
  }
  void CloseSaverWindow() override { saverClosed = Answer(true, "CloseSaverWindow"); }
  void DoEvents() override;
  void WaitForEvents(std::uint32_t timeoutMs) override;
  std::int64_t NowMicroseconds() override { return nowMicroseconds; }
};

}  // namespace vorn::testing
