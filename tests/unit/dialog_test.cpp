#include "settings_dialog/dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_platform.h"
#include "settings_dialog/layout.h"
#include "settings_dialog/zoom.h"

namespace vorn {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::FakePlatform;

const std::string kDlg = std::to_string(FakePlatform::kDialogWindow);

struct DialogRig {
  FakePlatform platform;
  Settings shared;
  VornP dialog{platform, shared};

  explicit DialogRig(std::int32_t speed = 5, std::int32_t num = 200, std::int32_t intval = 30) {
    shared.Speed = speed;
    shared.Num = num;
    shared.Intval = intval;
  }
  // Runs Show(); `user` plays the user once the dialog is up.
  void Open(std::function<void()> user = {}) {
    platform.onDialogShown = std::move(user);
    dialog.Show();
  }
  std::vector<std::string> CallsFrom(std::size_t mark) const {
    return {platform.calls.begin() + static_cast<std::ptrdiff_t>(mark), platform.calls.end()};
  }
};

TEST(DialogLoad, RunsItsStepsInOrder) {
  DialogRig rig;
  rig.Open();
  EXPECT_THAT(
      rig.platform.calls,
      ElementsAre("CreateDialogWindow", "SetWindowWidthTwips(" + kDlg + ", 5940)",
                  "SetWindowHeightTwips(" + kDlg + ", 3450)",
                  "MoveWindowTwips(" + kDlg + ", 4710, 4035)", "SetHandCursor(lbl_URL)",
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
  EXPECT_EQ(rig.dialog.ZoomOriginX, 500);
  EXPECT_EQ(rig.dialog.ZoomOriginY, 300);
}

TEST(DialogLoad, ValuesEqualToTheBarsRaiseNoChange) {
  DialogRig rig(4, 100, 30);
  rig.Open();
  EXPECT_THAT(rig.platform.CallsStartingWith("SetScrollValue"), IsEmpty());
  EXPECT_EQ(rig.platform.captions[DialogControl::LblHs1], "4");
  EXPECT_EQ(rig.platform.captions[DialogControl::LblHs2], "100");
}

TEST(DialogLoad, AnOutOfRangeSettingKeepsTheBarButShowsAndKeepsTheNumber) {
  DialogRig rig(50, 70000, -3);
  rig.Open();
  EXPECT_THAT(rig.platform.CallsStartingWith("SetScrollValue"), IsEmpty());
  EXPECT_EQ(rig.platform.scrollValues, (std::array<std::int16_t, 3>{4, 100, 30}));
  EXPECT_EQ(rig.platform.captions[DialogControl::LblHs1], "50");
  EXPECT_EQ(rig.platform.captions[DialogControl::LblHs2], "70000");
  EXPECT_EQ(rig.platform.captions[DialogControl::LblHs3], "-3");
  EXPECT_EQ(rig.shared.Speed, 50);
  EXPECT_EQ(rig.shared.Num, 70000);
}

TEST(DialogLoad, AFailedPointerReadingZoomsFromTheScreenCorner) {
  DialogRig rig;
  rig.platform.cursorResult = 0;
  rig.Open();
  EXPECT_THAT(rig.platform.CallsStartingWith("DrawAnimatedRects"),
              ElementsAre("DrawAnimatedRects(" + kDlg + ", 3, (0 0 0 0), (314 269 710 499))"));
}

TEST(ScrollBars, AChangeShowsAndStoresTheBarsValue) {
  DialogRig rig;
  rig.Open([&] {
    rig.platform.scrollValues[1] = 250;
    rig.dialog.HS_Change(2);
    rig.platform.scrollValues[0] = 20;
    rig.dialog.HS_Change(1);
  });
  EXPECT_EQ(rig.shared.Num, 250);
  EXPECT_EQ(rig.shared.Speed, 20);
  EXPECT_EQ(rig.platform.captions[DialogControl::LblHs2], "250");
  EXPECT_EQ(rig.platform.captions[DialogControl::LblHs1], "20");
  EXPECT_EQ(rig.shared.Intval, 30);
}

TEST(ScrollBars, MovingABarReplacesAnOutOfRangeSetting) {
  DialogRig rig(50);
  rig.Open([&] {
    rig.platform.scrollValues[0] = 5;  // one click to the right of 4
    rig.dialog.HS_Change(1);
  });
  EXPECT_EQ(rig.shared.Speed, 5);
}

TEST(Gradient, LevelsOfA230PixelSurface) {
  struct Case { std::int32_t row, level; };
  for (const Case& c : {Case{0, 0}, Case{230, 0}, Case{1, 3}, Case{229, 3}, Case{57, 155},
                        Case{114, 220}, Case{115, 220}, Case{116, 220}}) {
    EXPECT_EQ(GradientLevel(c.row, 230.0f), c.level) << "row " << c.row;
  }
}

TEST(Gradient, PaintsTheWindowThenPicBRowByRowIncludingTheLastRow) {
  DialogRig rig;
  rig.platform.recordDrawing = true;
  rig.Open([&] { rig.dialog.Form_Resize(); });
  const auto lines = rig.platform.CallsStartingWith("DrawLine");
  ASSERT_EQ(lines.size(), 231u + 94u);
  EXPECT_EQ(lines[0], "DrawLine(Vorn_P, 0, 0, 396, 0, 1966080)");        // (0, 0, 30)
  EXPECT_EQ(lines[57], "DrawLine(Vorn_P, 0, 57, 396, 57, 12163995)");    // (155, 155, 185)
  EXPECT_EQ(lines[231], "DrawLine(Pic_b, 0, 0, 233, 0, 1966080)");
  EXPECT_EQ(lines.back(), "DrawLine(Pic_b, 0, 93, 233, 93, 1966080)");
  const Surface& window = rig.platform.surfaces[SurfaceId::DialogWindow];
  EXPECT_EQ(window.At(0, 0), 0x00001Eu);
  EXPECT_EQ(window.At(395, 1), 0x030321u);
  EXPECT_EQ(window.At(200, 115), 0xDCDCFAu);
}

TEST(Buttons, SetWritesTheSettingsThenStopsThePreviewThenCloses) {
  DialogRig rig;
  std::size_t mark = 0;
  rig.Open([&] {
    rig.platform.scrollValues[1] = 250;
    rig.dialog.HS_Change(2);
    rig.dialog.lbl_Set_MouseDown();
    mark = rig.platform.calls.size();
    rig.dialog.lbl_Set_MouseUp();
  });
  EXPECT_THAT(rig.CallsFrom(mark),
              ElementsAre("SetImagePicture(Img_Set, Img_Off)",
                          "WritePrivateProfileStringA(\"Section\", \"Speed\", \" 5\", \"C:\\Saver\\Vorn.ini\")",
                          "WritePrivateProfileStringA(\"Section\", \"Num\", \" 250\", \"C:\\Saver\\Vorn.ini\")",
                          "WritePrivateProfileStringA(\"Section\", \"Intval\", \" 30\", \"C:\\Saver\\Vorn.ini\")",
                          "CloseDialog(" + kDlg + ")", "GetWindowRect(" + kDlg + ")",
                          "DrawAnimatedRects(" + kDlg + ", 3, (314 269 710 499), (500 300 500 300))"));
  EXPECT_EQ(rig.dialog.StopPreview, -1);
  EXPECT_THAT(rig.platform.CallsStartingWith("SetImagePicture(Img_Set, Img_On)"),
              ElementsAre("SetImagePicture(Img_Set, Img_On)"));
}

TEST(Buttons, SetWritesAnUntouchedOutOfRangeSettingBack) {
  DialogRig rig(50);
  rig.Open([&] { rig.dialog.lbl_Set_MouseUp(); });
  EXPECT_THAT(rig.platform.CallsStartingWith("WritePrivateProfileStringA(\"Section\", \"Speed\""),
              ElementsAre("WritePrivateProfileStringA(\"Section\", \"Speed\", \" 50\", \"C:\\Saver\\Vorn.ini\")"));
}

TEST(Buttons, CancelAndTheCloseBoxCloseWithoutWriting) {
  for (int way = 0; way < 2; ++way) {
    DialogRig rig;
    std::size_t mark = 0;
    rig.Open([&] {
      rig.platform.scrollValues[0] = 9;
      rig.dialog.HS_Change(1);
      mark = rig.platform.calls.size();
      way == 0 ? rig.dialog.lbl_Can_MouseUp() : rig.dialog.ImgExit_MouseUp();
    });
    const char* face = way == 0 ? "SetImagePicture(Img_Can, Img_Off)"
                                : "SetImagePicture(ImgExit, imgImages(0))";
    EXPECT_THAT(rig.CallsFrom(mark),
                ElementsAre(face, "CloseDialog(" + kDlg + ")", "GetWindowRect(" + kDlg + ")",
                            ::testing::StartsWith("DrawAnimatedRects(")));
    EXPECT_EQ(rig.dialog.StopPreview, -1);
  }
}

TEST(Buttons, PressesShowThePressedFaces) {
  DialogRig rig;
  std::size_t mark = 0;
  rig.Open([&] {
    mark = rig.platform.calls.size();
    rig.dialog.lbl_Can_MouseDown();
    rig.dialog.ImgExit_MouseDown();
  });
  EXPECT_THAT(rig.CallsFrom(mark), ElementsAre("SetImagePicture(Img_Can, Img_On)",
                                               "SetImagePicture(ImgExit, imgImages(1))"));
}

TEST(Drag, OffsetsAndMovesInTwipsTopBeforeLeft) {
  DialogRig rig;
  rig.Open([&] {
    rig.platform.dialogTwips = {1200, 900, 5940, 3450};
    rig.platform.cursor = {100, 65};
    rig.dialog.Image1_MouseDown(1);
    EXPECT_EQ(rig.dialog.Dragging, 1);
    EXPECT_EQ(rig.dialog.DragOffsetX, 300);
    EXPECT_EQ(rig.dialog.DragOffsetY, 75);
    rig.platform.cursor = {110, 67};
    const std::size_t mark = rig.platform.calls.size();
    rig.dialog.Image1_MouseMove();
    EXPECT_THAT(rig.CallsFrom(mark),
                ElementsAre("GetCursorPos", "SetWindowTopTwips(" + kDlg + ", 930)",
                            "SetWindowLeftTwips(" + kDlg + ", 1350)"));
    rig.dialog.Image1_MouseUp();
    EXPECT_EQ(rig.dialog.Dragging, 0);
    const std::size_t after = rig.platform.calls.size();
    rig.dialog.Image1_MouseMove();
    EXPECT_EQ(rig.platform.calls.size(), after) << "no move once released";
  });
}

TEST(Drag, OnlyTheLeftButtonStartsADrag) {
  DialogRig rig;
  rig.Open([&] {
    for (std::int16_t button : {2, 4, 3}) rig.dialog.Image1_MouseDown(button);
    EXPECT_EQ(rig.dialog.Dragging, 0);
  });
}

TEST(Zoom, ADraggedDialogShrinksBackToWhereItOpened) {
  FakePlatform platform;
  platform.dialogTwips = {414 * 15, 269 * 15, 5940, 3450};
  ZoomClose(platform, {500, 300}, FakePlatform::kDialogWindow);
  EXPECT_THAT(platform.CallsStartingWith("DrawAnimatedRects"),
              ElementsAre("DrawAnimatedRects(" + kDlg + ", 3, (414 269 810 499), (500 300 500 300))"));
}

TEST(Link, OpensTheHomePage) {
  DialogRig rig;
  rig.Open([&] { rig.dialog.lbl_URL_Click(); });
  EXPECT_THAT(rig.platform.CallsStartingWith("ShellExecuteA"),
              ElementsAre("ShellExecuteA(" + kDlg + ", \"open\", \"" + std::string(kHomePage) +
                          "\", \"\", \"\", 1)"));
  EXPECT_FALSE(rig.platform.dialogClosed);
}

TEST(Preview, ShowsTheCellsInReadingOrderEveryHundredMilliseconds) {
  DialogRig rig;
  std::vector<Pixel> shown;  // the fake sheet's pixel is the cell's number
  std::vector<std::int64_t> times;
  bool cancelled = false;
  rig.platform.onDoEvents = [&](int) {
    const Pixel cell = rig.platform.surfaces[SurfaceId::DialogDisplay].At(0, 0);
    if (shown.empty() || shown.back() != cell || times.back() + 50'000 < rig.platform.nowMicroseconds) {
      if (shown.empty() || rig.platform.nowMicroseconds != times.back()) {
        shown.push_back(cell);
        times.push_back(rig.platform.nowMicroseconds);
      }
    }
    if (shown.size() == 34 && !cancelled) {
      cancelled = true;  // Cancel dispatches events itself: press it once
      rig.dialog.lbl_Can_MouseUp();
    }
  };
  rig.Open([&] { rig.dialog.Timer1_Timer(); });
  ASSERT_GE(shown.size(), 34u);
  EXPECT_EQ(shown[0], 0u);
  EXPECT_EQ(shown[8], 8u);    // the ninth frame: first cell of the second row
  EXPECT_EQ(shown[31], 31u);
  EXPECT_EQ(shown[32], 0u);   // the 33rd frame: the first cell again
  for (std::size_t i = 1; i < 33; ++i) EXPECT_GE(times[i] - times[i - 1], 100'000);
  EXPECT_FALSE(rig.platform.dialogTimerEnabled);
}

TEST(Preview, DrawsNothingOnceStoppedAndNothingWhenAlreadyStopped) {
  DialogRig rig;
  rig.platform.recordDrawing = true;
  rig.Open([&] {
    rig.dialog.StopPreview = kTrue16;
    rig.dialog.Timer1_Timer();
  });
  EXPECT_THAT(rig.platform.CallsStartingWith("BitBlt"), IsEmpty());

  DialogRig closing;
  closing.platform.recordDrawing = true;
  closing.platform.onDoEvents = [&](int n) {
    if (n == 3) closing.dialog.ImgExit_MouseUp();
  };
  closing.Open([&] { closing.dialog.Timer1_Timer(); });
  const auto& calls = closing.platform.calls;
  const auto closed = std::find(calls.begin(), calls.end(), "CloseDialog(" + kDlg + ")");
  ASSERT_NE(closed, calls.end());
  EXPECT_TRUE(std::none_of(closed, calls.end(),
                           [](const std::string& c) { return c.starts_with("BitBlt"); }));
}

TEST(Preview, AWindowClosedByTheSystemEndsTheLoopToo) {
  DialogRig rig;
  rig.platform.recordDrawing = true;
  rig.platform.onDoEvents = [&](int n) {
    if (n == 2) rig.platform.CloseDialog(FakePlatform::kDialogWindow);
    ASSERT_LT(n, 50) << "the preview loop outlived its window";
  };
  rig.Open([&] { rig.dialog.Timer1_Timer(); });
  EXPECT_EQ(rig.dialog.StopPreview, -1);
  EXPECT_THAT(rig.platform.CallsStartingWith("WritePrivateProfileStringA"), IsEmpty());
}

}  // namespace
}  // namespace vorn
