// A settings-file reader for the fuzz targets that reads ini text the way
// GetPrivateProfileString does: lines end at LF (a CR before it is a blank),
// blanks around names and values are trimmed, names compare without regard to
// case, the first section of a name and the first key of a name in it win, one
// pair of matching outer quotes is stripped, and the text is cut to the
// caller's buffer less its terminating NUL.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fake_platform.h"

namespace vorn::fuzz {

// The value of `key` in `section`, before quotes are stripped and the text is
// cut; nullopt when the file has no such key.
std::optional<std::string> FindProfileValue(std::string_view iniText, std::string_view section,
                                            std::string_view key);

// What a caller with a buffer of `size` characters gets for that value.
std::string ProfileResult(std::string_view rawValue, std::uint32_t size);

// The file as the system sees it: a UTF-8 byte order mark is dropped, and text
// behind a UTF-16 LE one is narrowed (characters outside ASCII become '?').
std::string DecodeProfileFile(std::string_view bytes);

// The recording fake platform with a settings file of arbitrary text.
class IniTextPlatform : public testing::FakePlatform {
 public:
  std::string iniFileBytes;

  std::uint32_t GetPrivateProfileStringA(std::string_view section, std::string_view key,
                                         std::string_view defaultText, char* buffer,
                                         std::uint32_t size, std::string_view file) override;
};

}  // namespace vorn::fuzz
