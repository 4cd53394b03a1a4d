// Where Vorn.scr takes its libraries from. A folder that others can write to
// may hold copies planted under the names of the libraries it uses; they must
// never be loaded. The program imports only libraries that the system always
// takes from its own folder, and everything it loads by name at run time (the
// 95/98 password services, the timer library) comes from the system folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "harness.h"
#include "hostile_support.h"
#include "pe_image.h"

namespace vorn::e2e {
namespace {

using namespace std::chrono_literals;

constexpr char kVornExe[] = "Vorn.scr";
constexpr char kMainCaption[] = "Vorn_Main";
constexpr char kPasswordDouble[] = "password.cpl";
constexpr Millis kShowBudget = 30s;
constexpr Millis kFocusBudget = 5s;
constexpr Millis kEndBudget = 5s;
constexpr Millis kGoneBudget = 10s;
constexpr Point kRestingPointer{300, 300};
constexpr char kSystemFolder[] = "system32";
constexpr char kBuiltin[] = ": builtin";

// The libraries the system loads from its own folder whatever the search
// order says (its KnownDLLs), and so the only ones a program may import
// without risk of a planted copy being taken first.
const std::set<std::string> kKnownDlls = {"kernel32.dll", "user32.dll",  "gdi32.dll",
                                          "msvcrt.dll",   "shell32.dll", "advapi32.dll",
                                          "ole32.dll",    "comdlg32.dll", "shlwapi.dll"};

// Decoys: the password services of the 95/98 family and common system libraries.
const std::vector<std::string> kDecoys = {"password.cpl", "mpr.dll", "winmm.dll", "version.dll"};
// By default Wine serves a library it has built in even where a search finds a
// file of that name; for the libraries the program asks for, a file the search
// finds is loaded as it is, as on Windows (the system folder holds only Wine's
// placeholders, which still stand for the built-in ones). The bench's own
// overrides stay.
constexpr char kDllOverrides[] = "winemenubuilder.exe=d;mscoree,mshtml=;winmm,mpr=n,b";

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The lines of Wine's +loaddll log that report a library loaded.
std::vector<std::string> LoadedLines(const std::string& log) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < log.size()) {
    const std::size_t end = std::min(log.find('\n', start), log.size());
    std::string line = Lower(log.substr(start, end - start));
    if (line.ends_with('\r')) line.pop_back();
    if (line.find("loaddll") != std::string::npos && line.find("loaded") != std::string::npos) {
      lines.push_back(line);
    }
    start = end + 1;
  }
  return lines;
}

TEST(SafeLoading, TheProgramImportsOnlyLibrariesTheSystemTakesFromItsOwnFolder) {
  const BenchPaths paths = DefaultBenchPaths();
  for (const fs::path& program : {paths.vornScr, paths.sourceDir / "build" / "win32" / "Vorn.scr"}) {
    ASSERT_TRUE(fs::exists(program)) << program << " is missing: build the win64 and win32 presets";
    for (const std::string& dll : ReadPeImage(program).importedDlls) {
      EXPECT_TRUE(kKnownDlls.contains(dll))
          << program << " imports " << dll << ", which a copy beside it would stand in for";
    }
  }
}

class DecoyLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RequireVornBuilt(DefaultBenchPaths());
    RequireHelperBuilt(DefaultBenchPaths(), kPasswordDouble);
    bench_ = &Bench::Shared();
    bench_->X().WaitWindowGone(kMainCaption, Deadline::In(kGoneBudget));
    bench_->X().MoveMouseTo(kRestingPointer);
    const fs::path double_ = bench_->Paths().Helper(kPasswordDouble);
    systemCpl_ = bench_->Wine().SystemFolder() / kPasswordDouble;
    fs::copy_file(double_, systemCpl_, fs::copy_options::overwrite_existing);
    bench_->Wine().SetWindowsVersion(kVornExe, "win98");
    vorn_ = bench_->FreshVornCopy();
    for (const std::string& decoy : kDecoys) vorn_->WriteFile(decoy, *ReadFileBytes(double_));
  }
  void TearDown() override {
    bench_->Wine().SetWindowsVersion(kVornExe, "default");
    fs::remove(systemCpl_);
  }

  std::unique_ptr<ChildProcess> LaunchLogged(const std::vector<std::string>& args) {
    return bench_->Wine().Launch(vorn_->Program(), args, vorn_->Dir(),
                                 {{"WINEDEBUG", "+loaddll"}, {"WINEDLLOVERRIDES", kDllOverrides}});
  }

  // No code of a decoy's name ran from anywhere but the system folder. (Wine
  // may name a file it found beside the program for a library it still serves
  // from its own built-in copy: such a line ends in "builtin", and the
  // planted file's code is not run.)
  static void ExpectNoDecoyLoaded(const ChildProcess& vorn) {
    const std::vector<std::string> loaded = LoadedLines(vorn.Output());
    ASSERT_FALSE(loaded.empty()) << "no +loaddll lines in the log of " << vorn.Name();
    for (const std::string& line : loaded) {
      const bool builtin = line.ends_with(kBuiltin);
      for (const std::string& decoy : kDecoys) {
        if (line.find(decoy) == std::string::npos) continue;
        EXPECT_TRUE(builtin || line.find(kSystemFolder) != std::string::npos)
            << vorn.Name() << " loaded " << line;
      }
    }
  }

  static bool LoadedFromSystemFolder(const ChildProcess& vorn, const std::string& library) {
    const std::vector<std::string> loaded = LoadedLines(vorn.Output());
    return std::any_of(loaded.begin(), loaded.end(), [&](const std::string& line) {
      return line.find(kSystemFolder) != std::string::npos && line.find(library) != std::string::npos;
    });
  }

  Bench* bench_ = nullptr;
  std::unique_ptr<ProgramFolder> vorn_;
  fs::path systemCpl_;
};

// A click makes the saver ask the password service, which answers yes.
TEST_F(DecoyLibraryTest, TheSaverTakesThePasswordServiceFromTheSystemFolder) {
  auto vorn = LaunchLogged({"/s"});
  const WindowInfo window =
      bench_->X().FindWindowByCaption(kMainCaption, Deadline::In(kShowBudget));
  ASSERT_TRUE(WaitForKeyboardFocus(bench_->X(), window.id, Deadline::In(kFocusBudget)));
  bench_->X().ClickButton(1);
  const auto status = vorn->TryWaitExit(Deadline::In(kEndBudget));
  ASSERT_TRUE(status.has_value()) << "the saver still runs after an accepted password";
  EXPECT_TRUE(status->exited && status->code == 0) << status->Describe();
  EXPECT_EQ(vorn_->ReadFile("password_calls.txt").value_or(""), "VerifyScreenSavePwd window\n");
  EXPECT_TRUE(LoadedFromSystemFolder(*vorn, kPasswordDouble)) << vorn->LogTail();
  EXPECT_TRUE(LoadedFromSystemFolder(*vorn, "winmm.dll")) << vorn->LogTail();
  ExpectNoDecoyLoaded(*vorn);
}

// Changing the password asks the 95/98 network library by name.
TEST_F(DecoyLibraryTest, ThePasswordChangeTakesItsLibraryFromTheSystemFolder) {
  auto vorn = LaunchLogged({"/a", "1234"});
  EXPECT_EQ(vorn->WaitExit(Deadline::In(kEndBudget)), 0);
  EXPECT_TRUE(LoadedFromSystemFolder(*vorn, "mpr.dll")) << vorn->LogTail();
  ExpectNoDecoyLoaded(*vorn);
}

}  // namespace
}  // namespace vorn::e2e
