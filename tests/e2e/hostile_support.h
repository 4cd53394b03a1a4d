// What the hostile-input tests share: a record of a program folder's files, a
// reader of the settings file as the program left it, and the keyboard focus.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "harness.h"

namespace vorn::e2e {

// Every file directly in a folder, by name, with its bytes.
using FolderFiles = std::map<std::string, std::string>;
FolderFiles ReadFolder(const fs::path& dir);
// Which files were added, removed or changed: empty when none was.
std::string FolderChanges(const FolderFiles& before, const FolderFiles& after);

// The value text of `key` in the first [Section] of a settings file, read as
// the system reads it (names in any case, blanks trimmed, the first key of a
// name wins); the file may be UTF-16 LE or UTF-8 with a byte order mark, or
// plain bytes. nullopt when the file has no such key.
std::optional<std::string> SettingText(std::string_view fileBytes, std::string_view key);
// The number a value text holds when it is a whole number in 32 bits.
std::optional<std::int32_t> WholeNumber(std::string_view text);

// Waits until keys typed now go to `window`: the input focus is in it, or the
// focus follows the pointer and the pointer is over it.
bool WaitForKeyboardFocus(const XClient& x, unsigned long window, const Deadline& deadline);

// `count` bytes from a fixed-seed generator: the same every run.
std::string SeededBytes(std::size_t count, std::uint32_t seed);

}  // namespace vorn::e2e
