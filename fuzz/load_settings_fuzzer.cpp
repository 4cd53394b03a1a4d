// A settings file (Speed, Num, Intval a line each) is read, run by a saver and written back by Set.
#include "core/settings_value.h"
#include "fake_platform.h"
#include "fuzz_check.h"
#include "saver/saver.h"
#include "settings/settings.h"
#include "settings_dialog/dialog.h"

namespace vorn::fuzz {

constexpr std::pair<const char*, std::int32_t Settings::*> kFields[] = {
    {"Speed", &Settings::Speed}, {"Num", &Settings::Num}, {"Intval", &Settings::Intval}};
constexpr Settings kDefaults{5, 200, 30};          // for a missing or blank value
constexpr std::size_t kMostValueCharacters = 255;  // what a buffer of 256 holds
constexpr std::int32_t kMostFlamesToRun = 32;      // a large swarm proves no more, slowly

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

  // A small swarm runs the saver and the whole dialog; a larger one only Set's writing, as the
  // dialog's steps would take most of an input's time (both at most this many flames).
  if (settings.Num > kMostFlamesToRun) {
    WriteSettings(platform, settings);
  } else {
    platform.screen = {96, 80};
    platform.failFrameBuffer = true;  // the pixels are the unit tests': the steps draw nothing
    VornS saver(platform, settings, 0, 0);
    platform.onDoEvents = [&](int n) { n <= 3 ? saver.Timer1_Timer() : saver.Form_KeyDown(); };
    saver.Load();
    Require(platform.saverClosed, "the saver did not close after a key press");
    Require(platform.CallsStartingWith("PresentFrame(0)") == platform.CallsStartingWith("Present"),
            "pieces presented without a frame buffer");
    platform.onDoEvents = nullptr;
    platform.onDialogShown = [&] { platform.dialogEvents->lbl_Set_MouseUp(); };  // bars untouched
    VornP(platform, settings).Show();
  }
  for (const auto& [key, field] : kFields)
    Require(StrictNumber(platform.iniValues[key]) == expected.*field, "Set wrote another value");
}

}  // namespace vorn::fuzz
