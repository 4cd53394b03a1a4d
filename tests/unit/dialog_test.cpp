#include "settings_dialog/dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_platform.h"
#include "settings_dialog/layout.h"

namespace vorn {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::FakePlatform;
using ::testing::IsEmpty;

const std::string kDlg = std::to_string(FakePlatform::kDialogWindow);
const std::string kWrite = "WritePrivateProfileStringA(\"Section\", \"";
const std::string kIni = "\", \"C:\\Saver\\Vorn.ini\")";

struct DialogRig {
  FakePlatform platform;
  Settings shared;
  VornP dialog{platform, shared};

  explicit DialogRig(Settings settings = {5, 200, 30}) : shared(settings) {}
  // Runs Show(); `user` plays the user once the dialog is up.
  void Open(std::function<void()> user = {}) {
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
      ElementsAre("CreateDialogWindow", "PlaceWindowTwips(" + kDlg + ", width 5940)",
                  "PlaceWindowTwips(" + kDlg + ", height 3450)",
                  "PlaceWindowTwips(" + kDlg + ", left 4710, top 4035)", "SetHandCursor(lbl_URL)",
                  "SetImagePicture(Img_Set, Img_Off)", "SetImagePicture(Img_Can, Img_Off)",
                  "SetHandCursor(lbl_Set)", "SetHandCursor(lbl_Can)", "SetScrollValue(1, 5)",
                  "SetLabelCaption(lbl_HS(1), \"5\")", "SetScrollValue(2, 200)",
                  "SetLabelCaption(lbl_HS(2), \"200\")",
                  // HS(3) already stands at 30: no change, no notification
                  "SetLabelCaption(lbl_HS(1), \"5\")", "SetLabelCaption(lbl_HS(2), \"200\")",
                  "SetLabelCaption(lbl_HS(3), \"30\")", "SetHandCursor(HS(1))",
                  "SetHandCursor(HS(2))", "SetHandCursor(HS(3))", "GetCursorPos",
                  "GetWindowRect(" + kDlg + ")",
                  "DrawAnimatedRects(" + kDlg + ", 3, (500 300 500 300), (314 269 710 499))",
                  "SetDialogTimer(on, 1)", "ShowDialogModal(" + kDlg + ")"));
}

// A bar given a setting it cannot hold, or refusing an end of its range; the stored number lost.
TEST(DialogLoad, ABarTakesOnlySettingsInItsRange) {
  // clang-format off
  const std::tuple<const char*, int, std::int32_t, int> kCases[] = {
      {"Speed 0", 1, 0, 4}, {"Speed 21", 1, 21, 4}, {"Speed 1", 1, 1, 1}, {"Speed 20", 1, 20, 20},
      {"Num 99", 2, 99, 100}, {"Num 401", 2, 401, 100}, {"Num 400", 2, 400, 400},
      {"Num beyond 16 bits", 2, 65637, 100}, {"Intval 19", 3, 19, 30}, {"Intval 61", 3, 61, 30},
      {"Intval 20", 3, 20, 20}};
  // clang-format on
  for (const auto& [name, bar, stored, barAfter] : kCases) {
    DialogRig rig({4, 100, 30});  // the bars' values before load
    std::int32_t* setting[] = {&rig.shared.Speed, &rig.shared.Num, &rig.shared.Intval};
    *setting[bar - 1] = stored;
    rig.Open([&] { rig.dialog.lbl_Set_MouseUp(); });
    const std::string key = kWrite + std::array{"Speed", "Num", "Intval"}[bar - 1];
    EXPECT_EQ(rig.platform.scrollValues[bar - 1], barAfter) << name;
    EXPECT_EQ(rig.platform.captions[kScrollLabels[bar - 1]], std::to_string(stored)) << name;
    EXPECT_THAT(rig.platform.CallsStartingWith(key),
                ElementsAre(key + "\", \" " + std::to_string(stored) + kIni))
        << name;
  }
}

// Wrong shading constant or rounding, a row left out, or the surfaces in the wrong order.
TEST(Gradient, PaintsTheWindowThenPicBRowByRowIncludingTheLastRow) {
  DialogRig rig;
  rig.platform.recordDrawing = true;
  rig.Open([&] { rig.dialog.Form_Resize(); });
  const auto lines = rig.platform.CallsStartingWith("DrawLine");
  ASSERT_EQ(lines.size(), 231u + 94u);
  EXPECT_EQ(lines[0], "DrawLine(Vorn_P, 0, 0, 396, 0, 1966080)");         // (0, 0, 30)
  EXPECT_EQ(lines[1], "DrawLine(Vorn_P, 0, 1, 396, 1, 2163459)");         // (3, 3, 33)
  EXPECT_EQ(lines[57], "DrawLine(Vorn_P, 0, 57, 396, 57, 12163995)");     // (155, 155, 185)
  EXPECT_EQ(lines[115], "DrawLine(Vorn_P, 0, 115, 396, 115, 16440540)");  // (220, 220, 250)
  EXPECT_EQ(lines[229], "DrawLine(Vorn_P, 0, 229, 396, 229, 2163459)");
  EXPECT_EQ(lines[231], "DrawLine(Pic_b, 0, 0, 233, 0, 1966080)");
  EXPECT_EQ(lines.back(), "DrawLine(Pic_b, 0, 93, 233, 93, 1966080)");
}

// A button writing when it should not, with the wrong face or order; the link opening elsewhere.
TEST(Buttons, EachShowsItsFacesThenActs) {
  using V = VornP;
  const std::string face = "SetImagePicture(", close = "CloseDialog(" + kDlg + ")";
  const std::string rect = "GetWindowRect(" + kDlg + ")",
                    zoom =
                        "DrawAnimatedRects(" + kDlg + ", 3, (314 269 710 499), (500 300 500 300))";
  const std::tuple<std::vector<void (V::*)()>, std::vector<std::string>> kCases[] = {
      {{&V::lbl_Set_MouseDown, &V::lbl_Set_MouseUp},
       {face + "Img_Set, Img_On)", face + "Img_Set, Img_Off)", kWrite + "Speed\", \" 5" + kIni,
        kWrite + "Num\", \" 250" + kIni, kWrite + "Intval\", \" 30" + kIni, close, rect, zoom}},
      {{&V::lbl_Can_MouseDown, &V::lbl_Can_MouseUp},
       {face + "Img_Can, Img_On)", face + "Img_Can, Img_Off)", close, rect, zoom}},
      {{&V::ImgExit_MouseDown, &V::ImgExit_MouseUp},
       {face + "ImgExit, imgImages(1))", face + "ImgExit, imgImages(0))", close, rect, zoom}},
      {{&V::lbl_URL_Click},
       {"ShellExecuteA(" + kDlg + ", \"open\", \"" + kHomePage + "\", \"\", \"\", 1)"}}};
  for (const auto& [handlers, calls] : kCases) {
    DialogRig rig({5, 250, 30});
    rig.Open([&] {
      rig.platform.calls.clear();
      for (auto handler : handlers) (rig.dialog.*handler)();
    });
    EXPECT_THAT(rig.platform.calls, ElementsAreArray(calls));
  }
}

// Drag arithmetic off, a drag by another button, or the closing zoom aimed at the wrong point.
TEST(Drag, MovesInTwipsTopBeforeLeftForTheLeftButtonOnly) {
  DialogRig rig;
  rig.Open([&] {
    rig.platform.dialogTwips = {1200, 900, 5940, 3450};
    rig.platform.cursor = {100, 65};
    for (std::int16_t button : {2, 4, 3}) rig.dialog.Image1_MouseDown(button);
    EXPECT_EQ(rig.dialog.Dragging, 0);
    rig.dialog.Image1_MouseDown(kLeftButton);
    rig.platform.cursor = {110, 67};
    rig.platform.calls.clear();
    rig.dialog.Image1_MouseMove();
    rig.dialog.Image1_MouseUp();
    rig.dialog.Image1_MouseMove();
    rig.dialog.lbl_Can_MouseUp();
  });
  EXPECT_THAT(
      rig.platform.calls,
      ElementsAre("GetCursorPos", "PlaceWindowTwips(" + kDlg + ", top 930)",
                  "PlaceWindowTwips(" + kDlg + ", left 1350)", "SetImagePicture(Img_Can, Img_Off)",
                  "CloseDialog(" + kDlg + ")", "GetWindowRect(" + kDlg + ")",
                  "DrawAnimatedRects(" + kDlg + ", 3, (90 62 486 292), (500 300 500 300))"));
}

// Cells out of order or off the 100 ms pace, the timer left on, or drawing after the window went.
TEST(Preview, ShowsTheCellsInReadingOrderEveryHundredMillisecondsUntilTheWindowGoes) {
  DialogRig rig;
  rig.platform.recordDrawing = true;
  std::vector<std::pair<Pixel, std::int64_t>> shown;  // the fake sheet's pixel is the cell's number
  rig.platform.onDoEvents = [&](int) {
    const std::int64_t now = rig.platform.nowMicroseconds;
    if (!shown.empty() && shown.back().second == now) return;
    shown.emplace_back(rig.platform.surfaces[SurfaceId::DialogDisplay].At(0, 0), now);
    if (shown.size() == 34) rig.platform.CloseDialog(FakePlatform::kDialogWindow);  // Form_Unload
    if (shown.size() == 40) rig.dialog.StopPreview = kTrue16;  // it outlived its window
  };
  rig.Open([&] { rig.dialog.Timer1_Timer(); });
  ASSERT_EQ(shown.size(), 34u);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i],
              std::pair(static_cast<Pixel>(i % 32), static_cast<std::int64_t>(i + 1) * 100'000));
  }
  EXPECT_FALSE(rig.platform.dialogTimerEnabled);
  const auto& calls = rig.platform.calls;
  const auto closed = std::find(calls.begin(), calls.end(), "CloseDialog(" + kDlg + ")");
  EXPECT_TRUE(std::none_of(closed, calls.end(), [](auto& c) { return c.starts_with("BitBlt"); }));
  DialogRig stopped;  // before the first tick
  stopped.platform.recordDrawing = true;
  stopped.dialog.StopPreview = kTrue16;
  stopped.Open([&] { stopped.dialog.Timer1_Timer(); });
  EXPECT_THAT(stopped.platform.CallsStartingWith("BitBlt"), IsEmpty());
}

}  // namespace
}  // namespace vorn
