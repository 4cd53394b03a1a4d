// Where the settings file lives: "Vorn.ini" beside the program where that can
// be written, otherwise "Vorn\Vorn.ini" in the user's Roaming application data.
// Only whole, absolute paths that the profile functions can take are ever
// chosen: given a relative path they work in the working directory or the
// Windows folder, and given one of 260 characters or more they write a file
// with a garbled name into the working directory.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

// MAX_PATH: the profile functions take paths of fewer UTF-16 units than this.
inline constexpr std::size_t kProfilePathLimit = 260;
// The user's own folder for the settings, within the Roaming application data.
inline constexpr const char* kUserSettingsFolder = "\\Vorn";

// `folder` followed by `fileName`, or nullopt where that is no path the profile
// functions take whole: not absolute (a drive's "X:\" or a share's "\\"), 260
// UTF-16 units or more, or holding a NUL.
std::optional<std::string> ProfilePath(std::string_view folder, std::string_view fileName);

// The length of UTF-8 text in UTF-16 units, as the system counts a path.
std::size_t Utf16Length(std::string_view utf8);

// The two places, as found on this machine.
struct SettingsPlaces {
  std::string besideText;             // the program's folder and "\Vorn.ini", as they are
  std::optional<std::string> beside;  // that, where it is a path the system takes
  std::string userFolder;             // "...\Roaming\Vorn"; empty where unknown
  std::optional<std::string> user;    // "...\Roaming\Vorn\Vorn.ini", where taken
  bool userFileExists = false;

  // The user's file when it exists (it only ever does because the file beside
  // the program could not be written), otherwise the file beside the program;
  // nullopt where neither is a path the system takes.
  std::optional<std::string> ReadFrom() const;
  // The files to try in turn on a save. Once the user's file exists it is the
  // only one: a file written beside the program would not be read.
  std::vector<std::string> WriteOrder() const;
  // Every place a save would try, as text for the user (also those too long).
  std::vector<std::string> Described() const;
};

// The places, from the program's folder and the user's Roaming application
// data folder (empty where unknown); whether the user's file exists is the
// caller's to find out.
SettingsPlaces ChooseSettingsPlaces(std::string_view programDirectory,
                                    std::string_view roamingFolder);

}  // namespace vorn
