// The settings dialog's layout: every control's place in twips and its text.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "platform/platform.h"

namespace vorn {

inline constexpr std::int32_t kTwipsPerPixel = 15;
inline constexpr float kDialogWidthTwips = 5940;
inline constexpr float kDialogHeightTwips = 3450;

// Colours as the system takes them: 0x00BBGGRR.
inline constexpr std::uint32_t kDialogBackColour = 0x808080;
inline constexpr std::uint32_t kPicBBackColour = 0x404040;
inline constexpr std::uint32_t kTitleTextColour = 0xFFFFFF;
inline constexpr std::uint32_t kLinkTextColour = 0xC0FFFF;

// The dialog's title, by which a second start finds an open dialog.
inline constexpr const char* kDialogCaption = "Vornの設定";

// The maker's web page, opened by the dialog's link.
inline constexpr const char* kHomePage = "https://vorn.example.org/";
inline constexpr const char* kCreditLine = "Vorn flame screen saver  Ver.1.1.0";

enum class ControlKind { Image, Label, LabelRight, LabelCentred, Picture, ScrollBar };

struct ControlLayout {
  DialogControl id = DialogControl::Image1;
  ControlKind kind = ControlKind::Image;
  std::optional<DialogControl> parent;  // Pic_a or Pic_b; none: the window
  std::int32_t left = 0, top = 0, width = 0, height = 0;  // twips, within the parent
  const char* caption = nullptr;  // UTF-8; nullptr for controls without text
};

inline constexpr std::array<ControlLayout, 22> kDialogLayout{{
    {DialogControl::Image1, ControlKind::Image, std::nullopt, 0, 0, 5925, 330, nullptr},
    {DialogControl::Label9, ControlKind::Label, std::nullopt, 180, 60, 915, 195, kDialogCaption},
    {DialogControl::ImgExit, ControlKind::Image, std::nullopt, 5640, 60, 225, 225, nullptr},
    {DialogControl::PicA, ControlKind::Picture, std::nullopt, 240, 600, 1635, 1395, nullptr},
    {DialogControl::Display, ControlKind::Picture, DialogControl::PicA, 540, 180, 480, 960, nullptr},
    {DialogControl::PicB, ControlKind::Picture, std::nullopt, 2160, 600, 3495, 1395, nullptr},
    {DialogControl::Lbl1, ControlKind::Label, DialogControl::PicB, 720, 240, 525, 195, "ｽﾋﾟｰﾄﾞ"},
    {DialogControl::Hs1, ControlKind::ScrollBar, DialogControl::PicB, 1320, 180, 1275, 255, nullptr},
    {DialogControl::LblHs1, ControlKind::LabelRight, DialogControl::PicB, 2640, 240, 375, 195, "999"},
    {DialogControl::Lbl2, ControlKind::Label, DialogControl::PicB, 1020, 600, 195, 195, "数"},
    {DialogControl::Hs2, ControlKind::ScrollBar, DialogControl::PicB, 1320, 540, 1275, 255, nullptr},
    {DialogControl::LblHs2, ControlKind::LabelRight, DialogControl::PicB, 2640, 600, 375, 195, "999"},
    {DialogControl::Lbl3, ControlKind::Label, DialogControl::PicB, 120, 960, 1125, 195, "ｸﾘｱ・ｲﾝﾀｰﾊﾞﾙ"},
    {DialogControl::Hs3, ControlKind::ScrollBar, DialogControl::PicB, 1320, 900, 1275, 255, nullptr},
    {DialogControl::LblHs3, ControlKind::LabelRight, DialogControl::PicB, 2640, 960, 375, 195, "999"},
    {DialogControl::Lbl5, ControlKind::Label, DialogControl::PicB, 3060, 960, 180, 180, "秒"},
    {DialogControl::Lbl9, ControlKind::Label, std::nullopt, 240, 2160, 2475, 195, kCreditLine},
    {DialogControl::ImgSet, ControlKind::Image, std::nullopt, 2820, 2460, 1365, 330, nullptr},
    {DialogControl::LblSet, ControlKind::LabelCentred, std::nullopt, 2820, 2520, 1365, 255, "設定"},
    {DialogControl::ImgCan, ControlKind::Image, std::nullopt, 4260, 2460, 1365, 330, nullptr},
    {DialogControl::LblCan, ControlKind::LabelCentred, std::nullopt, 4260, 2520, 1365, 255, "ｷｬﾝｾﾙ"},
    {DialogControl::LblUrl, ControlKind::Label, std::nullopt, 240, 2940, 3210, 195, kHomePage},
}};

// A scroll bar's range and steps; its value before the dialog loads.
struct ScrollBarRange {
  std::int16_t min, max, smallChange, largeChange, initial;
};

// HS(1) Speed, HS(2) Num, HS(3) Intval.
inline constexpr std::array<ScrollBarRange, 3> kScrollBars{{
    {1, 20, 1, 1, 4},
    {100, 400, 1, 10, 100},
    {20, 60, 1, 1, 30},
}};

// The value labels beside the bars, lbl_HS(1) to lbl_HS(3).
inline constexpr std::array<DialogControl, 3> kScrollLabels{
    DialogControl::LblHs1, DialogControl::LblHs2, DialogControl::LblHs3};
inline constexpr std::array<DialogControl, 3> kScrollControls{
    DialogControl::Hs1, DialogControl::Hs2, DialogControl::Hs3};

}  // namespace vorn
