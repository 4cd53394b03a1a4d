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

#include "platform/platform.h"
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
  virtual ScreenSize PictureSize(DialogPicture picture) = 0;
  // An area of the client area to paint again.
  virtual void Repaint(const PixelRect& area) = 0;
  // Puts the thumb of HS(index) at `value` (the bar keeps it within its range).
  virtual void ShowThumb(std::int16_t index, std::int32_t value) = 0;
  // Takes (true) or gives back (false) the mouse.
  virtual void Capture(bool take) = 0;

 protected:
  ~DialogView() = default;
};

// The bar that Tab (or Shift+Tab: `backwards`) moves the focus to from
// HS(index): HS(1), HS(2), HS(3) and round again.
std::int16_t NextBar(std::int16_t index, bool backwards);

class DialogModel final : public DialogControls {
 public:
  // `dpi`: the screen's dots per inch, which turns the layout's twips into pixels.
  DialogModel(DialogEvents& events, DialogView& view, std::int32_t dpi);

  std::int32_t Dpi() const { return dpi_; }
  PixelRect Rect(DialogControl control) const { return rects_[Slot(control)]; }
  // Where a label's text lies: its box, or the text's own extent.
  PixelRect TextBox(DialogControl label) const;
  // Where an image's picture lies: its box, or for the close box the
  // picture's own size.
  PixelRect PictureBox(DialogControl image) const;
  // The control a press at `point` belongs to, the ones on top first; none
  // outside the ones that take presses.
  std::optional<DialogControl> ControlAt(PixelPoint point) const;

  // What the controls show; each change repaints what it touches.
  const std::string& Caption(DialogControl label) const { return captions_[Slot(label)]; }
  std::optional<DialogPicture> Shown(DialogControl image) const { return shown_[Slot(image)]; }
  void SetLabelCaption(DialogControl label, std::string_view text) override;
  void SetImagePicture(DialogControl image, DialogPicture picture) override;
  void SetHandCursor(DialogControl control) override { hand_[Slot(control)] = true; }
  // Whether the pointer over HS(bar), or for no bar (0) at `point`, is the hand.
  bool HandCursorOver(std::int16_t bar, PixelPoint point) const;
  // HS(index)'s value; 0 for an index that names no bar.
  std::int16_t GetScrollValue(std::int16_t index) override;
  void SetScrollValue(std::int16_t index, std::int16_t value) override;

  // Mouse input in client pixels. A press belongs to its control until a
  // button is released, wherever the pointer is then.
  void ButtonDown(PixelPoint at, std::int16_t button);
  void ButtonUp(PixelPoint at);
  void MouseMove(PixelPoint at);
  // The mouse was taken away mid-press (another window, a system dialog).
  void CaptureLost();
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

 private:
  void Commit(std::int16_t index, std::int32_t target);

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
};

}  // namespace vorn
