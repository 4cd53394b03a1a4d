// The settings file as anyone may have edited it: LoadSettings gives each setting its default,
// its number or 0 for any value text; a small saver runs a few frames with what was read, its
// flames staying on the screen; and the dialog's Set writes back exactly what was read.
// Input: the value texts of Speed, Num and Intval, one a line; a missing line is a missing key.
#include <cstdint>
#include <utility>

#include "core/settings_value.h"
#include "fake_platform.h"
#include "fuzz_check.h"
#include "saver/saver.h"
#include "settings/settings.h"
#include "settings_dialog/dialog.h"

namespace vorn::fuzz {
namespace {

constexpr std::pair<const char*, std::int32_t Settings::*> kFields[] = {
    {"Speed", &Settings::Speed}, {"Num", &Settings::Num}, {"Intval", &Settings::Intval}};
constexpr Settings kDefaults{5, 200, 30};          // for a missing or blank value
constexpr std::size_t kMostValueCharacters = 255;  // what a buffer of 256 holds
constexpr ScreenSize kSmallScreen{96, 80};
constexpr std::int32_t kMostFlamesToRun = 32;  // a large swarm proves no more, slowly

void Check(std::string_view lines) {
  testing::FakePlatform platform;
  Settings expected;  // what the program gets: up to a NUL, cut to 255, then read
  for (const auto& [key, field] : kFields) {
    const std::string_view line = lines.substr(0, lines.find('\n'));
    if (!lines.empty()) platform.iniValues[key] = std::string(line);
    lines.remove_prefix(std::min(lines.size(), line.size() + 1));
    const ParsedValue parsed =
        ParseValueText(line.substr(0, line.find('\0')).substr(0, kMostValueCharacters));
    if (parsed.kind == ValueTextKind::Missing) expected.*field = kDefaults.*field;
    if (parsed.kind == ValueTextKind::Number) expected.*field = parsed.value;
  }
  Settings settings;
  LoadSettings(platform, settings);
  Require(settings == expected, "a setting read other than its default, its number or 0");

  if (settings.Num <= kMostFlamesToRun) {
    platform.screen = kSmallScreen;
    VornS saver(platform, settings, 0, 0);
    platform.onDoEvents = [&](int call) {
      saver.Timer1_Timer();
      if (call >= 3) saver.Form_KeyDown();
    };
    saver.Load();
    Require(platform.saverClosed, "the saver did not close after a key press");
    for (const Particle& p : saver.particles) {
      Require(p.X >= 0 && p.X <= kSmallScreen.width && p.Y >= 0 && p.Y <= kSmallScreen.height,
              "a flame left the screen");
    }
    platform.onDoEvents = nullptr;
  }

  platform.onDialogShown = [&] {  // Set, without touching a scroll bar
    platform.dialogEvents->lbl_Set_MouseDown();
    platform.dialogEvents->lbl_Set_MouseUp();
  };
  VornP(platform, settings).Show();
  for (const auto& [key, field] : kFields) {
    Require(StrictNumber(platform.iniValues[key]) == expected.*field,
            "Set wrote another value than was read");
  }
}

}  // namespace
}  // namespace vorn::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vorn::fuzz::Check({reinterpret_cast<const char*>(data), size});
  return 0;
}
