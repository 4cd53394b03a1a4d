#include "settings_dialog/dialog_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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
  void Timer1_Timer() override {
    log.push_back("tick");
    model.Tick();  // not run inside this one
  }
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
  ScreenSize PictureSize(P picture) override { return {picture == P::ClosePressed ? 16 : 15, 15}; }
  void Repaint(const PixelRect&) override {}
  void ShowThumb(std::int16_t bar, std::int32_t at) override {
    log.push_back("thumb " + std::to_string(bar) + " " + std::to_string(at));
  }
  void Capture(bool take) override { log.push_back(take ? "+" : "-"); }
};

// Twips converted at a fixed 15 a pixel or rounded otherwise; a label's text at the wrong edge.
TEST(DialogGeometry, TwipsBecomePixelsAtTheScreensResolutionAndLabelsAlign) {
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
  EXPECT_EQ(ControlRect(C::Display, 96), (PixelRect{52, 52, 84, 116}));  // within Pic_a
  EXPECT_EQ(ControlRect(C::Display, 144), (PixelRect{78, 78, 126, 174}));
  for (const auto& [name, kind, box, width, left] : kLabels) {
    const PixelRect expected{left, box.top, left + width, box.top + 12};
    EXPECT_EQ(TextBox(kind, box, {width, 12}), expected) << name;
  }
}

// A press landing on the wrong control, or on one outside every control (96 dpi).
TEST(DialogModelInput, HitPointsFindTheirControls) {
  Rig rig;
  // clang-format off
  const std::tuple<const char*, PixelPoint, std::optional<C>> kPoints[] = {
      {"title bar", {200, 11}, C::Image1}, {"title text", {20, 8}, C::Image1},
      {"close box", {383, 11}, C::ImgExit}, {"past the close box", {391, 10}, C::Image1},
      {"Set caption", {233, 176}, C::LblSet}, {"Set picture above it", {190, 165}, C::LblSet},
      {"Cancel picture below it", {300, 185}, C::LblCan}, {"link text", {20, 200}, C::LblUrl},
      {"link past its text", {200, 200}, {}}, {"preview", {60, 60}, {}}};
  // clang-format on
  for (const auto& [name, at, control] : kPoints)
    EXPECT_EQ(rig.model.ControlAt(at), control) << name;
  rig.model.SetImagePicture(C::ImgExit, P::ClosePressed);  // one pixel wider
  EXPECT_EQ(rig.model.ControlAt({391, 10}), C::ImgExit);
}

// A press or release routed wrongly; Alt+F4, ticks or resizes reaching a dialog not up or closing.
TEST(DialogModelInput, EventsReachTheirHandlers) {
  using Step = std::function<void(DialogModel&)>;
  const auto press = [](PixelPoint at, std::int16_t button = kLeftButton) -> Step {
    return [=](DialogModel& m) { m.ButtonDown(at, button); };
  };
  const auto up = [](PixelPoint at) -> Step { return [=](DialogModel& m) { m.ButtonUp(at); }; };
  const auto move = [](PixelPoint at) -> Step { return [=](DialogModel& m) { m.MouseMove(at); }; };
  const Step lost = &DialogModel::CaptureLost, open = &DialogModel::Opened,
             tick = &DialogModel::Tick, resize = &DialogModel::Resized,
             close = &DialogModel::CloseRequested, unload = &DialogModel::Unload,
             destroy = &DialogModel::Destroyed,
             timerOff = [](DialogModel&m) { m.EnableTimer(false); };
  const PixelPoint set{233, 176}, cancel{329, 176}, title{200, 11}, link{20, 200}, off{60, 60};
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
      {"Set, mouse lost", {press(set), lost, up(set)}, {"+", "Set down"}},
      {"link clicked", {press(link), up(link)}, {"+", "-", "Link"}},
      {"link let go off it", {press(link), up(off)}, {"+", "-"}},
      {"link, right button", {press(link, right), up(link)}, {"+", "-"}},
      {"over the title bar", {move(title), move(off)}, {"Title move"}},
      {"press on no control", {press(off), up(off)}, {}},
      {"before the window is up", {tick, resize, close}, {}},
      {"window up", {open, tick, resize, close}, {"tick", "resize", "Exit up"}},
      {"closing", {open, unload, close, unload}, {"unload"}},
      {"timer off", {open, timerOff, tick}, {}},
      {"destroyed", {open, destroy, tick, resize, close}, {}}};
  // clang-format on
  for (const auto& [name, steps, log] : kCases) {
    Rig rig;
    rig.model.EnableTimer(true);
    for (const Step& step : steps) step(rig.model);
    EXPECT_THAT(rig.log, ElementsAreArray(log)) << name;
  }
}

// Scroll steps wrong in size or past the ends, a change without a new value; Tab order wrong.
TEST(DialogModelInput, ScrollStepsCommitWithinTheRangeAndTabGoesRoundTheBars) {
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
  const std::tuple<std::int16_t, bool, std::int16_t> kTabs[] = {
      {1, false, 2}, {2, false, 3}, {3, false, 1}, {1, true, 3}, {3, true, 2}, {2, true, 1}};
  for (const auto& [from, back, to] : kTabs) EXPECT_EQ(NextBar(from, back), to) << from << back;
}

}  // namespace
}  // namespace vorn
