#include "settings_dialog/accessible_tree.h"

#include <algorithm>

#include "core/settings_value.h"
#include "settings_dialog/geometry.h"

namespace vorn {
namespace {

// The bars' names: their labels' words in the ordinary full-width katakana
// (the labels are half-width to fit their boxes).
constexpr const char* kBarNames[kBarCount] = {"スピード", "数", "クリア・インターバル"};
constexpr const char* kPreviewName = "プレビュー";
// The default actions as the system's own buttons and links name them.
constexpr const char* kPress = "Press";
constexpr const char* kJump = "Jump";

PixelRect OnScreen(const PixelRect& rect, PixelPoint origin) {
  return {rect.left + origin.x, rect.top + origin.y, rect.right + origin.x, rect.bottom + origin.y};
}

AccessibleElement Button(const DialogModel& model, DialogControl image, DialogControl caption,
                         const char* name, const char* shortcut) {
  return {caption,
          AccessibleRole::PushButton,
          name,
          "",
          kPress,
          shortcut,
          model.PictureBox(image),
          model.ShowsPressed(image) ? kStatePressed : 0};
}

}  // namespace

AccessibleTree DescribeDialog(const DialogModel& model, PixelPoint origin) {
  using C = DialogControl;
  AccessibleTree tree{Button(model, C::ImgExit, C::ImgExit, kExitTooltip, "Alt+F4"),
                      {C::Display, AccessibleRole::Animation, kPreviewName, "", "", "",
                       model.Rect(C::Display), kStateAnimated}};
  for (std::int16_t index = 1; index <= kBarCount; ++index) {
    const DialogControl bar = kScrollControls[BarSlot(index)];
    const std::uint32_t focus = index == model.FocusedBar() ? kStateFocused : 0;
    tree.push_back({bar, AccessibleRole::ScrollBar, kBarNames[BarSlot(index)],
                    std::to_string(model.Value(index)), "", "", model.Rect(bar),
                    kStateFocusable | focus});
  }
  tree.push_back(Button(model, C::ImgSet, C::LblSet, "設定", "Enter"));
  tree.push_back(Button(model, C::ImgCan, C::LblCan, "キャンセル", "Esc"));
  tree.push_back({C::LblUrl, AccessibleRole::Link, kHomePage, kHomePage, kJump, "",
                  model.TextBox(C::LblUrl), kStateLinked});
  for (AccessibleElement& element : tree) element.place = OnScreen(element.place, origin);
  return tree;
}

std::optional<std::size_t> ElementAt(const AccessibleTree& tree, PixelPoint point) {
  const auto found = std::ranges::find_if(
      tree, [point](const AccessibleElement& element) { return Contains(element.place, point); });
  return found == tree.end() ? std::nullopt
                             : std::optional(static_cast<std::size_t>(found - tree.begin()));
}

bool SetAccessibleValue(DialogModel& model, DialogControl control, std::string_view text) {
  const std::int16_t bar = BarOf(control);
  const std::optional<std::int32_t> number = StrictNumber(text);
  if (bar == 0 || !number) return false;
  model.Scroll(bar, ScrollCode::ThumbPosition, *number);
  return true;
}

}  // namespace vorn
