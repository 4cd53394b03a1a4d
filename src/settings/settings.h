// The settings record and the settings file: "\Vorn.ini" beside the program,
// section "Section", keys "Speed", "Num" and "Intval".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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

// Fills Speed, Num and Intval from the settings file, applying the defaults.
void LoadSettings(Platform& platform, Settings& settings);

// Writes Speed, Num and Intval to the settings file, in that order.
void WriteSettings(Platform& platform, const Settings& settings);

std::string ReadIniValue(Platform& platform, std::string_view section, std::string_view key,
                         std::string_view file);
void WriteIniValue(Platform& platform, std::string_view section, std::string_view key,
                   std::string_view value, std::string_view file);

// The settings file's path: the program's folder followed by "\Vorn.ini".
std::string IniPath(Platform& platform);

}  // namespace vorn
