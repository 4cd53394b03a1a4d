// The settings dialog: three scroll bars bound to the settings, a live flame
// preview, picture buttons, a title bar to drag it by and a link.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "settings/settings.h"

namespace vorn {

inline constexpr std::uint32_t kPreviewTimerIntervalMs = 1;
// One preview cell every this many microseconds; the dialog's events run as
// they arrive during the pause rather than waiting for it to end.
inline constexpr std::int64_t kPreviewCellMicroseconds = 100'000;
inline constexpr std::int32_t kShowNormal = 1;
inline constexpr std::int16_t kTrue16 = -1;
// The message box of a save that could not happen: its caption is none of
// those by which a second start finds a running copy.
inline constexpr const char* kSaveFailureCaption = "Vorn";
inline constexpr std::uint32_t kMbIconWarning = 0x30;  // MB_OK | MB_ICONWARNING

class VornP final : public DialogEvents {
 public:
  // The scroll bars change `settings` in memory; Set writes them to the file.
  VornP(Platform& platform, Settings& settings) : platform_(platform), settings_(settings) {}

  // Creates the window, runs Form_Load and shows the dialog modally; returns
  // once it is closed.
  void Show();

  void Form_Load();
  void DrawGradient();

  void Form_Resize() override;
  void Form_Unload() override;
  void Timer1_Timer() override;
  void HS_Change(std::int16_t index) override;
  void lbl_Set_MouseDown() override;
  void lbl_Set_MouseUp() override;
  void lbl_Can_MouseDown() override;
  void lbl_Can_MouseUp() override;
  void ImgExit_MouseDown() override;
  void ImgExit_MouseUp() override;
  void Image1_MouseDown(std::int16_t button) override;
  void Image1_MouseMove() override;
  void Image1_MouseUp() override;
  void lbl_URL_Click() override;

  // Window-level state.
  std::int16_t StopPreview = 0;
  std::int16_t Dragging = 0;
  std::int16_t DragOffsetX = 0;
  std::int16_t DragOffsetY = 0;
  // The pointer's place when the dialog loaded, screen pixels: where the
  // zoom of its opening starts and that of its closing ends.
  std::int16_t ZoomOriginX = 0;
  std::int16_t ZoomOriginY = 0;

  WindowHandle Window() const { return window_; }

 private:
  std::int32_t& SettingOf(std::int16_t index);
  void GiveBarItsSetting(std::int16_t index);
  void GradientOn(SurfaceId surface);
  // Shows the released face, lets it paint, stops the preview and closes.
  void Close(DialogControl image, DialogPicture releasedFace);
  void PreviewPause();

  Platform& platform_;
  Settings& settings_;
  WindowHandle window_ = kNoWindow;
};

// What the user is told when the settings could be saved nowhere: the places
// tried, one a line.
std::string SaveFailureText(const std::vector<std::string>& places);

// The level of the shaded background's row y on a surface h pixels high:
// |sin(y / (h / 3.142))| x 220, to the nearest whole number, ties to even.
std::int32_t GradientLevel(std::int32_t y, float height);

}  // namespace vorn
