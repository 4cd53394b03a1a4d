// Vorn.scr under hostile input, end to end under Wine: settings files anyone
// may have edited and command lines of every shape. Whatever the input, the
// program shows the window its mode calls for and ends on its usual cue, or
// ends at once without a window. It never crashes (a crash ends with another
// exit code, and Wine's report would be a window of its own), never hangs
// (every run has a deadline), and writes nothing but what the dialog's Set
// saves.
#include <gtest/gtest.h>

#include <array>
#include <cctype>

#include "harness.h"
#include "hostile_support.h"

namespace vorn::e2e {
namespace {

using namespace std::chrono_literals;

constexpr char kVornExe[] = "Vorn.scr";
constexpr char kMainCaption[] = "Vorn_Main";
constexpr char kDialogCaption[] = "Vornの設定";
constexpr char kSettingsFile[] = "Vorn.ini";
constexpr char kExactHelper[] = "exact_command_line.exe";
constexpr Millis kShowBudget = 30s;        // Wine's first window may start its desktop
constexpr Millis kFocusBudget = 5s;
constexpr Millis kKeyEndBudget = 5s;       // the saver's usual end: a few seconds
constexpr Millis kQuickExitBudget = 5s;    // "at once", with room for Wine's start-up
constexpr Millis kDialogEndBudget = 10s;   // Wine waits 2 s to hide a window without a manager
constexpr Millis kPaintBudget = 5s;
constexpr Millis kGoneBudget = 10s;
constexpr Millis kHelperBudget = 20s;
constexpr std::size_t kLongText = 10'000;
// The dialog's controls in window pixels (src/settings_dialog/layout.h, 15 twips a pixel).
constexpr Rect kSetLabel{188, 168, 91, 17};
constexpr Point kCloseBox{378, 8};
constexpr Rect kShadingProbe{5, 57, 1, 1};
constexpr Rgb kShadingColour{155, 155, 185};
constexpr int kShadingTolerance = 2;
constexpr Point kRestingPointer{300, 300};

std::string Joined(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& arg : args) text += " " + (arg.size() > 40 ? arg.substr(0, 20) + "..." : arg);
  return text;
}

// Wine reaches the whole Unix file system as drive Z:.
std::string WindowsPath(const fs::path& unixPath) {
  std::string path = "Z:" + unixPath.string();
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

class HostileInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RequireVornBuilt(DefaultBenchPaths());
    bench_ = &Bench::Shared();
    bench_->Wine().SetWindowsVersion(kVornExe, "default");
    X().WaitWindowGone(kMainCaption, Deadline::In(kGoneBudget));
    X().WaitWindowGone(kDialogCaption, Deadline::In(kGoneBudget));
    X().MoveMouseTo(kRestingPointer);
    vorn_ = bench_->FreshVornCopy();
  }

  XClient& X() const { return bench_->X(); }

  // Starts a program with a watch on the windows it maps and a record of the
  // program folder as it was.
  void Start(const fs::path& program, const std::vector<std::string>& args, std::string command) {
    watch_ = std::make_unique<MapWatch>(bench_->Display().Name());
    before_ = ReadFolder(vorn_->Dir());
    command_ = std::move(command);
    process_ = bench_->Wine().Launch(program, args, vorn_->Dir());
  }
  void StartVorn(const std::vector<std::string>& args) {
    Start(vorn_->Program(), args, kVornExe + Joined(args));
  }

  // A clean end within the budget: exit code 0, no window but one captioned
  // `allowedCaption` (none when null), and the folder as it was except for
  // the file `mayChange`.
  void ExpectCleanEnd(Millis budget, std::string_view after, const char* allowedCaption,
                      const std::string& mayChange = {}) {
    PollUntil(Deadline::In(budget), [&] {
      watch_->Mapped();  // read each window while it is still there
      return !process_->IsRunning();
    });
    const auto status = process_->TryWaitExit(Deadline::In(0ms));
    if (!status) process_->Kill();
    ASSERT_TRUE(status.has_value()) << command_ << " still ran " << budget.count() << " ms after "
                                    << after << "\n" << process_->LogTail();
    EXPECT_TRUE(status->exited && status->code == 0)
        << command_ << " ended with " << status->Describe() << "\n" << process_->LogTail();
    for (const WindowInfo& window : watch_->Mapped()) {
      // A window gone before it could be read lived for less than a poll: no
      // report of a crash, which waits for the user.
      const bool fleeting = window.caption.empty() && window.pid == -1;
      EXPECT_TRUE(allowedCaption != nullptr && (fleeting || window.caption == allowedCaption))
          << command_ << " mapped " << window.Describe();
    }
    FolderFiles now = ReadFolder(vorn_->Dir());
    FolderFiles was = before_;
    was.erase(mayChange);
    now.erase(mayChange);
    EXPECT_EQ(FolderChanges(was, now), "") << command_ << " wrote to its folder";
  }

  void ExpectExitAtOnce(const std::vector<std::string>& args) {
    StartVorn(args);
    ExpectCleanEnd(kQuickExitBudget, "its start", nullptr);
  }

  void ExpectSaverEndsOnAKey(const std::vector<std::string>& args) {
    StartVorn(args);
    const WindowInfo window = X().FindWindowByCaption(kMainCaption, Deadline::In(kShowBudget));
    watch_->Mapped();
    EXPECT_EQ(window.pid, process_->Pid()) << window.Describe();
    ASSERT_TRUE(WaitForKeyboardFocus(X(), window.id, Deadline::In(kFocusBudget)))
        << command_ << ": keys never went to " << window.Describe();
    X().TapKey("space");
    ExpectCleanEnd(kKeyEndBudget, "a key press", kMainCaption);
  }

  // Starts the dialog and waits until it has painted its shading.
  WindowInfo OpenDialog(const std::vector<std::string>& args) {
    StartVorn(args);
    const WindowInfo window = X().FindWindowByCaption(kDialogCaption, Deadline::In(kShowBudget));
    watch_->Mapped();
    const Rect probe{window.geometry.x + kShadingProbe.x, window.geometry.y + kShadingProbe.y,
                     kShadingProbe.width, kShadingProbe.height};
    X().WaitForCapture(
        probe, [](const RgbImage& i) { return Near(i.At(0, 0), kShadingColour, kShadingTolerance); },
        "the dialog's shading", Deadline::In(kPaintBudget));
    return window;
  }

  void Click(const WindowInfo& window, Point at) const {
    X().MoveMouseTo({window.geometry.x + at.x, window.geometry.y + at.y});
    X().ClickButton(1);
  }

  void ExpectDialogClosesByItsCloseBox(const std::vector<std::string>& args) {
    Click(OpenDialog(args), kCloseBox);
    ExpectCleanEnd(kDialogEndBudget, "a click on the close box", kDialogCaption);
  }

  // The argument text exactly as given, through a helper that starts Vorn.scr itself.
  void ExpectExactCommandLineExitsAtOnce(const std::string& argumentText) {
    RequireHelperBuilt(bench_->Paths(), kExactHelper);
    const std::string budget = std::to_string(kQuickExitBudget.count());
    Start(bench_->Paths().Helper(kExactHelper), {WindowsPath(vorn_->Program()), argumentText, budget},
          std::string(kVornExe) + " " + argumentText);
    ExpectCleanEnd(kHelperBudget, "its start", nullptr);
    std::string report = process_->Output();
    std::erase(report, '\r');
    EXPECT_TRUE(report.starts_with("exit 0 after")) << command_ << ": " << report;
  }

  Bench* bench_ = nullptr;
  std::unique_ptr<ProgramFolder> vorn_;
  std::unique_ptr<MapWatch> watch_;
  std::unique_ptr<ChildProcess> process_;
  FolderFiles before_;
  std::string command_;
};

// ------------------------------------------------ settings files

struct SettingsCase {
  std::string name;
  std::optional<std::string> file;  // none: no settings file at all
};

std::string Section(std::string_view lines) { return "[Section]\r\n" + std::string(lines); }

std::vector<SettingsCase> SettingsFiles() {
  using namespace std::string_literals;
  return {
      {"Missing", std::nullopt},
      {"Empty", ""},
      {"OneMegabyteOfRandomBytes", SeededBytes(1 << 20, 20240611)},
      {"TenThousandCharacterValues",
       Section("Speed=" + std::string(kLongText, '9') + "\r\nNum=" + std::string(kLongText, 'x'))},
      {"NulBytes", "[Sec\0tion]\r\nNum=\0 12\r\n"s + Section("Speed=3\0\0\r\nNum=4\0"s + "00\r\n")},
      {"Utf8ByteOrderMark", "\xEF\xBB\xBF" + Section("Num=50\r\nSpeed=12\r\n")},
      {"Utf16LeByteOrderMark", "\xFF\xFE" + Utf16LeFromUtf8(Section("Num=50\r\nSpeed=12\r\n"))},
      {"DuplicateSectionsAndKeys", Section("Num=10\r\nNum=300\r\n") + Section("Speed=15\r\nNum=20\r\n")},
      {"ThirtyTwoBitEdgesAbove", Section("Speed=2147483647\r\nNum=2147483648\r\nIntval=2147483646\r\n")},
      {"ThirtyTwoBitEdgesBelow", Section("Speed=-2147483649\r\nNum=-2147483648\r\nIntval=-2147483647\r\n")},
      {"NumZero", Section("Num=0")},
      {"NumMinusOne", Section("Num=-1")},
      {"NumOne", Section("Num=1")},
      {"Num400", Section("Num=400")},
      {"Num100000", Section("Num=100000")},
      {"NumJustBeyondTheLimit", Section("Num=100001")},
      {"NumOneBillion", Section("Num=1000000000")},
      {"NumHighest", Section("Num=2147483647")},
      {"SpeedLowest", Section("Speed=-2147483648")},
      {"SpeedHighest", Section("Speed=2147483647")},
      {"IntvalZero", Section("Intval=0")},
      {"IntvalNegative", Section("Intval=-5")},
  };
}

class HostileSettingsTest : public HostileInputTest,
                            public ::testing::WithParamInterface<SettingsCase> {
 protected:
  void SetUp() override {
    HostileInputTest::SetUp();
    if (GetParam().file) vorn_->WriteSettings(*GetParam().file);
  }
};

TEST_P(HostileSettingsTest, TheSaverShowsItsWindowAndEndsOnAKey) { ExpectSaverEndsOnAKey({"/s"}); }

INSTANTIATE_TEST_SUITE_P(Files, HostileSettingsTest, ::testing::ValuesIn(SettingsFiles()),
                         [](const auto& info) { return info.param.name; });

// The dialog on a few of them: Set leaves a file whose three values are
// whole numbers, the ones that were read (a bar cannot show an out-of-range
// value, but the setting keeps it).
struct DialogCase {
  std::string name;
  std::optional<std::string> file;
  std::array<std::int32_t, 3> written;  // Speed, Num, Intval
};

std::vector<DialogCase> DialogFiles() {
  const std::vector<SettingsCase> files = SettingsFiles();
  const auto file = [&](std::string_view name) {
    return std::find_if(files.begin(), files.end(), [&](const auto& c) { return c.name == name; })->file;
  };
  return {
      {"Missing", std::nullopt, {5, 200, 30}},
      {"OneMegabyteOfRandomBytes", file("OneMegabyteOfRandomBytes"), {5, 200, 30}},
      {"Utf16LeByteOrderMark", file("Utf16LeByteOrderMark"), {12, 50, 30}},
      {"Num100000", file("Num100000"), {5, 100000, 30}},
      {"ThirtyTwoBitEdgesAbove", file("ThirtyTwoBitEdgesAbove"), {2147483647, 0, 2147483646}},
  };
}

class HostileDialogTest : public HostileInputTest, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(HostileDialogTest, SetWritesWholeNumbers) {
  if (GetParam().file) vorn_->WriteSettings(*GetParam().file);
  Click(OpenDialog({"/c"}), kSetLabel.Center());
  ExpectCleanEnd(kDialogEndBudget, "a click on Set", kDialogCaption, kSettingsFile);
  const std::optional<std::string> written = vorn_->ReadFile(kSettingsFile);
  ASSERT_TRUE(written.has_value()) << "Set left no settings file";
  const std::array<const char*, 3> keys = {"Speed", "Num", "Intval"};
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const std::optional<std::string> text = SettingText(*written, keys[i]);
    ASSERT_TRUE(text.has_value()) << keys[i] << " is missing from what Set wrote";
    EXPECT_EQ(WholeNumber(*text), GetParam().written[i]) << keys[i] << "=" << *text;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, HostileDialogTest, ::testing::ValuesIn(DialogFiles()),
                         [](const auto& info) { return info.param.name; });

// ------------------------------------------------ command lines

enum class Outcome { ExitAtOnce, Saver, Dialog };

struct CommandCase {
  std::string name;
  std::vector<std::string> args;
  Outcome outcome;
};

// Every switch in either case, with '/', '-' or nothing before it (alone, the
// letter is taken for the switch's first character and means nothing).
std::vector<CommandCase> SwitchForms() {
  std::vector<CommandCase> cases;
  for (const char letter : {'s', 'c', 'p', 'a'}) {
    for (const char shown : {letter, static_cast<char>(std::toupper(letter))}) {
      for (const std::string prefix : {"/", "-", ""}) {
        Outcome outcome = Outcome::ExitAtOnce;  // p and a without a number: nothing to do
        if (!prefix.empty() && letter == 's') outcome = Outcome::Saver;
        if (!prefix.empty() && letter == 'c') outcome = Outcome::Dialog;
        const std::string name =
            std::string(prefix == "/" ? "Slash_" : prefix == "-" ? "Dash_" : "Bare_") + shown;
        cases.push_back({name, {prefix + shown}, outcome});
      }
    }
  }
  return cases;
}

std::vector<CommandCase> OddCommandLines() {
  const std::string digits(kLongText, '9');
  return {
      {"PreviewZero", {"/p", "0"}, Outcome::ExitAtOnce},
      {"PreviewMinusOne", {"/p", "-1"}, Outcome::ExitAtOnce},
      {"PreviewBeyond32Bits", {"/p", "99999999999"}, Outcome::ExitAtOnce},
      {"PreviewDigitsThenLetters", {"/p", "12abc"}, Outcome::ExitAtOnce},
      {"PreviewTenThousandDigits", {"/p", digits}, Outcome::ExitAtOnce},
      {"ConfigureWithColon", {"/c:"}, Outcome::Dialog},
      {"PasswordAlone", {"/a"}, Outcome::ExitAtOnce},
      {"PasswordWithText", {"/a", "x"}, Outcome::ExitAtOnce},
      {"TenThousandCharactersUnknown", {"/x" + std::string(kLongText - 2, 'x')}, Outcome::ExitAtOnce},
      {"TenThousandCharactersSaver", {"/s" + std::string(kLongText - 2, 's')}, Outcome::Saver},
  };
}

class HostileCommandLineTest : public HostileInputTest,
                               public ::testing::WithParamInterface<CommandCase> {};

TEST_P(HostileCommandLineTest, EndsAsTheDispatchSays) {
  switch (GetParam().outcome) {
    case Outcome::ExitAtOnce: return ExpectExitAtOnce(GetParam().args);
    case Outcome::Saver: return ExpectSaverEndsOnAKey(GetParam().args);
    case Outcome::Dialog: return ExpectDialogClosesByItsCloseBox(GetParam().args);
  }
}

INSTANTIATE_TEST_SUITE_P(Switches, HostileCommandLineTest, ::testing::ValuesIn(SwitchForms()),
                         [](const auto& info) { return info.param.name; });
INSTANTIATE_TEST_SUITE_P(Odd, HostileCommandLineTest, ::testing::ValuesIn(OddCommandLines()),
                         [](const auto& info) { return info.param.name; });

// Blanks in a row before the handle are skipped; the handle names no window.
TEST_F(HostileInputTest, PreviewWithBlanksBeforeTheHandleExitsAtOnce) {
  ExpectExactCommandLineExitsAtOnce("/p   12");
}

}  // namespace
}  // namespace vorn::e2e
