#include "settings/settings.h"

#include <array>

#include "core/settings_value.h"

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

}  // namespace

std::string IniPath(Platform& platform) { return platform.ProgramDirectory() + kIniFileName; }

void LoadSettings(Platform& platform, Settings& settings) {
  for (const SettingField& setting : kSettingFields) {
    const std::string IniText = ReadIniValue(platform, kIniSection, setting.key, IniPath(platform));
    const ParsedValue parsed = ParseValueText(IniText);
    if (parsed.kind == ValueTextKind::Missing) {
      settings.*setting.field = setting.defaultValue;
    } else if (parsed.kind == ValueTextKind::Number) {
      settings.*setting.field = parsed.value;
    }  // a failed conversion leaves the field as it was
  }
}

void WriteSettings(Platform& platform, const Settings& settings) {
  for (const SettingField& setting : kSettingFields) {
    const std::string IniText = FormatValueText(settings.*setting.field);
    WriteIniValue(platform, kIniSection, setting.key, IniText, IniPath(platform));
  }
}

std::string ReadIniValue(Platform& platform, std::string_view section, std::string_view key,
                         std::string_view file) {
  std::array<char, kIniBufferSize> buffer{};
  platform.GetPrivateProfileStringA(section, key, "", buffer.data(), kIniBufferSize, file);
  buffer.back() = '\0';  // the platform always ends the text within the buffer
  return std::string(buffer.data());
}

void WriteIniValue(Platform& platform, std::string_view section, std::string_view key,
                   std::string_view value, std::string_view file) {
  platform.WritePrivateProfileStringA(section, key, value, file);
}

}  // namespace vorn
