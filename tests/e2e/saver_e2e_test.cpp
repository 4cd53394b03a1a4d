// The saver under Wine: flames on the whole screen, and its end on input.
#include <gtest/gtest.h>

#include "harness.h"

namespace vorn::e2e {
namespace {

using namespace std::chrono_literals;

constexpr char kMainCaption[] = "Vorn_Main";
constexpr char kVornExe[] = "Vorn.scr";
constexpr Millis kShowBudget = 30s;       // Wine's first window may start its desktop
constexpr Millis kEndBudget = 3s;         // input to process exit
constexpr Millis kStaysUp = 1500ms;       // how long a saver that must not end is watched
constexpr Point kRestingPointer{300, 300};

// A lit pixel of the fire's colours: red leads, blue trails.
bool IsFireColour(const Rgb& p) { return p.r >= 96 && p.r >= p.g && p.g >= p.b; }

std::size_t CountFirePixels(const RgbImage& image) {
  std::size_t count = 0;
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x) count += IsFireColour(image.At(x, y));
  return count;
}

std::size_t CountNonBlack(const RgbImage& image) {
  return image.Width() * static_cast<std::size_t>(image.Height()) - image.CountNear({0, 0, 0}, 0);
}

class SaverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RequireVornBuilt(DefaultBenchPaths());
    bench_ = &Bench::Shared();
    bench_->Wine().SetWindowsVersion(kVornExe, "default");
    bench_->X().WaitWindowGone(kMainCaption, Deadline::In(10s));
    bench_->X().MoveMouseTo(kRestingPointer);
    vorn_ = bench_->FreshVornCopy();
  }

  // Starts the saver and waits until its window shows flames (or, for a
  // swarm of none, until the window is up).
  void StartSaver(const std::vector<std::string>& args, bool expectFlames = true) {
    saver_ = bench_->Wine().Launch(vorn_->Program(), args, vorn_->Dir());
    window_ = bench_->X().FindWindowByCaption(kMainCaption, Deadline::In(kShowBudget));
    if (!expectFlames) return;
    bench_->X().WaitForCapture(
        window_.geometry, [](const RgbImage& image) { return CountFirePixels(image) > 2000; },
        "flames on the saver window", Deadline::In(5s));
  }

  void ExpectEndsWithin(Millis budget, const std::string& after) {
    const auto status = saver_->TryWaitExit(Deadline::In(budget));
    ASSERT_TRUE(status.has_value()) << "the saver still runs " << budget.count() << " ms after "
                                    << after << "\n" << saver_->LogTail();
    EXPECT_TRUE(status->exited && status->code == 0) << status->Describe();
    bench_->X().WaitWindowGone(kMainCaption, Deadline::In(5s));
  }

  void ExpectStillRunning(const std::string& after) {
    std::this_thread::sleep_for(kStaysUp);
    EXPECT_TRUE(saver_->IsRunning()) << "the saver ended after " << after << "\n" << saver_->LogTail();
  }

  // The saver's first mouse-move event only records the pointer: give Wine's
  // own event after the window shows time to arrive.
  void LetThePointerSettle() { std::this_thread::sleep_for(300ms); }

  Bench* bench_ = nullptr;
  std::unique_ptr<ProgramFolder> vorn_;
  std::unique_ptr<ChildProcess> saver_;
  WindowInfo window_;
};

TEST_F(SaverTest, FillsTheScreenWithMovingFlames) {
  StartSaver({"/s"});
  const Size screen = bench_->Display().ScreenSize();
  EXPECT_EQ(window_.geometry, (Rect{0, 0, screen.width, screen.height}));
  const RgbImage first = bench_->X().Capture();
  std::this_thread::sleep_for(200ms);
  const RgbImage second = bench_->X().Capture();
  bench_->SaveEvidence(first, "saver-flames");
  EXPECT_GT(CountFirePixels(first), 2000u);
  std::size_t changed = 0;
  for (int y = 0; y < first.Height(); ++y)
    for (int x = 0; x < first.Width(); ++x) changed += !(first.At(x, y) == second.At(x, y));
  EXPECT_GT(changed, 5000u) << "two screenshots 200 ms apart are nearly the same";
  bench_->X().TapKey("space");
  ExpectEndsWithin(kEndBudget, "a key press");
}

TEST_F(SaverTest, AStraightMoveDoesNotEndItButADiagonalOneDoes) {
  StartSaver({"/s"});
  LetThePointerSettle();
  bench_->X().MoveMouseTo({kRestingPointer.x + 120, kRestingPointer.y});
  bench_->X().MoveMouseTo({kRestingPointer.x - 80, kRestingPointer.y});
  ExpectStillRunning("a horizontal mouse move");
  bench_->X().MoveMouseTo({kRestingPointer.x, kRestingPointer.y + 90});
  ExpectStillRunning("a vertical mouse move");
  bench_->X().MoveMouseTo({kRestingPointer.x + 3, kRestingPointer.y + 3});
  ExpectEndsWithin(1s, "a diagonal mouse move");
}

TEST_F(SaverTest, EndsOnAClick) {
  StartSaver({"/s"});
  bench_->X().ClickButton(1);
  ExpectEndsWithin(kEndBudget, "a click");
}

TEST_F(SaverTest, EndsOnALoneShift) {
  StartSaver({"/s"});
  bench_->X().TapKey("Shift_L");
  ExpectEndsWithin(kEndBudget, "Shift pressed alone");
}

TEST_F(SaverTest, ThePlainStartIgnoresTheMouseAndEndsOnAKey) {
  StartSaver({});
  LetThePointerSettle();
  bench_->X().MoveMouseTo({kRestingPointer.x + 100, kRestingPointer.y + 100});
  bench_->X().MoveMouseTo({kRestingPointer.x + 200, kRestingPointer.y + 150});
  ExpectStillRunning("diagonal mouse moves in the plain start");
  bench_->X().TapKey("a");
  ExpectEndsWithin(kEndBudget, "a key press");
}

TEST_F(SaverTest, ASecondStartExitsAtOnceWhileTheFirstRuns) {
  StartSaver({"/s"});
  auto second = bench_->Wine().Launch(vorn_->Program(), {"/s"}, vorn_->Dir());
  const auto status = second->TryWaitExit(Deadline::In(5s));
  ASSERT_TRUE(status.has_value()) << "the second /s is still running";
  EXPECT_EQ(bench_->X().FindWindows(kMainCaption).size(), 1u);
  EXPECT_TRUE(saver_->IsRunning());
  bench_->X().TapKey("space");
  ExpectEndsWithin(kEndBudget, "a key press");
}

TEST_F(SaverTest, NoFlamesGiveABlackScreenThatStillEndsOnInput) {
  vorn_->WriteSettings("[Section]\r\nNum=0\r\n");
  StartSaver({"/s"}, false);
  const RgbImage screen = bench_->X().WaitForCapture(
      window_.geometry, [](const RgbImage& image) { return CountNonBlack(image) == 0; },
      "a black saver window", Deadline::In(5s));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(CountNonBlack(bench_->X().Capture(window_.geometry)), 0u);
  bench_->X().ClickButton(1);
  ExpectEndsWithin(kEndBudget, "a click");
}

TEST_F(SaverTest, SettingsFileDecidesTheSwarmSize) {
  // Fast flames spread over the screen within a second, so the lit area
  // follows their number.
  auto litPixelsWith = [&](std::string_view settings, std::string_view evidence) {
    vorn_->WriteSettings(settings);
    saver_ = bench_->Wine().Launch(vorn_->Program(), {"/s"}, vorn_->Dir());
    window_ = bench_->X().FindWindowByCaption(kMainCaption, Deadline::In(kShowBudget));
    std::this_thread::sleep_for(1500ms);
    const RgbImage screen = bench_->X().Capture();
    bench_->SaveEvidence(screen, evidence);
    bench_->X().TapKey("space");
    ExpectEndsWithin(kEndBudget, "a key press");
    return CountFirePixels(screen);
  };
  const std::size_t many = litPixelsWith("[Section]\r\nNum=400\r\nSpeed=20\r\n", "saver-400");
  const std::size_t few = litPixelsWith("[Section]\r\nNum=10\r\nSpeed=20\r\n", "saver-10");
  EXPECT_GT(few, 0u);
  EXPECT_GT(many, few * 5) << "400 flames lit " << many << " pixels, 10 lit " << few;
}

// ------------------------------------------------ the 95/98 family

class Saver9xTest : public SaverTest {
 protected:
  void SetUp() override {
    SaverTest::SetUp();
    const fs::path double_ = bench_->Paths().Helper("password.cpl");
    RequireHelperBuilt(bench_->Paths(), "password.cpl");
    systemCpl_ = bench_->Wine().SystemFolder() / "password.cpl";
    fs::copy_file(double_, systemCpl_, fs::copy_options::overwrite_existing);
    bench_->Wine().SetWindowsVersion(kVornExe, "win98");
  }
  void TearDown() override {
    if (saver_ && saver_->IsRunning()) saver_->Kill();
    bench_->Wine().SetWindowsVersion(kVornExe, "default");
    fs::remove(systemCpl_);
  }
  std::size_t PasswordCalls() const {
    const auto log = vorn_->ReadFile("password_calls.txt");
    return log ? static_cast<std::size_t>(std::count(log->begin(), log->end(), '\n')) : 0;
  }
  fs::path systemCpl_;
};

TEST_F(Saver9xTest, AWrongPasswordKeepsTheSaverAndARightOneEndsIt) {
  vorn_->WriteFile("password_answer.txt", "0\n");
  StartSaver({"/s"});
  bench_->X().ClickButton(1);
  ASSERT_TRUE(PollUntil(Deadline::In(3s), [&] { return PasswordCalls() == 1; }))
      << "the password was not asked for after a click";
  ExpectStillRunning("a refused password");
  EXPECT_EQ(vorn_->ReadFile("password_calls.txt").value_or(""), "VerifyScreenSavePwd window\n");

  vorn_->WriteFile("password_answer.txt", "1\n");
  bench_->X().TapKey("space");
  ExpectEndsWithin(kEndBudget, "an accepted password");
  EXPECT_EQ(PasswordCalls(), 2u);
}

TEST_F(Saver9xTest, ThePlainStartAsksForNoPassword) {
  vorn_->WriteFile("password_answer.txt", "0\n");
  StartSaver({});
  bench_->X().TapKey("space");
  ExpectEndsWithin(kEndBudget, "a key press");
  EXPECT_EQ(PasswordCalls(), 0u);
}

}  // namespace
}  // namespace vorn::e2e
