// The settings dialog: its routines on the recording fake, and its window's model (its geometry,
// where input goes, the labels' font, and the picture it asks the window to paint).
#include "settings_dialog/dialog.h"

#include <gmock/gmock.h>

#include <functional>

#include "dialog_rig.h"
#include "fake_platform.h"
#include "settings_dialog/geometry.h"
#include "settings_dialog/layout.h"

namespace vorn {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::FakePlatform;
using C = DialogControl;
using test::Log;
using P = DialogPicture;

const std::string kWrite = "WritePrivateProfileStringA(\"Section\", \"";
const std::string kIni = "\", \"C:\\Saver\\Vorn.ini\")";

struct DialogRig {
  FakePlatform platform;
  Settings shared;
  VornP dialog{platform, shared};
  explicit DialogRig(Settings settings = {5, 200, 30}) : shared(settings) {}
  void Open(std::function<void()> user = {}) {  // Show(); `user` plays the user once it is up
    platform.onDialogShown = std::move(user);
    dialog.Show();
  }
};

// A load step missing, out of order or with the wrong value.
TEST(DialogLoad, RunsItsStepsInOrder) {
  DialogRig rig;
  rig.Open();
  EXPECT_THAT(
      rig.platform.calls,
      ElementsAre(
          "CreateDialogWindow", "PlaceWindowTwips(15420, width 5940)",
          "PlaceWindowTwips(15420, height 3450)", "PlaceWindowTwips(15420, left 4710, top 4035)",
          "SetHandCursor(lbl_URL)", "SetImagePicture(Img_Set, Img_Off)",
          "SetImagePicture(Img_Can, Img_Off)", "SetHandCursor(lbl_Set)", "SetHandCursor(lbl_Can)",
          "SetScrollValue(1, 5)", "SetLabelCaption(lbl_HS(1), \"5\")", "SetScrollValue(2, 200)",
          "SetLabelCaption(lbl_HS(2), \"200\")",
          // HS(3) already stands at 30: no change, no notification
          "SetLabelCaption(lbl_HS(1), \"5\")", "SetLabelCaption(lbl_HS(2), \"200\")",
          "SetLabelCaption(lbl_HS(3), \"30\")", "SetHandCursor(HS(1))", "SetHandCursor(HS(2))",
          "SetHandCursor(HS(3))", "GetCursorPos", "GetWindowRect(15420)",
          "DrawAnimatedRects(15420, 3, (500 300 500 300), (314 269 710 499))",
          "SetDialogTimer(on, 1)", "ShowDialogModal(15420)"));
}

// A bar given a setting it cannot hold, or refusing an end of its range; the number not shown.
// (That Set writes back the number read, whatever the bar holds, the settings fuzz target checks.)
TEST(DialogLoad, ABarTakesOnlySettingsInItsRange) {
  // clang-format off
  const std::tuple<const char*, int, std::int32_t, int> kCases[] = {
      {"Speed 0", 1, 0, 4}, {"Speed 21", 1, 21, 4}, {"Speed 1", 1, 1, 1}, {"Speed 20", 1, 20, 20},
      {"Num 99", 2, 99, 100}, {"Num 401", 2, 401, 100}, {"Num 400", 2, 400, 400},
      {"Num beyond 16 bits", 2, 65637, 100}, {"Intval 19", 3, 19, 30}, {"Intval 61", 3, 61, 30},
      {"Intval 20", 3, 20, 20}};
  // clang-format on
  for (const auto& [name, bar, stored, barAfter] : kCases) {
    Settings settings{4, 100, 30};  // the bars' values before load
    (bar == 1 ? settings.Speed : bar == 2 ? settings.Num : settings.Intval) = stored;
    DialogRig rig(settings);
    rig.Open();
    EXPECT_EQ(rig.platform.scrollValues[bar - 1], barAfter) << name;
    EXPECT_EQ(rig.platform.captions[kScrollLabels[bar - 1]], std::to_string(stored)) << name;
  }
}

// Wrong shading constant or rounding, a row left out, or the surfaces in the wrong order; a surface
// of no height or width (the window between the two size steps of its load) shaded, dividing by
// zero and casting the NaN to an integer.
TEST(Gradient, PaintsTheWindowThenPicBRowByRowIncludingTheLastRowAndNothingUnderOnePixel) {
  DialogRig rig;
  rig.platform.recordDrawing = true;
  rig.Open([&] {
    rig.dialog.Form_Resize();
    for (const ScreenSize size : {ScreenSize{396, 0}, ScreenSize{0, 230}}) {
      rig.platform.surfaceSizes = {{SurfaceId::DialogWindow, size}, {SurfaceId::DialogPicB, size}};
      rig.dialog.Form_Resize();
    }
  });
  const auto lines = rig.platform.CallsStartingWith("DrawLine");
  ASSERT_EQ(lines.size(), 231u + 94u);
  EXPECT_EQ(lines[0], "DrawLine(Vorn_P, 0, 0, 396, 0, 1966080)");         // (0, 0, 30)
  EXPECT_EQ(lines[1], "DrawLine(Vorn_P, 0, 1, 396, 1, 2163459)");         // (3, 3, 33)
  EXPECT_EQ(lines[57], "DrawLine(Vorn_P, 0, 57, 396, 57, 12163995)");     // (155, 155, 185)
  EXPECT_EQ(lines[115], "DrawLine(Vorn_P, 0, 115, 396, 115, 16440540)");  // (220, 220, 250)
  EXPECT_EQ(lines[231], "DrawLine(Pic_b, 0, 0, 233, 0, 1966080)");
  EXPECT_EQ(lines.back(), "DrawLine(Pic_b, 0, 93, 233, 93, 1966080)");
}

// A button writing when it should not, with the wrong face or order; the link opening elsewhere.
// A save that failed everywhere closing as if it had worked, the message without the places it
// tried, or under a caption by which a second start takes it for a running copy.
TEST(Buttons, EachShowsItsFacesThenActs) {
  using V = VornP;
  const std::string face = "SetImagePicture(", close = "CloseDialog(15420)",
                    rect = "GetWindowRect(15420)",
                    zoom = "DrawAnimatedRects(15420, 3, (314 269 710 499), (500 300 500 300))";
  const std::string roaming = "C:\\Users\\u\\AppData\\Roaming";
  const struct {
    std::vector<void (V::*)()> handlers;
    std::vector<std::string> calls;
    bool locked = false;  // nothing can be written beside the program or in Roaming
  } kCases[] = {
      {{&V::lbl_Set_MouseDown, &V::lbl_Set_MouseUp},
       {face + "Img_Set, Img_On)", face + "Img_Set, Img_Off)", kWrite + "Speed\", \" 5" + kIni,
        kWrite + "Num\", \" 250" + kIni, kWrite + "Intval\", \" 30" + kIni, close, rect, zoom}},
      {{&V::lbl_Set_MouseUp},
       {face + "Img_Set, Img_Off)", kWrite + "Speed\", \" 5" + kIni + " -> 0",
        "CreateFolder(\"" + roaming + "\\Vorn\") -> 0",
        "MessageBoxA(15420, "
        "\"設定を保存できませんでした。次の場所に書き込めません:\n\nC:\\Saver\\Vorn.ini\n" +
            roaming + "\\Vorn\\Vorn.ini\", \"Vorn\", 0x30)",
        close, rect, zoom},
       true},
      {{&V::lbl_Can_MouseDown, &V::lbl_Can_MouseUp},
       {face + "Img_Can, Img_On)", face + "Img_Can, Img_Off)", close, rect, zoom}},
      {{&V::ImgExit_MouseDown, &V::ImgExit_MouseUp},
       {face + "ImgExit, imgImages(1))", face + "ImgExit, imgImages(0))", close, rect, zoom}},
      {{&V::lbl_URL_Click},
       {"ShellExecuteA(15420, \"open\", \"" + std::string(kHomePage) + "\", \"\", \"\", 1)"}}};
  for (const auto& [handlers, calls, locked] : kCases) {
    DialogRig rig({5, 250, 30});
    if (locked) rig.platform.lockedFolders = {"C:\\Saver", roaming};
    rig.Open([&] {
      rig.platform.calls.clear();
      for (auto handler : handlers) (rig.dialog.*handler)();
    });
    EXPECT_THAT(rig.platform.calls, ElementsAreArray(calls));
  }
}

// Drag arithmetic off or at a fixed factor (the window must move as the pointer: (10, 2)), a drag
// by another button, or the closing zoom aimed at the wrong point.
TEST(Drag, MovesInTwipsTopBeforeLeftForTheLeftButtonOnly) {
  const std::tuple<float, std::string, std::string, std::string> kCases[] = {
      {15, "top 930", "left 1350", "(90 62 486 292)"},    // 96 dpi: offsets 300, 75
      {10, "top 920", "left 1300", "(130 92 724 437)"}};  // 144 dpi: offsets -200, -250
  for (const auto& [factor, top, left, zoomFrom] : kCases) {
    DialogRig rig;
    rig.Open([&] {
      rig.platform.dialogTwips = {1200, 900, 5940, 3450};
      rig.platform.twipsPerPixel = factor;
      rig.platform.cursor = {100, 65};
      for (std::int16_t button : {2, 4, 3}) rig.dialog.Image1_MouseDown(button);
      EXPECT_EQ(rig.dialog.Dragging, 0);
      rig.dialog.Image1_MouseDown(kLeftButton);
      rig.platform.cursor = {110, 67};
      rig.platform.calls.clear();
      for (auto step : {&VornP::Image1_MouseMove, &VornP::Image1_MouseUp, &VornP::Image1_MouseMove,
                        &VornP::lbl_Can_MouseUp})
        (rig.dialog.*step)();
    });
    EXPECT_THAT(
        rig.platform.calls,
        ElementsAre("GetCursorPos", "PlaceWindowTwips(15420, " + top + ")",
                    "PlaceWindowTwips(15420, " + left + ")", "SetImagePicture(Img_Can, Img_Off)",
                    "CloseDialog(15420)", "GetWindowRect(15420)",
                    "DrawAnimatedRects(15420, 3, " + zoomFrom + ", (500 300 500 300))"));
  }
}

// Cells out of order or off the 100 ms pace, the timer left on, or drawing after the window went.
TEST(Preview, ShowsTheCellsInReadingOrderEveryHundredMillisecondsUntilTheWindowGoes) {
  DialogRig rig;
  rig.platform.recordDrawing = true;
  rig.platform.onDoEvents = [&](int) {  // the system closes the window after 34 cells
    if (rig.platform.CallsStartingWith("BitBlt").size() == 34) rig.platform.CloseDialog(15420);
    if (rig.platform.CallsStartingWith("BitBlt").size() == 40) rig.dialog.StopPreview = kTrue16;
  };
  rig.Open([&] { rig.dialog.Timer1_Timer(); });
  const auto cells = rig.platform.CallsStartingWith("BitBlt");
  ASSERT_EQ(cells.size(), 34u);
  for (std::size_t i = 0; i < cells.size(); ++i) {  // 8 columns of 32, 4 rows of 64
    EXPECT_EQ(cells[i], testing::Call("BitBlt", "P.Display", 0, 0, 32, 64, "P.Pic_Vorn", i % 8 * 32,
                                      i / 8 % 4 * 64, testing::Hex{0xCC0020}));
  }
  EXPECT_THAT(rig.platform.CallsStartingWith("WaitForEvents"),
              ::testing::Each("WaitForEvents(100)"));
  EXPECT_FALSE(rig.platform.dialogTimerEnabled);
  DialogRig stopped;  // before the first tick
  stopped.platform.recordDrawing = true;
  stopped.dialog.StopPreview = kTrue16;
  stopped.Open([&] { stopped.dialog.Timer1_Timer(); });
  EXPECT_THAT(stopped.platform.CallsStartingWith("BitBlt"), ::testing::IsEmpty());
}

using test::Rig;

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
// with its inside; a face shown that is not the control's; a label in another colour or text; a
// preview not black before its first cell, or its cell not taken from the sheet at the scale.
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
  EXPECT_EQ(list[22], FillStep({52, 52, 84, 116}, {}));
  EXPECT_EQ(list[22], rig.model.PreviewStep());
  EXPECT_EQ(list[23], copy(I::PicB, rig.model.Rect(C::PicB)));
  const auto text = [&](C label, PaintColour colour, std::string_view text) {
    return TextStep(rig.model.TextBox(label), colour, text);
  };
  EXPECT_EQ(list[24], text(C::Label9, {kTitleTextColour}, kDialogCaption));
  EXPECT_EQ(list[26], text(C::LblHs1, kSystemWindowText, "12"));
  EXPECT_EQ(list[35], text(C::LblUrl, {kLinkTextColour}, kHomePage));
  DisplayList tiny;  // a picture without an inside has nothing to frame
  AddFramed(tiny, I::ButtonPressed, {2, 9}, set);
  EXPECT_THAT(tiny, ::testing::IsEmpty());
  rig.model.ShowCell(32, 64);
  rig.model.SetDpi(144);
  EXPECT_EQ(rig.model.Paint()[22],
            copy(I::Sheet, rig.model.Rect(C::Display), SheetCell(32, 64, 144)));
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
    EXPECT_TRUE(step.colour.system || step == pic_a || step == rig.model.PreviewStep());
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
