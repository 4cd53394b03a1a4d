// The settings dialog's window without the system in it: what its controls
// show, where they are at the screen's resolution, and how its input reaches
// the dialog's handlers (which control a press belongs to, the scroll bars'
// steps, the focus order of the bars, closing). The Win32 window turns its
// messages into calls of this model and paints what it says.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "settings_dialog/display_list.h"
#include "settings_dialog/layout.h"

namespace vorn {

// A scroll bar's request, with the numbers the system's scroll messages carry.
enum class ScrollCode : std::uint16_t {
  LineLeft = 0,
  LineRight = 1,
  PageLeft = 2,
  PageRight = 3,
  ThumbPosition = 4,  // the dragged thumb let go: commits
  ThumbTrack = 5,     // the thumb being dragged: moves only the thumb
  Left = 6,
  Right = 7,
};

// What the model asks of the window that shows it.
class DialogView {
 public:
  // The extent of a label's text in the labels' font; nullopt while the
  // window cannot measure it.
  virtual std::optional<ScreenSize> MeasureText(std::string_view text) = 0;
  // The size of an image in pixels; 0 x 0 for one that is missing.
  virtual ScreenSize ImageSize(PaintImage image) = 0;
  // An area of the client area to paint again.
  virtual void Repaint(const PixelRect& area) = 0;
  // Puts the thumb of HS(index) at `value` (the bar keeps it within its range).
  virtual void ShowThumb(std::int16_t index, std::int32_t value) = 0;
  // Takes (true) or gives back (false) the mouse.
  virtual void Capture(bool take) = 0;

 protected:
  ~DialogView() = default;
};

// The keys the dialog answers, by the system's virtual-key codes.
enum class Key : std::uint16_t {
  Tab = 0x09,
  Enter = 0x0D,
  Escape = 0x1B,
  PageUp = 0x21,
  PageDown = 0x22,
  End = 0x23,
  Home = 0x24,
  Left = 0x25,
  Up = 0x26,
  Right = 0x27,
  Down = 0x28,
};
inline constexpr std::int32_t kWheelNotch = 120;  // the wheel's delta for one notch

// An installed font family.
struct FontFamily {
  std::string name;
  bool shiftJis = false;     // it has the Shift-JIS character set
  bool drawsLabels = false;  // it has a glyph for every character the labels show
};
// The labels' face among the installed families: "ＭＳ Ｐゴシック" (or, on a
// Windows not set to Japanese, the same font as "MS PGothic"), "Yu Gothic UI",
// "Meiryo UI", "MS UI Gothic", the first of them present; else the first
// Shift-JIS family that draws the labels (not a vertical "@" one; a fallback
// font of the Japanese glyphs alone would show the digits as boxes); nullopt:
// the system's GUI font.
std::optional<std::string> LabelFontFace(const std::vector<FontFamily>& installed);

class DialogModel final : public DialogControls {
 public:
  // `dpi`: the screen's dots per inch, which turns the layout's twips into pixels.
  DialogModel(DialogEvents& events, DialogView& view, std::int32_t dpi);

  std::int32_t Dpi() const { return dpi_; }
  // The window moved to a screen of another resolution: every place follows.
  void SetDpi(std::int32_t dpi);
  PixelRect Rect(DialogControl control) const { return rects_[Slot(control)]; }
  // Where a label's text lies: its box, or the text's own extent.
  PixelRect TextBox(DialogControl label) const;
  // Where an image's picture lies: its box, or for the close box the
  // picture's own size (pixels at 96 dpi), scaled to the resolution.
  PixelRect PictureBox(DialogControl image) const;
  // The whole window's picture, bottom up: its backing image, the pictures
  // scaled to their places, Pic_a's black, the preview, Pic_b, the labels,
  // the focus mark. In High Contrast the same layout in the system's colours:
  // plain fills, frames and texts, no shading and no pictures but the preview.
  DisplayList Paint() const;
  void SetHighContrast(bool on);
  // HS(bar) took the keyboard focus (0: none of the bars has it).
  void BarFocused(std::int16_t bar);
  std::int16_t FocusedBar() const { return focusedBar_; }
  // The window became the active one, or stopped being it.
  void Activated(bool active);
  // Around the focused bar while the window is active; nothing otherwise.
  std::optional<PixelRect> FocusMark() const;
  // The preview shows the 96 dpi sheet's cell at (x, y): the same cell of the
  // sheet at the window's scale. It changes many times a second.
  void ShowCell(std::int32_t x, std::int32_t y) { previewCell_ = PixelPoint{x, y}; }
  // The preview's cell over Display; black before the first.
  PaintStep PreviewStep() const;
  // The control a press at `point` belongs to, the ones on top first; none
  // outside the ones that take presses.
  std::optional<DialogControl> ControlAt(PixelPoint point) const;

  // What the controls show; each change repaints what it touches.
  const std::string& Caption(DialogControl label) const { return captions_[Slot(label)]; }
  std::optional<DialogPicture> Shown(DialogControl image) const { return shown_[Slot(image)]; }
  // Whether a button or the close box shows its pressed face.
  bool ShowsPressed(DialogControl image) const {
    const std::optional<DialogPicture> face = Shown(image);
    return face == DialogPicture::ButtonPressed || face == DialogPicture::ClosePressed;
  }
  void SetLabelCaption(DialogControl label, std::string_view text) override;
  void SetImagePicture(DialogControl image, DialogPicture picture) override;
  void SetHandCursor(DialogControl control) override { hand_[Slot(control)] = true; }
  // Whether the pointer over HS(bar), or for no bar (0) at `point`, is the hand.
  bool HandCursorOver(std::int16_t bar, PixelPoint point) const;
  // HS(index)'s value; 0 for an index that names no bar.
  std::int16_t GetScrollValue(std::int16_t index) override { return Value(index); }
  void SetScrollValue(std::int16_t index, std::int16_t value) override;

  // Mouse input in client pixels. A press belongs to its control until a
  // button is released, wherever the pointer is then.
  void ButtonDown(PixelPoint at, std::int16_t button);
  void ButtonUp(PixelPoint at);
  void MouseMove(PixelPoint at);
  // The mouse was taken away mid-press (another window, a system dialog).
  void CaptureLost();
  // A key pressed on HS(bar), or on the window itself (bar 0): Esc takes
  // Cancel's way and Enter Set's; Tab (Shift+Tab: backwards) goes round the
  // bars; on a bar the arrows, Page Up/Down, Home and End step it as a click
  // does. The bar to take the focus (0: it stays); nullopt: not the dialog's key.
  std::optional<std::int16_t> KeyDown(std::int16_t bar, Key key, bool shift);
  // The wheel turned by `delta` with the pointer at `at`: over a bar, one small
  // step a notch, turned away from the user toward the bar's left end, as the
  // system's scroll bars go.
  void Wheel(PixelPoint at, std::int32_t delta);
  // A scroll bar's request; `thumb` is where its thumb is being or was dragged.
  void Scroll(std::int16_t index, ScrollCode code, std::int32_t thumb);

  // The window's life: events flow from Opened until Destroyed.
  void Opened() { ready_ = true; }
  void Destroyed();
  void Resized();
  void EnableTimer(bool enabled) { timerEnabled_ = enabled; }
  void Tick();
  // Alt+F4 or any other request of the system to close the window.
  void CloseRequested();
  // Runs Form_Unload once; false when the window is already being closed.
  bool Unload();

  // For a screen reader (settings_dialog/accessible_tree): HS(index)'s value,
  // 0 for an index that names no bar; and a control's default action, the
  // handlers of a left press and release on it without the mouse: the link
  // each time, Set, Cancel and the close box once as their keys. False for a
  // control without one, while a press is held or the dialog is on its way
  // out, and before the window is up.
  std::int16_t Value(std::int16_t index) const {
    return IsBar(index) ? values_[BarSlot(index)] : std::int16_t{0};
  }
  bool Activate(DialogControl control);

 private:
  void Commit(std::int16_t index, std::int32_t target);
  DisplayList SkinPicture() const;
  DisplayList PlainPicture() const;
  // Repaints where the focus mark is, if anywhere.
  void RepaintFocusMark();
  // HS(index) under the point; 0 for none.
  std::int16_t BarAt(PixelPoint point) const;

  DialogEvents& events_;
  DialogView& view_;
  std::int32_t dpi_;
  std::array<PixelRect, kDialogLayout.size()> rects_{};
  std::array<std::string, kDialogLayout.size()> captions_;
  std::array<std::optional<DialogPicture>, kDialogLayout.size()> shown_{};
  std::array<bool, kDialogLayout.size()> hand_{};
  std::array<std::int16_t, kBarCount> values_{};
  std::optional<DialogControl> pressed_;
  std::int16_t pressedButton_ = 0;
  bool ready_ = false;
  bool timerEnabled_ = false;
  bool inTimer_ = false;
  bool closing_ = false;
  bool leaving_ = false;    // Set's, Cancel's or the close box's way taken by a key or the system
  std::int32_t wheel_ = 0;  // the wheel's turn not yet a whole notch
  bool highContrast_ = false;
  std::int16_t focusedBar_ = 0;
  bool active_ = false;
  std::optional<PixelPoint> previewCell_;
};

}  // namespace vorn
