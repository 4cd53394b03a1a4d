#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include "fake_platform.h"
#include "settings/settings.h"
#include "saver/saver.h"
#include "startup/main.h"
#include "system/system_checks.h"

namespace vorn {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::FakePlatform;

constexpr const char* kIni = "C:\\Saver\\Vorn.ini";
const std::string kFindSaver = "FindWindow(NULL, \"Vorn_Main\")";
const std::string kFindDialog = "FindWindow(NULL, \"Vornの設定\")";

// Runs Main, ending the saver (if it starts) on its first yield.
FakePlatform RunMain(const std::string& argumentText, std::uint32_t platformId = kVerPlatformWin32Nt) {
  FakePlatform platform;
  platform.argumentText = argumentText;
  platform.platformId = platformId;
  platform.onDoEvents = [&platform](int) { platform.saverEvents->Display_MouseDown(); };
  Main(platform);
  return platform;
}

bool Called(const FakePlatform& platform, const std::string& prefix) {
  return !platform.CallsStartingWith(prefix).empty();
}

TEST(MainRunningCopy, EndsAtOnceWhenTheSaverOrTheDialogIsOpen) {
  for (const char* caption : {"Vorn_Main", "Vornの設定"}) {
    for (const char* args : {"/s", "/p 1234", "/c", "/a 1", ""}) {
      FakePlatform platform;
      platform.argumentText = args;
      platform.openCaptions = {caption};
      Main(platform);
      // Both captions are always looked for, and nothing else happens.
      EXPECT_THAT(platform.calls, ElementsAre(kFindSaver, kFindDialog, "EndProcess"))
          << caption << " with " << args;
    }
  }
}

TEST(MainDispatch, SaverSwitchHidesTheCursorThenSetsTheRunningFlagThenOpensTheSaver) {
  for (const char* args : {"/s", "/S", "-s", "/scr"}) {
    FakePlatform platform = RunMain(args);
    std::vector<std::string> head(platform.calls.begin(), platform.calls.begin() + 9);
    EXPECT_THAT(head, ElementsAre(kFindSaver, kFindDialog,
                                  "GetPrivateProfileStringA(\"Section\", \"Speed\", \"\", zeros, 256, "
                                  "\"C:\\Saver\\Vorn.ini\")",
                                  ::testing::StartsWith("GetPrivateProfileStringA(\"Section\", \"Num\""),
                                  ::testing::StartsWith("GetPrivateProfileStringA(\"Section\", \"Intval\""),
                                  "ShowCursor(0)", "SystemParametersInfoA(97, 0xFFFFFFFF, NULL, 0)",
                                  "CreateSaverWindow", ::testing::StartsWith("MoveWindow")))
        << args;
  }
}

TEST(MainDispatch, SaverSwitchKeepsTheCursorCounter) {
  FakePlatform platform;
  platform.argumentText = "/s";
  platform.cursorCounter = 0;
  std::int32_t counterSeenInSaver = 99;
  platform.onDoEvents = [&](int) {
    counterSeenInSaver = static_cast<VornS*>(platform.saverEvents)->CursorCount;
    platform.saverEvents->Form_KeyDown();
  };
  Main(platform);
  EXPECT_EQ(counterSeenInSaver, -1);
}

TEST(MainDispatch, EmptyCommandLineRunsTheSaverWithoutCursorOrFlag) {
  FakePlatform platform = RunMain("");
  EXPECT_TRUE(Called(platform, "CreateSaverWindow"));
  EXPECT_TRUE(Called(platform, "GetPrivateProfileStringA"));
  EXPECT_THAT(platform.CallsStartingWith("ShowCursor"), IsEmpty());
  EXPECT_THAT(platform.CallsStartingWith("SystemParametersInfoA(97"), IsEmpty());
}

TEST(MainDispatch, PreviewReadsTheHandleLenientlyAndNoSettings) {
  const std::pair<const char*, const char*> cases[] = {
      {"/p 1234", "GetWindowRect(1234)"}, {"/P 01234", "GetWindowRect(1234)"},
      {"/p", "GetWindowRect(0)"},         {"/p abc", "GetWindowRect(0)"},
      {"/p   12", "GetWindowRect(12)"},   {"/p 12abc", "GetWindowRect(12)"},
  };
  for (const auto& [args, expected] : cases) {
    FakePlatform platform;
    platform.argumentText = args;
    Main(platform);
    ASSERT_GE(platform.calls.size(), 3u) << args;
    EXPECT_EQ(platform.calls[2], expected) << args;
    EXPECT_FALSE(Called(platform, "GetPrivateProfileStringA")) << args;
  }
}

TEST(MainDispatch, ConfigurationShowsTheDialogModallyThenEnds) {
  for (const char* args : {"/c", "/C", "/c:1234"}) {
    FakePlatform platform = RunMain(args);
    EXPECT_EQ(platform.CallsStartingWith("GetPrivateProfileStringA").size(), 3u);
    const auto shown = std::find(platform.calls.begin(), platform.calls.end(),
                                 "ShowDialogModal(" + std::to_string(FakePlatform::kDialogWindow) + ")");
    ASSERT_NE(shown, platform.calls.end()) << args;
    EXPECT_EQ(platform.calls.back(), "EndProcess") << args;
    EXPECT_EQ(shown + 1, platform.calls.end() - 1) << "nothing between the dialog and the end";
  }
}

TEST(MainDispatch, PasswordModeOnNtLoadsSettingsAndEndsWithoutTheService) {
  FakePlatform platform = RunMain("/a 1234");
  EXPECT_EQ(platform.CallsStartingWith("GetPrivateProfileStringA").size(), 3u);
  EXPECT_FALSE(Called(platform, "PwdChangePasswordA"));
  EXPECT_EQ(platform.calls.back(), "EndProcess");
}

TEST(MainDispatch, PasswordModeOn9xCallsTheServiceWithTheStrictHandle) {
  FakePlatform platform = RunMain("/a 1234", 1);
  EXPECT_THAT(platform.CallsStartingWith("PwdChangePasswordA"),
              ElementsAre("PwdChangePasswordA(\"SCRSAVE\", 1234, 0, 0)"));
  EXPECT_EQ(platform.calls.back(), "EndProcess");
}

TEST(MainDispatch, PasswordModeWithoutANumberEndsWithoutTheService) {
  for (const char* args : {"/a", "/a x", "/a 12abc"}) {
    FakePlatform platform = RunMain(args, 1);
    EXPECT_FALSE(Called(platform, "PwdChangePasswordA")) << args;
    EXPECT_EQ(platform.calls.back(), "EndProcess") << args;
  }
}

TEST(MainDispatch, UnknownTextEndsAfterLoadingTheSettings) {
  for (const char* args : {"s", "/x", "/", "x", "/q 1"}) {
    FakePlatform platform = RunMain(args);
    EXPECT_EQ(platform.CallsStartingWith("GetPrivateProfileStringA").size(), 3u) << args;
    EXPECT_EQ(platform.calls.back(), "EndProcess") << args;
    EXPECT_FALSE(Called(platform, "CreateSaverWindow")) << args;
    EXPECT_FALSE(Called(platform, "ShowCursor")) << args;
  }
}

TEST(IsNT, FollowsThePlatformIdOnlyWhenTheCallReturnsOne) {
  struct Case { std::int32_t result; std::uint32_t id; bool nt; };
  for (const Case& c : {Case{1, 2, true}, Case{1, 1, false}, Case{1, 0, false},
                        Case{0, 2, false}, Case{2, 2, false}, Case{-1, 2, false}}) {
    FakePlatform platform;
    platform.versionResult = c.result;
    platform.platformId = c.id;
    EXPECT_EQ(IsNT(platform), c.nt) << c.result << "/" << c.id;
    EXPECT_THAT(platform.calls, ElementsAre("GetVersionExA(148)"));
  }
}

TEST(AllowSystemKeys, PassesTheComplementOfTheBooleanWidened) {
  FakePlatform platform;
  AllowSystemKeys(platform, false);
  AllowSystemKeys(platform, true);
  EXPECT_THAT(platform.calls, ElementsAre("SystemParametersInfoA(97, 0xFFFFFFFF, NULL, 0)",
                                          "SystemParametersInfoA(97, 0x0, NULL, 0)"));
}

Settings Load(FakePlatform& platform) {
  Settings shared;
  LoadSettings(platform, shared);
  return shared;
}

TEST(LoadSettings, DefaultsWithoutAFile) {
  FakePlatform platform;
  const Settings shared = Load(platform);
  EXPECT_EQ(shared.Speed, 5);
  EXPECT_EQ(shared.Num, 200);
  EXPECT_EQ(shared.Intval, 30);
}

TEST(LoadSettings, ReadsTheKeysInOrderFromTheFileBesideTheProgram) {
  FakePlatform platform;
  platform.programDirectory = "Z:\\tmp\\run";
  Load(platform);
  EXPECT_THAT(platform.calls,
              ElementsAre(
                  "GetPrivateProfileStringA(\"Section\", \"Speed\", \"\", zeros, 256, \"Z:\\tmp\\run\\Vorn.ini\")",
                  "GetPrivateProfileStringA(\"Section\", \"Num\", \"\", zeros, 256, \"Z:\\tmp\\run\\Vorn.ini\")",
                  "GetPrivateProfileStringA(\"Section\", \"Intval\", \"\", zeros, 256, \"Z:\\tmp\\run\\Vorn.ini\")"));
}

TEST(LoadSettings, TakesNumbersUnclampedAndRoundsHalvesToEven) {
  FakePlatform platform;
  platform.SetProfileValue(kIni, "Section", "Speed", "2.5");
  platform.SetProfileValue(kIni, "Section", "Num", "1000");
  platform.SetProfileValue(kIni, "Section", "Intval", "3.5");
  const Settings shared = Load(platform);
  EXPECT_EQ(shared.Speed, 2);
  EXPECT_EQ(shared.Num, 1000);
  EXPECT_EQ(shared.Intval, 4);
}

TEST(LoadSettings, AFailedConversionLeavesZeroAndTheOthersAreStillRead) {
  FakePlatform platform;
  platform.SetProfileValue(kIni, "Section", "Speed", "abc");
  platform.SetProfileValue(kIni, "Section", "Num", "2147483648");
  platform.SetProfileValue(kIni, "Section", "Intval", "7");
  const Settings shared = Load(platform);
  EXPECT_EQ(shared.Speed, 0);
  EXPECT_EQ(shared.Num, 0);
  EXPECT_EQ(shared.Intval, 7);
}

TEST(LoadSettings, AnEmptyValueGivesTheDefault) {
  FakePlatform platform;
  platform.SetProfileValue(kIni, "Section", "Speed", "7");
  platform.SetProfileValue(kIni, "Section", "Intval", "");
  const Settings shared = Load(platform);
  EXPECT_EQ(shared.Speed, 7);
  EXPECT_EQ(shared.Num, 200);
  EXPECT_EQ(shared.Intval, 30);
}

TEST(ReadIniValue, ALongValueArrivesCutTo255Characters) {
  FakePlatform platform;
  platform.SetProfileValue(kIni, "Section", "Speed", std::string(10000, '1'));
  EXPECT_EQ(ReadIniValue(platform, "Section", "Speed", kIni), std::string(255, '1'));
}

TEST(WriteSettings, WritesSpeedNumIntvalWithTheirValueText) {
  FakePlatform platform;
  Settings shared;
  shared.Speed = 5;
  shared.Num = 200;
  shared.Intval = -3;
  WriteSettings(platform, shared);
  EXPECT_THAT(platform.calls,
              ElementsAre("WritePrivateProfileStringA(\"Section\", \"Speed\", \" 5\", \"C:\\Saver\\Vorn.ini\")",
                          "WritePrivateProfileStringA(\"Section\", \"Num\", \" 200\", \"C:\\Saver\\Vorn.ini\")",
                          "WritePrivateProfileStringA(\"Section\", \"Intval\", \"-3\", \"C:\\Saver\\Vorn.ini\")"));
}

TEST(WriteSettings, WhatIsWrittenLoadsBack) {
  FakePlatform platform;
  Settings written;
  written.Speed = 20;
  written.Num = 100;
  written.Intval = 60;
  WriteSettings(platform, written);
  const Settings loaded = Load(platform);
  EXPECT_EQ(loaded.Speed, 20);
  EXPECT_EQ(loaded.Num, 100);
  EXPECT_EQ(loaded.Intval, 60);
}

}  // namespace
}  // namespace vorn
