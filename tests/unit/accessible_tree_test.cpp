// What the settings dialog tells a screen reader, and what a screen reader's actions do to it.
#include "settings_dialog/accessible_tree.h"

#include <gmock/gmock.h>

#include "dialog_rig.h"

namespace vorn {
namespace {

using ::testing::ElementsAreArray;
using C = DialogControl;
using R = AccessibleRole;
using test::Log;
using test::Rig;

// A name, role, value, action or key lost or wrong; a place not where the control is painted, or
// not on the screen; a pressed button or the focused bar not so marked; a point on the wrong one.
TEST(AccessibleTree, EachControlWithItsNameRoleValuePlaceAndState) {
  Rig rig;
  rig.model.SetScrollValue(1, 12);
  rig.model.SetImagePicture(C::ImgSet, DialogPicture::ButtonPressed);
  rig.model.SetImagePicture(C::ImgExit, DialogPicture::ClosePressed);  // one pixel wider
  const std::uint32_t bar = kStateFocusable, pressed = kStatePressed;
  // clang-format off
  const AccessibleTree expected{
      {C::ImgExit, R::PushButton, "exit button", "", "Press", "Alt+F4", {376, 4, 392, 19}, pressed},
      {C::Display, R::Animation, "プレビュー", "", "", "", {52, 52, 84, 116}, kStateAnimated},
      {C::Hs1, R::ScrollBar, "スピード", "12", "", "", {232, 52, 317, 69}, bar},
      {C::Hs2, R::ScrollBar, "数", "100", "", "", {232, 76, 317, 93}, bar | kStateFocused},
      {C::Hs3, R::ScrollBar, "クリア・インターバル", "30", "", "", {232, 100, 317, 117}, bar},
      {C::LblSet, R::PushButton, "設定", "", "Press", "Enter", {188, 164, 279, 186}, pressed},
      {C::LblCan, R::PushButton, "キャンセル", "", "Press", "Esc", {284, 164, 375, 186}, 0},
      {C::LblUrl, R::Link, kHomePage, kHomePage, "Jump", "", {16, 196, 116, 208}, kStateLinked}};
  const std::pair<PixelPoint, std::optional<std::size_t>> kPoints[] = {
      {{383, 11}, 0}, {{60, 60}, 1}, {{240, 80}, 3}, {{190, 165}, 5}, {{20, 200}, 7},
      {{200, 11}, {}}, {{200, 200}, {}}};  // the title bar, past the link's text
  // clang-format on
  rig.model.BarFocused(2);
  const AccessibleTree tree = DescribeDialog(rig.model, {0, 0});
  EXPECT_THAT(tree, ElementsAreArray(expected));
  for (const auto& [at, found] : kPoints) EXPECT_EQ(ElementAt(tree, at), found) << at.x;
  EXPECT_EQ(DescribeDialog(rig.model, {1000, 2000})[7].place,
            (PixelRect{1016, 2196, 1116, 2208}));  // the client area's origin on the screen
}

// A value set through the interface not committed as a thumb let go there (clamped, a change only
// for a new value), text that is no number taken, a control that is no bar given a value.
TEST(AccessibleTree, AValueSetOnABarCommitsAsItsThumbDoes) {
  const std::tuple<const char*, C, const char*, bool, Log> kCases[] = {
      {"Speed", C::Hs1, "7", true, {"thumb 1 7", "HS 1"}},
      {"Num, blanks", C::Hs2, " 250 ", true, {"thumb 2 250", "HS 2"}},
      {"past the end", C::Hs3, "99", true, {"thumb 3 60", "HS 3"}},
      {"the same", C::Hs1, "4", true, {"thumb 1 4"}},
      {"not a number", C::Hs1, "7x", false, {}},
      {"empty", C::Hs2, "", false, {}},
      {"not a bar", C::LblSet, "5", false, {}}};
  for (const auto& [name, control, text, taken, log] : kCases) {
    Rig rig;
    EXPECT_EQ(SetAccessibleValue(rig.model, control, text), taken) << name;
    EXPECT_THAT(rig.log, ElementsAreArray(log)) << name;
  }
}

// A default action that skips a handler of the press and release, runs twice for a button that
// closes the dialog, or runs on a control without one, before the window is up (0), once it is
// (1) closing (2), or during a press.
TEST(AccessibleTree, ADefaultActionRunsTheHandlersOfAPressAndRelease) {
  const std::tuple<const char*, int, std::vector<C>, Log> kCases[] = {
      {"Set, twice", 1, {C::LblSet, C::LblSet}, {"Set down", "Set up", "yes", "no"}},
      {"Cancel, then Set", 1, {C::LblCan, C::LblSet}, {"Can down", "Can up", "yes", "no"}},
      {"close box", 1, {C::ImgExit}, {"Exit down", "Exit up", "yes"}},
      {"link, twice", 1, {C::LblUrl, C::LblUrl}, {"Link", "yes", "Link", "yes"}},
      {"no action", 1, {C::Hs1, C::Display, C::Image1}, {"no", "no", "no"}},
      {"window not up", 0, {C::LblSet, C::LblUrl}, {"no", "no"}},
      {"closing", 2, {C::LblCan, C::LblUrl}, {"unload", "no", "no"}}};
  for (const auto& [name, life, controls, log] : kCases) {
    Rig rig;
    if (life > 0) rig.model.Opened();
    if (life > 1) rig.model.Unload();
    for (const C control : controls) rig.log.push_back(rig.model.Activate(control) ? "yes" : "no");
    EXPECT_THAT(rig.log, ElementsAreArray(log)) << name;
  }
  Rig rig;  // the title bar held down, and Set's way already taken by its key
  rig.model.Opened();
  rig.model.ButtonDown({200, 11}, kLeftButton);
  EXPECT_FALSE(rig.model.Activate(C::LblCan));
  rig.model.ButtonUp({200, 11});
  rig.model.KeyDown(0, Key::Enter, false);
  EXPECT_FALSE(rig.model.Activate(C::ImgExit));
  EXPECT_THAT(rig.log, ElementsAreArray(Log{"+", "Title 1", "-", "Title up", "Set up"}));
}

}  // namespace
}  // namespace vorn
