#include "core/command_line.h"

#include <limits>

namespace vorn {

std::string SwitchLetter(std::string_view argumentText) {
  constexpr std::size_t kLetterIndex = 1;
  if (argumentText.size() <= kLetterIndex) return {};
  char letter = argumentText[kLetterIndex];
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  return std::string(1, letter);
}

std::string_view HandleText(std::string_view argumentText) {
  constexpr std::size_t kHandleStart = 3;
  if (argumentText.size() <= kHandleStart) return {};
  return argumentText.substr(kHandleStart);
}

std::int32_t LenientHandle(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  std::int64_t value = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    value = value * 10 + (text[pos] - '0');
    if (value > std::numeric_limits<std::int32_t>::max()) return 0;
  }
  return static_cast<std::int32_t>(value);
}

std::wstring_view ArgumentsOf(std::wstring_view commandLine) {
  const auto isBlank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
  std::size_t pos = 0;
  if (!commandLine.empty() && commandLine[0] == L'"') {
    const std::size_t close = commandLine.find(L'"', 1);
    pos = close == std::wstring_view::npos ? commandLine.size() : close + 1;
  } else {
    while (pos < commandLine.size() && !isBlank(commandLine[pos])) ++pos;
  }
  while (pos < commandLine.size() && isBlank(commandLine[pos])) ++pos;
  return commandLine.substr(pos);
}

}  // namespace vorn
