// Start-up of Vorn.scr under Wine: a second copy steps aside for a running one,
// and switches that mean nothing here end the program without any window.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <tuple>
#include <vector>

#include "harness.h"

namespace vorn::e2e {
namespace {

using namespace std::chrono_literals;

constexpr char kMainCaption[] = "Vorn_Main";
constexpr char kDialogCaption[] = "Vornの設定";
constexpr char kVornExe[] = "Vorn.scr";
constexpr Millis kQuickExitBudget = 5s;         // "exits at once", with room for Wine's start-up
constexpr Millis kRunningCopyBudget = 30s;      // the first window of a fresh prefix starts Wine's desktop
constexpr Millis kCleanDisplayBudget = 10s;

std::string Join(const std::vector<std::string>& args) {
  std::string text;
  for (const auto& arg : args) text += (text.empty() ? "" : " ") + arg;
  return text;
}

std::string ListWindows(const std::vector<WindowInfo>& windows) {
  std::string text;
  for (const auto& window : windows) text += "\n  " + window.Describe();
  return text;
}

// What happened while one Vorn.scr ran: how it ended and every window mapped meanwhile.
struct StartupRun {
  std::string command;
  std::optional<ExitStatus> status;
  Millis elapsed{0};
  std::vector<WindowInfo> mapped;
  std::string log;
};

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RequireVornBuilt(DefaultBenchPaths());
    RequireHelperBuilt(DefaultBenchPaths(), "running_copy.exe");
    bench_ = &Bench::Shared();
    bench_->Wine().SetWindowsVersion(kVornExe, "default");
    bench_->X().WaitWindowGone(kMainCaption, Deadline::In(kCleanDisplayBudget));
    bench_->X().WaitWindowGone(kDialogCaption, Deadline::In(kCleanDisplayBudget));
    vorn_ = bench_->FreshVornCopy();
  }

  // Starts Vorn.scr and polls until it exits (or kQuickExitBudget runs out),
  // recording every window mapped on the display in that time.
  StartupRun RunVorn(const std::vector<std::string>& args) {
    MapWatch watch(bench_->Display().Name());
    auto vorn = bench_->Wine().Launch(vorn_->Program(), args, vorn_->Dir());
    const Deadline deadline = Deadline::In(kQuickExitBudget);
    StartupRun run{std::string(kVornExe) + " " + Join(args), {}, {}, {}, {}};
    PollUntil(deadline, [&] {
      watch.Mapped();
      return !vorn->IsRunning();
    });
    run.elapsed = deadline.Elapsed();
    run.status = vorn->TryWaitExit(Deadline::In(0ms));
    run.mapped = watch.Mapped();
    run.log = vorn->LogTail();
    return run;
  }

  void ExpectQuickExitWithoutWindows(const StartupRun& run) {
    ASSERT_TRUE(run.status.has_value())
        << run.command << " was still running after " << kQuickExitBudget.count()
        << " ms; windows mapped meanwhile:" << ListWindows(run.mapped) << "\noutput:\n" << run.log;
    EXPECT_TRUE(run.status->exited) << run.command << " ended abnormally: " << run.status->Describe();
    EXPECT_TRUE(run.mapped.empty()) << run.command << " (" << run.status->Describe() << " after "
                                    << run.elapsed.count() << " ms) mapped windows:"
                                    << ListWindows(run.mapped);
  }

  std::unique_ptr<ChildProcess> StartRunningCopy(const std::string& keyword, const char* caption) {
    auto copy = bench_->LaunchHelper("running_copy.exe", {keyword});
    const WindowInfo window = bench_->X().FindWindowByCaption(caption, Deadline::In(kRunningCopyBudget));
    EXPECT_EQ(window.pid, copy->Pid()) << "the window " << window.Describe()
                                       << " is not running_copy.exe's (pid " << copy->Pid() << ")";
    return copy;
  }

  Bench* bench_ = nullptr;
  std::unique_ptr<ProgramFolder> vorn_;
};

// ------------------------------------------------ the first copy

// The control for the tests below: alone, /s does open the saver window, so a
// second start that shows nothing is the program stepping aside.
TEST_F(StartupTest, SaverAloneOpensItsFullScreenWindow) {
  auto vorn = bench_->Wine().Launch(vorn_->Program(), {"/s"}, vorn_->Dir());
  const WindowInfo window =
      bench_->X().FindWindowByCaption(kMainCaption, Deadline::In(kRunningCopyBudget));
  bench_->SaveEvidence(bench_->X().Capture(), "startup-first-s");
  EXPECT_EQ(window.pid, vorn->Pid()) << window.Describe();
  const Size screen = bench_->X().ScreenSize();
  EXPECT_EQ(window.geometry, (Rect{0, 0, screen.width, screen.height})) << window.Describe();
  EXPECT_TRUE(vorn->IsRunning()) << "Vorn.scr /s ended with its window still up";
  vorn->Kill();
  bench_->X().WaitWindowGone(kMainCaption, Deadline::In(kCleanDisplayBudget));
}

// ------------------------------------------------ a copy is already running

using RunningCopyCase = std::tuple<std::string, std::vector<std::string>>;

class SecondStartTest : public StartupTest, public ::testing::WithParamInterface<RunningCopyCase> {};

TEST_P(SecondStartTest, ExitsAtOnceAndOpensNoWindow) {
  const auto& [keyword, args] = GetParam();
  const char* caption = keyword == "main" ? kMainCaption : kDialogCaption;
  auto copy = StartRunningCopy(keyword, caption);

  const StartupRun run = RunVorn(args);
  ExpectQuickExitWithoutWindows(run);
  if (run.status && run.status->exited) {
    EXPECT_EQ(run.status->code, 0) << run.command << " beside a window '" << caption << "'";
  }

  const auto mains = bench_->X().FindWindows(kMainCaption);
  const std::size_t expectedMains = keyword == "main" ? 1 : 0;
  EXPECT_EQ(mains.size(), expectedMains) << "windows captioned '" << kMainCaption << "' after "
                                         << run.command << ":" << ListWindows(mains);
  EXPECT_TRUE(copy->IsRunning()) << "running_copy.exe ended while " << run.command << " ran";
  bench_->SaveEvidence(bench_->X().Capture(), "startup-second-" + keyword + "-" + Join(args));
}

std::string SecondStartName(const ::testing::TestParamInfo<RunningCopyCase>& info) {
  std::string name = std::get<0>(info.param) + "_";
  for (const char c : Join(std::get<1>(info.param))) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(
    BesideRunningCopy, SecondStartTest,
    ::testing::Combine(::testing::Values(std::string("main"), std::string("dialog")),
                       ::testing::Values(std::vector<std::string>{"/s"}, std::vector<std::string>{"/c"},
                                         std::vector<std::string>{"/p", "1234"})),
    SecondStartName);

// ------------------------------------------------ switches with nothing to do

class IdleSwitchTest : public StartupTest, public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(IdleSwitchTest, ExitsAtOnceWithoutAnyWindow) {
  const StartupRun run = RunVorn(GetParam());
  ExpectQuickExitWithoutWindows(run);
  const auto mains = bench_->X().FindWindows(kMainCaption);
  EXPECT_TRUE(mains.empty()) << run.command << " left windows:" << ListWindows(mains);
}

std::string IdleSwitchName(const ::testing::TestParamInfo<std::vector<std::string>>& info) {
  std::string name = "switch_";
  for (const char c : Join(info.param)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

// On the NT family /a (change password) belongs to the system, not to the saver.
INSTANTIATE_TEST_SUITE_P(NtFamily, IdleSwitchTest,
                         ::testing::Values(std::vector<std::string>{"/x"}, std::vector<std::string>{"s"},
                                           std::vector<std::string>{"/a", "1234"}),
                         IdleSwitchName);

}  // namespace
}  // namespace vorn::e2e
