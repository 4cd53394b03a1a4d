#include "settings_dialog/dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_platform.h"
#include "settings_dialog/layout.h"
#include "settings_dialog/zoom.h"

namespace vorn {
namespace {

using ::testing::ElementsAre;
using testing::FakePlatform;
using ::testing::IsEmpty;

const std::string kDlg = std::to_string(FakePlatform::kDialogWindow);
const std::string kIni = "\"C:\\Saver\\Vorn.ini\")";

struct DialogRig {
  FakePlatform platform;
  Settings shared;
  VornP dialog{platform, shared};

  explicit DialogRig(std::int32_t speed = 5, std::int32_t num = 200, std::int32_t intval = 30)
      : shared{speed, num, intval} {}
  // Runs Show(); `user` plays the user once the dialog is up.
  void Open(std::function<void()> user = {}) {
    platform.onDialogShown = std::move(user);
    dialog.Show();
  }
  // The calls made by `action`.
  std::vector<std::string> CallsOf(const std::function<void()>& action) {
    const std::size_t mark = platform.calls.size();
    action();
    return {platform.calls.begin() + static_cast<std::ptrdiff_t>(mark), platform.calls.end()};
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

// A stored setting given to a bar that cannot hold it, or an end of the range refused.
TEST(DialogLoad, ABarTakesOnlySettingsInItsRange) {
  struct Case {
    const char* name;
    std::int16_t bar;
    std::int32_t stored;
    std::int16_t barAfter;
  };
  for (const Case& c :
       {Case{"Speed 0", 1, 0, 4}, Case{"Speed 21", 1, 21, 4}, Case{"Speed 1", 1, 1, 1},
        Case{"Speed 20", 1, 20, 20}, Case{"Num 99", 2, 99, 100}, Case{"Num 401", 2, 401, 100},
        Case{"Num 400", 2, 400, 400}, Case{"Num beyond 16 bits", 2, 65637, 100},
        Case{"Intval 19", 3, 19, 30}, Case{"Intval 61", 3, 61, 30}, Case{"Intval 20", 3, 20, 20}}) {
    DialogRig rig(4, 100, 30);  // the bars' values before load
    std::int32_t* setting[] = {&rig.shared.Speed, &rig.shared.Num, &rig.shared.Intval};
    *setting[c.bar - 1] = c.stored;
    rig.Open();
    EXPECT_EQ(rig.platform.scrollValues[c.bar - 1], c.barAfter) << c.name;
    EXPECT_EQ(rig.platform.captions[kScrollLabels[c.bar - 1]], std::to_string(c.stored)) << c.name;
    EXPECT_EQ(*setting[c.bar - 1], c.stored) << c.name;
  }
}

// The zoom starting from a stale pointer position when the reading fails.
TEST(DialogLoad, AFailedPointerReadingZoomsFromTheScreenCorner) {
  DialogRig rig;
  rig.platform.cursorResult = 0;
  rig.Open();
  EXPECT_THAT(rig.platform.CallsStartingWith("DrawAnimatedRects"),
              ElementsAre("DrawAnimatedRects(" + kDlg + ", 3, (0 0 0 0), (314 269 710 499))"));
}

// Wrong shading constant or rounding, a row left out, or the surfaces in the wrong order.
TEST(Gradient, PaintsTheWindowThenPicBRowByRowIncludingTheLastRow) {
  struct Case {
    std::int32_t row, level;
  };
  for (const Case& c : {Case{0, 0}, Case{230, 0}, Case{1, 3}, Case{229, 3}, Case{57, 155},
                        Case{114, 220}, Case{115, 220}, Case{116, 220}}) {
    EXPECT_EQ(GradientLevel(c.row, 230.0f), c.level) << "row " << c.row;
  }
  DialogRig rig;
  rig.platform.recordDrawing = true;
  rig.Open([&] { rig.dialog.Form_Resize(); });
  const auto lines = rig.platform.CallsStartingWith("DrawLine");
  ASSERT_EQ(lines.size(), 231u + 94u);
  EXPECT_EQ(lines[0], "DrawLine(Vorn_P, 0, 0, 396, 0, 1966080)");      // (0, 0, 30)
  EXPECT_EQ(lines[57], "DrawLine(Vorn_P, 0, 57, 396, 57, 12163995)");  // (155, 155, 185)
  EXPECT_EQ(lines[231], "DrawLine(Pic_b, 0, 0, 233, 0, 1966080)");
  EXPECT_EQ(lines.back(), "DrawLine(Pic_b, 0, 93, 233, 93, 1966080)");
  EXPECT_EQ(rig.platform.surfaces[SurfaceId::DialogWindow].At(200, 115), 0xDCDCFAu);
}

// Set writing the wrong text, in the wrong order, or after the window has gone.
TEST(Buttons, SetShowsTheReleasedFaceWritesTheSettingsThenCloses) {
  DialogRig rig(5, 250, 30);
  rig.Open([&] {
    EXPECT_THAT(rig.CallsOf([&] { rig.dialog.lbl_Set_MouseDown(); }),
                ElementsAre("SetImagePicture(Img_Set, Img_On)"));
    EXPECT_THAT(
        rig.CallsOf([&] { rig.dialog.lbl_Set_MouseUp(); }),
        ElementsAre("SetImagePicture(Img_Set, Img_Off)",
                    "WritePrivateProfileStringA(\"Section\", \"Speed\", \" 5\", " + kIni,
                    "WritePrivateProfileStringA(\"Section\", \"Num\", \" 250\", " + kIni,
                    "WritePrivateProfileStringA(\"Section\", \"Intval\", \" 30\", " + kIni,
                    "CloseDialog(" + kDlg + ")", "GetWindowRect(" + kDlg + ")",
                    "DrawAnimatedRects(" + kDlg + ", 3, (314 269 710 499), (500 300 500 300))"));
  });
}

// An untouched setting outside its bar lost or replaced by the bar's value.
TEST(Buttons, SetWritesAnUntouchedOutOfRangeSettingBack) {
  DialogRig rig(50);
  rig.Open([&] { rig.dialog.lbl_Set_MouseUp(); });
  EXPECT_THAT(rig.platform.CallsStartingWith("WritePrivateProfileStringA(\"Section\", \"Speed\""),
              ElementsAre("WritePrivateProfileStringA(\"Section\", \"Speed\", \" 50\", " + kIni));
}

// Cancel or the close box writing the file, or closing with the wrong face.
TEST(Buttons, CancelAndTheCloseBoxCloseWithoutWriting) {
  struct Case {
    void (VornP::*down)();
    void (VornP::*up)();
    const char* pressed;
    const char* released;
  };
  for (const Case& c :
       {Case{&VornP::lbl_Can_MouseDown, &VornP::lbl_Can_MouseUp, "SetImagePicture(Img_Can, Img_On)",
             "SetImagePicture(Img_Can, Img_Off)"},
        Case{&VornP::ImgExit_MouseDown, &VornP::ImgExit_MouseUp,
             "SetImagePicture(ImgExit, imgImages(1))", "SetImagePicture(ImgExit, imgImages(0))"}}) {
    DialogRig rig;
    rig.Open([&] {
      EXPECT_THAT(rig.CallsOf([&] { (rig.dialog.*c.down)(); }), ElementsAre(c.pressed));
      EXPECT_THAT(
          rig.CallsOf([&] { (rig.dialog.*c.up)(); }),
          ElementsAre(c.released, "CloseDialog(" + kDlg + ")", "GetWindowRect(" + kDlg + ")",
                      ::testing::StartsWith("DrawAnimatedRects(")));
    });
  }
}

// Drag arithmetic off (factor, rounding, order of the moves), or a drag by another button.
TEST(Drag, OffsetsAndMovesInTwipsTopBeforeLeftOnlyForTheLeftButton) {
  DialogRig rig;
  rig.Open([&] {
    rig.platform.dialogTwips = {1200, 900, 5940, 3450};
    rig.platform.cursor = {100, 65};
    for (std::int16_t button : {2, 4, 3}) rig.dialog.Image1_MouseDown(button);
    EXPECT_EQ(rig.dialog.Dragging, 0);
    rig.dialog.Image1_MouseDown(kLeftButton);
    EXPECT_EQ(rig.dialog.DragOffsetX, 300);
    EXPECT_EQ(rig.dialog.DragOffsetY, 75);
    rig.platform.cursor = {110, 67};
    EXPECT_THAT(rig.CallsOf([&] { rig.dialog.Image1_MouseMove(); }),
                ElementsAre("GetCursorPos", "PlaceWindowTwips(" + kDlg + ", top 930)",
                            "PlaceWindowTwips(" + kDlg + ", left 1350)"));
    rig.dialog.Image1_MouseUp();
    EXPECT_THAT(rig.CallsOf([&] { rig.dialog.Image1_MouseMove(); }), IsEmpty());
  });
}

// The closing zoom aiming at the pointer's place now rather than where the dialog opened.
TEST(Zoom, ADraggedDialogShrinksBackToWhereItOpened) {
  FakePlatform platform;
  platform.dialogTwips = {414 * 15, 269 * 15, 5940, 3450};
  ZoomClose(platform, {500, 300}, FakePlatform::kDialogWindow);
  EXPECT_THAT(
      platform.CallsStartingWith("DrawAnimatedRects"),
      ElementsAre("DrawAnimatedRects(" + kDlg + ", 3, (414 269 810 499), (500 300 500 300))"));
}

// The link opening something else, or closing the dialog.
TEST(Link, OpensTheHomePage) {
  DialogRig rig;
  rig.Open([&] { rig.dialog.lbl_URL_Click(); });
  EXPECT_THAT(rig.platform.CallsStartingWith("ShellExecuteA"),
              ElementsAre("ShellExecuteA(" + kDlg + ", \"open\", \"" + std::string(kHomePage) +
                          "\", \"\", \"\", 1)"));
  EXPECT_FALSE(rig.platform.dialogClosed);
}

// Cells out of order, shown faster than every 100 ms, or the timer left on.
TEST(Preview, ShowsTheCellsInReadingOrderEveryHundredMilliseconds) {
  DialogRig rig;
  std::vector<Pixel> shown;  // the fake sheet's pixel is the cell's number
  std::vector<std::int64_t> times;
  rig.platform.onDoEvents = [&](int) {
    const std::int64_t now = rig.platform.nowMicroseconds;
    if (!times.empty() && times.back() == now) return;
    shown.push_back(rig.platform.surfaces[SurfaceId::DialogDisplay].At(0, 0));
    times.push_back(now);
    if (shown.size() == 34) rig.dialog.lbl_Can_MouseUp();
  };
  rig.Open([&] { rig.dialog.Timer1_Timer(); });
  ASSERT_GE(shown.size(), 34u);
  EXPECT_EQ(shown[0], 0u);
  EXPECT_EQ(shown[8], 8u);  // the ninth frame: first cell of the second row
  EXPECT_EQ(shown[31], 31u);
  EXPECT_EQ(shown[32], 0u);  // the 33rd frame: the first cell again
  for (std::size_t i = 1; i < 33; ++i) EXPECT_GE(times[i] - times[i - 1], 100'000);
  EXPECT_FALSE(rig.platform.dialogTimerEnabled);
}

// The preview drawing on a closed window, or outliving a window the system closed.
TEST(Preview, DrawsNothingOnceStoppedAndEndsWithItsWindow) {
  DialogRig stopped;
  stopped.platform.recordDrawing = true;
  stopped.Open([&] {
    stopped.dialog.StopPreview = kTrue16;
    stopped.dialog.Timer1_Timer();
  });
  EXPECT_THAT(stopped.platform.CallsStartingWith("BitBlt"), IsEmpty());
  for (bool bySystem : {false, true}) {
    DialogRig rig;
    rig.platform.recordDrawing = true;
    rig.platform.onDoEvents = [&](int n) {
      if (n == 3)
        bySystem ? rig.platform.CloseDialog(FakePlatform::kDialogWindow)
                 : rig.dialog.ImgExit_MouseUp();
      ASSERT_LT(n, 50) << "the preview loop outlived its window";
    };
    rig.Open([&] { rig.dialog.Timer1_Timer(); });
    const auto& calls = rig.platform.calls;
    const auto closed = std::find(calls.begin(), calls.end(), "CloseDialog(" + kDlg + ")");
    ASSERT_NE(closed, calls.end());
    EXPECT_TRUE(
        std::none_of(closed, calls.end(), [](const auto& c) { return c.starts_with("BitBlt"); }));
    EXPECT_THAT(rig.platform.CallsStartingWith("WritePrivateProfileStringA"), IsEmpty());
  }
}

}  // namespace
}  // namespace vorn
