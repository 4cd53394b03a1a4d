// Preview mode under Wine, inside a stand-in for the display settings' preview
// area (tests/e2e/win32/preview_host.cpp).
//
// Vorn.scr /p <handle> puts its window inside the area, filling it, and lives
// exactly as long as the area. Wine (8.0) draws nothing of a child window whose
// parent belongs to another process, so what the preview window shows is
// checked with the same routine and platform code running in the host's own
// process: the still the art tool rendered, pixel for pixel, from the top-left
// corner, black beyond it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "harness.h"

namespace vorn::e2e {
namespace {

using namespace std::chrono_literals;

constexpr char kHostExe[] = "preview_host.exe";
constexpr char kHostCaption[] = "Vorn preview host";
constexpr char kInProcess[] = "in-process";
constexpr char kStillFile[] = "preview_still.bmp";
constexpr Size kStillSize{152, 112};
constexpr Point kHostPlace{60, 50};
constexpr Rgb kBlack{0, 0, 0};
constexpr Millis kShowBudget = 30s;          // Wine's first window may start its desktop
constexpr Millis kPaintBudget = 10s;         // host window up to the still inside it
constexpr Millis kHostReportBudget = 40s;    // the host waits up to 20 s for the program
constexpr Millis kQuickExitBudget = 5s;      // "ends at once", with room for Wine's start-up
constexpr Millis kEndAfterDestroyBudget = 6s; // Wine delivers WM_DESTROY ~2 s after under Xvfb
constexpr Millis kCleanDisplayBudget = 10s;
constexpr Millis kStaysUp = 1s;               // how long a preview that must not end is watched
constexpr int kBmpHeaderSize = 54;

// ------------------------------------------------ pictures

std::uint32_t Le32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

// The still as the art tool wrote it: a 24-bit bottom-up BMP.
RgbImage LoadStill(const fs::path& file) {
  RequireFile(file, "the preview still", "build the native preset (it runs tools/artgen)");
  const std::string bytes = ReadFileBytes(file).value_or("");
  if (bytes.size() < kBmpHeaderSize) throw E2eError(file.string() + " is too short for a bitmap");
  const int width = static_cast<int>(Le32(bytes, 18));
  const int height = static_cast<int>(Le32(bytes, 22));
  const int stride = (width * 3 + 3) / 4 * 4;
  if (bytes.size() < kBmpHeaderSize + static_cast<std::size_t>(stride * height) ||
      Le32(bytes, 10) != kBmpHeaderSize) {
    throw E2eError(file.string() + " is not the 24-bit bitmap the art tool writes");
  }
  RgbImage image(width, height);
  for (int y = 0; y < height; ++y) {
    const std::size_t row = kBmpHeaderSize + static_cast<std::size_t>((height - 1 - y) * stride);
    for (int x = 0; x < width; ++x) {
      const auto at = [&](int channel) { return static_cast<std::uint8_t>(bytes[row + x * 3 + channel]); };
      image.Set(x, y, Rgb{at(2), at(1), at(0)});
    }
  }
  return image;
}

// What an area of `size` shows: the still from its top-left corner, black beyond it.
RgbImage ExpectedArea(const RgbImage& still, Size size) {
  RgbImage expected(size.width, size.height);
  for (int y = 0; y < size.height; ++y)
    for (int x = 0; x < size.width; ++x)
      expected.Set(x, y, x < still.Width() && y < still.Height() ? still.At(x, y) : kBlack);
  return expected;
}

int CountDifferences(const RgbImage& got, const RgbImage& expected) {
  if (got.Width() != expected.Width() || got.Height() != expected.Height()) return -1;
  int differences = 0;
  for (int y = 0; y < got.Height(); ++y)
    for (int x = 0; x < got.Width(); ++x) differences += !(got.At(x, y) == expected.At(x, y));
  return differences;
}

// ------------------------------------------------ the host's report

std::string WindowsPath(const fs::path& unixPath) {
  std::string text = "Z:" + fs::absolute(unixPath).lexically_normal().string();
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

// A whole line of the host's output that starts with `prefix`.
std::optional<std::string> ReportedLine(const std::string& output, std::string_view prefix) {
  for (std::size_t at = output.find(prefix); at != std::string::npos; at = output.find(prefix, at + 1)) {
    if (at != 0 && output[at - 1] != '\n') continue;
    const std::size_t end = output.find('\n', at);
    if (end == std::string::npos) return std::nullopt;  // the line is still being written
    std::string line = output.substr(at, end - at);
    std::erase(line, '\r');
    return line;
  }
  return std::nullopt;
}

// Waits for a line of the host's that starts with one of `prefixes`.
std::string WaitForLine(ChildProcess& host, const std::vector<std::string>& prefixes,
                        const Deadline& deadline) {
  std::optional<std::string> line;
  PollUntil(deadline, [&] {
    const std::string output = host.Output();
    for (const auto& prefix : prefixes)
      if ((line = ReportedLine(output, prefix))) return true;
    return false;
  });
  if (line) return *line;
  throw E2eError("waited " + std::to_string(deadline.Budget().count()) + " ms for preview_host to report '" +
                 prefixes.front() + "'; its output:\n" + host.LogTail());
}

// How the program the host started ended, as the host saw it.
struct ProgramEnd {
  long long code = -1;
  long long afterMs = -1;
};

// Waits for the host's "exit <code> after <ms> ms" (or fails on "running after").
ProgramEnd WaitForProgramEnd(ChildProcess& host, const Deadline& deadline) {
  const std::string line = WaitForLine(host, {"exit ", "running "}, deadline);
  ProgramEnd end;
  if (std::sscanf(line.c_str(), "exit %lld after %lld ms", &end.code, &end.afterMs) != 2) {
    throw E2eError("Vorn.scr did not end: preview_host reports '" + line + "'\n" + host.LogTail());
  }
  return end;
}

// The window the host found inside itself: "child <handle> at <x> <y> size <w> <h>".
Rect WaitForEmbeddedWindow(ChildProcess& host, const Deadline& deadline) {
  const std::string line = WaitForLine(host, {"child "}, deadline);
  unsigned long long handle = 0;
  Rect place;
  if (std::sscanf(line.c_str(), "child %llu at %d %d size %d %d", &handle, &place.x, &place.y,
                  &place.width, &place.height) != 5) {
    throw E2eError("cannot read preview_host's line '" + line + "'");
  }
  return place;
}

std::string ListWindows(const std::vector<WindowInfo>& windows) {
  std::string text;
  for (const auto& window : windows) text += "\n  " + window.Describe();
  return text;
}

// ------------------------------------------------ the fixture

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RequireVornBuilt(DefaultBenchPaths());
    RequireHelperBuilt(DefaultBenchPaths(), kHostExe);
    bench_ = &Bench::Shared();
    still_ = LoadStill(bench_->Paths().buildDir / "art" / kStillFile);
    bench_->X().WaitWindowGone(kHostCaption, Deadline::In(kCleanDisplayBudget));
    vorn_ = bench_->FreshVornCopy();
  }

  // The host starting Vorn.scr /p <its handle>.
  std::unique_ptr<ChildProcess> StartHost(Size size, const std::vector<std::string>& options = {}) {
    return StartHostWith(WindowsPath(vorn_->Program()), size, options);
  }

  // The host running the preview routine in its own process.
  std::unique_ptr<ChildProcess> StartInProcessHost(Size size, const std::vector<std::string>& options = {}) {
    return StartHostWith(kInProcess, size, options);
  }

  std::unique_ptr<ChildProcess> StartHostWith(const std::string& program, Size size,
                                              const std::vector<std::string>& options) {
    std::vector<std::string> args = {program, std::to_string(kHostPlace.x),
                                     std::to_string(kHostPlace.y), std::to_string(size.width),
                                     std::to_string(size.height)};
    args.insert(args.end(), options.begin(), options.end());
    return bench_->LaunchHelper(kHostExe, args);
  }

  // Waits for the host window and then for `expected` on its client area.
  void ExpectShows(ChildProcess& host, Size size, const RgbImage& expected, const std::string& what) {
    const WindowInfo window = bench_->X().FindWindowByCaption(kHostCaption, Deadline::In(kShowBudget));
    const Rect area{kHostPlace.x, kHostPlace.y, size.width, size.height};
    ASSERT_EQ(window.geometry, area) << window.Describe();
    RgbImage last;
    const auto matches = [&](const RgbImage& image) {
      last = image;
      return CountDifferences(image, expected) == 0;
    };
    try {
      bench_->X().WaitForCapture(area, matches, what, Deadline::In(kPaintBudget));
      bench_->SaveEvidence(last, "preview-" + what);
    } catch (const E2eError& error) {
      const fs::path shot = bench_->SaveEvidence(last, "preview-" + what);
      bench_->SaveEvidence(expected, "preview-" + what + "-expected");
      ADD_FAILURE() << error.what() << "\n" << CountDifferences(last, expected)
                    << " pixels differ (" << shot << ")\nhost output:\n" << host.LogTail();
    }
  }

  // Checks that Vorn.scr's window sits inside the host, filling it, while the
  // program runs on and no window but the host's is mapped.
  void ExpectEmbedded(ChildProcess& host, Size size, MapWatch& watch) {
    const Rect place = WaitForEmbeddedWindow(host, Deadline::In(kShowBudget));
    EXPECT_EQ(place, (Rect{0, 0, size.width, size.height})) << host.LogTail();
    const bool ended = PollUntil(Deadline::In(kStaysUp),
                                 [&] { return ReportedLine(host.Output(), "exit ").has_value(); });
    EXPECT_FALSE(ended) << "Vorn.scr /p ended on its own\n" << host.LogTail();
    for (const WindowInfo& window : watch.Mapped()) {
      EXPECT_EQ(window.caption, kHostCaption) << "a window besides the host's was mapped: " << window.Describe();
    }
  }

  Bench* bench_ = nullptr;
  RgbImage still_;
  std::unique_ptr<ProgramFolder> vorn_;
};

// ------------------------------------------------ what the preview shows

TEST_F(PreviewTest, AnAreaOfTheStillsSizeShowsItPixelForPixel) {
  ASSERT_EQ(still_.Width(), kStillSize.width);
  ASSERT_EQ(still_.Height(), kStillSize.height);
  ASSERT_GT(still_.Width() * still_.Height() - static_cast<int>(still_.CountNear(kBlack, 0)), 500)
      << "the still is (nearly) black: the comparison would prove little";
  auto host = StartInProcessHost(kStillSize);
  ExpectShows(*host, kStillSize, still_, "exact-size");
}

TEST_F(PreviewTest, ALargerAreaShowsTheStillAtTheTopLeftAndBlackElsewhere) {
  const Size size{300, 200};
  auto host = StartInProcessHost(size);
  ExpectShows(*host, size, ExpectedArea(still_, size), "larger");
}

TEST_F(PreviewTest, ASmallerAreaShowsTheTopLeftPartOfTheStill) {
  const Size size{100, 60};
  auto host = StartInProcessHost(size);
  ExpectShows(*host, size, ExpectedArea(still_, size), "smaller");
}

TEST_F(PreviewTest, ThePreviewLoopEndsWithTheAreaThatHoldsIt) {
  auto host = StartInProcessHost(kStillSize, {"--destroy-after-ms", "200"});
  ExpectShows(*host, kStillSize, still_, "in-process-before-destroy");
  WaitForLine(*host, {"ended"}, Deadline::In(kEndAfterDestroyBudget));
  EXPECT_EQ(host->WaitExit(Deadline::In(kQuickExitBudget)), 0) << host->LogTail();
}

// ------------------------------------------------ Vorn.scr /p inside another program

TEST_F(PreviewTest, VornScrPutsItsWindowInsideTheAreaFillingIt) {
  for (const Size size : {kStillSize, Size{300, 200}}) {
    MapWatch watch(bench_->Display().Name());
    auto host = StartHost(size);
    ExpectEmbedded(*host, size, watch);
    host->Kill();
    bench_->X().WaitWindowGone(kHostCaption, Deadline::In(kCleanDisplayBudget));
  }
}

TEST_F(PreviewTest, ASettingsFileFullOfGarbageDoesNotMatter) {
  const std::string garbage = "[Section]\r\nSpeed=abc\r\nNum=-7\r\nIntval=1e999\r\n\x01\x02garbage\r\n";
  vorn_->WriteSettings(garbage);
  MapWatch watch(bench_->Display().Name());
  auto host = StartHost(kStillSize);
  ExpectEmbedded(*host, kStillSize, watch);
  EXPECT_EQ(vorn_->ReadFile(ProgramFolder::kSettingsFile).value_or(""), garbage)
      << "preview mode rewrote the settings file";
}

// ------------------------------------------------ how long it lives

TEST_F(PreviewTest, EndsWhenThePreviewAreaIsDestroyed) {
  auto host = StartHost(kStillSize, {"--destroy-after-ms", "300"});
  EXPECT_EQ(WaitForEmbeddedWindow(*host, Deadline::In(kShowBudget)),
            (Rect{0, 0, kStillSize.width, kStillSize.height}));
  const ProgramEnd end = WaitForProgramEnd(*host, Deadline::In(kHostReportBudget));
  const std::string output = host->Output();
  EXPECT_LT(output.find("destroyed"), output.find("exit ")) << "Vorn.scr ended before its area went\n"
                                                             << host->LogTail();
  EXPECT_EQ(end.code, 0) << host->LogTail();
  EXPECT_LE(end.afterMs, kEndAfterDestroyBudget.count())
      << "Vorn.scr /p lingered after its preview area was destroyed\n" << host->LogTail();
  EXPECT_EQ(host->WaitExit(Deadline::In(kQuickExitBudget)), 0) << host->LogTail();
}

TEST_F(PreviewTest, AStaleHandleOfADestroyedWindowEndsAtOnceWithoutAWindow) {
  MapWatch watch(bench_->Display().Name());
  auto host = StartHost(kStillSize, {"--stale"});
  const ProgramEnd end = WaitForProgramEnd(*host, Deadline::In(kHostReportBudget));
  EXPECT_EQ(end.code, 0) << host->LogTail();
  EXPECT_LE(end.afterMs, kQuickExitBudget.count()) << host->LogTail();
  EXPECT_EQ(host->WaitExit(Deadline::In(kQuickExitBudget)), 0) << host->LogTail();
  EXPECT_TRUE(watch.Mapped().empty()) << "windows mapped:" << ListWindows(watch.Mapped());
}

class PreviewWithoutAWindowTest : public PreviewTest,
                                  public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(PreviewWithoutAWindowTest, EndsAtOnceWithoutAnyWindow) {
  MapWatch watch(bench_->Display().Name());
  auto vorn = bench_->Wine().Launch(vorn_->Program(), GetParam(), vorn_->Dir());
  const Deadline deadline = Deadline::In(kQuickExitBudget);
  PollUntil(deadline, [&] {
    watch.Mapped();
    return !vorn->IsRunning();
  });
  const auto status = vorn->TryWaitExit(Deadline::In(0ms));
  ASSERT_TRUE(status.has_value()) << "still running after " << kQuickExitBudget.count() << " ms";
  EXPECT_TRUE(status->exited && status->code == 0) << status->Describe();
  EXPECT_TRUE(watch.Mapped().empty()) << "windows mapped:" << ListWindows(watch.Mapped());
}

std::string HandleCaseName(const ::testing::TestParamInfo<std::vector<std::string>>& info) {
  std::string name = "args";
  for (const auto& arg : info.param)
    for (const char c : arg) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(NoSuchWindow, PreviewWithoutAWindowTest,
                         ::testing::Values(std::vector<std::string>{"/p"},
                                           std::vector<std::string>{"/p", "abc"},
                                           std::vector<std::string>{"/p", "123456"},
                                           std::vector<std::string>{"/p", "99999999999"}),
                         HandleCaseName);

}  // namespace
}  // namespace vorn::e2e
