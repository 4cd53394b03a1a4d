// What the settings dialog tells a screen reader. The dialog paints its
// buttons, link and preview itself, so the system knows nothing of them: this
// describes each control as the system's accessibility interface asks for it
// (name, role, value, place, state, default action), made from the dialog's
// model. The Win32 window only serves it and hands the actions back here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings_dialog/dialog_model.h"

namespace vorn {

// Roles by the system's numbers (ROLE_SYSTEM_*).
enum class AccessibleRole : std::uint32_t {
  ScrollBar = 0x03,
  Client = 0x0A,  // the dialog's client area, which holds the others
  Link = 0x1E,
  PushButton = 0x2B,
  Animation = 0x36,
};

// States, bits by the system's numbers (STATE_SYSTEM_*).
inline constexpr std::uint32_t kStateFocused = 0x4;
inline constexpr std::uint32_t kStatePressed = 0x8;
inline constexpr std::uint32_t kStateAnimated = 0x4000;
inline constexpr std::uint32_t kStateFocusable = 0x100000;
inline constexpr std::uint32_t kStateLinked = 0x400000;

// Texts in UTF-8; the fixed ones are the program's own constants.
struct AccessibleElement {
  DialogControl control{};  // the control a press on it lands on
  AccessibleRole role{};
  std::string_view name;
  std::string value;               // empty: it has none
  std::string_view defaultAction;  // empty: it has none
  std::string_view shortcut;       // the key that does what the default action does
  PixelRect place;                 // on the screen
  std::uint32_t state = 0;
  bool operator==(const AccessibleElement&) const = default;
};
using AccessibleTree = std::vector<AccessibleElement>;

// The dialog's elements in reading order: the close box, the preview, HS(1) to
// HS(3), Set, Cancel, the link. `origin`: where the client area's top left is
// on the screen. The bar that has the keys is marked focused.
AccessibleTree DescribeDialog(const DialogModel& model, PixelPoint origin);

// The element under `point` (screen pixels), by its place in the tree.
std::optional<std::size_t> ElementAt(const AccessibleTree& tree, PixelPoint point);

// A screen reader sets a bar's value: a whole number (blanks around it) is
// committed as a thumb let go there is, at the nearest value the bar holds.
// False for any other text or a control that is not a bar.
bool SetAccessibleValue(DialogModel& model, DialogControl control, std::string_view text);

}  // namespace vorn
