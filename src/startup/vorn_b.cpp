#include "startup/vorn_b.h"

#include <array>

#include "core/command_line.h"
#include "core/settings_value.h"
#include "preview_window/vorn_r.h"
#include "saver/vorn_s.h"
#include "settings_dialog/vorn_p.h"

namespace vorn {
namespace {

constexpr std::uint32_t kIniBufferSize = 256;
constexpr std::uint32_t kOsVersionInfoSize = sizeof(OsVersionInfo);

struct SettingField {
  const char* key;
  std::int32_t VornB::*field;
  std::int32_t defaultValue;
};

constexpr std::array<SettingField, 3> kSettingFields{{
    {"Speed", &VornB::Speed, kDefaultSpeed},
    {"Num", &VornB::Num, kDefaultNum},
    {"Intval", &VornB::Intval, kDefaultIntval},
}};

// The password-change mode: the system's dialog on the 95/98 family.
void ChangePassword(Platform& platform, std::string_view argumentText) {
  const auto handle = StrictNumber(HandleText(argumentText));
  if (!handle) return;  // not a whole number: ends like a switch we do not know
  if (!IsNT(platform)) platform.PwdChangePasswordA("SCRSAVE", *handle, 0, 0);
}

}  // namespace

void Main(Platform& platform, VornB& shared) {
  const bool saverRunning = platform.FindWindowByCaption(kSaverCaption) != kNoWindow;
  const bool dialogOpen = platform.FindWindowByCaption(kDialogCaption) != kNoWindow;
  if (saverRunning || dialogOpen) return platform.EndProcess();

  const std::string argumentText = platform.ArgumentText();
  const std::string letter = SwitchLetter(argumentText);
  if (letter == "P") {
    return ShowVornR(platform, LenientHandle(HandleText(argumentText)));
  }
  LoadSettings(platform, shared);
  if (letter == "A") {
    ChangePassword(platform, argumentText);
    return platform.EndProcess();
  }
  if (letter == "C") {
    VornP dialog(platform, shared);
    dialog.Show();
    return platform.EndProcess();
  }
  if (!argumentText.empty() && letter != "S") return platform.EndProcess();
  if (letter == "S") {
    shared.CursorCount = platform.ShowCursor(0);
    AllowSystemKeys(platform, false);
  }
  VornS saver(platform, shared);
  saver.Load();
}

bool IsNT(Platform& platform) {
  OsVersionInfo info{};
  info.dwOSVersionInfoSize = kOsVersionInfoSize;
  if (platform.GetVersionExA(info) != 1) return false;
  return info.dwPlatformId == kVerPlatformWin32Nt;
}

void AllowSystemKeys(Platform& platform, bool allowed) {
  // The complement of a Boolean as a 16-bit value (False = 0, True = -1),
  // widened with its sign: False gives 0xFFFFFFFF, True gives 0.
  const std::int16_t asBoolean = allowed ? -1 : 0;
  const auto complement = static_cast<std::int16_t>(~asBoolean);
  const auto uiParam = static_cast<std::uint32_t>(static_cast<std::int32_t>(complement));
  platform.SystemParametersInfoA(kSpiSetScreenSaverRunning, uiParam, nullptr, 0);
}

std::string IniPath(Platform& platform) { return platform.ProgramDirectory() + kIniFileName; }

void LoadSettings(Platform& platform, VornB& shared) {
  for (const SettingField& setting : kSettingFields) {
    shared.IniText = ReadIniValue(platform, kIniSection, setting.key, IniPath(platform));
    const ParsedValue parsed = ParseValueText(shared.IniText);
    if (parsed.kind == ValueTextKind::Missing) {
      shared.*setting.field = setting.defaultValue;
    } else if (parsed.kind == ValueTextKind::Number) {
      shared.*setting.field = parsed.value;
    }  // a failed conversion leaves the field as it was
  }
}

void WriteSettings(Platform& platform, VornB& shared) {
  for (const SettingField& setting : kSettingFields) {
    shared.IniText = FormatValueText(shared.*setting.field);
    WriteIniValue(platform, kIniSection, setting.key, shared.IniText, IniPath(platform));
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

std::int32_t RandomRange(Platform& platform, VornB& shared, std::int32_t low, std::int32_t high) {
  shared.random.Reseed(platform.SecondsSinceMidnight());
  return shared.random.Range(low, high);
}

}  // namespace vorn
