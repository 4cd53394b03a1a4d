#include "settings_dialog/dialog.h"

#include <cmath>
#include <limits>
#include <string>

#include "core/particles.h"
#include "core/raster.h"
#include "settings_dialog/layout.h"
#include "settings_dialog/zoom.h"

namespace vorn {
namespace {

constexpr double kGradientPi = 3.142;  // the shading's own constant, not pi
constexpr double kGradientPeak = 220;
constexpr std::int32_t kGradientBlueLift = 30;

// A value for a 16-bit field; nullopt where the field could not hold it.
std::optional<std::int16_t> To16(std::int64_t value) {
  if (value < std::numeric_limits<std::int16_t>::min() ||
      value > std::numeric_limits<std::int16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(value);
}

}  // namespace

std::int32_t GradientLevel(std::int32_t y, float height) {
  const double d = static_cast<double>(height) / kGradientPi;
  return static_cast<std::int32_t>(std::nearbyint(std::fabs(std::sin(y / d)) * kGradientPeak));
}

std::string SaveFailureText(const std::vector<std::string>& places) {
  std::string text = "設定を保存できませんでした。次の場所に書き込めません:\n";
  for (const std::string& place : places) text += "\n" + place;
  return text;
}

void VornP::Show() {
  window_ = platform_.CreateDialogWindow(*this);
  Form_Load();
  platform_.ShowDialogModal(window_);
}

void VornP::Form_Load() {
  platform_.PlaceWindowTwips(window_, {.width = kDialogWidthTwips});
  platform_.PlaceWindowTwips(window_, {.height = kDialogHeightTwips});
  const TwipsRect screen = platform_.GetScreenTwips();
  const TwipsRect window = platform_.GetWindowTwips(window_);
  platform_.PlaceWindowTwips(window_, {.left = (screen.width - window.width) / 2,
                                       .top = (screen.height - window.height) / 2});
  Dragging = 0;
  platform_.Controls().SetHandCursor(DialogControl::LblUrl);
  platform_.Controls().SetImagePicture(DialogControl::ImgSet, DialogPicture::ButtonReleased);
  platform_.Controls().SetImagePicture(DialogControl::ImgCan, DialogPicture::ButtonReleased);
  platform_.Controls().SetHandCursor(DialogControl::LblSet);
  platform_.Controls().SetHandCursor(DialogControl::LblCan);
  for (std::int16_t index = 1; index <= kBarCount; ++index) GiveBarItsSetting(index);
  for (std::int16_t index = 1; index <= kBarCount; ++index) {
    platform_.Controls().SetLabelCaption(kScrollLabels[BarSlot(index)],
                                         std::to_string(SettingOf(index)));
  }
  for (DialogControl bar : kScrollControls) platform_.Controls().SetHandCursor(bar);
  PixelPoint cursor;
  if (platform_.GetCursorPos(cursor) != 0) {
    ZoomOriginX = To16(cursor.x).value_or(0);
    ZoomOriginY = To16(cursor.y).value_or(0);
  } else {
    ZoomOriginX = 0;
    ZoomOriginY = 0;
  }
  ZoomOpen(platform_, {ZoomOriginX, ZoomOriginY}, window_);
  platform_.SetDialogTimer(true, kPreviewTimerIntervalMs);
}

std::int32_t& VornP::SettingOf(std::int16_t index) {
  if (index == 1) return settings_.Speed;
  if (index == 2) return settings_.Num;
  return settings_.Intval;
}

// A setting the bar cannot hold leaves the bar where it was; the setting
// itself keeps the stored number. The same value raises no change.
void VornP::GiveBarItsSetting(std::int16_t index) {
  const std::int32_t setting = SettingOf(index);
  if (!kScrollBars[BarSlot(index)].Holds(setting)) return;
  if (setting == platform_.Controls().GetScrollValue(index)) return;
  platform_.Controls().SetScrollValue(index, static_cast<std::int16_t>(setting));
  HS_Change(index);
}

void VornP::HS_Change(std::int16_t index) {
  if (!IsBar(index)) return;
  const std::int16_t value = platform_.Controls().GetScrollValue(index);
  platform_.Controls().SetLabelCaption(kScrollLabels[BarSlot(index)], std::to_string(value));
  SettingOf(index) = value;
}

void VornP::Form_Resize() { DrawGradient(); }

void VornP::DrawGradient() {
  GradientOn(SurfaceId::DialogWindow);
  GradientOn(SurfaceId::DialogPicB);
}

// A surface under one pixel in either direction (the window is briefly one
// without height between the two size steps of its load) has no rows to shade.
void VornP::GradientOn(SurfaceId surface) {
  const ScreenSize size = platform_.GetSurfaceSize(surface);
  if (size.width < 1 || size.height < 1) return;
  const auto height = static_cast<float>(size.height);
  const auto rows = static_cast<std::int32_t>(std::nearbyint(height));
  for (std::int32_t y = 0; y <= rows; ++y) {
    const std::int32_t v = GradientLevel(y, height);
    const auto colour = static_cast<std::uint32_t>(v + 256 * v + 65536 * (v + kGradientBlueLift));
    platform_.DrawLine(surface, 0, y, platform_.GetSurfaceSize(surface).width, y, colour);
  }
}

void VornP::Timer1_Timer() {
  platform_.SetDialogTimer(false, kPreviewTimerIntervalMs);
  std::int32_t x = 0;
  std::int32_t y = 0;
  while (StopPreview == 0) {
    platform_.BitBlt(SurfaceId::DialogDisplay, 0, 0, kCellWidth, kCellHeight,
                     SurfaceId::DialogSprites, x, y, kRopSrcCopy);
    platform_.RefreshSurface(SurfaceId::DialogDisplay);
    NextCell(x, y);
    PreviewPause();
    if (StopPreview == 0) platform_.DoEvents();
  }
}

void VornP::PreviewPause() {
  const std::int64_t deadline = platform_.NowMicroseconds() + kPreviewCellMicroseconds;
  while (StopPreview == 0) {
    const std::int64_t remaining = deadline - platform_.NowMicroseconds();
    if (remaining <= 0) break;
    platform_.WaitForEvents(static_cast<std::uint32_t>((remaining + 999) / 1000));
    platform_.DoEvents();
  }
}

void VornP::lbl_Set_MouseDown() {
  platform_.Controls().SetImagePicture(DialogControl::ImgSet, DialogPicture::ButtonPressed);
}

void VornP::lbl_Set_MouseUp() {
  platform_.Controls().SetImagePicture(DialogControl::ImgSet, DialogPicture::ButtonReleased);
  platform_.DoEvents();
  const SaveResult saved = WriteSettings(platform_, settings_);
  if (!saved.savedTo) {
    platform_.MessageBoxA(window_, SaveFailureText(saved.places), kSaveFailureCaption,
                          kMbIconWarning);
  }
  StopPreview = kTrue16;
  platform_.CloseDialog(window_);
}

void VornP::lbl_Can_MouseDown() {
  platform_.Controls().SetImagePicture(DialogControl::ImgCan, DialogPicture::ButtonPressed);
}

void VornP::lbl_Can_MouseUp() { Close(DialogControl::ImgCan, DialogPicture::ButtonReleased); }

void VornP::ImgExit_MouseDown() {
  platform_.Controls().SetImagePicture(DialogControl::ImgExit, DialogPicture::ClosePressed);
}

void VornP::ImgExit_MouseUp() { Close(DialogControl::ImgExit, DialogPicture::CloseReleased); }

void VornP::Close(DialogControl image, DialogPicture releasedFace) {
  platform_.Controls().SetImagePicture(image, releasedFace);
  platform_.DoEvents();
  StopPreview = kTrue16;
  platform_.CloseDialog(window_);
}

// The pointer's pixels become twips at the factor of the screen where the
// window stands, so that the window follows the pointer pixel for pixel at any
// scaling (at 96 dpi the factor is 15).
void VornP::Image1_MouseDown(std::int16_t button) {
  if (button != kLeftButton) return;
  Dragging = 1;
  PixelPoint pointer;
  platform_.GetCursorPos(pointer);
  const TwipsRect window = platform_.GetWindowTwips(window_);
  const double factor = platform_.TwipsPerPixel(window_);
  const auto offset = [factor](std::int32_t pixels, float edge) {
    return To16(static_cast<std::int64_t>(std::nearbyint(pixels * factor - edge)));
  };
  if (const auto x = offset(pointer.x, window.left)) DragOffsetX = *x;
  if (const auto y = offset(pointer.y, window.top)) DragOffsetY = *y;
}

void VornP::Image1_MouseMove() {
  if (Dragging != 1) return;
  PixelPoint pointer;
  platform_.GetCursorPos(pointer);
  const double factor = platform_.TwipsPerPixel(window_);
  const auto edge = [factor](std::int32_t pixels, std::int16_t offset) {
    return static_cast<float>(pixels * factor - offset);
  };
  platform_.PlaceWindowTwips(window_, {.top = edge(pointer.y, DragOffsetY)});
  platform_.PlaceWindowTwips(window_, {.left = edge(pointer.x, DragOffsetX)});
}

void VornP::Image1_MouseUp() { Dragging = 0; }

void VornP::lbl_URL_Click() {
  platform_.ShellExecuteA(window_, "open", kHomePage, "", "", kShowNormal);
}

// However the window goes (also when the system closes it), the preview loop
// must not go on drawing on it, nor keep the process alive.
void VornP::Form_Unload() {
  StopPreview = kTrue16;
  ZoomClose(platform_, {ZoomOriginX, ZoomOriginY}, window_);
}

}  // namespace vorn
