// Start-up on the recording fake: the mode Main opens, where the settings are read and written,
// the preview window.
#include <gmock/gmock.h>

#include <regex>

#include "fake_platform.h"
#include "preview_window/preview.h"
#include "settings/settings.h"
#include "startup/main.h"
#include "table_test.h"

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

const std::string kUserFile = "C:\\Users\\u\\AppData\\Roaming\\Vorn\\Vorn.ini";

// A file as the stories name it: "B" beside the program, "U" the user's, others in full.
std::string Named(const FakePlatform& platform, const std::string& file) {
  return file == platform.programDirectory + "\\Vorn.ini" ? "B" : file == kUserFile ? "U" : file;
}

// The profile calls as "<file>:<key>", the user's folder made as "U+"; "!" where refused.
std::string Story(const FakePlatform& platform) {
  const std::regex kCall(R"re((\w+)\((?:"Section", "(\w+)", .*)?"([^"]*)"\)( -> 0)?)re");
  std::string story;
  for (std::smatch m; const std::string& call : platform.calls) {
    if (!std::regex_match(call, m, kCall)) continue;
    story += m[1] == "CreateFolder" ? Named(platform, m[3].str() + "\\Vorn.ini") + "+"
                                    : Named(platform, m[3]) + ":" + m[2].str();
    story += m[4].matched ? "! " : " ";
  }
  return story;
}

struct PlaceCase {
  const char* name;
  std::string directory;            // the program's folder
  std::vector<std::string> locked;  // folders where nothing can be written
  std::string read;                 // the file read: "B", "U", or "" for none (the defaults)
  std::string save;                 // the story of a save
  std::string savedTo;              // "B", "U", or "" for nowhere
  bool userFile = false;            // the user's file is there already
  int writesBeforeFull = -1;
};
using Places = ::testing::TestWithParam<PlaceCase>;

// A file read or written elsewhere (the working directory, a garbled or cut path), the user's file
// not preferred once it is there, a write not checked, or one save spread over two files.
TEST_P(Places, ReadAndWriteOnlyTheChosenFile) {
  const PlaceCase& c = GetParam();
  FakePlatform platform;
  platform.programDirectory = c.directory;
  platform.lockedFolders = c.locked;
  platform.writesBeforeFull = c.writesBeforeFull;
  if (c.userFile) platform.files = {kUserFile};
  Settings settings;
  LoadSettings(platform, settings);
  const std::string& r = c.read;
  EXPECT_EQ(Story(platform), r.empty() ? "" : r + ":Speed " + r + ":Num " + r + ":Intval ");
  EXPECT_EQ(settings, (Settings{5, 200, 30}));
  platform.calls.clear();
  const SaveResult saved = WriteSettings(platform, {6, 200, 30});
  EXPECT_EQ(Story(platform), c.save);
  EXPECT_EQ(saved.savedTo ? Named(platform, *saved.savedTo) : "", c.savedTo);
}

std::string Times(int count, const std::string& text) {
  std::string repeated;
  while (count-- > 0) repeated += text;
  return repeated;
}
const std::string kUser = "U+ U:Speed U:Num U:Intval ", kRoaming = "C:\\Users\\u\\AppData\\Roaming";
// clang-format off
VORN_TABLE(Places,
    {"Beside_writable", "C:\\Saver", {}, "B", "B:Speed B:Num B:Intval ", "B"},
    {"Beside_unwritable", "C:\\Saver", {"C:\\Saver"}, "B", "B:Speed! " + kUser, "U"},
    {"User_file_there", "C:\\Saver", {}, "U", kUser, "U", true},
    {"User_file_unwritable", "C:\\Saver", {kRoaming + "\\Vorn"}, "U", "U+ U:Speed! ", "", true},
    {"Path_of_259", "C:\\" + std::string(247, 'x'), {}, "B", "B:Speed B:Num B:Intval ", "B"},
    {"Path_of_260", "C:\\" + std::string(248, 'x'), {}, "", kUser, "U"},
    {"UTF16_units_259", "C:\\" + Times(247, "設"), {}, "B", "B:Speed B:Num B:Intval ", "B"},
    {"Surrogate_pairs_260", "C:\\" + Times(124, "🔥"), {}, "", kUser, "U"},
    {"Share", "\\\\server\\share", {}, "B", "B:Speed B:Num B:Intval ", "B"},
    {"No_folder", "", {}, "", kUser, "U"},
    {"Drive_relative", "C:Saver", {}, "", kUser, "U"},
    {"Nowhere", "C:\\Saver", {"C:\\Saver", kRoaming}, "B", "B:Speed! U+! ", ""},
    {"Disk_full", "C:\\Saver", {}, "B", "B:Speed B:Num! U+ U:Speed! ", "", false, 1});
// clang-format on

}  // namespace
}  // namespace vorn
