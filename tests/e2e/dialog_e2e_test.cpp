// The settings dialog (Vorn.scr /c) under Wine: where it opens, what it shows,
// its scroll bars and picture buttons, the settings file it leaves behind,
// and the end of the process after each way of closing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <string>

#include "harness.h"

namespace vorn::e2e {
namespace {

using namespace std::chrono_literals;

constexpr char kDialogCaption[] = "Vornの設定";
constexpr char kVornExe[] = "Vorn.scr";
constexpr Millis kShowBudget = 30s;  // Wine's first window may start its desktop
// Without a window manager Wine waits 2 s for a destroyed window to go.
constexpr Millis kEndBudget = 8s;
constexpr Millis kReactBudget = 3s;  // input to what it changes on the screen
// The pointer's place at launch: the opening zoom starts there.
constexpr Point kRestingPointer{100, 100};

// Places in the dialog, window pixels (its layout in twips / 15).
constexpr Rect kSpeedLabel{320, 56, 25, 13};   // lbl_HS(1)
constexpr Rect kNumLabel{320, 80, 25, 13};     // lbl_HS(2)
constexpr Rect kIntvalLabel{320, 104, 25, 13}; // lbl_HS(3)
constexpr Rect kSpeedBar{232, 52, 85, 17};     // HS(1)
constexpr Rect kNumBar{232, 76, 85, 17};       // HS(2)
constexpr Rect kIntvalBar{232, 100, 85, 17};   // HS(3)
constexpr Rect kPreview{52, 52, 32, 64};       // Display, inside Pic_a
constexpr Point kSetButton{233, 176};          // lbl_Set over Img_Set
constexpr Point kCancelButton{329, 176};       // lbl_Can over Img_Can
constexpr Point kCloseBox{383, 11};            // ImgExit
constexpr Point kTitleGrip{200, 11};           // Image1, clear of its caption and the close box
// HS(2)'s thumb at 200 of 100 to 400: 17-pixel arrows, a 17-pixel thumb.
constexpr Point kNumThumb{232 + 17 + 34 * 100 / 300 + 8, 76 + 8};

Point RightArrowOf(const Rect& bar) { return {bar.x + bar.width - 6, bar.y + bar.height / 2}; }

// The level of row y of the dialog's shading on a surface h rows high.
int ShadeLevel(int y, double h) {
  return static_cast<int>(std::nearbyint(std::fabs(std::sin(y / (h / 3.142))) * 220));
}

bool IsInk(const Rgb& p) { return p.r < 70 && p.g < 70 && p.b < 70; }

// A scroll bar's arrow buttons are drawn: its ends are mostly light.
bool ArrowsDrawn(const RgbImage& bar) {
  std::size_t light = 0;
  for (int y = 0; y < bar.Height(); ++y) {
    for (int x : {1, 4, bar.Width() - 5, bar.Width() - 2}) {
      const Rgb p = bar.At(x, y);
      light += p.r > 150 && p.g > 150 && p.b > 150;
    }
  }
  return light > static_cast<std::size_t>(bar.Height()) * 2;
}

// Some tens of lit pixels on the preview's black.
bool ShowsAFlame(const RgbImage& preview) {
  const auto all = static_cast<std::size_t>(preview.Width()) * preview.Height();
  return all - preview.CountNear({0, 0, 0}, 24) >= 40;
}

// The leftmost column holding dark text pixels; the width when there is none.
int TextLeftEdge(const RgbImage& image) {
  for (int x = 0; x < image.Width(); ++x)
    for (int y = 0; y < image.Height(); ++y)
      if (IsInk(image.At(x, y))) return x;
  return image.Width();
}

std::size_t Differences(const RgbImage& a, const RgbImage& b) {
  std::size_t count = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) count += !(a.At(x, y) == b.At(x, y));
  return count;
}

// The value of `key` in settings-file text, read loosely: any case, blanks
// around the value dropped; nullopt when the key is not there.
std::optional<std::string> IniValue(const std::string& text, std::string_view key) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos || equals != key.size()) continue;
    if (!std::equal(key.begin(), key.end(), line.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        })) {
      continue;
    }
    const std::size_t first = line.find_first_not_of(" \t", equals + 1);
    const std::size_t last = line.find_last_not_of(" \t\r");
    return first == std::string::npos || last < first ? "" : line.substr(first, last - first + 1);
  }
  return std::nullopt;
}

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RequireVornBuilt(DefaultBenchPaths());
    bench_ = &Bench::Shared();
    bench_->Wine().SetWindowsVersion(kVornExe, "default");
    X().WaitWindowGone(kDialogCaption, Deadline::In(10s));
    X().MoveMouseTo(kRestingPointer);
    vorn_ = bench_->FreshVornCopy();
  }

  XClient& X() const { return bench_->X(); }

  // Starts Vorn.scr /c and waits until the dialog shows its shading and the
  // value of its first bar.
  void OpenDialog() {
    dialog_ = bench_->Wine().Launch(vorn_->Program(), {"/c"}, vorn_->Dir());
    window_ = X().FindWindowByCaption(kDialogCaption, Deadline::In(kShowBudget));
    X().WaitForCapture(
        OnScreen({5, 57, 1, 1}), [](const RgbImage& i) { return Near(i.At(0, 0), {155, 155, 185}, 2); },
        "the dialog's shading", Deadline::In(5s));
    X().WaitForCapture(
        OnScreen(kSpeedLabel), [](const RgbImage& i) { return TextLeftEdge(i) < i.Width(); },
        "the value beside HS(1)", Deadline::In(5s));
  }

  Point At(Point p) const { return {window_.geometry.x + p.x, window_.geometry.y + p.y}; }
  Rect OnScreen(const Rect& r) const { return {At({r.x, r.y}).x, At({r.x, r.y}).y, r.width, r.height}; }
  RgbImage Shot(const Rect& r) const { return X().Capture(OnScreen(r)); }

  void Click(Point p) const {
    X().MoveMouseTo(At(p));
    X().ClickButton(1);
  }

  // Waits until the area no longer looks as it did.
  RgbImage WaitChange(const Rect& area, const RgbImage& before, std::string_view what) const {
    return X().WaitForCapture(
        OnScreen(area), [&](const RgbImage& now) { return Differences(now, before) > 0; }, what,
        Deadline::In(kReactBudget));
  }

  void ExpectEnds(const std::string& after) {
    const auto status = dialog_->TryWaitExit(Deadline::In(kEndBudget));
    ASSERT_TRUE(status.has_value()) << "Vorn.scr /c still runs " << kEndBudget.count()
                                    << " ms after " << after << "\n" << dialog_->LogTail();
    EXPECT_TRUE(status->exited && status->code == 0) << status->Describe();
    X().WaitWindowGone(kDialogCaption, Deadline::In(5s));
  }

  // Without a window manager the X keyboard focus follows the pointer: keys
  // reach the dialog while the pointer rests on it (on the preview here).
  void PointAtTheDialogForKeys() const { X().MoveMouseTo(At(kPreview.Center())); }

  // True when the area keeps its look for the whole of `span`.
  bool StaysTheSame(const Rect& area, const RgbImage& before, Millis span) const {
    return !PollUntil(Deadline::In(span),
                      [&] { return Differences(Shot(area), before) > 0; });
  }

  std::optional<std::string> Settings() const { return vorn_->ReadFile(ProgramFolder::kSettingsFile); }

  Bench* bench_ = nullptr;
  std::unique_ptr<ProgramFolder> vorn_;
  std::unique_ptr<ChildProcess> dialog_;
  WindowInfo window_;
};

TEST_F(DialogTest, OpensCentredOnTheScreenAt396By230) {
  OpenDialog();
  const Size screen = bench_->Display().ScreenSize();
  ASSERT_EQ(screen, (Size{1024, 768}));
  EXPECT_EQ(window_.geometry, (Rect{314, 269, 396, 230})) << window_.Describe();
  Click(kCancelButton);
  ExpectEnds("a click on Cancel");
}

TEST_F(DialogTest, ShowsItsScrollBarsAndAFlame) {
  OpenDialog();
  for (const Rect& bar : {kSpeedBar, kNumBar, kIntvalBar}) {
    X().WaitForCapture(OnScreen(bar), ArrowsDrawn, "a scroll bar's arrows", Deadline::In(kReactBudget));
  }
  X().WaitForCapture(OnScreen(kPreview), ShowsAFlame, "a flame in the preview", Deadline::In(kReactBudget));
  bench_->SaveEvidence(X().Capture(window_.geometry), "settings-dialog");
  Click(kCancelButton);
  ExpectEnds("a click on Cancel");
}

TEST_F(DialogTest, ItsShadingShowsWhereNoControlCoversIt) {
  OpenDialog();
  const RgbImage shot = X().Capture(window_.geometry);
  const auto expect = [&](int x, int y) {
    const int v = ShadeLevel(y, 230);
    EXPECT_EQ(shot.At(x, y), (Rgb{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v),
                                  static_cast<std::uint8_t>(v + 30)}))
        << "row " << y << " at x " << x;
  };
  expect(395, 0);  // the title bar covers x 0 to 394 of the top rows
  expect(395, 1);
  for (int y : {30, 57, 114, 115, 116, 150, 229}) expect(5, y);
  EXPECT_EQ(shot.At(5, 57), (Rgb{155, 155, 185}));
  EXPECT_EQ(shot.At(5, 115), (Rgb{220, 220, 250}));
  EXPECT_EQ(shot.At(5, 229), (Rgb{3, 3, 33}));
  // The title bar's dark blue picture lies over the shading's top rows.
  const Rgb title = shot.At(200, 11);
  EXPECT_GT(title.b, title.r + 40) << Describe(title);
  Click(kCloseBox);
  ExpectEnds("a click on the close box");
}

TEST_F(DialogTest, ThePreviewFlameMoves) {
  OpenDialog();
  const RgbImage first = X().WaitForCapture(OnScreen(kPreview), ShowsAFlame,
                                            "a flame in the preview", Deadline::In(kReactBudget));
  std::this_thread::sleep_for(150ms);
  const RgbImage second = Shot(kPreview);
  EXPECT_GT(Differences(first, second), 20u) << "the preview did not change in 150 ms";
  Click(kCancelButton);
  ExpectEnds("a click on Cancel");
}

TEST_F(DialogTest, TheRightArrowThenSetSavesTheNewSpeed) {
  OpenDialog();
  // No settings file: 5, 200 and 30, one, three and two digits wide.
  const RgbImage speed = Shot(kSpeedLabel);
  EXPECT_GE(TextLeftEdge(speed), kSpeedLabel.width - 9) << "lbl_HS(1) is not one digit";
  EXPECT_LT(TextLeftEdge(Shot(kNumLabel)), kNumLabel.width - 14) << "lbl_HS(2) is not three digits";
  const int intval = TextLeftEdge(Shot(kIntvalLabel));
  EXPECT_TRUE(intval < kIntvalLabel.width - 9 && intval >= kIntvalLabel.width - 15) << intval;
  Click(RightArrowOf(kSpeedBar));
  WaitChange(kSpeedLabel, speed, "lbl_HS(1) to show the new speed");
  Click(kSetButton);
  ExpectEnds("a click on Set");
  const std::string text = Settings().value_or("");
  EXPECT_EQ(IniValue(text, "Speed"), "6") << text;
  EXPECT_EQ(IniValue(text, "Num"), "200") << text;
  EXPECT_EQ(IniValue(text, "Intval"), "30") << text;
}

TEST_F(DialogTest, CancelLeavesAnExistingFileAsItWas) {
  const std::string original = "; mine\r\n[Section]\r\nSpeed=7\r\nNum= 150\r\n[Other]\r\nKeep=1\r\n";
  vorn_->WriteSettings(original);
  OpenDialog();
  const RgbImage speed = Shot(kSpeedLabel);
  Click(RightArrowOf(kSpeedBar));
  WaitChange(kSpeedLabel, speed, "lbl_HS(1) to show the new speed");
  Click(kCancelButton);
  ExpectEnds("a click on Cancel");
  EXPECT_EQ(Settings(), original);
}

TEST_F(DialogTest, TheCloseBoxLeavesNoFileBehind) {
  OpenDialog();
  const RgbImage num = Shot(kNumLabel);
  Click(RightArrowOf(kNumBar));
  WaitChange(kNumLabel, num, "lbl_HS(2) to show the new number");
  Click(kCloseBox);
  ExpectEnds("a click on the close box");
  EXPECT_EQ(Settings(), std::nullopt);
}

TEST_F(DialogTest, DraggingTheTitleBarMovesTheWindow) {
  OpenDialog();
  const Rect before = window_.geometry;
  X().MoveMouseTo(At(kTitleGrip));
  X().PressButton(1);
  // The drag takes its grip from where the pointer is when the press is
  // handled, so the pointer holds still a moment first, as a hand does.
  std::this_thread::sleep_for(250ms);
  for (int step = 1; step <= 5; ++step) {
    X().MoveMouseTo(At({kTitleGrip.x + 2 * step, kTitleGrip.y + (step >= 4 ? 2 : step / 2)}));
    std::this_thread::sleep_for(30ms);
  }
  X().ReleaseButton(1);
  const Rect expected{before.x + 10, before.y + 2, before.width, before.height};
  Rect seen = before;
  const bool moved = PollUntil(Deadline::In(kReactBudget), [&] {
    const auto info = X().ReadWindow(window_.id);
    if (info) seen = info->geometry;
    return seen == expected;
  });
  EXPECT_TRUE(moved) << "expected " << Describe(expected) << ", the window is at " << Describe(seen);
  window_.geometry = seen;
  Click(kCancelButton);
  ExpectEnds("a click on Cancel after the drag");
}

TEST_F(DialogTest, ASecondStartExitsAtOnceWhileTheDialogIsOpen) {
  OpenDialog();
  auto second = bench_->Wine().Launch(vorn_->Program(), {"/c"}, vorn_->Dir());
  const auto status = second->TryWaitExit(Deadline::In(5s));
  ASSERT_TRUE(status.has_value()) << "the second /c still runs\n" << second->LogTail();
  EXPECT_TRUE(status->exited && status->code == 0) << status->Describe();
  EXPECT_EQ(X().FindWindows(kDialogCaption).size(), 1u);
  EXPECT_TRUE(dialog_->IsRunning());
  Click(kCancelButton);
  ExpectEnds("a click on Cancel");
}

TEST_F(DialogTest, AStoredSpeedOutsideTheBarIsShownAndWrittenBack) {
  vorn_->WriteSettings("[Section]\r\nSpeed=50\r\n");
  OpenDialog();
  // "50" is two digits wide where the default "5" is one.
  const int left = TextLeftEdge(Shot(kSpeedLabel));
  EXPECT_TRUE(left < kSpeedLabel.width - 9 && left >= kSpeedLabel.width - 15) << left;
  Click(kSetButton);
  ExpectEnds("a click on Set");
  const std::string text = Settings().value_or("");
  EXPECT_EQ(IniValue(text, "Speed"), "50") << text;
  EXPECT_EQ(IniValue(text, "Num"), "200") << text;
  EXPECT_EQ(IniValue(text, "Intval"), "30") << text;
}

TEST_F(DialogTest, AReleaseBelongsToTheButtonThatWasPressed) {
  OpenDialog();
  X().MoveMouseTo(At(kCancelButton));
  X().PressButton(1);
  X().MoveMouseTo(At(kSetButton));
  X().ReleaseButton(1);
  ExpectEnds("a press on Cancel let go over Set");
  EXPECT_EQ(Settings(), std::nullopt) << "the release over Set saved the settings";
}

TEST_F(DialogTest, DraggingAThumbChangesTheValueOnlyWhenLetGo) {
  OpenDialog();
  const RgbImage num = Shot(kNumLabel);
  X().MoveMouseTo(At(kNumThumb));
  X().PressButton(1);
  for (int step = 1; step <= 4; ++step) {
    X().MoveMouseTo(At({kNumThumb.x + 3 * step, kNumThumb.y}));
    std::this_thread::sleep_for(30ms);
  }
  EXPECT_TRUE(StaysTheSame(kNumLabel, num, 500ms)) << "lbl_HS(2) changed while the thumb was held";
  X().ReleaseButton(1);
  WaitChange(kNumLabel, num, "lbl_HS(2) to show the dragged number");
  Click(kSetButton);
  ExpectEnds("a click on Set");
  const std::string text = Settings().value_or("");
  const int saved = std::stoi(IniValue(text, "Num").value_or("0"));
  EXPECT_TRUE(saved > 200 && saved <= 400) << text;
  EXPECT_EQ(IniValue(text, "Speed"), "5") << text;
}

TEST_F(DialogTest, TheKeysWorkTheFocusedBarAndTabMovesOn) {
  OpenDialog();
  const RgbImage speed = Shot(kSpeedLabel);
  PointAtTheDialogForKeys();
  X().TapKey("Right");  // HS(1) has the focus when the dialog opens
  WaitChange(kSpeedLabel, speed, "lbl_HS(1) after the right arrow key");
  const RgbImage num = Shot(kNumLabel);
  X().TapKey("Tab");
  X().TapKey("End");
  WaitChange(kNumLabel, num, "lbl_HS(2) after Tab and End");
  Click(kSetButton);
  ExpectEnds("a click on Set");
  const std::string text = Settings().value_or("");
  EXPECT_EQ(IniValue(text, "Speed"), "6") << text;
  EXPECT_EQ(IniValue(text, "Num"), "400") << text;
  EXPECT_EQ(IniValue(text, "Intval"), "30") << text;
}

TEST_F(DialogTest, AltF4ClosesItWithoutSaving) {
  OpenDialog();
  const RgbImage speed = Shot(kSpeedLabel);
  PointAtTheDialogForKeys();
  X().TapKey("Right");
  WaitChange(kSpeedLabel, speed, "lbl_HS(1) after the right arrow key");
  X().PressKey("Alt_L");
  X().TapKey("F4");
  X().ReleaseKey("Alt_L");
  ExpectEnds("Alt+F4");
  EXPECT_EQ(Settings(), std::nullopt);
}

}  // namespace
}  // namespace vorn::e2e
