#include "settings_dialog/dialog_model.h"

#include <algorithm>
#include <utility>

#include "settings_dialog/geometry.h"

namespace vorn {
namespace {

// The bar that Tab (or Shift+Tab: `backwards`) moves the focus to from
// HS(index): HS(1), HS(2), HS(3) and round again.
std::int16_t NextBar(std::int16_t index, bool backwards) {
  const std::int16_t step = backwards ? kBarCount - 1 : 1;
  return static_cast<std::int16_t>((index - 1 + step) % kBarCount + 1);
}

// MS PGothic goes by its Japanese name on a Japanese Windows, by its Latin one elsewhere.
constexpr const char* kWantedFaces[] = {"ＭＳ Ｐゴシック", "MS PGothic", "Yu Gothic UI",
                                        "Meiryo UI", "MS UI Gothic"};

}  // namespace

std::optional<std::string> LabelFontFace(const std::vector<FontFamily>& installed) {
  for (const char* wanted : kWantedFaces) {
    const auto found = std::ranges::find(installed, std::string_view(wanted), &FontFamily::name);
    if (found != installed.end()) return found->name;
  }
  const auto any = std::ranges::find_if(installed, [](const FontFamily& family) {
    return family.shiftJis && family.drawsLabels && !family.name.starts_with('@');
  });
  return any != installed.end() ? std::optional(any->name) : std::nullopt;
}

DialogModel::DialogModel(DialogEvents& events, DialogView& view, std::int32_t dpi)
    : events_(events), view_(view), dpi_(dpi) {
  SetDpi(dpi);
  for (const ControlLayout& control : kDialogLayout) {
    if (control.caption != nullptr) captions_[Slot(control.id)] = control.caption;
  }
  shown_[Slot(DialogControl::ImgExit)] = DialogPicture::CloseReleased;
  shown_[Slot(DialogControl::ImgSet)] = DialogPicture::ButtonReleased;
  shown_[Slot(DialogControl::ImgCan)] = DialogPicture::ButtonReleased;
  hand_[Slot(DialogControl::ImgExit)] = true;
  for (std::int16_t index = 1; index <= kBarCount; ++index) {
    values_[BarSlot(index)] = kScrollBars[BarSlot(index)].initial;
  }
}

void DialogModel::SetDpi(std::int32_t dpi) {
  dpi_ = dpi;
  for (const ControlLayout& control : kDialogLayout) {
    rects_[Slot(control.id)] = ControlRect(control.id, dpi);
  }
}

PixelRect DialogModel::TextBox(DialogControl label) const {
  const PixelRect box = Rect(label);
  const std::string& text = Caption(label);
  const std::optional<ScreenSize> size = text.empty() ? std::nullopt : view_.MeasureText(text);
  return size ? vorn::TextBox(LayoutOf(label).kind, box, *size) : box;
}

PixelRect DialogModel::PictureBox(DialogControl image) const {
  const PixelRect box = Rect(image);
  const std::optional<DialogPicture> shown = Shown(image);
  if (image != DialogControl::ImgExit || !shown) return box;
  const ScreenSize size = view_.ImageSize(ImageOf(*shown));
  const auto scaled = [this](std::int32_t pixels) {
    return TwipsToPixels(pixels * kTwipsPerPixel, dpi_);  // a pixel at 96 dpi is 15 twips
  };
  return {box.left, box.top, box.left + scaled(size.width), box.top + scaled(size.height)};
}

// A press on a button's picture counts as one on its caption; one on the
// title text drags the window like the rest of the title bar.
std::optional<DialogControl> DialogModel::ControlAt(PixelPoint point) const {
  constexpr std::pair<DialogControl, DialogControl> kAreas[] = {
      {DialogControl::ImgExit, DialogControl::ImgExit},
      {DialogControl::LblSet, DialogControl::LblSet},
      {DialogControl::ImgSet, DialogControl::LblSet},
      {DialogControl::LblCan, DialogControl::LblCan},
      {DialogControl::ImgCan, DialogControl::LblCan},
      {DialogControl::Image1, DialogControl::Image1},
  };
  for (const auto& [area, target] : kAreas) {
    if (Contains(PictureBox(area), point)) return target;
  }
  if (Contains(TextBox(DialogControl::LblUrl), point)) return DialogControl::LblUrl;
  return std::nullopt;
}

void DialogModel::SetLabelCaption(DialogControl label, std::string_view text) {
  const PixelRect before = Union(Rect(label), TextBox(label));
  captions_[Slot(label)] = text;
  view_.Repaint(Union(before, TextBox(label)));
}

void DialogModel::SetImagePicture(DialogControl image, DialogPicture picture) {
  const PixelRect before = PictureBox(image);
  shown_[Slot(image)] = picture;
  view_.Repaint(Union(before, PictureBox(image)));
}

bool DialogModel::HandCursorOver(std::int16_t bar, PixelPoint point) const {
  const std::optional<DialogControl> control =
      IsBar(bar) ? kScrollControls[BarSlot(bar)] : ControlAt(point);
  return control && hand_[Slot(*control)];
}

void DialogModel::SetScrollValue(std::int16_t index, std::int16_t value) {
  if (!IsBar(index)) return;
  values_[BarSlot(index)] = value;
  view_.ShowThumb(index, value);
}

void DialogModel::ButtonDown(PixelPoint at, std::int16_t button) {
  if (pressed_) return;
  const std::optional<DialogControl> target = ControlAt(at);
  if (!target) return;
  pressed_ = target;
  pressedButton_ = button;
  view_.Capture(true);
  switch (*target) {
    case DialogControl::ImgExit: events_.ImgExit_MouseDown(); break;
    case DialogControl::LblSet: events_.lbl_Set_MouseDown(); break;
    case DialogControl::LblCan: events_.lbl_Can_MouseDown(); break;
    case DialogControl::Image1: events_.Image1_MouseDown(button); break;
    default: break;  // the link acts on its release
  }
}

// The link clicks only on a left press released over it; the others act on
// any release.
void DialogModel::ButtonUp(PixelPoint at) {
  if (!pressed_) return;
  const DialogControl control = *pressed_;
  pressed_.reset();
  view_.Capture(false);
  // Last: the handler may close the window.
  switch (control) {
    case DialogControl::ImgExit: events_.ImgExit_MouseUp(); break;
    case DialogControl::LblSet: events_.lbl_Set_MouseUp(); break;
    case DialogControl::LblCan: events_.lbl_Can_MouseUp(); break;
    case DialogControl::Image1: events_.Image1_MouseUp(); break;
    case DialogControl::LblUrl:
      if (pressedButton_ == kLeftButton && ControlAt(at) == control) events_.lbl_URL_Click();
      break;
    default: break;
  }
}

// The title bar hears the pointer over it, and anywhere while it is pressed.
void DialogModel::MouseMove(PixelPoint at) {
  const bool overTitle = ControlAt(at) == DialogControl::Image1;
  if (pressed_ == DialogControl::Image1 || (!pressed_ && overTitle)) events_.Image1_MouseMove();
}

// A drag ends there; a button pressed shows its released face again and does
// nothing more.
void DialogModel::CaptureLost() {
  if (!pressed_) return;
  using enum DialogControl;
  const DialogControl control = *std::exchange(pressed_, std::nullopt);
  if (control == Image1) events_.Image1_MouseUp();
  if (control == LblSet) SetImagePicture(ImgSet, DialogPicture::ButtonReleased);
  if (control == LblCan) SetImagePicture(ImgCan, DialogPicture::ButtonReleased);
  if (control == ImgExit) SetImagePicture(ImgExit, DialogPicture::CloseReleased);
}

// Enter and Esc act once: a key repeated while the dialog closes is not
// taken for a second Set.
std::optional<std::int16_t> DialogModel::KeyDown(std::int16_t bar, Key key, bool shift) {
  constexpr std::pair<Key, ScrollCode> kSteps[] = {
      {Key::Left, ScrollCode::LineLeft},   {Key::Up, ScrollCode::LineLeft},
      {Key::Right, ScrollCode::LineRight}, {Key::Down, ScrollCode::LineRight},
      {Key::PageUp, ScrollCode::PageLeft}, {Key::PageDown, ScrollCode::PageRight},
      {Key::Home, ScrollCode::Left},       {Key::End, ScrollCode::Right}};
  if (key == Key::Escape || key == Key::Enter) {
    if (!std::exchange(leaving_, true)) {
      key == Key::Escape ? events_.lbl_Can_MouseUp() : events_.lbl_Set_MouseUp();
    }
    return 0;
  }
  if (key == Key::Tab) return IsBar(bar) ? NextBar(bar, shift) : std::int16_t{1};
  for (const auto& [stepKey, code] : kSteps) {
    if (stepKey == key && IsBar(bar)) return Scroll(bar, code, 0), 0;
  }
  return std::nullopt;
}

void DialogModel::Wheel(PixelPoint at, std::int32_t delta) {
  const std::int16_t bar = BarAt(at);
  wheel_ = bar != 0 ? wheel_ + delta : 0;
  for (; wheel_ >= kWheelNotch; wheel_ -= kWheelNotch) Scroll(bar, ScrollCode::LineLeft, 0);
  for (; wheel_ <= -kWheelNotch; wheel_ += kWheelNotch) Scroll(bar, ScrollCode::LineRight, 0);
}

std::int16_t DialogModel::BarAt(PixelPoint point) const {
  for (std::int16_t index = 1; index <= kBarCount; ++index) {
    if (Contains(Rect(kScrollControls[BarSlot(index)]), point)) return index;
  }
  return 0;
}

// The bar never moves by itself: each committed step comes here, and the
// value changes (and HS_Change runs) only when the step lands elsewhere.
void DialogModel::Scroll(std::int16_t index, ScrollCode code, std::int32_t thumb) {
  if (!IsBar(index)) return;
  const ScrollBarRange& range = kScrollBars[BarSlot(index)];
  const std::int32_t value = GetScrollValue(index);
  switch (code) {
    case ScrollCode::LineLeft: return Commit(index, value - range.smallChange);
    case ScrollCode::LineRight: return Commit(index, value + range.smallChange);
    case ScrollCode::PageLeft: return Commit(index, value - range.largeChange);
    case ScrollCode::PageRight: return Commit(index, value + range.largeChange);
    case ScrollCode::Left: return Commit(index, range.min);
    case ScrollCode::Right: return Commit(index, range.max);
    case ScrollCode::ThumbPosition: return Commit(index, thumb);
    case ScrollCode::ThumbTrack: return view_.ShowThumb(index, thumb);
  }
}

void DialogModel::Commit(std::int16_t index, std::int32_t target) {
  const std::int16_t value = kScrollBars[BarSlot(index)].Clamp(target);
  view_.ShowThumb(index, value);
  if (value == values_[BarSlot(index)]) return;
  values_[BarSlot(index)] = value;
  events_.HS_Change(index);
}

void DialogModel::Destroyed() {
  ready_ = false;
  timerEnabled_ = false;
}

void DialogModel::Resized() {
  if (ready_) events_.Form_Resize();
}

// The preview's handler runs for as long as the dialog is open and pumps
// messages itself; a tick that arrives meanwhile is not run inside it.
void DialogModel::Tick() {
  if (!timerEnabled_ || inTimer_ || !ready_) return;
  inTimer_ = true;
  events_.Timer1_Timer();
  inTimer_ = false;
}

// Does what the close box does, as a user expects of a window: closes without
// saving. It goes through the close box's own handler, which also ends the
// preview that runs while the dialog is open; destroying the window alone
// would leave that running unseen.
void DialogModel::CloseRequested() {
  if (ready_ && !closing_ && !std::exchange(leaving_, true)) events_.ImgExit_MouseUp();
}

bool DialogModel::Unload() {
  if (closing_) return false;
  closing_ = true;
  events_.Form_Unload();
  return true;
}

bool DialogModel::Activate(DialogControl control) {
  using enum DialogControl;
  const bool leaves = control == LblSet || control == LblCan || control == ImgExit;
  if (!ready_ || closing_ || leaving_ || pressed_ || !(leaves || control == LblUrl)) return false;
  leaving_ = leaves;
  if (control == LblUrl) events_.lbl_URL_Click();
  if (control == LblSet) events_.lbl_Set_MouseDown(), events_.lbl_Set_MouseUp();
  if (control == LblCan) events_.lbl_Can_MouseDown(), events_.lbl_Can_MouseUp();
  if (control == ImgExit) events_.ImgExit_MouseDown(), events_.ImgExit_MouseUp();
  return true;
}

}  // namespace vorn
