#include <gmock/gmock.h>

#include <set>

#include "fake_platform.h"
#include "settings/settings.h"
#include "startup/main.h"
#include "system/system_checks.h"
#include "table_test.h"

namespace vorn {
namespace {

using ::testing::ElementsAre;
using testing::FakePlatform;

struct Family {
  std::int32_t versionResult;  // what GetVersionExA returns
  std::uint32_t platformId;
};
constexpr Family kNt{1, kVerPlatformWin32Nt}, k9x{1, 1};

// Main's start-up with the running-copy test behind it, then one key press at
// every yield of a saver: the calls that tell the story, the three settings
// reads as "Read", separated by "; ".
std::string MainStory(const char* argumentText, Family family,
                      std::deque<std::optional<std::int32_t>> passwordAnswers = {1}) {
  FakePlatform platform;
  platform.argumentText = argumentText;
  platform.versionResult = family.versionResult;
  platform.platformId = family.platformId;
  platform.passwordAnswers = std::move(passwordAnswers);
  platform.windowRects[1234] = {0, 0, 152, 112};
  platform.onDoEvents = [&](int) { platform.saverEvents->Form_KeyDown(); };
  Main(platform);
  static const std::set<std::string> kTold = {"ShowCursor",         "SystemParametersInfoA",
                                              "PwdChangePasswordA", "VerifyScreenSavePwd",
                                              "CreateSaverWindow",  "CloseSaverWindow",
                                              "SetParent",          "ShowPreviewWindow",
                                              "ShowDialogModal",    "EndProcess"};
  std::string story;
  for (const std::string& call : platform.calls) {
    const std::string name = call.substr(0, call.find('('));
    if (name == "GetPrivateProfileStringA") story += "Read; ";
    if (kTold.contains(name)) story += call + "; ";
  }
  return story;
}

const std::string kRead = "Read; Read; Read; ";
const std::string kHide = "ShowCursor(0); SystemParametersInfoA(97, 0xFFFFFFFF, NULL, 0); ";
const std::string kOpen = "CreateSaverWindow; ";
const std::string kAsk = "ShowCursor(-1); VerifyScreenSavePwd(23130); ";
const std::string kFlagOff = "SystemParametersInfoA(97, 0x0, NULL, 0); ";
const std::string kClose = "SystemParametersInfoA(17, 0x1, NULL, 0); CloseSaverWindow; ";

// A mode opened for the wrong switch; settings not read or read in preview; the
// cursor hidden, the running flag set or the saver opened in the wrong order; a
// lost cursor counter; the password asked on NT, in the plain run, on a version
// call that returns anything but 1 not asked, its refusal ending the saver, or
// a missing service locking the user out; a handle read leniently for /a.
TEST(Main, OpensTheModeOfTheSwitch) {
  const Family kVersionCall2{2, kVerPlatformWin32Nt};
  EXPECT_EQ(MainStory("/s", kNt), kRead + kHide + kOpen + kFlagOff + "ShowCursor(-1); " + kClose);
  EXPECT_EQ(MainStory("", k9x), kRead + kOpen + kClose);
  EXPECT_EQ(MainStory("-S", k9x),
            kRead + kHide + kOpen + kAsk + kFlagOff + "ShowCursor(0); " + kClose);
  EXPECT_EQ(MainStory("/s", kVersionCall2),
            kRead + kHide + kOpen + kAsk + kFlagOff + "ShowCursor(0); " + kClose);
  EXPECT_EQ(MainStory("/s", k9x, {0, 1}), kRead + kHide + kOpen + kAsk + "ShowCursor(0); " + kAsk +
                                              kFlagOff + "ShowCursor(0); " + kClose);
  EXPECT_EQ(MainStory("/s", k9x, {std::nullopt}),
            kRead + kHide + kOpen + kAsk + kFlagOff + "ShowCursor(0); " + kClose);
  EXPECT_EQ(MainStory("/P 01234", kNt), "SetParent(32382, 1234); ShowPreviewWindow(32382); ");
  EXPECT_EQ(MainStory("/p", kNt), "EndProcess; ");
  EXPECT_EQ(MainStory("/c:1234", kNt), kRead + "ShowDialogModal(15420); EndProcess; ");
  EXPECT_EQ(MainStory("/a 1234", kNt), kRead + "EndProcess; ");
  EXPECT_EQ(MainStory("/a 1234", k9x),
            kRead + "PwdChangePasswordA(\"SCRSAVE\", 1234, 0, 0); EndProcess; ");
  EXPECT_EQ(MainStory("/a 12abc", k9x), kRead + "EndProcess; ");
  EXPECT_EQ(MainStory("s", kNt), kRead + "EndProcess; ");
}

// Only one caption looked for, the second look skipped, or anything done
// before the running copy is ruled out.
TEST(Main, EndsAtOnceBesideARunningCopy) {
  for (const char* caption : {"Vorn_Main", "Vornの設定"}) {
    for (const char* argumentText : {"/s", "/p 1234"}) {
      FakePlatform platform;
      platform.argumentText = argumentText;
      platform.openCaptions = {caption};
      Main(platform);
      EXPECT_THAT(platform.calls, ElementsAre("FindWindow(NULL, \"Vorn_Main\")",
                                              "FindWindow(NULL, \"Vornの設定\")", "EndProcess"));
    }
  }
}

struct IsNtCase {
  const char* name;
  Family family;
  bool nt;
};
using IsNtTable = ::testing::TestWithParam<IsNtCase>;

// A wrong record size, or a family read from a call that did not return 1.
TEST_P(IsNtTable, TrustsThePlatformIdOnlyWhenTheCallReturnsOne) {
  FakePlatform platform;
  platform.versionResult = GetParam().family.versionResult;
  platform.platformId = GetParam().family.platformId;
  EXPECT_EQ(IsNT(platform), GetParam().nt);
  EXPECT_THAT(platform.calls, ElementsAre("GetVersionExA(148)"));
}

VORN_TABLE(IsNtTable, {"Nt", {1, 2}, true}, {"Family_9x", {1, 1}, false}, {"Win32s", {1, 0}, false},
           {"Call_returns_2", {2, 2}, false}, {"Call_returns_0", {0, 2}, false},
           {"Call_returns_minus_1", {-1, 2}, false});

struct LoadCase {
  const char* name;
  std::map<std::string, std::string> file;  // by key
  Settings loaded;
};
using LoadTable = ::testing::TestWithParam<LoadCase>;

// A wrong default, a missing or blank value not given its default, a value
// clamped or rounded other than half to even, a failed conversion that
// overwrites its field or stops the reading of the others.
TEST_P(LoadTable, GivesEachSettingItsDefaultOrItsNumber) {
  FakePlatform platform;
  platform.iniValues = GetParam().file;
  Settings settings{-7, -7, -7};
  LoadSettings(platform, settings);
  EXPECT_EQ(settings, GetParam().loaded);
}

VORN_TABLE(LoadTable, {"No_file", {}, {5, 200, 30}},
           {"Empty_or_blank", {{"Speed", ""}, {"Num", " "}, {"Intval", ""}}, {5, 200, 30}},
           {"Blanks_and_halves_to_even",
            {{"Speed", " 7 "}, {"Num", "2.5"}, {"Intval", "3.5"}},
            {7, 2, 4}},
           {"Unclamped", {{"Speed", "0"}, {"Num", "1000"}, {"Intval", "-3"}}, {0, 1000, -3}},
           {"Failed_keeps_field",
            {{"Speed", "abc"}, {"Num", "2147483648"}, {"Intval", "9"}},
            {-7, -7, 9}});

// A key read out of order, from another section or file, with a default, or
// into a buffer that is not zeroed or not 256 characters long.
TEST(LoadSettings, ReadsTheThreeKeysFromTheFileBesideTheProgram) {
  FakePlatform platform;
  platform.programDirectory = "Z:\\run";
  Settings settings;
  LoadSettings(platform, settings);
  const std::string kArgs = "\"\", zeros, 256, \"Z:\\run\\Vorn.ini\")";
  EXPECT_THAT(platform.calls,
              ElementsAre("GetPrivateProfileStringA(\"Section\", \"Speed\", " + kArgs,
                          "GetPrivateProfileStringA(\"Section\", \"Num\", " + kArgs,
                          "GetPrivateProfileStringA(\"Section\", \"Intval\", " + kArgs));
}

// A key written out of order, to another section or file, or a value text
// without its leading blank.
TEST(WriteSettings, WritesTheValueTextsInOrder) {
  FakePlatform platform;
  WriteSettings(platform, Settings{5, 200, -3});
  const std::string kFile = "\"C:\\Saver\\Vorn.ini\")";
  EXPECT_THAT(platform.calls,
              ElementsAre("WritePrivateProfileStringA(\"Section\", \"Speed\", \" 5\", " + kFile,
                          "WritePrivateProfileStringA(\"Section\", \"Num\", \" 200\", " + kFile,
                          "WritePrivateProfileStringA(\"Section\", \"Intval\", \"-3\", " + kFile));
}

}  // namespace
}  // namespace vorn
