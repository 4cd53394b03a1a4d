// A recording fake of the platform: every call kept as a line of text named after the function
// ("ShowCursor(0)", texts in quotes); drawing is recorded, not carried out.
#pragma once

#include <algorithm>
#include <array>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

#include "core/flame.h"
#include "core/particles.h"
#include "platform/platform.h"
#include "saver/frame.h"
#include "saver/saver.h"

namespace vorn::testing {

struct Hex {  // a number recorded as 0x...
  std::uint32_t value;
  friend std::ostream& operator<<(std::ostream& out, Hex h) {
    return out << "0x" << std::hex << std::uppercase << h.value << std::dec;
  }
};
inline void Put(std::ostream& out, const auto& arg) { out << arg; }
inline void Put(std::ostream& out, std::string_view text) { out << '"' << text << '"'; }
inline void Put(std::ostream& out, const PixelRect& r) {  // "(left top right bottom)"
  out << '(' << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom << ')';
}
// Surfaces, controls and pictures by the names the recorded calls use.
inline void Put(std::ostream& out, SurfaceId s) {
  out << std::array{"Vorn_P", "Pic_b", "P.Display", "P.Pic_Vorn"}[static_cast<int>(s)];
}
inline void Put(std::ostream& out, DialogControl c) {
  out << std::array{"Image1",  "Label9",  "ImgExit",   "Pic_a",  "Display", "Pic_b",
                    "lbl(1)",  "HS(1)",   "lbl_HS(1)", "lbl(2)", "HS(2)",   "lbl_HS(2)",
                    "lbl(3)",  "HS(3)",   "lbl_HS(3)", "lbl(5)", "lbl(9)",  "Img_Set",
                    "lbl_Set", "Img_Can", "lbl_Can",   "lbl_URL"}[static_cast<int>(c)];
}
inline void Put(std::ostream& out, DialogPicture p) {
  out << std::array{"Img_Off", "Img_On", "imgImages(0)", "imgImages(1)"}[static_cast<int>(p)];
}

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

class FakePlatform : public Platform, public DialogControls {
 public:
  static constexpr WindowHandle kSaverWindow = 0x5A5A, kPreviewWindow = 0x7E7E;
  static constexpr WindowHandle kDialogWindow = 0x3C3C;
  static constexpr int kMostDoEvents = 100000;  // a frame cycle that runs on fails the test

  // --- Scripted answers -----------------------------------------------------
  std::string argumentText, programDirectory = "C:\\Saver";
  std::vector<std::string> openCaptions;                       // top-level windows that exist
  std::int32_t versionResult = 1;                              // GetVersionExA's return value
  std::uint32_t platformId = kVerPlatformWin32Nt;              // filled in whatever it returns
  std::int32_t cursorCounter = 0;                              // the system's display counter
  std::deque<std::optional<std::int32_t>> passwordAnswers{1};  // in turn, the last repeating
  std::map<std::string, std::string> iniValues;                // by key, whatever file and section
  std::vector<std::string> files;          // files that exist (those written are added)
  std::vector<std::string> lockedFolders;  // nothing can be written or made in these
  int writesBeforeFull = -1;               // the disk takes this many more writes (-1: any)
  // A refused write or folder is recorded with " -> 0" behind the call.
  ScreenSize screen{1024, 768};
  std::optional<DisplayLayout> layout;            // without it, one monitor of `screen`
  std::map<WindowHandle, PixelRect> windowRects;  // windows that exist
  std::int32_t previewStyle = 0x16CF0000;
  std::function<void(int)> onDoEvents;    // runs in each DoEvents with its number (1, 2, ...)
  int quietWaits = 0;                     // the next waits run out of time with no message waiting
  std::vector<std::int64_t> presentedAt;  // the clock at each present
  std::function<void()> onDialogShown;    // runs once the dialog is up: the test plays the user
  bool recordDrawing = false;             // records fills, blits, lines, yields and waits too
  PixelPoint cursor{500, 300};
  TwipsRect dialogTwips{0, 0, 2000, 1000};
  float twipsPerPixel = 15;
  std::array<std::int16_t, 3> scrollValues{4, 100, 30};

  bool failFrameBuffer = false;              // CreateFrameBuffer gives none
  int presentsFailing = 0;                   // the next this many presents fail
  static constexpr Pixel kStale = 0x123456;  // what a screen shows that lost its picture

  // --- What happened --------------------------------------------------------
  Surface frameBuffer, shown;  // the saver's frame buffer, and what the screen shows of it
  std::vector<std::string> calls;
  bool ended = false, saverClosed = false, dialogClosed = false, dialogTimerEnabled = false;
  SaverEvents* saverEvents = nullptr;
  DialogEvents* dialogEvents = nullptr;
  int doEventsCount = 0;
  std::int64_t nowMicroseconds = 0;
  std::map<SurfaceId, ScreenSize> surfaceSizes;
  std::map<DialogControl, std::string> captions;

  template <typename... Args>
  void Record(std::string_view name, const Args&... args) {
    calls.push_back(Call(name, args...));
  }
  template <typename... Args>  // records a drawing step if they are recorded
  void Drawn(std::string_view name, const Args&... args) {
    if (recordDrawing) Record(name, args...);
  }
  template <typename T, typename... Args>  // records the call and answers `result`
  T Answer(T result, std::string_view name, const Args&... args) {
    Record(name, args...);
    return result;
  }
  std::vector<std::string> CallsStartingWith(std::string_view prefix) const {
    std::vector<std::string> matching;
    for (const std::string& call : calls)
      if (call.starts_with(prefix)) matching.push_back(call);
    return matching;
  }

  using I32 = std::int32_t;
  using U32 = std::uint32_t;
  using Text = std::string_view;
  using W = WindowHandle;
  using S = SurfaceId;
  using C = DialogControl;
  std::string ArgumentText() override { return argumentText; }
  std::string ProgramDirectory() override { return programDirectory; }
  void EndProcess() override { ended = Answer(true, "EndProcess"); }
  float SecondsSinceMidnight() override { return 1234.5f; }
  W FindWindowByCaption(Text caption) override {
    const bool open = std::ranges::find(openCaptions, caption) != openCaptions.end();
    return Answer(open ? 0x1234 : kNoWindow, "FindWindow", "NULL", caption);
  }
  I32 GetVersionExA(OsVersionInfo& info) override {
    info.dwPlatformId = platformId;
    return Answer(versionResult, "GetVersionExA", info.dwOSVersionInfoSize);
  }
  I32 SystemParametersInfoA(U32 action, U32 ui, void* pv, U32 winIni) override {
    return Answer(1, "SystemParametersInfoA", action, Hex{ui}, pv ? "ptr" : "NULL", winIni);
  }
  I32 ShowCursor(I32 s) override { return Answer(cursorCounter += s ? 1 : -1, "ShowCursor", s); }
  void PwdChangePasswordA(Text k, W w, U32 a, U32 b) override { Record(__func__, k, w, a, b); }
  std::optional<I32> VerifyScreenSavePwd(W window) override {
    const std::optional<I32> answer = passwordAnswers.front();
    if (passwordAnswers.size() > 1) passwordAnswers.pop_front();
    return Answer(answer, "VerifyScreenSavePwd", window);
  }
  U32 GetPrivateProfileStringA(Text section, Text key, Text defaultText, char* buffer, U32 size,
                               Text file) override {
    const bool zeros = std::all_of(buffer, buffer + size, [](char c) { return c == '\0'; });
    Record(__func__, section, key, defaultText, zeros ? "zeros" : "dirty", size, file);
    const auto found = iniValues.find(std::string(key));
    const std::string value = found == iniValues.end() ? std::string(defaultText) : found->second;
    return std::snprintf(buffer, size, "%s", value.c_str());  // cut, and ended with a NUL
  }
  I32 WritePrivateProfileStringA(Text section, Text key, Text value, Text file) override {
    Record(__func__, section, key, value, file);
    if (Locked(file) || writesBeforeFull == 0) return calls.back() += " -> 0", 0;
    if (writesBeforeFull > 0) --writesBeforeFull;
    iniValues[std::string(key)] = value;
    if (std::ranges::find(files, file) == files.end()) files.emplace_back(file);
    return 1;
  }
  std::string RoamingAppDataFolder() override { return "C:\\Users\\u\\AppData\\Roaming"; }
  bool FileExists(Text path) override { return std::ranges::find(files, path) != files.end(); }
  bool CreateFolder(Text path) override {
    Record(__func__, path);
    return Locked(path) ? (calls.back() += " -> 0", false) : true;
  }
  void MessageBoxA(W w, Text text, Text caption, U32 type) override {
    Record(__func__, w, text, caption, Hex{type});
  }
  // Whether `path` lies directly within a locked folder.
  bool Locked(Text path) const {
    const std::string_view folder = path.substr(0, std::min(path.size(), path.rfind('\\')));
    return std::ranges::find(lockedFolders, folder) != lockedFolders.end();
  }
  // The dialog's place in pixels at twipsPerPixel until it is closed; other windows as scripted.
  I32 GetWindowRect(W window, PixelRect& rect) override {
    Record(__func__, window);
    const TwipsRect& t = dialogTwips;
    const float f = twipsPerPixel;
    if (window == kDialogWindow && !dialogClosed) {
      rect = {I32(t.left / f), I32(t.top / f), I32((t.left + t.width) / f),
              I32((t.top + t.height) / f)};
      return 1;
    }
    const auto it = windowRects.find(window);
    if (it != windowRects.end()) rect = it->second;
    return it != windowRects.end();
  }
  I32 GetWindowLongA(W w, I32 i) override { return Answer(previewStyle, __func__, w, i); }
  I32 SetWindowLongA(W w, I32 i, I32 v) override {
    return Answer(previewStyle, __func__, w, i, Hex{U32(v)});
  }
  W SetParent(W w, W parent) override { return Answer(kNoWindow, __func__, w, parent); }
  W CreatePreviewWindow() override { return Answer(kPreviewWindow, __func__); }
  void MovePreviewImage(I32 x, I32 y, I32 w, I32 h) override { Record(__func__, x, y, w, h); }
  void ShowPreviewWindow(W w) override { Record(__func__, w); }

  // --- The settings dialog --------------------------------------------------
  I32 GetCursorPos(PixelPoint& point) override { return point = cursor, Answer(1, __func__); }
  I32 DrawAnimatedRects(W w, I32 animation, const PixelRect& from, const PixelRect& to) override {
    return Answer(1, __func__, w, animation, from, to);
  }
  void ShellExecuteA(W w, Text operation, Text file, Text parameters, Text dir, I32 show) override {
    Record(__func__, w, operation, file, parameters, dir, show);
  }
  // The dialog's window and its panel at 96 dpi, the sizes its shading reads.
  W CreateDialogWindow(DialogEvents& events) override {
    dialogEvents = &events;
    surfaceSizes = {{SurfaceId::DialogWindow, {396, 230}}, {SurfaceId::DialogPicB, {233, 93}}};
    return Answer(kDialogWindow, __func__);
  }
  TwipsRect GetScreenTwips() override { return {0, 0, screen.width * 15.f, screen.height * 15.f}; }
  TwipsRect GetWindowTwips(W) override { return dialogTwips; }
  float TwipsPerPixel(W) override { return twipsPerPixel; }
  void SetForegroundWindow(W w) override { Record(__func__, w); }
  // Recorded as "PlaceWindowTwips(window, width 5940)", the values given in order.
  void PlaceWindowTwips(W window, const TwipsPlacement& place) override {
    std::ostringstream out;
    out << __func__ << '(' << window;
    for (const auto& [name, value, field] : {std::tuple{"left", place.left, &dialogTwips.left},
                                             {"top", place.top, &dialogTwips.top},
                                             {"width", place.width, &dialogTwips.width},
                                             {"height", place.height, &dialogTwips.height}}) {
      if (value) out << ", " << name << ' ' << (*field = *value);
    }
    calls.push_back(out.str() + ")");
  }
  ScreenSize GetSurfaceSize(S s) override { return surfaceSizes[s]; }
  void DrawLine(S s, I32 x1, I32 y1, I32 x2, I32 y2, U32 bgr) override {
    Drawn(__func__, s, x1, y1, x2, y2, bgr);
  }
  void RefreshSurface(S s) override { Drawn(__func__, s); }
  void SetLabelCaption(C c, Text text) override { captions[c] = Answer(text, __func__, c, text); }
  void SetImagePicture(C c, DialogPicture picture) override { Record(__func__, c, picture); }
  void SetHandCursor(C c) override { Record(__func__, c); }
  DialogControls& Controls() override { return *this; }
  std::int16_t GetScrollValue(std::int16_t i) override { return scrollValues.at(i - 1); }
  void SetScrollValue(std::int16_t i, std::int16_t v) override {
    scrollValues.at(i - 1) = Answer(v, __func__, i, v);
  }
  void SetDialogTimer(bool on, U32 intervalMs) override {
    dialogTimerEnabled = Answer(on, __func__, on ? "on" : "off", intervalMs);
  }
  void ShowDialogModal(W w) override {
    Record(__func__, w);
    if (onDialogShown) onDialogShown();
  }
  void CloseDialog(W w) override {  // runs Form_Unload once, the window still there
    Record(__func__, w);
    if (!dialogClosed && dialogEvents != nullptr) dialogEvents->Form_Unload();
    dialogClosed = true;
  }

  // --- The saver window -----------------------------------------------------
  W CreateSaverWindow(SaverEvents& events) override {
    return saverEvents = &events, Answer(kSaverWindow, __func__);
  }
  DisplayLayout GetDisplayLayout() override {
    const PixelRect whole{0, 0, screen.width, screen.height};
    return layout.value_or(DisplayLayout{whole, {{whole}}});
  }
  void MoveWindow(W w, I32 x, I32 y, I32 cx, I32 cy) override { Record(__func__, w, x, y, cx, cy); }
  // The frame buffer and the screen are real pixels; a new buffer leaves the
  // screen's old content (of the size before) to be painted over.
  PixelView CreateFrameBuffer(I32 w, I32 h) override {
    Record(__func__, w, h);
    shown = frameBuffer = failFrameBuffer ? Surface() : Surface(w, h, kStale);
    return failFrameBuffer ? PixelView{} : frameBuffer.View();
  }
  // Of a failing present only every second piece reaches the screen (none of a whole frame).
  bool PresentFrame(const std::vector<Rect>& pieces) override {
    Record(__func__, static_cast<int>(pieces.size()));
    presentedAt.push_back(nowMicroseconds);
    const bool fails = presentsFailing > 0 && presentsFailing-- > 0;
    for (std::size_t i = fails ? 1 : 0; i < pieces.size(); i += fails ? 2 : 1) {
      const Rect& r = pieces[i];
      Blit(shown, r.x, r.y, r.width, r.height, frameBuffer, r.x, r.y, kRopSrcCopy);
    }
    if (fails) calls.back() += " -> 0";
    return !fails;
  }
  Surface EmbeddedSpriteSheet() override {  // the art tool renders it with the same function
    static const Surface sheet = RenderSpriteSheet(kBaseDpi);
    return sheet;
  }
  I32 BitBlt(S to, I32 x, I32 y, I32 w, I32 h, S from, I32 fromX, I32 fromY, U32 rop) override {
    return Drawn(__func__, to, x, y, w, h, from, fromX, fromY, Hex{rop}), 1;
  }
  void StartTimer(U32 intervalMs) override { Record(__func__, intervalMs); }
  void ShowWindow(W w) override { Record(__func__, w); }
  I32 SetWindowPos(W w, W after, I32 x, I32 y, I32 cx, I32 cy, U32 flags) override {
    return Answer(1, __func__, w, after, x, y, cx, cy, flags);
  }
  void CloseSaverWindow() override { saverClosed = Answer(true, __func__); }
  void DoEvents() override {
    Drawn(__func__);
    if (++doEventsCount >= kMostDoEvents && saverEvents != nullptr)
      throw std::runtime_error("the saver's frame cycle did not end");
    if (onDoEvents) onDoEvents(doEventsCount);
  }
  bool WaitForEvents(U32 timeoutMs) override {
    Drawn(__func__, timeoutMs);
    nowMicroseconds += std::int64_t{timeoutMs} * 1000;
    if (quietWaits == 0) return true;
    --quietWaits;
    return false;
  }
  std::int64_t NowMicroseconds() override { return nowMicroseconds; }
};

// The saver's frame with its drawing steps recorded in the platform's calls, in the words of the
// system calls they stand for: the clear "FillRect(Buffer, 0, 0, W, H, 0)", a cell
// "BitBlt(Buffer, x, y, w, h, Pic_Vorn[@dpi], sx, sy, 0xEE0086)", the present
// "BitBlt(Display, 0, 0, W, H, Buffer, 0, 0, 0xCC0020)"; a sheet loaded "LoadSheet(dpi)".
class RecordingFrame final : public SaverFrame {
 public:
  explicit RecordingFrame(FakePlatform& platform) : SaverFrame(platform), platform_(platform) {}
  void LoadSheet(std::int32_t dpi) override {
    platform_.Record("LoadSheet", dpi);
    SaverFrame::LoadSheet(dpi);
  }
  void Clear() override {
    platform_.Drawn("FillRect", "Buffer", 0, 0, Width(), Height(), 0);
    cells.clear();
    SaverFrame::Clear();
  }
  void OrCell(std::int32_t dpi, const BlitArea& c) override {
    const std::string sheet = dpi == kBaseDpi ? "Pic_Vorn" : "Pic_Vorn@" + std::to_string(dpi);
    platform_.Drawn("BitBlt", "Buffer", c.x, c.y, c.w, c.h, sheet, c.sx, c.sy, Hex{kRopSrcPaint});
    cells.emplace_back(dpi, c);
    SaverFrame::OrCell(dpi, c);
  }
  void Present() override {
    platform_.Drawn("BitBlt", "Display", 0, 0, Width(), Height(), "Buffer", 0, 0, Hex{kRopSrcCopy});
    SaverFrame::Present();
  }
  std::vector<std::pair<std::int32_t, BlitArea>> cells;  // ORed since the clear, with their dpi

 private:
  FakePlatform& platform_;
};

struct SaverRig {
  FakePlatform platform;
  Settings settings{5, 2, 30};
  RecordingFrame frame{platform};
  VornS saver;
  // A saver started with "/s" (the cursor hidden: counter -1) that records its drawing.
  explicit SaverRig(std::int64_t framePeriod = kFramePeriodMicroseconds)
      : saver(platform, settings, -1, framePeriod, &frame) {
    platform.argumentText = "/s";
    platform.recordDrawing = true;
  }
  // Runs the saver; `onYield` plays the user in every DoEvents, given its number.
  void Run(std::function<void(int)> onYield) {
    platform.onDoEvents = std::move(onYield);
    saver.Load();
  }
};

}  // namespace vorn::testing
