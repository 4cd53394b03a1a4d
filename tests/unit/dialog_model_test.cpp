// The settings dialog's window model: its geometry, where input goes, the labels' font, and the
// picture it asks the window to paint.
#include "settings_dialog/dialog_model.h"

#include <gmock/gmock.h>

#include <functional>

#include "settings_dialog/geometry.h"

namespace vorn {
namespace {

using ::testing::ElementsAreArray;
using C = DialogControl;
using Log = std::vector<std::string>;
using P = DialogPicture;

// Logs the handlers the model runs and what it asks of its window ("+" the mouse taken,
// "-" given back). Every text is 100 x 12 pixels; the close box 15 x 15, pressed 16 x 15.
struct Rig final : DialogEvents, DialogView {
  Log log;
  DialogModel model{*this, *this, 96};
  void Form_Resize() override { log.push_back("resize"); }
  void Form_Unload() override { log.push_back("unload"); }
  void Timer1_Timer() override { log.push_back("tick"), model.Tick(); }  // no tick within a tick
  void HS_Change(std::int16_t bar) override { log.push_back("HS " + std::to_string(bar)); }
  void lbl_Set_MouseDown() override { log.push_back("Set down"); }
  void lbl_Set_MouseUp() override { log.push_back("Set up"); }
  void lbl_Can_MouseDown() override { log.push_back("Can down"); }
  void lbl_Can_MouseUp() override { log.push_back("Can up"); }
  void ImgExit_MouseDown() override { log.push_back("Exit down"); }
  void ImgExit_MouseUp() override { log.push_back("Exit up"); }
  void Image1_MouseDown(std::int16_t b) override { log.push_back("Title " + std::to_string(b)); }
  void Image1_MouseMove() override { log.push_back("Title move"); }
  void Image1_MouseUp() override { log.push_back("Title up"); }
  void lbl_URL_Click() override { log.push_back("Link"); }
  std::optional<ScreenSize> MeasureText(std::string_view) override { return ScreenSize{100, 12}; }
  ScreenSize ImageSize(PaintImage image) override {
    return {image == PaintImage::ClosePressed ? 16 : 15, 15};
  }
  void Repaint(const PixelRect& area) override { repaints.push_back(area); }
  std::vector<PixelRect> repaints;
  void ShowThumb(std::int16_t bar, std::int32_t at) override {
    log.push_back("thumb " + std::to_string(bar) + " " + std::to_string(at));
  }
  void Capture(bool take) override { log.push_back(take ? "+" : "-"); }
};

// Twips converted at a fixed 15 a pixel or rounded otherwise; a label's text at the wrong edge.
TEST(DialogGeometry, TwipsBecomePixelsAtTheScreensResolutionLabelsAlignAndCellsScale) {
  // clang-format off
  const std::tuple<const char*, double, std::int32_t, std::int32_t> kTwips[] = {
      {"width, 96", 5940, 96, 396}, {"7, 96", 7, 96, 0}, {"8, 96", 8, 96, 1},
      {"half, 96", 7.5, 96, 1}, {"width, 144", 5940, 144, 594}, {"half, 144", 5, 144, 1}};
  const std::tuple<const char*, ControlKind, PixelRect, std::int32_t, std::int32_t> kLabels[] = {
      {"left", ControlKind::Label, {16, 196, 230, 209}, 100, 16},
      {"right", ControlKind::LabelRight, {320, 56, 345, 69}, 14, 331},
      {"right, wider", ControlKind::LabelRight, {320, 56, 345, 69}, 40, 305},
      {"centred", ControlKind::LabelCentred, {188, 168, 279, 185}, 28, 219}};
  // clang-format on
  for (const auto& [name, twips, dpi, px] : kTwips)
    EXPECT_EQ(TwipsToPixels(twips, dpi), px) << name;
  EXPECT_EQ(PixelsToTwips(1024, 96), 15360.0f);
  EXPECT_EQ(PixelsToTwips(100, 144), 1000.0f);
  EXPECT_EQ(Placed({314, 269, 710, 499}, {.top = 930}, 96), (PixelRect{314, 62, 710, 292}));
  EXPECT_EQ(ControlRect(C::Display, 96), (PixelRect{52, 52, 84, 116}));  // within Pic_a
  for (const auto& [name, kind, box, width, left] : kLabels) {
    const PixelRect expected{left, box.top, left + width, box.top + 12};
    EXPECT_EQ(TextBox(kind, box, {width, 12}), expected) << name;
  }
  // The preview showing another cell than the sheet's at 100 %, or one at another scale.
  EXPECT_EQ(SheetCell(0, 0, 96), (PixelRect{0, 0, 32, 64}));
  EXPECT_EQ(SheetCell(224, 192, 96), (PixelRect{224, 192, 256, 256}));
  EXPECT_EQ(SheetCell(32, 64, 144), (PixelRect{48, 96, 96, 192}));
  EXPECT_EQ(SheetCell(224, 192, 192), (PixelRect{448, 384, 512, 512}));
}

// A press near an edge landing on the wrong control or outside every control (96 and 144 dpi).
TEST(DialogModelInput, HitPointsFindTheirControls) {
  Rig rig;
  // clang-format off
  const std::tuple<const char*, PixelPoint, std::optional<C>> kPoints[] = {
      {"title text", {20, 8}, C::Image1}, {"close box", {383, 11}, C::ImgExit},
      {"past the close box", {391, 10}, C::Image1}, {"Set picture above it", {190, 165}, C::LblSet},
      {"Cancel picture below it", {300, 185}, C::LblCan}, {"link past its text", {200, 200}, {}}};
  // clang-format on
  for (const auto& [name, at, control] : kPoints)
    EXPECT_EQ(rig.model.ControlAt(at), control) << name;
  rig.model.SetImagePicture(C::ImgExit, P::ClosePressed);  // one pixel wider
  EXPECT_EQ(rig.model.ControlAt({391, 10}), C::ImgExit);
  rig.model.SetDpi(144);  // 150 %: all half as large again, the close box's pictures too
  EXPECT_EQ(rig.model.ControlAt({587, 28}), C::ImgExit);  // 24 x 23 pressed
  rig.model.SetImagePicture(C::ImgExit, P::CloseReleased);
  EXPECT_EQ(rig.model.ControlAt({587, 28}), C::Image1);  // 23 x 23 released
}

// A press, release, key or wheel routed wrongly; a lost press acting or keeping its pressed face;
// a second Set from a repeated key; Alt+F4, ticks or resizes reaching a dialog not up or closing.
TEST(DialogModelInput, EventsReachTheirHandlers) {
  using Step = std::function<void(Rig&)>;
  const auto press = [](PixelPoint at, std::int16_t button = kLeftButton) -> Step {
    return [=](Rig& r) { r.model.ButtonDown(at, button); };
  };
  const auto up = [](PixelPoint at) -> Step { return [=](Rig& r) { r.model.ButtonUp(at); }; };
  const auto move = [](PixelPoint at) -> Step { return [=](Rig& r) { r.model.MouseMove(at); }; };
  const auto key = [](std::int16_t bar, Key k, bool shift = false) -> Step {
    return [=](Rig& r) {
      const auto focus = r.model.KeyDown(bar, k, shift);
      r.log.push_back(focus ? "focus " + std::to_string(*focus) : "not ours");
    };
  };
  const auto wheel = [](PixelPoint at, int delta) -> Step {
    return [=](Rig& r) { r.model.Wheel(at, delta); };
  };
  const auto call = [](auto member) -> Step { return [=](Rig& r) { (r.model.*member)(); }; };
  const Step lost = call(&DialogModel::CaptureLost), open = call(&DialogModel::Opened),
             tick = call(&DialogModel::Tick), resize = call(&DialogModel::Resized),
             close = call(&DialogModel::CloseRequested), unload = call(&DialogModel::Unload),
             destroy = call(&DialogModel::Destroyed),
             timerOff = [](Rig&r) { r.model.EnableTimer(false); },
             pressed = [](Rig&r) { r.model.SetImagePicture(C::ImgSet, P::ButtonPressed); },
             face = [](Rig&r) {
               r.log.push_back(r.model.Shown(C::ImgSet) == P::ButtonPressed ? "Img_On" : "Img_Off");
             };
  const PixelPoint set{233, 176}, cancel{329, 176}, title{200, 11}, link{20, 200}, off{60, 60},
      hs2{240, 80};
  const std::int16_t right = kRightButton;
  // clang-format off
  const std::tuple<const char*, std::vector<Step>, Log> kCases[] = {
      {"Set let go off it", {press(set), up(off)}, {"+", "Set down", "-", "Set up"}},
      {"Set, right button", {press(set, right), up(set)}, {"+", "Set down", "-", "Set up"}},
      {"Cancel let go over Set", {press(cancel), up(set)}, {"+", "Can down", "-", "Can up"}},
      {"second press", {press(set), press(cancel, right), up(off)},
       {"+", "Set down", "-", "Set up"}},
      {"title, right button", {press(title, right), up(title)}, {"+", "Title 2", "-", "Title up"}},
      {"drag, mouse lost", {press(title), move(off), lost, up(title)},
       {"+", "Title 1", "Title move", "Title up"}},
      {"Set, mouse lost", {press(set), pressed, lost, up(set), face}, {"+", "Set down", "Img_Off"}},
      {"link clicked", {press(link), up(link)}, {"+", "-", "Link"}},
      {"link let go off it", {press(link), up(off)}, {"+", "-"}},
      {"link, right button", {press(link, right), up(link)}, {"+", "-"}},
      {"over the title bar", {move(title), move(off)}, {"Title move"}},
      {"press on no control", {press(off), up(off)}, {}},
      {"Esc", {key(2, Key::Escape)}, {"Can up", "focus 0"}},
      {"Enter on the window, repeated", {key(0, Key::Enter), key(0, Key::Enter), close},
       {"Set up", "focus 0", "focus 0"}},
      {"Tab round", {key(3, Key::Tab), key(1, Key::Tab, true), key(0, Key::Tab)},
       {"focus 1", "focus 3", "focus 1"}},
      {"step keys", {key(1, Key::Right), key(2, Key::PageDown)},
       {"thumb 1 5", "HS 1", "focus 0", "thumb 2 110", "HS 2", "focus 0"}},
      {"keys not the dialog's", {key(0, Key::Left), key(1, Key{'A'})}, {"not ours", "not ours"}},
      {"wheel over HS(2)", {wheel(hs2, -240), wheel(hs2, 60), wheel(hs2, 60), wheel(off, -120)},
       {"thumb 2 101", "HS 2", "thumb 2 102", "HS 2", "thumb 2 101", "HS 2"}},
      {"before the window is up", {tick, resize, close}, {}},
      {"window up", {open, tick, resize, close, close}, {"tick", "resize", "Exit up"}},
      {"closing", {open, unload, close, unload}, {"unload"}},
      {"timer off", {open, timerOff, tick}, {}},
      {"destroyed", {open, destroy, tick, resize, close}, {}}};
  // clang-format on
  for (const auto& [name, steps, log] : kCases) {
    Rig rig;
    rig.model.EnableTimer(true);
    for (const Step& step : steps) step(rig);
    EXPECT_THAT(rig.log, ElementsAreArray(log)) << name;
  }
}

// The labels' font: a wanted face missing or out of turn, a vertical family or one with boxes
// for the digits taken, no fallback.
TEST(LabelFont, TheFirstWantedFaceInstalledThenAnyShiftJisFamilyThenTheSystemsOwn) {
  const FontFamily ms{"ＭＳ Ｐゴシック", true}, yu{"Yu Gothic UI", true}, meiryo{"Meiryo UI", true},
      ui{"MS UI Gothic", true}, ipa{"IPAPGothic", true, true}, vertical{"@IPAPGothic", true, true},
      glyphsMissing{"Droid Sans Fallback", true}, tahoma{"Tahoma", false, true};
  // clang-format off
  const std::tuple<const char*, std::vector<FontFamily>, std::optional<std::string>> kCases[] = {
      {"all", {tahoma, ipa, ui, meiryo, ms}, ms.name}, {"no MS", {ipa, ui, meiryo, yu}, yu.name},
      {"MS by its Latin name", {ipa, yu, {"MS PGothic", true}}, "MS PGothic"},
      {"Meiryo UI", {ipa, ui, meiryo}, meiryo.name}, {"MS UI Gothic", {ipa, ui}, ui.name},
      {"any Shift-JIS", {tahoma, vertical, glyphsMissing, ipa}, ipa.name}, {"none", {tahoma}, {}}};
  // clang-format on
  for (const auto& [name, installed, face] : kCases)
    EXPECT_EQ(LabelFontFace(installed), face) << name;
}

// Scroll steps wrong in size or past the ends, a change without a new value.
TEST(DialogModelInput, ScrollStepsCommitWithinTheRange) {
  using S = ScrollCode;
  // The bar, its value, the request, where the thumb is dragged, where it shows, the value then.
  // clang-format off
  const std::tuple<const char*, std::int16_t, std::int16_t, S, int, int, std::int16_t> kSteps[] = {
      {"arrow right", 1, 5, S::LineRight, 0, 6, 6}, {"arrow left at 1", 1, 1, S::LineLeft, 0, 1, 1},
      {"arrow right at 20", 1, 20, S::LineRight, 0, 20, 20},
      {"page of Num", 2, 200, S::PageRight, 0, 210, 210},
      {"page past 400", 2, 395, S::PageRight, 0, 400, 400},
      {"page past 100", 2, 105, S::PageLeft, 0, 100, 100}, {"Home", 3, 30, S::Left, 0, 20, 20},
      {"End", 3, 30, S::Right, 0, 60, 60},
      {"thumb let go", 2, 200, S::ThumbPosition, 333, 333, 333},
      {"thumb let go past 60", 3, 30, S::ThumbPosition, 70, 60, 60},
      {"thumb dragged", 2, 200, S::ThumbTrack, 333, 333, 200}};
  // clang-format on
  for (const auto& [name, bar, from, code, thumb, shown, to] : kSteps) {
    Rig rig;
    rig.model.SetScrollValue(bar, from);
    rig.log.clear();
    rig.model.Scroll(bar, code, thumb);
    Log log{"thumb " + std::to_string(bar) + " " + std::to_string(shown)};
    if (to != from) log.push_back("HS " + std::to_string(bar));
    EXPECT_THAT(rig.log, ElementsAreArray(log)) << name;
    EXPECT_EQ(rig.model.GetScrollValue(bar), to) << name;
  }
}

// The window's picture: a layer missing, out of order or misplaced; a button's bevel stretched
// with its inside; a face shown that is not the control's; a label in another colour or text.
TEST(DialogPicture, LayersBottomUpWithFramedButtonsAndColouredLabels) {
  using I = PaintImage;
  const auto copy = [](I image, PixelRect to, PixelRect from = {0, 0, 15, 15}) {
    return PaintStep{PaintStep::Kind::Copy, to, {}, image, from, {}};
  };
  Rig rig;
  rig.model.SetImagePicture(C::ImgSet, P::ButtonPressed);
  rig.model.SetLabelCaption(C::LblHs1, "12");
  const DisplayList list = rig.model.Paint();
  ASSERT_EQ(list.size(), 3u + 9 + 9 + 3 + 12);
  EXPECT_EQ(list[0], copy(I::Backing, {0, 0, 15, 15}));
  EXPECT_EQ(list[1], copy(I::TitleBar, {0, 0, 395, 22}));
  EXPECT_EQ(list[2], copy(I::CloseReleased, {376, 4, 391, 19}));
  const PixelRect set = rig.model.Rect(C::ImgSet), can = rig.model.Rect(C::ImgCan);
  EXPECT_EQ(list[3],
            copy(I::ButtonPressed, {set.left, set.top, set.left + 1, set.top + 1}, {0, 0, 1, 1}));
  EXPECT_EQ(list[7],
            copy(I::ButtonPressed, {set.left + 1, set.top + 1, set.right - 1, set.bottom - 1},
                 {1, 1, 14, 14}));
  EXPECT_EQ(list[20],
            copy(I::ButtonReleased, {can.right - 1, can.bottom - 1, can.right, can.bottom},
                 {14, 14, 15, 15}));
  EXPECT_EQ(list[21], FillStep(rig.model.Rect(C::PicA), {}));
  EXPECT_EQ(list[22], copy(I::Preview, {52, 52, 84, 116}));
  EXPECT_EQ(list[22], rig.model.PreviewStep());
  EXPECT_EQ(list[23], copy(I::PicB, rig.model.Rect(C::PicB)));
  const auto text = [&](C label, PaintColour colour, std::string_view text) {
    return TextStep(rig.model.TextBox(label), colour, std::string(text));
  };
  EXPECT_EQ(list[24], text(C::Label9, {kTitleTextColour}, kDialogCaption));
  EXPECT_EQ(list[26], text(C::LblHs1, kSystemWindowText, "12"));
  EXPECT_EQ(list[35], text(C::LblUrl, {kLinkTextColour}, kHomePage));
  DisplayList tiny;  // a picture without an inside has nothing to frame
  AddFramed(tiny, I::ButtonPressed, {2, 9}, set);
  EXPECT_THAT(tiny, ::testing::IsEmpty());
}

// High Contrast drawn with the skin (its shading or pictures) or in fixed colours, a layout or text
// of its own, not repainted when it changes; a focus mark while inactive, on no bar, or left
// behind.
TEST(DialogPicture, HighContrastInTheSystemsColoursAndAFocusMarkWhileActive) {
  Rig rig;
  const auto texts = [](const DisplayList& list) {
    std::vector<std::pair<PixelRect, std::string>> all;
    for (const PaintStep& step : list)
      if (step.kind == PaintStep::Kind::Text && step.text != "×")
        all.emplace_back(step.to, step.text);
    return all;
  };
  const DisplayList skin = rig.model.Paint();
  rig.model.SetHighContrast(true);
  EXPECT_EQ(rig.repaints, (std::vector<PixelRect>{{0, 0, 15, 15}}));  // the window, whole
  rig.model.SetImagePicture(C::ImgSet, P::ButtonPressed);
  const DisplayList plain = rig.model.Paint();
  const PaintStep pic_a = FillStep(rig.model.Rect(C::PicA), {});
  for (const PaintStep& step : plain) {
    EXPECT_TRUE(step.kind != PaintStep::Kind::Copy || step == rig.model.PreviewStep());
    EXPECT_TRUE(step.colour.system || step == pic_a || step.kind == PaintStep::Kind::Copy);
  }
  EXPECT_EQ(texts(plain), texts(skin));
  const auto has = [&](const PaintStep& step) { return std::ranges::count(plain, step) == 1; };
  EXPECT_TRUE(has(FillStep(rig.model.Rect(C::ImgSet), kSystemHighlight)));  // pressed
  EXPECT_TRUE(has(FrameStep(rig.model.Rect(C::ImgCan), kSystemWindowText)));
  EXPECT_TRUE(has(TextStep(rig.model.TextBox(C::LblSet), kSystemHighlightText, "設定")));
  EXPECT_TRUE(has(TextStep(rig.model.TextBox(C::LblUrl), kSystemHotLight, kHomePage)));
  rig.repaints.clear();
  rig.model.BarFocused(2);
  EXPECT_EQ(rig.model.FocusMark(), std::nullopt);  // not active yet
  rig.model.Activated(true);
  const PixelRect hs2 = rig.model.Rect(C::Hs2), hs3 = rig.model.Rect(C::Hs3);
  const PixelRect mark2{hs2.left - 3, hs2.top - 3, hs2.right + 3, hs2.bottom + 3};
  EXPECT_EQ(rig.model.Paint().back(), FrameStep(mark2, kSystemWindowText));
  rig.model.BarFocused(3);
  rig.model.Activated(false);
  EXPECT_EQ(rig.model.FocusMark(), std::nullopt);
  const PixelRect mark3{hs3.left - 3, hs3.top - 3, hs3.right + 3, hs3.bottom + 3};
  EXPECT_EQ(rig.repaints, (std::vector<PixelRect>{mark2, mark2, mark3, mark3}));
  rig.model.SetHighContrast(false);
  rig.model.Activated(true);
  EXPECT_EQ(rig.model.Paint().back(), FrameStep(mark3, PaintColour{kLinkTextColour}));
}

}  // namespace
}  // namespace vorn
