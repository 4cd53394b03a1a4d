#include "core/command_line.h"

#include <limits>

namespace vorn {
namespace {

constexpr bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Where the character at `index` (from 0) of UTF-8 text starts; the text's size
// when it has no such character. A character is a byte that does not continue
// another, with the continuation bytes after it.
std::size_t CharacterStart(std::string_view text, std::size_t index) {
  std::size_t pos = 0;
  for (; index > 0 && pos < text.size(); --index) {
    ++pos;
    while (pos < text.size() && IsContinuation(text[pos])) ++pos;
  }
  return pos;
}

}  // namespace

std::string SwitchLetter(std::string_view argumentText) {
  constexpr std::size_t kLetterIndex = 1;
  const std::size_t start = CharacterStart(argumentText, kLetterIndex);
  if (start >= argumentText.size()) return {};
  std::string letter(
      argumentText.substr(start, CharacterStart(argumentText, kLetterIndex + 1) - start));
  if (letter[0] >= 'a' && letter[0] <= 'z') letter[0] = static_cast<char>(letter[0] - 'a' + 'A');
  return letter;
}

std::string_view HandleText(std::string_view argumentText) {
  constexpr std::size_t kHandleStart = 3;
  return argumentText.substr(CharacterStart(argumentText, kHandleStart));
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
