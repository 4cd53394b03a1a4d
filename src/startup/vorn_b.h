// The shared module: start-up, the settings record and its file, and the state
// that the program's windows share.
#pragma once

#include <cstdint>
#include <string>

#include "core/particles.h"
#include "core/random_source.h"
#include "platform/platform.h"

namespace vorn {

inline constexpr std::int32_t kDefaultSpeed = 5;
inline constexpr std::int32_t kDefaultNum = 200;
inline constexpr std::int32_t kDefaultIntval = 30;

inline constexpr const char* kSaverCaption = "Vorn_Main";
inline constexpr const char* kDialogCaption = "Vornの設定";
inline constexpr const char* kIniFileName = "\\Vorn.ini";
inline constexpr const char* kIniSection = "Section";

// The state shared between the program's windows and routines. Every field is
// 0 when the process starts.
struct VornB {
  // The settings record.
  std::int32_t Speed = 0;
  std::int32_t Num = 0;
  std::int32_t Intval = 0;
  // The particle table of the saver.
  Particles particles;
  // The value returned by the most recent ShowCursor call of the saver.
  std::int32_t CursorCount = 0;
  // The text of one value on its way between the settings file and a number.
  std::string IniText;
  // The saver's random source.
  RandomSource random;
  // The pointer's place when the settings dialog loaded, screen pixels.
  std::int16_t ZoomOriginX = 0;
  std::int16_t ZoomOriginY = 0;
};

// The start-up routine: refuses to run beside a running copy, reads the mode
// switch, loads the settings and opens the one window the mode calls for.
void Main(Platform& platform, VornB& shared);

// True on the NT family of Windows.
bool IsNT(Platform& platform);

// Sets the system's screen-saver-running flag to the opposite of `allowed`.
void AllowSystemKeys(Platform& platform, bool allowed);

// Fills Speed, Num and Intval from the settings file, applying the defaults.
void LoadSettings(Platform& platform, VornB& shared);

// Writes Speed, Num and Intval to the settings file, in that order.
void WriteSettings(Platform& platform, VornB& shared);

std::string ReadIniValue(Platform& platform, std::string_view section, std::string_view key,
                         std::string_view file);
void WriteIniValue(Platform& platform, std::string_view section, std::string_view key,
                   std::string_view value, std::string_view file);

// The settings file's path: the program's folder followed by "\Vorn.ini".
std::string IniPath(Platform& platform);

// A whole number uniform in low..high, the clock reading mixed in first.
std::int32_t RandomRange(Platform& platform, VornB& shared, std::int32_t low, std::int32_t high);

}  // namespace vorn
