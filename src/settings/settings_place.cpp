#include "settings/settings_place.h"

#include "settings/settings.h"

namespace vorn {
namespace {

constexpr bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// "X:\..." on a drive or "\\server\..." on a share; "\..." alone hangs on the
// working directory's drive, and "X:..." on that drive's working directory.
bool IsAbsolute(std::string_view path) {
  if (path.starts_with("\\\\")) return true;
  return path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && path[2] == '\\';
}

}  // namespace

std::size_t Utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) ++units;  // each character starts with a byte not 10xxxxxx
    if (byte >= 0xF0) ++units;           // a four-byte character is a surrogate pair
  }
  return units;
}

std::optional<std::string> ProfilePath(std::string_view folder, std::string_view fileName) {
  std::string path = std::string(folder) + std::string(fileName);
  if (!IsAbsolute(path) || path.find('\0') != std::string::npos) return std::nullopt;
  if (Utf16Length(path) >= kProfilePathLimit) return std::nullopt;
  return path;
}

std::optional<std::string> SettingsPlaces::ReadFrom() const {
  return userFileExists ? user : beside;
}

std::vector<std::string> SettingsPlaces::WriteOrder() const {
  std::vector<std::string> order;
  if (beside && !userFileExists) order.push_back(*beside);
  if (user) order.push_back(*user);
  return order;
}

std::vector<std::string> SettingsPlaces::Described() const {
  std::vector<std::string> places;
  if (!userFileExists) places.push_back(besideText);
  if (!userFolder.empty()) places.push_back(userFolder + kIniFileName);
  return places;
}

SettingsPlaces ChooseSettingsPlaces(std::string_view programDirectory,
                                    std::string_view roamingFolder) {
  SettingsPlaces places;
  places.besideText = std::string(programDirectory) + kIniFileName;
  places.beside = ProfilePath(programDirectory, kIniFileName);
  if (!roamingFolder.empty()) {
    places.userFolder = std::string(roamingFolder) + kUserSettingsFolder;
    places.user = ProfilePath(places.userFolder, kIniFileName);
  }
  return places;
}

}  // namespace vorn
