#include "settings_dialog/dialog_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "settings_dialog/geometry.h"

namespace vorn {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// Logs the handlers the model runs and what it asks of its window; text is 7
// pixels a character, 12 high; the close box 15 x 15 released, 16 x 15 pressed.
struct Rig final : DialogEvents, DialogView {
  std::vector<std::string> log;
  DialogModel model{*this, *this, 96};
  void Form_Resize() override { log.push_back("Form_Resize"); }
  void Form_Unload() override { log.push_back("Form_Unload"); }
  void Timer1_Timer() override {
    log.push_back("Timer1_Timer");
    model.Tick();
  }
  void HS_Change(std::int16_t i) override { log.push_back("HS_Change(" + std::to_string(i) + ")"); }
  void lbl_Set_MouseDown() override { log.push_back("Set down"); }
  void lbl_Set_MouseUp() override { log.push_back("Set up"); }
  void lbl_Can_MouseDown() override { log.push_back("Cancel down"); }
  void lbl_Can_MouseUp() override { log.push_back("Cancel up"); }
  void ImgExit_MouseDown() override { log.push_back("Close down"); }
  void ImgExit_MouseUp() override { log.push_back("Close up"); }
  void Image1_MouseDown(std::int16_t b) override {
    log.push_back("Title down " + std::to_string(b));
  }
  void Image1_MouseMove() override { log.push_back("Title move"); }
  void Image1_MouseUp() override { log.push_back("Title up"); }
  void lbl_URL_Click() override { log.push_back("Link click"); }
  std::optional<ScreenSize> MeasureText(std::string_view text) override {
    return ScreenSize{7 * static_cast<std::int32_t>(text.size()), 12};
  }
  ScreenSize PictureSize(DialogPicture picture) override {
    return {picture == DialogPicture::ClosePressed ? 16 : 15, 15};
  }
  void Repaint(const PixelRect&) override {}
  void ShowThumb(std::int16_t i, std::int32_t v) override {
    log.push_back("thumb " + std::to_string(i) + " " + std::to_string(v));
  }
  void Capture(bool take) override { log.push_back(take ? "capture" : "release"); }
};

// Converting at a fixed 15 twips a pixel, or rounding otherwise, misplaces the controls.
TEST(DialogGeometry, TwipsBecomePixelsAtTheScreensResolution) {
  struct Case {
    const char* name;
    double twips;
    std::int32_t dpi, pixels;
  };
  for (const Case& c :
       {Case{"window width at 96", 5940, 96, 396}, Case{"7 twips at 96", 7, 96, 0},
        Case{"8 twips at 96", 8, 96, 1}, Case{"half a pixel at 96", 7.5, 96, 1},
        Case{"window width at 144", 5940, 144, 594}, Case{"half a pixel at 144", 5, 144, 1},
        Case{"4 twips at 144", 4, 144, 0}}) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.name;
  }
  EXPECT_EQ(PixelsToTwips(1024, 96), 15360.0f);
  EXPECT_EQ(PixelsToTwips(100, 144), 1000.0f);
  EXPECT_EQ(ControlRect(DialogControl::Display, 96), (PixelRect{52, 52, 84, 116}));  // in Pic_a
  EXPECT_EQ(ControlRect(DialogControl::Display, 144), (PixelRect{78, 78, 126, 174}));
}

// A label's text drawn or hit at the wrong place: right-aligned values, centred buttons.
TEST(DialogGeometry, LabelTextSitsByItsAlignment) {
  struct Case {
    const char* name;
    ControlKind kind;
    PixelRect box;
    ScreenSize text;
    PixelRect at;
  };
  for (const Case& c :
       {Case{"plain", ControlKind::Label, {16, 196, 230, 209}, {100, 12}, {16, 196, 116, 208}},
        Case{"right", ControlKind::LabelRight, {320, 56, 345, 69}, {14, 12}, {331, 56, 345, 68}},
        Case{"right, wider than its box",
             ControlKind::LabelRight,
             {320, 56, 345, 69},
             {40, 12},
             {305, 56, 345, 68}},
        Case{"centred",
             ControlKind::LabelCentred,
             {188, 168, 279, 185},
             {28, 12},
             {219, 168, 247, 180}}}) {
    EXPECT_EQ(TextBox(c.kind, c.box, c.text), c.at) << c.name;
  }
}

// A press landing on the wrong control (or on none) at 96 dpi.
TEST(DialogModelInput, HitPointsFindTheirControls) {
  Rig rig;
  using C = DialogControl;
  struct Case {
    const char* name;
    PixelPoint at;
    std::optional<C> control;
  };
  for (const Case& c :
       {Case{"title bar", {200, 11}, C::Image1}, Case{"title text", {20, 8}, C::Image1},
        Case{"close box", {383, 11}, C::ImgExit},
        Case{"past the released close box", {391, 10}, C::Image1},
        Case{"Set caption", {233, 176}, C::LblSet},
        Case{"Set picture above its caption", {190, 165}, C::LblSet},
        Case{"Cancel picture below its caption", {300, 185}, C::LblCan},
        Case{"link text", {20, 200}, C::LblUrl},
        Case{"link box past its text", {200, 200}, std::nullopt},
        Case{"preview", {60, 60}, std::nullopt}, Case{"scroll bar", {240, 60}, std::nullopt},
        Case{"bottom right corner", {395, 229}, std::nullopt}}) {
    EXPECT_EQ(rig.model.ControlAt(c.at), c.control) << c.name;
  }
  rig.model.SetPicture(C::ImgExit, DialogPicture::ClosePressed);  // 16 wide
  EXPECT_EQ(rig.model.ControlAt({391, 10}), C::ImgExit);
}

// A release acting for the wrong control, with the wrong button, or not at all.
TEST(DialogModelInput, PressesAndReleasesReachTheirHandlers) {
  enum Kind { Down, Up, Move, Lost };
  struct Step {
    Kind kind;
    PixelPoint at;
    std::int16_t button = kLeftButton;
  };
  constexpr PixelPoint kSet{233, 176}, kCancel{329, 176}, kTitle{200, 11}, kLink{20, 200},
      kNowhere{60, 60};
  struct Case {
    const char* name;
    std::vector<Step> steps;
    std::vector<std::string> log;
  };
  const Case cases[] = {
      {"Set released off it",
       {{Down, kSet}, {Up, kNowhere}},
       {"capture", "Set down", "release", "Set up"}},
      {"Set with the right button",
       {{Down, kSet, kRightButton}, {Up, kSet}},
       {"capture", "Set down", "release", "Set up"}},
      {"Cancel let go over Set",
       {{Down, kCancel}, {Up, kSet}},
       {"capture", "Cancel down", "release", "Cancel up"}},
      {"right press on the title bar",
       {{Down, kTitle, kRightButton}, {Up, kTitle}},
       {"capture", "Title down 2", "release", "Title up"}},
      {"drag ends when the capture is lost",
       {{Down, kTitle}, {Move, kNowhere}, {Lost, {}}, {Up, kTitle}},
       {"capture", "Title down 1", "Title move", "Title up"}},
      {"a button's press dropped with the capture",
       {{Down, kSet}, {Lost, {}}, {Up, kSet}},
       {"capture", "Set down"}},
      {"a second press while one is held",
       {{Down, kSet}, {Down, kCancel}, {Up, kCancel}},
       {"capture", "Set down", "release", "Set up"}},
      {"link clicked", {{Down, kLink}, {Up, kLink}}, {"capture", "release", "Link click"}},
      {"link let go off it", {{Down, kLink}, {Up, kNowhere}}, {"capture", "release"}},
      {"link with the right button",
       {{Down, kLink, kRightButton}, {Up, kLink}},
       {"capture", "release"}},
      {"pointer over the title bar, then off it",
       {{Move, kTitle}, {Move, kNowhere}},
       {"Title move"}},
      {"press on no control", {{Down, kNowhere}, {Up, kNowhere}}, {}},
  };
  for (const Case& c : cases) {
    Rig rig;
    for (const Step& s : c.steps) {
      if (s.kind == Down) rig.model.ButtonDown(s.at, s.button);
      if (s.kind == Up) rig.model.ButtonUp(s.at);
      if (s.kind == Move) rig.model.MouseMove(s.at);
      if (s.kind == Lost) rig.model.CaptureLost();
    }
    EXPECT_THAT(rig.log, ElementsAreArray(c.log)) << c.name;
  }
}

// A step of the wrong size, past the ends, or a change raised without a new value.
TEST(DialogModelInput, ScrollStepsCommitWithinTheRange) {
  using S = ScrollCode;
  struct Case {
    const char* name;
    std::int16_t bar, from;
    S code;
    std::int32_t thumb, shown, to;
  };
  for (const Case& c :
       {Case{"arrow right", 1, 5, S::LineRight, 0, 6, 6},
        Case{"arrow left at the minimum", 1, 1, S::LineLeft, 0, 1, 1},
        Case{"arrow right at the maximum", 1, 20, S::LineRight, 0, 20, 20},
        Case{"page of Speed is 1", 1, 5, S::PageLeft, 0, 4, 4},
        Case{"page of Num is 10", 2, 200, S::PageRight, 0, 210, 210},
        Case{"page right past the maximum", 2, 395, S::PageRight, 0, 400, 400},
        Case{"page left past the minimum", 2, 105, S::PageLeft, 0, 100, 100},
        Case{"Home", 3, 30, S::Left, 0, 20, 20}, Case{"End", 3, 30, S::Right, 0, 60, 60},
        Case{"thumb let go", 2, 200, S::ThumbPosition, 333, 333, 333},
        Case{"thumb let go past the end", 3, 30, S::ThumbPosition, 70, 60, 60},
        Case{"thumb dragged", 2, 200, S::ThumbTrack, 333, 333, 200}}) {
    Rig rig;
    rig.model.SetScrollValue(c.bar, c.from);
    rig.log.clear();
    rig.model.Scroll(c.bar, c.code, c.thumb);
    std::vector<std::string> log{"thumb " + std::to_string(c.bar) + " " + std::to_string(c.shown)};
    if (c.to != c.from) log.push_back("HS_Change(" + std::to_string(c.bar) + ")");
    EXPECT_THAT(rig.log, ElementsAreArray(log)) << c.name;
    EXPECT_EQ(rig.model.ScrollValue(c.bar), c.to) << c.name;
  }
}

// Tab stuck on a bar, or Shift+Tab going forwards.
TEST(DialogModelInput, TabMovesRoundTheBars) {
  struct Case {
    std::int16_t from;
    bool backwards;
    std::int16_t to;
  };
  for (const Case& c : {Case{1, false, 2}, Case{2, false, 3}, Case{3, false, 1}, Case{1, true, 3},
                        Case{3, true, 2}, Case{2, true, 1}}) {
    EXPECT_EQ(NextBar(c.from, c.backwards), c.to)
        << c.from << (c.backwards ? " Shift+Tab" : " Tab");
  }
}

// Alt+F4 closing without stopping the preview, before the window is up, or twice.
TEST(DialogModelLife, AltF4GoesThroughTheCloseBoxWhileOpenAndNotClosing) {
  Rig rig;
  rig.model.CloseRequested();  // not open yet
  rig.model.Opened();
  rig.model.CloseRequested();
  EXPECT_TRUE(rig.model.Unload());
  rig.model.CloseRequested();
  EXPECT_FALSE(rig.model.Unload());
  EXPECT_THAT(rig.log, ElementsAre("Close up", "Form_Unload"));
}

// The preview started before the window is up, while disabled, or inside itself.
TEST(DialogModelLife, TicksAndResizesReachTheDialogOnlyWhileOpen) {
  Rig rig;
  rig.model.EnableTimer(true);
  rig.model.Tick();
  rig.model.Resized();
  EXPECT_THAT(rig.log, IsEmpty());
  rig.model.Opened();
  rig.model.Resized();
  rig.model.Tick();  // the handler's own tick is not run inside it
  rig.model.EnableTimer(false);
  rig.model.Tick();
  rig.model.EnableTimer(true);
  rig.model.Destroyed();
  rig.model.Tick();
  EXPECT_THAT(rig.log, ElementsAre("Form_Resize", "Timer1_Timer"));
}

}  // namespace
}  // namespace vorn
