// The settings file as anyone may have edited it: LoadSettings reads any text
// without fault and gives each setting its default, its number or 0; the
// dialog's Set writes back exactly what was read, as text that reads as a
// number; and a small saver runs a few frames with whatever was read.
#include <array>
#include <cstdint>
#include <string>

#include "core/settings_value.h"
#include "fuzz_check.h"
#include "ini_profile.h"
#include "saver/saver.h"
#include "settings/settings.h"
#include "settings_dialog/dialog.h"

namespace vorn::fuzz {
namespace {

constexpr std::uint32_t kReadBufferSize = 256;  // what the program gives the system
constexpr std::int32_t kMostFlamesToRun = 32;
constexpr ScreenSize kSmallScreen{96, 80};
constexpr int kFramesToRun = 3;

struct Setting {
  const char* key;
  const char* recordedKey;  // how the recording fake files a written value
  std::int32_t Settings::*field;
  std::int32_t defaultValue;
};
constexpr std::array<Setting, 3> kSettings{{
    {"Speed", "section/speed", &Settings::Speed, kDefaultSpeed},
    {"Num", "section/num", &Settings::Num, kDefaultNum},
    {"Intval", "section/intval", &Settings::Intval, kDefaultIntval},
}};

// The documented reading: no key or a blank value gives the default, a number
// gives itself, anything else 0 (every setting starts at 0).
std::int32_t Expected(const std::string& fileText, const Setting& setting) {
  const auto raw = FindProfileValue(fileText, kIniSection, setting.key);
  const ParsedValue parsed = ParseValueText(ProfileResult(raw.value_or(""), kReadBufferSize));
  if (parsed.kind == ValueTextKind::Missing) return setting.defaultValue;
  return parsed.kind == ValueTextKind::Number ? parsed.value : 0;
}

void CheckLoaded(const IniTextPlatform& platform, const Settings& shared) {
  const std::string fileText = DecodeProfileFile(platform.iniFileBytes);
  for (const Setting& setting : kSettings) {
    const std::int32_t expected = Expected(fileText, setting);
    Require(shared.*setting.field == expected, [&] {
      return std::string(setting.key) + " read as " + std::to_string(shared.*setting.field) +
             ", expected " + std::to_string(expected);
    });
  }
}

// Opens the dialog on the loaded settings and presses Set without touching a bar.
void CheckDialogWritesWhatWasRead(const std::string& fileBytes) {
  IniTextPlatform platform;
  platform.iniFileBytes = fileBytes;
  Settings shared;
  LoadSettings(platform, shared);
  const Settings read = shared;
  platform.onDialogShown = [&platform] {
    platform.dialogEvents->lbl_Set_MouseDown();
    platform.dialogEvents->lbl_Set_MouseUp();
  };
  VornP dialog(platform, shared);
  dialog.Show();
  const auto& written = platform.profiles[IniPath(platform)];
  for (const Setting& setting : kSettings) {
    const auto it = written.find(setting.recordedKey);
    Require(it != written.end(), [&] { return std::string(setting.key) + " was not written"; });
    const std::optional<std::int32_t> back = StrictNumber(it->second);
    Require(back && *back == read.*setting.field, [&] {
      return std::string(setting.key) + " written as " + Shown(it->second) + " after reading " +
             std::to_string(read.*setting.field);
    });
  }
}

// Reads the file, checks the reading, and runs a few frames of a small saver
// with it, the timer ticking in every yield.
void CheckLoadAndRun(const std::string& fileBytes) {
  IniTextPlatform platform;
  platform.iniFileBytes = fileBytes;
  Settings shared;
  LoadSettings(platform, shared);
  CheckLoaded(platform, shared);
  if (shared.Num > kMostFlamesToRun) return;
  platform.screen = kSmallScreen;
  VornS saver(platform, shared);
  platform.onDoEvents = [&](int call) {
    saver.Timer1_Timer();
    if (call >= kFramesToRun) saver.Form_KeyDown();
  };
  saver.Load();
  Require(platform.saverClosed, "the saver did not close after a key press");
  for (const Particle& p : saver.particles) {
    Require(p.X >= 0 && p.X <= kSmallScreen.width && p.Y >= 0 && p.Y <= kSmallScreen.height, [&] {
      return "a flame left the screen: " + std::to_string(p.X) + "," + std::to_string(p.Y);
    });
  }
}

}  // namespace
}  // namespace vorn::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string fileBytes(reinterpret_cast<const char*>(data), size);
  vorn::fuzz::CheckLoadAndRun(fileBytes);
  vorn::fuzz::CheckDialogWritesWhatWasRead(fileBytes);
  return 0;
}
