// The settings record and the settings file: "\Vorn.ini", section "Section",
// keys "Speed", "Num" and "Intval", in the place settings_place.h chooses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace vorn {

inline constexpr std::int32_t kDefaultSpeed = 5;
inline constexpr std::int32_t kDefaultNum = 200;
inline constexpr std::int32_t kDefaultIntval = 30;

inline constexpr const char* kIniFileName = "\\Vorn.ini";
inline constexpr const char* kIniSection = "Section";

// Every field is 0 until the file is loaded; a value that fails to convert
// leaves its field as it was.
struct Settings {
  std::int32_t Speed = 0;
  std::int32_t Num = 0;
  std::int32_t Intval = 0;
  friend bool operator==(const Settings&, const Settings&) = default;
};

// Fills Speed, Num and Intval from the settings file, applying the defaults
// (all three where no file can be read).
void LoadSettings(Platform& platform, Settings& settings);

// What a save did: the file that holds the settings now (nullopt: none could
// be written), and every place it tried or would have tried, for the user.
struct SaveResult {
  std::optional<std::string> savedTo;
  std::vector<std::string> places;
};

// Writes Speed, Num and Intval, in that order, all to one file: beside the
// program, or where that fails the user's own (its folder created first).
// Every write is checked; a failed one moves the whole save on to the next file.
SaveResult WriteSettings(Platform& platform, const Settings& settings);

std::string ReadIniValue(Platform& platform, std::string_view section, std::string_view key,
                         std::string_view file);
// False where the value could not be written.
bool WriteIniValue(Platform& platform, std::string_view section, std::string_view key,
                   std::string_view value, std::string_view file);

}  // namespace vorn
