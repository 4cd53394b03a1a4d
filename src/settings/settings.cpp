#include "settings/settings.h"

#include <array>

#include "core/settings_value.h"
#include "settings/settings_place.h"

namespace vorn {
namespace {

constexpr std::uint32_t kIniBufferSize = 256;

struct SettingField {
  const char* key;
  std::int32_t Settings::*field;
  std::int32_t defaultValue;
};

constexpr std::array<SettingField, 3> kSettingFields{{
    {"Speed", &Settings::Speed, kDefaultSpeed},
    {"Num", &Settings::Num, kDefaultNum},
    {"Intval", &Settings::Intval, kDefaultIntval},
}};

SettingsPlaces FindSettingsPlaces(Platform& platform) {
  SettingsPlaces places =
      ChooseSettingsPlaces(platform.ProgramDirectory(), platform.RoamingAppDataFolder());
  places.userFileExists = places.user && platform.FileExists(*places.user);
  return places;
}

bool WriteAllTo(Platform& platform, const Settings& settings, const std::string& file) {
  for (const SettingField& setting : kSettingFields) {
    const std::string IniText = FormatValueText(settings.*setting.field);
    if (!WriteIniValue(platform, kIniSection, setting.key, IniText, file)) return false;
  }
  return true;
}

}  // namespace

void LoadSettings(Platform& platform, Settings& settings) {
  const std::optional<std::string> file = FindSettingsPlaces(platform).ReadFrom();
  for (const SettingField& setting : kSettingFields) {
    const std::string IniText =
        file ? ReadIniValue(platform, kIniSection, setting.key, *file) : std::string();
    const ParsedValue parsed = ParseValueText(IniText);
    if (parsed.kind == ValueTextKind::Missing) {
      settings.*setting.field = setting.defaultValue;
    } else if (parsed.kind == ValueTextKind::Number) {
      settings.*setting.field = parsed.value;
    }  // a failed conversion leaves the field as it was
  }
}

SaveResult WriteSettings(Platform& platform, const Settings& settings) {
  const SettingsPlaces places = FindSettingsPlaces(platform);
  SaveResult result{std::nullopt, places.Described()};
  for (const std::string& file : places.WriteOrder()) {
    if (file == places.user && !platform.CreateFolder(places.userFolder)) continue;
    if (WriteAllTo(platform, settings, file)) {
      result.savedTo = file;
      break;
    }
  }
  return result;
}

std::string ReadIniValue(Platform& platform, std::string_view section, std::string_view key,
                         std::string_view file) {
  std::array<char, kIniBufferSize> buffer{};
  platform.GetPrivateProfileStringA(section, key, "", buffer.data(), kIniBufferSize, file);
  buffer.back() = '\0';  // the platform always ends the text within the buffer
  return std::string(buffer.data());
}

bool WriteIniValue(Platform& platform, std::string_view section, std::string_view key,
                   std::string_view value, std::string_view file) {
  return platform.WritePrivateProfileStringA(section, key, value, file) != 0;
}

}  // namespace vorn
