// The settings dialog: its routines on the recording fake, and its window's model.
#include "settings_dialog/dialog.h"

#include <gmock/gmock.h>

#include <functional>

#include "fake_platform.h"
#include "settings_dialog/geometry.h"
#include "settings_dialog/layout.h"

namespace vorn {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::FakePlatform;

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

}  // namespace
}  // namespace vorn
