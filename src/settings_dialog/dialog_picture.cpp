// The settings dialog's picture as the model composes it: the skin, or in
// High Contrast the same layout in the system's colours; the focus mark.
#include <utility>

#include "settings_dialog/dialog_model.h"
#include "settings_dialog/geometry.h"

namespace vorn {
namespace {

constexpr std::int32_t kFocusMarkGap = 2;  // pixels between a bar and its mark
constexpr PaintColour kSkinFocusMark{kLinkTextColour};
constexpr const char* kCloseGlyph = "×";

PixelRect Inflated(const PixelRect& r, std::int32_t by) {
  return {r.left - by, r.top - by, r.right + by, r.bottom + by};
}

}  // namespace

DisplayList DialogModel::Paint() const {
  DisplayList list = highContrast_ ? PlainPicture() : SkinPicture();
  if (const auto mark = FocusMark()) {
    list.push_back(FrameStep(*mark, highContrast_ ? kSystemWindowText : kSkinFocusMark));
  }
  return list;
}

PaintStep DialogModel::PreviewStep() const {
  const PixelRect to = Rect(DialogControl::Display);
  if (!previewCell_) return FillStep(to, {});
  return {PaintStep::Kind::Copy,
          to,
          {},
          PaintImage::Sheet,
          SheetCell(previewCell_->x, previewCell_->y, dpi_),
          {}};
}

DisplayList DialogModel::SkinPicture() const {
  using C = DialogControl;
  const auto shown = [this](C image) { return ImageOf(Shown(image).value_or(DialogPicture{})); };
  const auto whole = [this](PaintImage image, const PixelRect& to) {
    return CopyStep(image, view_.ImageSize(image), to);
  };
  const ScreenSize backing = view_.ImageSize(PaintImage::Backing);
  DisplayList list{whole(PaintImage::Backing, {0, 0, backing.width, backing.height}),
                   whole(PaintImage::TitleBar, Rect(C::Image1)),
                   whole(shown(C::ImgExit), PictureBox(C::ImgExit))};
  for (const C button : {C::ImgSet, C::ImgCan})
    AddFramed(list, shown(button), view_.ImageSize(shown(button)), Rect(button));
  list.push_back(FillStep(Rect(C::PicA), {}));
  list.push_back(PreviewStep());
  list.push_back(whole(PaintImage::PicB, Rect(C::PicB)));
  for (const ControlLayout& label : kDialogLayout) {
    if (label.caption == nullptr) continue;  // not a label
    const PaintColour colour = label.id == C::Label9   ? PaintColour{kTitleTextColour}
                               : label.id == C::LblUrl ? PaintColour{kLinkTextColour}
                                                       : kSystemWindowText;
    list.push_back(TextStep(TextBox(label.id), colour, Caption(label.id)));
  }
  return list;
}

// A pressed button (or close box) shows in the highlight's colours.
DisplayList DialogModel::PlainPicture() const {
  using C = DialogControl;
  const ScreenSize size = view_.ImageSize(PaintImage::Backing);
  const PixelRect close = PictureBox(C::ImgExit);
  const ScreenSize glyph = view_.MeasureText(kCloseGlyph).value_or(ScreenSize{});
  const PixelRect glyphBox = vorn::TextBox(
      ControlKind::LabelCentred,
      {close.left, close.top + (Height(close) - glyph.height) / 2, close.right, close.bottom},
      glyph);
  DisplayList list{
      FillStep({0, 0, size.width, size.height}, kSystemWindow),
      FillStep(Rect(C::Image1), kSystemHighlight),
      FillStep(close, ShowsPressed(C::ImgExit) ? kSystemHighlightText : kSystemHighlight),
      FrameStep(close, kSystemHighlightText),
      TextStep(glyphBox, ShowsPressed(C::ImgExit) ? kSystemHighlight : kSystemHighlightText,
               kCloseGlyph)};
  for (const C button : {C::ImgSet, C::ImgCan}) {
    list.push_back(
        FillStep(Rect(button), ShowsPressed(button) ? kSystemHighlight : kSystemButtonFace));
    list.push_back(FrameStep(Rect(button), kSystemWindowText));
  }
  list.push_back(FillStep(Rect(C::PicA), {}));
  list.push_back(PreviewStep());
  list.push_back(FrameStep(Rect(C::PicB), kSystemWindowText));
  for (const ControlLayout& label : kDialogLayout) {
    if (label.caption == nullptr) continue;
    const C under = label.id == C::LblSet ? C::ImgSet : C::ImgCan;
    const PaintColour colour = label.id == C::Label9                     ? kSystemHighlightText
                               : label.id == C::LblUrl                   ? kSystemHotLight
                               : label.kind != ControlKind::LabelCentred ? kSystemWindowText
                               : ShowsPressed(under)                     ? kSystemHighlightText
                                                                         : kSystemButtonText;
    list.push_back(TextStep(TextBox(label.id), colour, Caption(label.id)));
  }
  return list;
}

void DialogModel::SetHighContrast(bool on) {
  if (std::exchange(highContrast_, on) == on) return;
  const ScreenSize size = view_.ImageSize(PaintImage::Backing);
  view_.Repaint({0, 0, size.width, size.height});
}

std::optional<PixelRect> DialogModel::FocusMark() const {
  if (!active_ || !IsBar(focusedBar_)) return std::nullopt;
  return Inflated(Rect(kScrollControls[BarSlot(focusedBar_)]), kFocusMarkGap + 1);
}

void DialogModel::RepaintFocusMark() {
  if (const auto mark = FocusMark()) view_.Repaint(*mark);
}

void DialogModel::BarFocused(std::int16_t bar) {
  RepaintFocusMark();  // where it was
  focusedBar_ = bar;
  RepaintFocusMark();
}

void DialogModel::Activated(bool active) {
  RepaintFocusMark();
  active_ = active;
  RepaintFocusMark();
}

}  // namespace vorn
