// Checks of the bench itself: if these fail, the Vorn tests cannot be trusted.
#include <gtest/gtest.h>

#include <string>

#include "harness.h"

namespace vorn::e2e {
namespace {

using namespace std::chrono_literals;

constexpr char kDialogCaption[] = "Vornの設定";
constexpr char kMainCaption[] = "Vorn_Main";
constexpr Rgb kRunningCopyColour{0x20, 0xC0, 0x60};  // running_copy.exe paints its client area so
constexpr Millis kWindowBudget = 30s;  // the first window of a fresh prefix starts Wine's desktop
constexpr Millis kExitBudget = 15s;
constexpr double kMinColourShare = 0.9;
constexpr int kPlatformWindows9x = 1;   // VER_PLATFORM_WIN32_WINDOWS
constexpr int kPlatformWindowsNt = 2;   // VER_PLATFORM_WIN32_NT

std::string Describe(Point p) { return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")"; }

void ExpectPointerAt(const XClient& x, Point expected) {
  Point seen;
  const bool there = PollUntil(Deadline::In(2s), [&] { return (seen = x.PointerPosition()) == expected; });
  EXPECT_TRUE(there) << "waited for the pointer at " << Describe(expected) << "; XQueryPointer says "
                     << Describe(seen);
}

TEST(BenchSelfTest, XTestMovesThePointer) {
  XClient& x = Bench::Shared().X();
  x.MoveMouseTo({200, 150});
  ExpectPointerAt(x, {200, 150});
  x.MoveMouseBy(15, -10);
  ExpectPointerAt(x, {215, 140});
  x.MoveMouseTo({0, 0});
  ExpectPointerAt(x, {0, 0});
}

TEST(BenchSelfTest, XTestPressesKeysAndButtons) {
  XClient& x = Bench::Shared().X();
  for (const char* key : {"Shift_L", "Control_L"}) {
    x.PressKey(key);
    EXPECT_TRUE(x.IsKeyDown(key)) << key << " should be down after PressKey";
    x.ReleaseKey(key);
    EXPECT_FALSE(x.IsKeyDown(key)) << key << " should be up after ReleaseKey";
  }
  x.PressButton(1);
  EXPECT_TRUE(x.IsButtonDown(1)) << "button 1 should be down after PressButton";
  x.ReleaseButton(1);
  EXPECT_FALSE(x.IsButtonDown(1)) << "button 1 should be up after ReleaseButton";
  EXPECT_THROW(x.PressKey("NoSuchKeyName"), E2eError);
}

TEST(BenchSelfTest, ScreenshotsHaveTheScreenSizeAndBecomePng) {
  Bench& bench = Bench::Shared();
  const RgbImage screen = bench.X().Capture();
  EXPECT_EQ(screen.Width(), VirtualDisplay::kDefaultSize.width);
  EXPECT_EQ(screen.Height(), VirtualDisplay::kDefaultSize.height);
  const std::string png = screen.Crop({0, 0, 4, 3}).EncodePng();
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND");
  const fs::path saved = bench.SaveEvidence(screen, "self-test-empty-screen");
  EXPECT_EQ(fs::file_size(saved), bench.X().Capture().EncodePng().size());
}

TEST(BenchSelfTest, RunningCopyWindowIsFoundShownAndGoneWhenKilled) {
  Bench& bench = Bench::Shared();
  MapWatch watch(bench.Display().Name());
  auto copy = bench.LaunchHelper("running_copy.exe", {"dialog"});
  const WindowInfo window = bench.X().FindWindowByCaption(kDialogCaption, Deadline::In(kWindowBudget));
  EXPECT_EQ(window.pid, copy->Pid()) << window.Describe();
  EXPECT_TRUE(window.viewable);

  const auto mostlyCopyColour = [](const RgbImage& shot) {
    const double pixels = static_cast<double>(shot.Width()) * shot.Height();
    return static_cast<double>(shot.CountNear(kRunningCopyColour, 0)) >= kMinColourShare * pixels;
  };
  bench.X().WaitForCapture(window.geometry, mostlyCopyColour,
                           "running_copy.exe's colour " + Describe(kRunningCopyColour),
                           Deadline::In(kExitBudget));
  bench.SaveEvidence(bench.X().Capture(), "self-test-running-copy");

  bool seen = false;
  for (const auto& mapped : watch.Mapped()) seen |= mapped.caption == kDialogCaption && mapped.pid == copy->Pid();
  EXPECT_TRUE(seen) << "MapWatch did not record the mapping of " << window.Describe();

  copy->Kill();
  bench.X().WaitWindowGone(kDialogCaption, Deadline::In(kExitBudget));
}

TEST(BenchSelfTest, RunningCopyEndsByItselfAfterItsSeconds) {
  Bench& bench = Bench::Shared();
  auto copy = bench.LaunchHelper("running_copy.exe", {"main", "1"});
  bench.X().FindWindowByCaption(kMainCaption, Deadline::In(kWindowBudget));
  EXPECT_EQ(copy->WaitExit(Deadline::In(kExitBudget)), 0);
  bench.X().WaitWindowGone(kMainCaption, Deadline::In(kExitBudget));
}

TEST(BenchSelfTest, WaitsThatRunOutSayWhatTheyWaitedFor) {
  Bench& bench = Bench::Shared();
  try {
    bench.X().FindWindowByCaption("no such window", Deadline::In(100ms));
    FAIL() << "FindWindowByCaption found a window that does not exist";
  } catch (const E2eError& error) {
    EXPECT_NE(std::string(error.what()).find("'no such window'"), std::string::npos) << error.what();
  }
  auto copy = bench.LaunchHelper("running_copy.exe", {"main"});
  try {
    copy->WaitExit(Deadline::In(200ms));
    FAIL() << "WaitExit returned for a program that keeps running";
  } catch (const E2eError& error) {
    EXPECT_NE(std::string(error.what()).find("still running"), std::string::npos) << error.what();
  }
  EXPECT_TRUE(copy->IsRunning());
}

TEST(BenchSelfTest, TextEncodingsRoundTrip) {
  const std::string text = "Vornの設定 ＭＳ Ｐゴシック \U0001F600";
  const std::string wide = Utf16LeFromUtf8(text);
  EXPECT_EQ(wide.substr(0, 4), std::string("V\0o\0", 4));
  EXPECT_EQ(wide.substr(8, 2), "\x6e\x30");  // の is U+306E
  EXPECT_EQ(Utf8FromUtf16Le(wide), text);
  EXPECT_EQ(Utf8FromUtf16Le("\xFF\xFE" + wide), text);
}

TEST(BenchSelfTest, JapaneseFontReplacementIsInThePrefix) {
  const std::string exported =
      Bench::Shared().Wine().ExportRegistry("HKCU\\Software\\Wine\\Fonts\\Replacements");
  EXPECT_NE(exported.find("\"ＭＳ Ｐゴシック\"=\"IPAPGothic\""), std::string::npos) << exported;
}

TEST(BenchSelfTest, WindowsVersionIsSetPerProgram) {
  Bench& bench = Bench::Shared();
  const auto platform = [&] {
    return bench.LaunchHelper("running_copy.exe", {"platform"})->WaitExit(Deadline::In(kExitBudget));
  };
  bench.Wine().SetWindowsVersion("running_copy.exe", "win98");
  EXPECT_EQ(platform(), kPlatformWindows9x) << "with AppDefaults\\running_copy.exe Version=win98";
  bench.Wine().SetWindowsVersion("running_copy.exe", "default");
  EXPECT_EQ(platform(), kPlatformWindowsNt) << "with the prefix's default version";
}

}  // namespace
}  // namespace vorn::e2e
