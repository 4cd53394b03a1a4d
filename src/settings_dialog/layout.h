// The settings dialog's layout: every control's place in twips and its text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/platform.h"

namespace vorn {

inline constexpr std::int32_t kTwipsPerPixel = 15;  // at 96 dots per inch
inline constexpr float kDialogWidthTwips = 5940;
inline constexpr float kDialogHeightTwips = 3450;

// Colours as the system takes them: 0x00BBGGRR.
inline constexpr std::uint32_t kDialogBackColour = 0x808080;
inline constexpr std::uint32_t kPicBBackColour = 0x404040;
inline constexpr std::uint32_t kTitleTextColour = 0xFFFFFF;
inline constexpr std::uint32_t kLinkTextColour = 0xC0FFFF;

// The dialog's title, by which a second start finds an open dialog.
inline constexpr const char* kDialogCaption = "Vornの設定";

// The close box's tooltip.
inline constexpr const char* kExitTooltip = "exit button";

// The maker's web page, opened by the dialog's link.
inline constexpr const char* kHomePage = "https://vorn.example.org/";
inline constexpr const char* kCreditLine = "Vorn flame screen saver  Ver.1.1.0";

enum class ControlKind { Image, Label, LabelRight, LabelCentred, Picture, ScrollBar };

struct ControlLayout {
  DialogControl id = DialogControl::Image1;
  ControlKind kind = ControlKind::Image;
  std::optional<DialogControl> parent;                    // Pic_a or Pic_b; none: the window
  std::int32_t left = 0, top = 0, width = 0, height = 0;  // twips, within the parent
  const char* caption = nullptr;  // UTF-8; nullptr for controls without text
};

inline constexpr std::array<ControlLayout, 22> kDialogLayout = [] {
  using enum DialogControl;
  using enum ControlKind;
  return std::array<ControlLayout, 22>{{
      {Image1, Image, std::nullopt, 0, 0, 5925, 330, nullptr},
      {Label9, Label, std::nullopt, 180, 60, 915, 195, kDialogCaption},
      {ImgExit, Image, std::nullopt, 5640, 60, 225, 225, nullptr},
      {PicA, Picture, std::nullopt, 240, 600, 1635, 1395, nullptr},
      {Display, Picture, PicA, 540, 180, 480, 960, nullptr},
      {PicB, Picture, std::nullopt, 2160, 600, 3495, 1395, nullptr},
      {Lbl1, Label, PicB, 720, 240, 525, 195, "ｽﾋﾟｰﾄﾞ"},
      {Hs1, ScrollBar, PicB, 1320, 180, 1275, 255, nullptr},
      {LblHs1, LabelRight, PicB, 2640, 240, 375, 195, "999"},
      {Lbl2, Label, PicB, 1020, 600, 195, 195, "数"},
      {Hs2, ScrollBar, PicB, 1320, 540, 1275, 255, nullptr},
      {LblHs2, LabelRight, PicB, 2640, 600, 375, 195, "999"},
      {Lbl3, Label, PicB, 120, 960, 1125, 195, "ｸﾘｱ・ｲﾝﾀｰﾊﾞﾙ"},
      {Hs3, ScrollBar, PicB, 1320, 900, 1275, 255, nullptr},
      {LblHs3, LabelRight, PicB, 2640, 960, 375, 195, "999"},
      {Lbl5, Label, PicB, 3060, 960, 180, 180, "秒"},
      {Lbl9, Label, std::nullopt, 240, 2160, 2475, 195, kCreditLine},
      {ImgSet, Image, std::nullopt, 2820, 2460, 1365, 330, nullptr},
      {LblSet, LabelCentred, std::nullopt, 2820, 2520, 1365, 255, "設定"},
      {ImgCan, Image, std::nullopt, 4260, 2460, 1365, 330, nullptr},
      {LblCan, LabelCentred, std::nullopt, 4260, 2520, 1365, 255, "ｷｬﾝｾﾙ"},
      {LblUrl, Label, std::nullopt, 240, 2940, 3210, 195, kHomePage},
  }};
}();

// The table lists the controls in the order of DialogControl, so a control's
// entry is found by its value.
constexpr std::size_t Slot(DialogControl control) { return static_cast<std::size_t>(control); }
constexpr const ControlLayout& LayoutOf(DialogControl control) {
  return kDialogLayout[Slot(control)];
}
constexpr bool LayoutFollowsControlOrder() {
  for (std::size_t i = 0; i < kDialogLayout.size(); ++i) {
    if (Slot(kDialogLayout[i].id) != i) return false;
  }
  return true;
}
static_assert(LayoutFollowsControlOrder());

// A scroll bar's range and steps; its value before the dialog loads.
struct ScrollBarRange {
  std::int16_t min, max, smallChange, largeChange, initial;
  // The one check of a value against the bar's range.
  constexpr bool Holds(std::int64_t value) const { return value >= min && value <= max; }
  // The nearest value the bar can hold.
  constexpr std::int16_t Clamp(std::int64_t value) const {
    if (Holds(value)) return static_cast<std::int16_t>(value);
    return value < min ? min : max;
  }
};

// The scroll bars HS(1) to HS(3); an index outside them names no bar.
inline constexpr std::int16_t kBarCount = 3;
constexpr bool IsBar(std::int16_t index) { return index >= 1 && index <= kBarCount; }
constexpr std::size_t BarSlot(std::int16_t index) { return static_cast<std::size_t>(index - 1); }

// HS(1) Speed, HS(2) Num, HS(3) Intval.
inline constexpr std::array<ScrollBarRange, kBarCount> kScrollBars{{
    {1, 20, 1, 1, 4},
    {100, 400, 1, 10, 100},
    {20, 60, 1, 1, 30},
}};

// The value labels beside the bars, lbl_HS(1) to lbl_HS(3).
inline constexpr std::array<DialogControl, kBarCount> kScrollLabels{
    DialogControl::LblHs1, DialogControl::LblHs2, DialogControl::LblHs3};
inline constexpr std::array<DialogControl, kBarCount> kScrollControls{
    DialogControl::Hs1, DialogControl::Hs2, DialogControl::Hs3};
// HS(index) for its control; 0 for any other control.
constexpr std::int16_t BarOf(DialogControl control) {
  for (std::int16_t index = 1; index <= kBarCount; ++index) {
    if (kScrollControls[BarSlot(index)] == control) return index;
  }
  return 0;
}

}  // namespace vorn
