#include <gmock/gmock.h>

#include "fake_platform.h"
#include "preview_window/preview.h"
#include "settings/settings.h"
#include "startup/main.h"

namespace vorn {
namespace {

using ::testing::ElementsAre;
using testing::FakePlatform;

using Family = std::pair<std::int32_t, std::uint32_t>;  // GetVersionExA: its result, platform id
constexpr Family kNt{1, 2}, k9x{1, 1};

// Main's calls, a key pressed at every yield: the running-copy test, the settings reads ("Read"),
// the cursor, the system flags, the password services and the windows, each ended with "; ".
std::string MainStory(const char* argumentText, Family family = kNt,
                      std::deque<std::optional<std::int32_t>> answers = {1},
                      const char* runningCopy = "") {
  FakePlatform platform;
  platform.argumentText = argumentText;
  std::tie(platform.versionResult, platform.platformId) = family;
  platform.passwordAnswers = std::move(answers);
  platform.openCaptions = {runningCopy};
  platform.windowRects[1234] = {};
  platform.onDoEvents = [&](int) { platform.saverEvents->Form_KeyDown(); };
  Main(platform);
  constexpr std::string_view kTold =
      " FindWindow ShowCursor SystemParametersInfoA PwdChangePasswordA VerifyScreenSavePwd "
      "CreateSaverWindow CloseSaverWindow CreatePreviewWindow SetParent ShowPreviewWindow "
      "ShowDialogModal SetForegroundWindow EndProcess ";
  std::string story;
  for (const std::string& call : platform.calls) {
    const std::string name = call.substr(0, call.find('('));
    if (name == "GetPrivateProfileStringA") story += "Read; ";
    if (kTold.find(" " + name + " ") != kTold.npos) story += call + "; ";
  }
  return story;
}

const std::string kFind = "FindWindow(NULL, \"Vorn_Main\"); FindWindow(NULL, \"Vornの設定\"); ";
const std::string kRead = kFind + "Read; Read; Read; ";
const std::string kHide = "ShowCursor(0); SystemParametersInfoA(97, 0xFFFFFFFF, NULL, 0); ";
const std::string kOpen = "CreateSaverWindow; ";
const std::string kAsk = "ShowCursor(-1); VerifyScreenSavePwd(23130); ";
const std::string kFlagOff = "SystemParametersInfoA(97, 0x0, NULL, 0); ";
const std::string kEnd = "SystemParametersInfoA(17, 0x1, NULL, 0); CloseSaverWindow; ";

// Steps reordered, the cursor counter lost, or the password misjudged (modes: command line fuzzer);
// NT trusted from a call that did not return exactly 1, or from another platform id.
TEST(Main, OpensTheModeOfTheSwitch) {
  const std::string kStart = kRead + kHide + kOpen, kEnd9x = kFlagOff + "ShowCursor(0); " + kEnd;
  EXPECT_EQ(MainStory("/s"), kStart + kFlagOff + "ShowCursor(-1); " + kEnd);
  EXPECT_EQ(MainStory("", k9x), kRead + kOpen + kEnd);
  for (const Family& notNt : {k9x, Family{1, 0}, Family{2, 2}, Family{0, 2}, Family{-1, 2}})
    EXPECT_EQ(MainStory("-S", notNt), kStart + kAsk + kEnd9x) << notNt.first;
  EXPECT_EQ(MainStory("/s", k9x, {0, 1}), kStart + kAsk + "ShowCursor(0); " + kAsk + kEnd9x);
  EXPECT_EQ(MainStory("/s", k9x, {std::nullopt}), kStart + kAsk + kEnd9x);
  EXPECT_EQ(MainStory("/P 01234"),
            kFind + "CreatePreviewWindow; SetParent(32382, 1234); ShowPreviewWindow(32382); ");
  EXPECT_EQ(MainStory("/p"), kFind + "EndProcess; ");
  EXPECT_EQ(MainStory("/c:1234"), kRead + "ShowDialogModal(15420); EndProcess; ");
  EXPECT_EQ(MainStory("/a 1234", k9x),
            kRead + "PwdChangePasswordA(\"SCRSAVE\", 1234, 0, 0); EndProcess; ");
  EXPECT_EQ(MainStory("s"), kRead + "EndProcess; ");
}

// One caption not looked for, or anything done beside a running copy but a second /c
// bringing its dialog to the front.
TEST(Main, EndsAtOnceBesideARunningCopy) {
  EXPECT_EQ(MainStory("/s", kNt, {1}, "Vornの設定"), kFind + "EndProcess; ");
  EXPECT_EQ(MainStory("/p 1234", kNt, {1}, "Vorn_Main"), kFind + "EndProcess; ");
  EXPECT_EQ(MainStory("/c", kNt, {1}, "Vornの設定"),
            kFind + "SetForegroundWindow(4660); EndProcess; ");  // the open dialog to the front
}

// A wrong default, key, file or buffer, or a failure that overwrites or stops (the defaults where
// nothing is read: Places.ReadAndWriteOnlyTheChosenFile).
TEST(LoadSettings, KeepsTheSettingWhereTheValueIsNoNumber) {
  FakePlatform platform;
  platform.programDirectory = "Z:\\run";
  platform.iniValues = {{"Speed", "abc"}, {"Num", "2147483648"}};  // Intval missing
  Settings settings{-7, -7, -7};
  LoadSettings(platform, settings);
  EXPECT_EQ(settings, (Settings{-7, -7, 30}));
  const std::string kRest = "\"\", zeros, 256, \"Z:\\run\\Vorn.ini\")";
  EXPECT_THAT(platform.calls,
              ElementsAre("GetPrivateProfileStringA(\"Section\", \"Speed\", " + kRest,
                          "GetPrivateProfileStringA(\"Section\", \"Num\", " + kRest,
                          "GetPrivateProfileStringA(\"Section\", \"Intval\", " + kRest));
}

// A size taken from the corners, a child style that replaces or toggles bits, or steps reordered.
TEST(PreviewWindow, BecomesAChildThatFillsTheParent) {
  for (const auto& [style, child] :
       {std::pair{0x16CF0000, "0x56CF0000"}, {0x40800000, "0x40800000"}}) {
    FakePlatform platform;
    platform.windowRects[4242] = {100, 200, 252, 312};
    platform.previewStyle = style;
    ShowVornR(platform, 4242);
    EXPECT_THAT(
        platform.calls,
        ElementsAre("GetWindowRect(4242)", "CreatePreviewWindow", "GetWindowLongA(32382, -16)",
                    "SetWindowLongA(32382, -16, " + std::string(child) + ")",
                    "SetParent(32382, 4242)", "MoveWindow(32382, 0, 0, 152, 112)",
                    "MovePreviewImage(0, 0, 152, 112)", "ShowPreviewWindow(32382)"));
  }
}

}  // namespace
}  // namespace vorn
