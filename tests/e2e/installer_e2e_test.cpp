// The per-user installer under Wine: Vorn-<version>-setup.exe /S puts Vorn.scr
// in the user's local application folder and makes it the screen saver; the
// uninstaller takes it all away again and gives back the saver chosen before.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

#include "harness.h"

namespace vorn::e2e {
namespace {

using namespace std::chrono_literals;

constexpr char kDesktopKey[] = "HKCU\\Control Panel\\Desktop";
constexpr char kVornKey[] = "HKCU\\Software\\Vorn";
constexpr char kUninstallKey[] = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vorn";
constexpr char kSaverValue[] = "SCRNSAVE.EXE";
constexpr char kOtherSaver[] = "C:\\windows\\system32\\other saver.scr";
constexpr Millis kSetupBudget = 60s;
constexpr Millis kUninstallBudget = 30s;  // the uninstaller returns at once and works from a copy

fs::path InstallerPath(const BenchPaths& paths) {
  if (const char* chosen = std::getenv("VORN_E2E_INSTALLER"); chosen != nullptr && *chosen != '\0') {
    return chosen;
  }
  return paths.sourceDir / "build" / "win64" / "installer" /
         ("Vorn-" + std::string(VORN_VERSION) + "-setup.exe");
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// A string value of a regedit /E export ("name"="text", backslashes doubled);
// nothing when the value is not there.
std::optional<std::string> RegString(const std::string& exported, std::string_view name) {
  const std::string marker = "\"" + std::string(name) + "\"=\"";
  const std::size_t at = exported.find(marker);
  if (at == std::string::npos || (at != 0 && exported[at - 1] != '\n')) return std::nullopt;
  std::string value;
  for (std::size_t i = at + marker.size(); i < exported.size() && exported[i] != '"'; ++i) {
    if (exported[i] == '\\' && i + 1 < exported.size()) ++i;
    value += exported[i];
  }
  return value;
}

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setup_ = InstallerPath(DefaultBenchPaths());
    RequireFile(setup_, "the installer",
                "build the win64 preset with makensis installed (scripts/build.sh), or point "
                "VORN_E2E_INSTALLER at it");
    bench_ = &Bench::Shared();
  }

  std::string Export(std::string_view key) const { return bench_->Wine().ExportRegistry(key); }

  // regedit /E fails for a key that does not exist.
  bool KeyExists(std::string_view key) const {
    try {
      Export(key);
      return true;
    } catch (const E2eError&) {
      return false;
    }
  }

  void RunSetup() const {
    auto setup = bench_->Wine().Launch(setup_, {"/S"});
    ASSERT_EQ(setup->WaitExit(Deadline::In(kSetupBudget)), 0) << setup->LogTail();
  }

  // The installed program, in whichever user folder of the prefix it landed.
  std::optional<fs::path> FindInstalled() const {
    std::error_code error;
    for (const auto& user : fs::directory_iterator(bench_->Wine().Prefix() / "drive_c" / "users", error)) {
      const fs::path scr = user.path() / "AppData" / "Local" / "Programs" / "Vorn" / "Vorn.scr";
      if (fs::is_regular_file(scr)) return scr;
    }
    return std::nullopt;
  }

  static std::string WindowsPathOf(const fs::path& installed) {
    const std::string user = installed.parent_path().parent_path().parent_path().parent_path()
                                 .parent_path().filename().string();
    return "C:\\users\\" + user + "\\AppData\\Local\\Programs\\Vorn\\Vorn.scr";
  }

  void RunUninstaller(const fs::path& installed) const {
    const fs::path uninstaller = installed.parent_path() / "uninstall.exe";
    ASSERT_TRUE(fs::is_regular_file(uninstaller)) << uninstaller;
    auto run = bench_->Wine().Launch(uninstaller, {"/S"}, bench_->Wine().Prefix());
    EXPECT_EQ(run->WaitExit(Deadline::In(kUninstallBudget)), 0) << run->LogTail();
    const bool gone = PollUntil(Deadline::In(kUninstallBudget),
                                [&] { return !fs::exists(installed.parent_path()); }, 100ms);
    ASSERT_TRUE(gone) << installed.parent_path() << " is still there";
    // The registry comes after the files: wait for the uninstaller's last step.
    const bool keysGone = PollUntil(Deadline::In(kUninstallBudget),
                                    [&] { return !KeyExists(kUninstallKey) && !KeyExists(kVornKey); },
                                    200ms);
    EXPECT_TRUE(keysGone) << "the uninstaller left " << kVornKey << " or " << kUninstallKey;
  }

  fs::path setup_;
  Bench* bench_ = nullptr;
};

TEST_F(InstallerTest, InstallsForTheUserAndUninstallingGivesBackThePreviousSaver) {
  bench_->Wine().SetRegistryString(kDesktopKey, kSaverValue, kOtherSaver);
  RunSetup();
  const auto installed = FindInstalled();
  ASSERT_TRUE(installed.has_value()) << "no drive_c/users/*/AppData/Local/Programs/Vorn/Vorn.scr";
  const fs::path built = setup_.parent_path().parent_path() / "Vorn.scr";
  EXPECT_EQ(ReadFileBytes(*installed), ReadFileBytes(built)) << "the installed Vorn.scr is not " << built;

  const std::string desktop = Export(kDesktopKey);
  EXPECT_EQ(Lower(RegString(desktop, kSaverValue).value_or("(none)")), Lower(WindowsPathOf(*installed)));
  EXPECT_EQ(RegString(desktop, "ScreenSaveActive").value_or("(none)"), "1");
  EXPECT_EQ(RegString(Export(kVornKey), "PreviousScreenSaver").value_or("(none)"), kOtherSaver);
  const std::string uninstall = Export(kUninstallKey);
  EXPECT_TRUE(RegString(uninstall, "DisplayName").has_value()) << uninstall;
  EXPECT_NE(Lower(RegString(uninstall, "UninstallString").value_or("")).find("uninstall.exe"),
            std::string::npos) << uninstall;

  // The settings dialog writes Vorn.ini beside the program; it goes too.
  WriteFileBytes(installed->parent_path() / "Vorn.ini", "[Section]\r\nSpeed=7\r\n");
  RunUninstaller(*installed);
  EXPECT_EQ(RegString(Export(kDesktopKey), kSaverValue).value_or("(none)"), kOtherSaver);
}

TEST_F(InstallerTest, AReinstallStillRemembersTheSaverBeforeTheFirst) {
  bench_->Wine().SetRegistryString(kDesktopKey, kSaverValue, kOtherSaver);
  RunSetup();
  RunSetup();
  const auto installed = FindInstalled();
  ASSERT_TRUE(installed.has_value());
  EXPECT_EQ(RegString(Export(kVornKey), "PreviousScreenSaver").value_or("(none)"), kOtherSaver);
  RunUninstaller(*installed);
  EXPECT_EQ(RegString(Export(kDesktopKey), kSaverValue).value_or("(none)"), kOtherSaver);
}

TEST_F(InstallerTest, WithoutAPreviousSaverUninstallingRemovesTheValue) {
  bench_->Wine().DeleteRegistryValue(kDesktopKey, kSaverValue);
  RunSetup();
  const auto installed = FindInstalled();
  ASSERT_TRUE(installed.has_value());
  EXPECT_TRUE(RegString(Export(kDesktopKey), kSaverValue).has_value());
  RunUninstaller(*installed);
  const std::string desktop = Export(kDesktopKey);
  EXPECT_FALSE(RegString(desktop, kSaverValue).has_value()) << desktop;
}

}  // namespace
}  // namespace vorn::e2e
